#include "positions/accounts.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/text.h"
#include "positions/positions.h"
#include "positions/trading.h"

namespace positions {

namespace {

// Characters of UTF-8 text: the bytes that start one.
size_t Characters(const std::string& text) {
  return std::count_if(text.begin(), text.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

// The name in 账户名框 when it may name an account (`except` may keep its own name).
std::optional<std::string> ReadName(app::App& app, const State& state, std::int64_t except) {
  const std::string name = base::TrimBlanks(app.positions_window().账户名框.Text());
  const char* refusal = nullptr;
  if (name.empty()) {
    refusal = kNoAccountNameText;
  } else if (Characters(name) > 20) {
    refusal = kLongAccountNameText;
  } else if (name == "全部账户" ||
             std::any_of(state.book.accounts.begin(), state.book.accounts.end(),
                         [&](const Account& a) { return a.name == name && a.id != except; })) {
    refusal = kSameAccountNameText;
  }
  if (!refusal) return name;
  app.dialogs().MessageBox(refusal);
  return std::nullopt;
}

void OnChoose(app::App& app, State& state) {
  const int chosen = app.positions_window().账户框.Current();
  state.account = chosen >= 1 && chosen <= static_cast<int>(state.book.accounts.size())
                      ? state.book.accounts[static_cast<size_t>(chosen - 1)].id
                      : 0;
  SetBook(state, state.book);
  ShowPositions(app, state);
}

void OnAdd(app::App& app, State& state) {
  const std::optional<std::string> name = ReadName(app, state, 0);
  if (!name) return;
  const std::optional<std::int64_t> id = state.store.AddAccount(*name);
  if (!id) {
    app.dialogs().MessageBox(kCannotSaveText);
    return;
  }
  state.account = *id;
  app.positions_window().账户名框.SetText("");
  AfterWrite(app, state);
}

void OnRename(app::App& app, State& state) {
  if (state.account == 0) {
    app.dialogs().MessageBox(kNoAccountChosenText);
    return;
  }
  const std::optional<std::string> name = ReadName(app, state, state.account);
  if (!name) return;
  if (!state.store.RenameAccount(state.account, *name)) {
    app.dialogs().MessageBox(kCannotSaveText);
    return;
  }
  app.positions_window().账户名框.SetText("");
  AfterWrite(app, state);
}

void OnRemove(app::App& app, State& state) {
  if (state.account == 0) {
    app.dialogs().MessageBox(kNoAccountChosenText);
    return;
  }
  if (state.account == kDefaultAccount) {
    app.dialogs().MessageBox(kDefaultAccountText);
    return;
  }
  const auto account = std::find_if(state.book.accounts.begin(), state.book.accounts.end(),
                                    [&](const Account& a) { return a.id == state.account; });
  if (account == state.book.accounts.end() ||
      !app.dialogs().AskYesNo("确定删除账户" + account->name + "吗？")) {
    return;
  }
  switch (state.store.RemoveAccount(state.account)) {
    case AccountRemoval::kRemoved:
      state.account = 0;
      AfterWrite(app, state);
      return;
    case AccountRemoval::kInUse:
      app.dialogs().MessageBox(kAccountInUseText);
      return;
    case AccountRemoval::kFailed:
      app.dialogs().MessageBox(kCannotSaveText);
      return;
  }
}

}  // namespace

void InstallAccounts(app::App& app, State& state) {
  app::PositionsWindow& window = app.positions_window();
  window.账户框.on_changed = [&app, &state] { OnChoose(app, state); };
  window.添加账户钮.on_click = [&app, &state] { OnAdd(app, state); };
  window.改名账户钮.on_click = [&app, &state] { OnRename(app, state); };
  window.删除账户钮.on_click = [&app, &state] { OnRemove(app, state); };
}

}  // namespace positions
