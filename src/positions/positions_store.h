#pragma once

// The ledger's file: every buy and sell as entered, the last figures each fund's main page
// gave, and the time of the last refresh. User data: nothing here is ever pruned.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "positions/ledger.h"
#include "store/database.h"

namespace positions {

class PositionsStore {
 public:
  explicit PositionsStore(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& Path() const { return path_; }
  // Opens the file when it is not open yet; false when it cannot be used now.
  bool Ready();

  // Each write is one transaction; false when it did not reach the file.
  bool Add(const Record& record);
  bool RemoveFund(const std::string& code);
  bool SaveQuote(const std::string& code, const Quote& quote);
  bool SaveRefreshTime(const std::string& text);

  // What the file holds; empty when it cannot be read.
  std::vector<Record> Records();
  std::map<std::string, Quote> Quotes();
  std::string RefreshTime();

 private:
  std::filesystem::path path_;
  std::unique_ptr<store::Database> database_;
};

}  // namespace positions
