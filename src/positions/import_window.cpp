#include "positions/import_window.h"

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "app/load.h"
#include "base/decimal.h"
#include "base/files.h"
#include "base/nav_history.h"
#include "ledger_import/layout.h"
#include "ledger_import/rows.h"
#include "portal/fund_search.h"
#include "positions/import.h"
#include "positions/positions.h"
#include "positions/trading.h"
#include "ui/canvas.h"

namespace positions {

namespace {

using ledger_import::ImportRow;
using ledger_import::RowOrReason;

constexpr int kFenDecimals = 2;
constexpr ui::Colour kRed = ui::Rgb(255, 0, 0);

// A file read, its rows mapped and its funds looked up: what the preview shows.
struct Preview {
  std::string file_name;
  std::shared_ptr<const ledger_import::Table> table;
  ledger_import::Layout layout;
  std::vector<RowOrReason> rows;
  std::set<std::string> imported;  // the keys imported before
  // What the fund search gave: codes by name (an exact name, or the user's pick), names by
  // code, the several candidates of a name, and the names and codes asked already.
  std::map<std::string, std::string> codes;
  std::map<std::string, std::string> names;
  std::map<std::string, std::vector<portal::SearchHit>> candidates;
  std::set<std::string> asked;
};

// What the window remembers: the preview, the name 候选框 offers, the accounts of
// 导入账户框 and the rows the confirm would write.
struct Importing {
  Preview preview;
  std::string choosing;
  std::vector<std::int64_t> accounts;
  std::vector<ImportItem> items;
  int duplicates = 0;
  bool writing = false;
};

// The file's bytes, at most ledger_import::kMaxFileBytes; the message when it cannot be read.
std::variant<std::string, std::string> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::variant<std::string, std::string>(std::in_place_index<1>, "无法读取文件");
  std::string bytes(ledger_import::kMaxFileBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (bytes.size() > ledger_import::kMaxFileBytes) {
    return std::variant<std::string, std::string>(std::in_place_index<1>,
                                                  ledger_import::kFileTooLargeText);
  }
  return std::variant<std::string, std::string>(std::in_place_index<0>, std::move(bytes));
}

// The rows read through the preview's layout, and the funds of names and codes not asked yet
// looked up. On a worker.
void ReadAndLookUp(app::App& app, Preview& preview) {
  preview.rows = ledger_import::ReadRows(*preview.table, preview.layout, preview.file_name);
  for (const RowOrReason& read : preview.rows) {
    const ImportRow* row = std::get_if<ImportRow>(&read);
    if (!row) continue;
    if (row->code.empty() && !row->name.empty() &&
        preview.asked.insert("名称:" + row->name).second) {
      const auto hits = portal::FetchSearchHits(app.portal(), row->name, &app.transfers());
      if (!hits) continue;
      std::vector<portal::SearchHit> found;
      for (const portal::SearchHit& hit : *hits) {
        if (hit.code.size() == 6) found.push_back(hit);
      }
      for (const portal::SearchHit& hit : found) {
        if (hit.name == row->name && !preview.codes.contains(row->name)) {
          preview.codes[row->name] = hit.code;
          preview.names[hit.code] = hit.name;
        }
      }
      if (!preview.codes.contains(row->name) && !found.empty()) {
        preview.candidates[row->name] = std::move(found);
      }
    } else if (!row->code.empty() && row->name.empty() &&
               preview.asked.insert("代码:" + row->code).second) {
      const auto name = portal::FetchFundName(app.portal(), row->code, &app.transfers());
      if (name && !name->empty()) preview.names[row->code] = *name;
    }
  }
}

std::string Scaled(const std::optional<std::int64_t>& value, int decimals) {
  return value ? base::FormatScaled(*value, decimals) : std::string();
}

// The sale fee rate of 卖出费率框 in ten-thousandths of a percent; 0 when empty.
std::optional<std::int64_t> SaleRate(app::App& app) {
  const std::string& text = app.import_window().卖出费率框.Text();
  if (text.empty()) return 0;
  const std::optional<std::int64_t> rate = base::ParseNonNegative(text, base::kNavDecimals);
  if (!rate || *rate < 0 || *rate > kFeeRateLimit) return std::nullopt;
  return rate;
}

ImportChoices ChoicesOf(app::App& app, const Importing& importing) {
  ImportChoices choices;
  const int account = app.import_window().导入账户框.Current();
  choices.account = account >= 0 && account < static_cast<int>(importing.accounts.size())
                        ? importing.accounts[static_cast<size_t>(account)]
                        : kDefaultAccount;
  choices.sale_fee_rate = SaleRate(app).value_or(0);
  const std::string& day = app.import_window().快照日期框.Text();
  if (ValidDay(day, app.clock().Now())) choices.snapshot_day = day;
  choices.today = TodayText(app);
  choices.codes = importing.preview.codes;
  choices.names = importing.preview.names;
  return choices;
}

// 候选框 offers the funds of the first name that has several and none picked yet.
void ShowCandidates(app::App& app, Importing& importing) {
  app::ImportWindow& window = app.import_window();
  const Preview& preview = importing.preview;
  importing.choosing.clear();
  for (const auto& [name, hits] : preview.candidates) {
    if (!preview.codes.contains(name)) {
      importing.choosing = name;
      break;
    }
  }
  std::vector<std::string> items;
  if (!importing.choosing.empty()) {
    items.push_back("请选择");
    for (const portal::SearchHit& hit : preview.candidates.at(importing.choosing)) {
      items.push_back(hit.name + "（" + hit.code + "）");
    }
  }
  window.候选标签.SetCaption(importing.choosing.empty()
                                 ? ""
                                 : "「" + importing.choosing + "」有" +
                                       std::to_string(items.size() - 1) + "个候选基金：");
  window.候选框.SetItems(std::move(items));
  window.候选框.SetCurrent(importing.choosing.empty() ? -1 : 0);
  window.候选框.SetEnabled(!importing.choosing.empty());
}

// The grid with every row and its state; the confirm's caption and rows.
void ShowRows(app::App& app, Importing& importing) {
  app::ImportWindow& window = app.import_window();
  ui::Grid& grid = window.导入表格;
  const Preview& preview = importing.preview;
  const std::optional<std::int64_t> rate = SaleRate(app);
  const ImportChoices choices = ChoicesOf(app, importing);
  importing.items.clear();
  importing.duplicates = 0;
  grid.SetRowCount(static_cast<int>(preview.rows.size()) + 1);
  int line = 0;
  for (const RowOrReason& read : preview.rows) {
    ++line;
    for (int column = 0; column < app::kImportColumnCount; ++column) {
      grid.SetText(line, column, "");
      grid.SetTextColour(line, column, ui::kDefaultTextColour);
    }
    const ImportRow* row = std::get_if<ImportRow>(&read);
    if (!row) {
      grid.SetText(line, app::kImportState, std::get<std::string>(read));
      grid.SetTextColour(line, app::kImportState, kRed);
      continue;
    }
    std::string state;
    bool bad = false;
    std::string code = row->code, name = row->name;
    if (code.empty()) {
      const auto found = preview.codes.find(row->name);
      if (found != preview.codes.end()) code = found->second;
    }
    if (const auto found = preview.names.find(code); found != preview.names.end()) {
      if (name.empty() || row->code.empty()) name = found->second;
    }
    if (code.empty() && preview.candidates.contains(row->name)) {
      state = "第" + std::to_string(row->line) + "行：请在候选框中选择「" + row->name + "」";
      bad = true;
    } else if (preview.imported.contains(row->key)) {
      state = "重复";
      ++importing.duplicates;
    } else {
      std::variant<ImportItem, std::string> item = ItemOf(*row, choices);
      if (auto* reason = std::get_if<std::string>(&item)) {
        state = *reason;
        bad = true;
      } else {
        state = "新增";
        importing.items.push_back(std::move(std::get<ImportItem>(item)));
      }
    }
    grid.SetText(line, app::kImportState, state);
    if (bad) grid.SetTextColour(line, app::kImportState, kRed);
    grid.SetText(line, app::kImportDay, row->day.empty() ? choices.snapshot_day : row->day);
    grid.SetText(line, app::kImportTime, row->time);
    grid.SetText(line, app::kImportCode, code);
    grid.SetText(line, app::kImportName, name);
    // A plan's kind is its cycle and day: "定投每周周三", "定投每月8日".
    const bool plan = row->kind == ledger_import::ImportKind::kPlan;
    const bool monthly =
        !row->plan_day.empty() && row->plan_day.back() >= '0' && row->plan_day.back() <= '9';
    grid.SetText(line, app::kImportKind,
                 plan ? "定投" + row->cycle + row->plan_day + (monthly ? "日" : "")
                      : ledger_import::kImportKindTexts[static_cast<int>(row->kind)]);
    grid.SetText(line, app::kImportAmount, Scaled(row->amount, kFenDecimals));
    grid.SetText(line, app::kImportShares, Scaled(row->shares, kShareDecimals));
    grid.SetText(line, app::kImportNav, Scaled(row->nav, kPriceDecimals));
    grid.SetText(line, app::kImportCostPrice, Scaled(row->cost_price, kPriceDecimals));
    grid.SetText(line, app::kImportFee, Scaled(row->fee, kFenDecimals));
    grid.SetText(line, app::kImportTradeId, row->trade_id);
    grid.SetText(line, app::kImportAccount, row->account);
  }
  const int adding = static_cast<int>(importing.items.size());
  window.确认导入钮.SetCaption("导入" + std::to_string(adding) + "行");
  window.确认导入钮.SetEnabled(rate && !importing.writing &&
                               (adding > 0 || importing.duplicates > 0));
  window.导入状态.SetCaption(rate ? "" : kBadSaleRateText);
}

// The whole preview: its layout's boxes, the accounts, the candidates and the rows.
void ShowPreview(app::App& app, State& state, Importing& importing) {
  app::ImportWindow& window = app.import_window();
  const Preview& preview = importing.preview;
  window.格式标签.SetCaption(std::string("格式：") +
                             ledger_import::kPresetTexts[static_cast<int>(preview.layout.preset)]);
  std::vector<std::string> sources;
  const ledger_import::SourceRow* header = preview.layout.header < preview.table->rows.size()
                                               ? &preview.table->rows[preview.layout.header]
                                               : nullptr;
  for (size_t i = 0; i < preview.layout.columns.size(); ++i) {
    const std::string text = header && i < header->cells.size() ? header->cells[i] : "";
    sources.push_back("第" + std::to_string(i + 1) + "列 " + text);
  }
  const int source = std::max(0, window.源列框.Current());
  window.源列框.SetItems(std::move(sources));
  window.源列框.SetCurrent(
      preview.layout.columns.empty()
          ? -1
          : std::min(source, static_cast<int>(preview.layout.columns.size()) - 1));
  window.映射框.SetItems(
      {std::begin(ledger_import::kColumnKindTexts), std::end(ledger_import::kColumnKindTexts)});
  const int shown = window.源列框.Current();
  window.映射框.SetCurrent(shown < 0 ? -1 : static_cast<int>(preview.layout.columns[shown]));
  // The account chosen stays; a new file's preview starts with the positions window's.
  const int index = window.导入账户框.Current();
  const std::int64_t chosen = index >= 0 && index < static_cast<int>(importing.accounts.size())
                                  ? importing.accounts[static_cast<size_t>(index)]
                                  : NewAccount(state);
  importing.accounts.clear();
  std::vector<std::string> names;
  int current = 0;
  for (const Account& account : state.book.accounts) {
    if (account.id == chosen) current = static_cast<int>(names.size());
    importing.accounts.push_back(account.id);
    names.push_back(account.name);
  }
  window.导入账户框.SetItems(std::move(names));
  window.导入账户框.SetCurrent(current);
  ShowCandidates(app, importing);
  ShowRows(app, importing);
}

// Reads the file and shows its preview; the newest read wins.
void OnImport(app::App& app, State& state, const std::shared_ptr<Importing>& importing) {
  // The rows confirmed are being written: another file waits until they are.
  if (importing->writing) return;
  const std::string chosen =
      app.dialogs().ChooseFile("导入", app.paths().workbook_dir.string(), kImportFilter);
  if (chosen.empty()) return;
  const std::filesystem::path path = std::filesystem::path(chosen);
  using Read = std::variant<Preview, std::string>;
  app::StartLoad(
      app, app.loads().Start(app::LoadTarget::kImport),
      [path]() -> Read {
        auto bytes = ReadBytes(path);
        if (bytes.index() == 1) return std::get<1>(bytes);
        ledger_import::TableOrError table = ReadImportTable(std::get<0>(bytes));
        if (auto* error = std::get_if<std::string>(&table)) return *error;
        Preview preview;
        preview.file_name = path.filename().string();
        preview.table = std::make_shared<const ledger_import::Table>(
            std::move(std::get<ledger_import::Table>(table)));
        preview.layout = ledger_import::Recognize(*preview.table);
        return preview;
      },
      [&app, &state, importing, path](Read read) {
        if (auto* error = std::get_if<std::string>(&read)) {
          app.dialogs().MessageBox(*error);
          return;
        }
        Preview preview = std::move(std::get<Preview>(read));
        // The imported keys and the funds: a second step, so that both read the ledger and ask
        // the portal off the UI thread.
        app::StartLoad(
            app, app.loads().Current(app::LoadTarget::kImport),
            [&app, &state, preview = std::move(preview)]() mutable {
              preview.imported = state.store.ImportedKeys();
              ReadAndLookUp(app, preview);
              return preview;
            },
            [&app, &state, importing](Preview ready) {
              importing->preview = std::move(ready);
              importing->accounts.clear();
              app::ImportWindow& window = app.import_window();
              window.Show();
              window.源列框.SetCurrent(0);
              if (window.快照日期框.Text().empty()) window.快照日期框.SetText(TodayText(app));
              ShowPreview(app, state, *importing);
            });
      });
}

// The chosen column's kind changed: the rows read again with it.
void OnMapping(app::App& app, State& state, const std::shared_ptr<Importing>& importing) {
  app::ImportWindow& window = app.import_window();
  const int source = window.源列框.Current(), kind = window.映射框.Current();
  Preview& preview = importing->preview;
  if (source < 0 || kind < 0 || source >= static_cast<int>(preview.layout.columns.size())) return;
  Preview next = preview;
  next.layout.columns[static_cast<size_t>(source)] = static_cast<ledger_import::ColumnKind>(kind);
  app::StartLoad(
      app, app.loads().Start(app::LoadTarget::kImport),
      [&app, next = std::move(next)]() mutable {
        ReadAndLookUp(app, next);
        return next;
      },
      [&app, &state, importing](Preview ready) {
        importing->preview = std::move(ready);
        ShowPreview(app, state, *importing);
      });
}

void OnCandidate(app::App& app, Importing& importing) {
  const int picked = app.import_window().候选框.Current();
  Preview& preview = importing.preview;
  const auto found = preview.candidates.find(importing.choosing);
  if (picked < 1 || found == preview.candidates.end() ||
      picked > static_cast<int>(found->second.size())) {
    return;
  }
  const portal::SearchHit& hit = found->second[static_cast<size_t>(picked - 1)];
  preview.codes[importing.choosing] = hit.code;
  preview.names[hit.code] = hit.name;
  ShowCandidates(app, importing);
  ShowRows(app, importing);
}

// The rows shown 新增 go into the ledger in one transaction.
void OnConfirm(app::App& app, State& state, const std::shared_ptr<Importing>& importing) {
  if (importing->writing) return;
  ShowRows(app, *importing);
  if (!SaleRate(app)) return;
  importing->writing = true;
  app.import_window().确认导入钮.SetEnabled(false);
  const int shown_duplicates = importing->duplicates;
  app::StartLoad(
      app, app.loads().Start(app::LoadTarget::kImport),
      [&state, items = importing->items] { return state.store.Import(items); },
      [&app, &state, importing, shown_duplicates](const ImportCounts& counts) {
        importing->writing = false;
        if (!counts.written) {
          ShowRows(app, *importing);
          app.dialogs().MessageBox(kCannotSaveText);
          return;
        }
        state.progress = "新增" + std::to_string(counts.added) + "笔，重复" +
                         std::to_string(counts.duplicates + shown_duplicates) + "笔";
        app.import_window().Close();
        AfterWrite(app, state);
      },
      [importing] { importing->writing = false; });
}

// yyyyMMdd of today.
std::string CompactToday(app::App& app) {
  std::string today = TodayText(app);
  std::erase(today, '-');
  return today;
}

// Every record and pending trade of the chosen account into the documents folder, on a worker,
// whole or not at all.
void OnExportRecords(app::App& app, State& state) {
  const std::filesystem::path path =
      app.paths().workbook_dir / (kRecordsFilePrefix + CompactToday(app) + ".csv");
  const std::int64_t account = state.account;
  app::StartLoad(
      app, app.loads().Current(app::LoadTarget::kPositions),
      [&state, path, account] {
        const Book book = state.store.ReadBook();
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
        return state.store.Ready() &&
               base::ReplaceFile(path, RecordsCsv(book, account), base::FileMode::LessUmask(0666));
      },
      [&app, &state, path](bool written) {
        state.progress = (written ? "已导出记录到" : "导出记录失败：") + path.string();
        ShowStatus(app, state);
      });
}

}  // namespace

void InstallImport(app::App& app, State& state) {
  auto importing = std::make_shared<Importing>();
  app::PositionsWindow& positions = app.positions_window();
  positions.导入钮.on_click = [&app, &state, importing] { OnImport(app, state, importing); };
  positions.导出记录钮.on_click = [&app, &state] { OnExportRecords(app, state); };
  app::ImportWindow& window = app.import_window();
  window.源列框.on_changed = [&app, importing] {
    const int source = app.import_window().源列框.Current();
    const auto& columns = importing->preview.layout.columns;
    if (source >= 0 && source < static_cast<int>(columns.size())) {
      app.import_window().映射框.SetCurrent(static_cast<int>(columns[static_cast<size_t>(source)]));
    }
  };
  window.映射框.on_changed = [&app, &state, importing] { OnMapping(app, state, importing); };
  window.候选框.on_changed = [&app, importing] { OnCandidate(app, *importing); };
  window.导入账户框.on_changed = [&app, importing] { ShowRows(app, *importing); };
  window.卖出费率框.on_changed = [&app, importing] { ShowRows(app, *importing); };
  window.快照日期框.on_changed = [&app, importing] { ShowRows(app, *importing); };
  window.确认导入钮.on_click = [&app, &state, importing] { OnConfirm(app, state, importing); };
  window.取消导入钮.on_click = [&app] { app.import_window().Close(); };
  window.on_destroyed = [&app, importing] {
    if (!importing->writing) app.loads().Invalidate(app::LoadTarget::kImport);
  };
}

}  // namespace positions
