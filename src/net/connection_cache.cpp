#include "net/connection_cache.h"

#include <utility>

namespace net {
namespace {

// Idle handles kept beyond this many are closed with their connections; more requests than this
// rarely run at once (the UI thread and five download workers).
constexpr std::size_t kMaxIdleHandles = 16;
// Connections one handle keeps: one per host of the portal, with room to spare. libcurl's
// default for a handle running one transfer would be four.
constexpr long kConnectionsPerHandle = 8;

}  // namespace

ConnectionCache::Lease::Lease(Lease&& other) noexcept
    : cache_(other.cache_), multi_(std::exchange(other.multi_, nullptr)) {}

ConnectionCache::Lease::~Lease() {
  if (multi_ != nullptr) cache_->Return(multi_);
}

ConnectionCache& ConnectionCache::Instance() {
  static ConnectionCache* const cache = new ConnectionCache();
  return *cache;
}

ConnectionCache::ConnectionCache() {
  share_ = curl_share_init();
  if (share_ == nullptr) return;
  const bool ok =
      curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &ConnectionCache::Lock) == CURLSHE_OK &&
      curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &ConnectionCache::Unlock) == CURLSHE_OK &&
      curl_share_setopt(share_, CURLSHOPT_USERDATA, this) == CURLSHE_OK &&
      curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) == CURLSHE_OK &&
      curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) == CURLSHE_OK;
  if (!ok) {
    curl_share_cleanup(share_);
    share_ = nullptr;
  }
}

void ConnectionCache::Lock(CURL*, curl_lock_data data, curl_lock_access, void* user) {
  auto* cache = static_cast<ConnectionCache*>(user);
  if (data >= 0 && data < CURL_LOCK_DATA_LAST) cache->share_locks_[data].lock();
}

void ConnectionCache::Unlock(CURL*, curl_lock_data data, void* user) {
  auto* cache = static_cast<ConnectionCache*>(user);
  if (data >= 0 && data < CURL_LOCK_DATA_LAST) cache->share_locks_[data].unlock();
}

ConnectionCache::Lease ConnectionCache::Borrow() {
  {
    std::lock_guard<std::mutex> lock(pool_mutex_);
    if (!idle_.empty()) {
      CURLM* multi = idle_.back();
      idle_.pop_back();
      return Lease(this, multi);
    }
  }
  CURLM* multi = curl_multi_init();
  if (multi != nullptr &&
      curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, kConnectionsPerHandle) != CURLM_OK) {
    curl_multi_cleanup(multi);
    multi = nullptr;
  }
  return Lease(this, multi);
}

void ConnectionCache::Return(CURLM* multi) {
  {
    std::lock_guard<std::mutex> lock(pool_mutex_);
    if (reuse_.load() && idle_.size() < kMaxIdleHandles) {
      idle_.push_back(multi);
      return;
    }
  }
  curl_multi_cleanup(multi);
}

bool ConnectionCache::Prepare(CURL* easy, bool fresh) const {
  if (!reuse_.load()) {
    return curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L) == CURLE_OK &&
           curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L) == CURLE_OK;
  }
  return (share_ == nullptr || curl_easy_setopt(easy, CURLOPT_SHARE, share_) == CURLE_OK) &&
         curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, fresh ? 1L : 0L) == CURLE_OK;
}

void ConnectionCache::SetReuse(bool reuse) {
  reuse_.store(reuse);
  if (!reuse) CloseIdle();
}

void ConnectionCache::CloseIdle() {
  std::vector<CURLM*> closing;
  {
    std::lock_guard<std::mutex> lock(pool_mutex_);
    closing.swap(idle_);
  }
  for (CURLM* multi : closing) curl_multi_cleanup(multi);
}

}  // namespace net
