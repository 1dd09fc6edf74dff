#pragma once

// The positions window's accounts: 账户框 chooses the one shown (or "全部账户"), and the account
// named in 账户名框 is added, the chosen one renamed or deleted. Internal to the feature; UI
// thread.

#include "app/app.h"
#include "positions/positions_view.h"

namespace positions {

inline constexpr char kNoAccountNameText[] = "请输入账户名称";
inline constexpr char kLongAccountNameText[] = "账户名称最多20个字";
inline constexpr char kSameAccountNameText[] = "已有同名账户";
inline constexpr char kNoAccountChosenText[] = "请先在账户中选择一个账户";
inline constexpr char kDefaultAccountText[] = "默认账户不能删除";
inline constexpr char kAccountInUseText[] = "账户中还有交易记录，不能删除";

// Binds 账户框 and the three buttons.
void InstallAccounts(app::App& app, State& state);

}  // namespace positions
