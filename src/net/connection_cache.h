#pragma once

// What requests keep for later ones to the same host: connections, TLS sessions and DNS
// answers. TLS sessions and DNS answers sit in one libcurl share guarded by locks, so every
// thread uses them. Connections sit in a pool of multi handles: a request borrows one handle
// for its whole transfer and returns it with the connection left open, so a kept connection is
// only ever touched by the one thread that borrowed its handle. (libcurl does not support one
// connection cache used by concurrent threads, which a shared CURL_LOCK_DATA_CONNECT would be.)

#include <curl/curl.h>

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace net {

class ConnectionCache {
 public:
  // A multi handle borrowed for one request; it goes back to the pool when the lease ends.
  class Lease {
   public:
    Lease(Lease&& other) noexcept;
    Lease& operator=(Lease&&) = delete;
    ~Lease();
    // Null when no handle could be made.
    CURLM* multi() const { return multi_; }

   private:
    friend class ConnectionCache;
    Lease(ConnectionCache* cache, CURLM* multi) : cache_(cache), multi_(multi) {}
    ConnectionCache* cache_;
    CURLM* multi_;
  };

  // The cache of the process. It is never destroyed, so that a request still running while the
  // process ends never finds it gone.
  static ConnectionCache& Instance();

  ConnectionCache(const ConnectionCache&) = delete;
  ConnectionCache& operator=(const ConnectionCache&) = delete;

  Lease Borrow();
  // Prepares `easy` for one request: with reuse on it shares TLS sessions and DNS answers and
  // may take a kept connection unless `fresh` (it always leaves its own connection open for
  // later ones); with reuse off it opens a connection of its own and closes it afterwards.
  // False when an option cannot be set.
  bool Prepare(CURL* easy, bool fresh) const;

  // On by default. Off, every request connects anew and keeps nothing, which measurements use
  // as their baseline.
  void SetReuse(bool reuse);
  bool reuse() const { return reuse_.load(); }
  // Closes every kept connection of the handles not borrowed at the moment.
  void CloseIdle();

 private:
  ConnectionCache();
  void Return(CURLM* multi);
  static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* user);
  static void Unlock(CURL*, curl_lock_data data, void* user);

  CURLSH* share_ = nullptr;
  std::array<std::mutex, CURL_LOCK_DATA_LAST> share_locks_;
  std::mutex pool_mutex_;
  // Most recently returned last: it is borrowed first, as it most likely holds a live
  // connection to the host asked for next.
  std::vector<CURLM*> idle_;
  std::atomic<bool> reuse_{true};
};

}  // namespace net
