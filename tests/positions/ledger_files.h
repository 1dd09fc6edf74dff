#pragma once

// Real ledger files for the damage tests: one written through the store, copies cut short or
// overwritten, and what SQLite itself can still read from such a copy.

#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "positions/positions_store.h"
#include "support/temp_dir.h"

namespace positions_test {

// `count` buys and sales of ten funds under names as long as real ones, one transaction each,
// as the window stores them.
inline std::vector<positions::Record> WriteLedger(const std::filesystem::path& path, int count) {
  positions::PositionsStore store(path);
  std::vector<positions::Record> records;
  for (int i = 0; i < count; ++i) {
    const int fund = i % 10;
    const bool sell = i % 7 == 6;
    records.push_back({"2021-0" + std::to_string(1 + i % 8) + "-1" + std::to_string(i % 10),
                       "00010" + std::to_string(fund),
                       "测试蓝筹精选混合型证券投资基金" + std::to_string(fund),
                       sell ? positions::RecordKind::kSell : positions::RecordKind::kBuy,
                       sell ? 1000 : 10000 + i * 37, 10000 + i * 11});
    if (!store.Add(records.back())) return {};
  }
  return records;
}

enum class Damage { kCutInHalf, kRandomMiddle, kRandomWhole };

// Cuts the file to half its length, or overwrites its middle half or all of it with random
// bytes (the same bytes on every run).
inline void Damaged(const std::filesystem::path& file, Damage damage) {
  std::string bytes = test_support::ReadFileBytes(file);
  std::mt19937 random(20210808);
  const size_t size = bytes.size();
  if (damage == Damage::kCutInHalf) bytes.resize(size / 2);
  const size_t from = damage == Damage::kRandomMiddle ? size / 4 : 0;
  const size_t to = damage == Damage::kRandomMiddle ? size * 3 / 4 : size;
  for (size_t i = from; damage != Damage::kCutInHalf && i < to; ++i) {
    bytes[i] = static_cast<char>(random());
  }
  test_support::WriteFileBytes(file, bytes);
}

// Where the store moved the damaged `ledger`; empty when it did not.
inline std::filesystem::path MovedAside(const std::filesystem::path& ledger) {
  for (const auto& entry : std::filesystem::directory_iterator(ledger.parent_path())) {
    if (entry.path().filename().string().rfind(ledger.filename().string() + ".damaged-", 0) == 0) {
      return entry.path();
    }
  }
  return {};
}

// The records of ids 1 to `last_id` that SQLite can read from `file`, each asked on its own;
// past a schema that promises more pages than a cut-off file has, as its own shell does.
inline std::vector<positions::Record> ReadableRecords(const std::filesystem::path& file,
                                                      int last_id) {
  std::vector<positions::Record> records;
  sqlite3* db = nullptr;
  const std::string uri = "file:" + file.string() + "?immutable=1";
  if (sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
      SQLITE_OK) {
    sqlite3_exec(db, "PRAGMA writable_schema=ON", nullptr, nullptr, nullptr);
    sqlite3_stmt* select = nullptr;
    // A record is readable when every column reads back with its kind; a row cut through
    // reads with zeros where its bytes are missing.
    sqlite3_prepare_v2(db,
                       "SELECT day, code, name, kind, shares, price FROM records WHERE id = ?"
                       " AND typeof(day) = 'text' AND typeof(code) = 'text' AND typeof(name) ="
                       " 'text' AND kind IN ('buy', 'sell') AND typeof(shares) = 'integer' AND"
                       " typeof(price) = 'integer' AND shares > 0 AND price > 0",
                       -1, &select, nullptr);
    for (int id = 1; select && id <= last_id; ++id) {
      sqlite3_reset(select);
      sqlite3_bind_int(select, 1, id);
      if (sqlite3_step(select) != SQLITE_ROW) continue;
      auto text = [&](int column) {
        return std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, column)),
                           sqlite3_column_bytes(select, column));
      };
      records.push_back(
          {text(0), text(1), text(2),
           text(3) == "sell" ? positions::RecordKind::kSell : positions::RecordKind::kBuy,
           sqlite3_column_int64(select, 4), sqlite3_column_int64(select, 5)});
    }
    sqlite3_finalize(select);
  }
  sqlite3_close(db);
  return records;
}

}  // namespace positions_test
