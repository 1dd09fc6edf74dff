#pragma once

// 基金提醒: rules on a fund's day change, NAV or position rate, checked against each fund's main
// page at start, every few minutes and on request; a rule that holds tells the user once per NAV
// date through the desktop's notifications. The rules live in the positions ledger's file, and a
// 收益率 rule reads the positions there.

#include <chrono>
#include <memory>
#include <string>

#include "app/app.h"
#include "positions/positions_store.h"

namespace alerts {

// Message texts the user sees.
inline constexpr char kSummary[] = "基金提醒";
inline constexpr char kBadCodeText[] = "基金代码须为6位数字";
inline constexpr char kNoConditionText[] = "请在条件中选择一项";
inline constexpr char kBadRateText[] = "阈值须为大于0的百分数，最多两位小数";
inline constexpr char kBadNavText[] = "阈值须为大于0的净值，最多四位小数";
inline constexpr char kNotHeldText[] = "收益率提醒只用于持有的基金";
inline constexpr char kNoRowText[] = "请选择要删除的提醒";
inline constexpr char kCannotSaveText[] = "无法保存提醒";
inline constexpr char kNotFoundText[] = "没有找到基金";

// The time between two checks: 配置.ini section 提醒, key 间隔分钟, whole minutes from 5 to 1440;
// 30 for anything else.
std::chrono::minutes CheckInterval(const app::ConfigFile& config);

struct State;

// The alerts feature: its rules kept in the ledger's file through the positions' handle on it.
// Made by the shell; outlives the App's windows.
class Alerts {
 public:
  Alerts(app::App& app, positions::PositionsStore& ledger);
  ~Alerts();
  Alerts(const Alerts&) = delete;
  Alerts& operator=(const Alerts&) = delete;

  // Attaches the handlers of the alerts window, 提醒钮 and 菜单's fourth item, and the start-up
  // step that runs the first check and sets the periodic one.
  void Install();

 private:
  app::App& app_;
  std::unique_ptr<State> state_;
};

}  // namespace alerts
