#pragma once

// 风险指标: the window 指标钮 opens, with the risk and return figures of each fund the yield
// chart draws, worked out from the very points it draws. While it is open it follows the
// chart: each drawing (a fund picked, a period button) replaces its rows, and a load the chart
// drops changes nothing here either.

#include <optional>
#include <string>

#include "app/app.h"
#include "chart/yield_comparison.h"

namespace analysis {

// Where the risk-free rate is kept, in percent a year, and what it is without a usable value.
inline constexpr char kRiskFreeSection[] = "分析";
inline constexpr char kRiskFreeKey[] = "无风险利率";
inline constexpr double kDefaultRiskFree = 1.5;

// The period's text in the window ("近1年" for "year"); the key itself when unknown.
std::string PeriodText(const std::string& key);

// The window's feature: it keeps the chart's last drawing. Made by the shell; outlives the App's
// windows.
class RiskWindow {
 public:
  explicit RiskWindow(app::App& app) : app_(app) {}
  RiskWindow(const RiskWindow&) = delete;
  RiskWindow& operator=(const RiskWindow&) = delete;

  // Attaches 指标钮 and has `comparison` tell the window each drawing.
  void Install(chart::ComparisonState& comparison);

 private:
  app::App& app_;
  std::optional<chart::DrawnComparison> last_;
};

}  // namespace analysis
