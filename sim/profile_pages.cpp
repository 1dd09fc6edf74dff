// The profile pages of a fund (overview, managers, risk statistics) and its rating answer.

#include <cstdio>

#include "base/text.h"
#include "sim/fund_pages.h"
#include "sim/page_text.h"
#include "sim/random.h"

namespace sim {
namespace {

// "2021-06-30" as "2021年06月30日".
std::string ChineseDate(const std::string& date) {
  if (date.size() != 10) return date;
  return date.substr(0, 4) + "年" + date.substr(5, 2) + "月" + date.substr(8, 2) + "日";
}

std::string ProfileHead(const Fund& fund, const std::string& what) {
  return PageHead(fund.name + "(" + fund.code + ")" + what) +
         "<div class=\"bs_jz\"><div class=\"col-left\"><h4 class=\"title\"><a href=\"/" +
         fund.code + ".html\">" + fund.name + "</a>  (" + fund.code +
         ")</h4></div><div class=\"col-right\"><p class=\"row row1\">单位净值（" + fund.nav_date +
         "）：<b class=\"red lar bold\">" + UnitNavText(fund) + " ( " + DayChangeText(fund) +
         " )</b></p></div></div>\r\n<div class=\"txt_cont\"><div class=\"txt_in\">\r\n";
}

constexpr std::string_view kProfileFoot = "</div></div>\r\n";

std::string BoxTitle(std::string_view title) {
  return "<div class=\"box\"><div class=\"boxitem w790\"><h4 class=\"t\"><label "
         "class=\"left\">" +
         std::string(title) + "</label></h4><div class=\"space0\"></div>\r\n";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string FundSizePage(const Market& market, const Fund& fund) {
  const FundDetail detail = DetailOf(market, fund);
  const std::string as_of = "（截止至：" + ChineseDate(detail.report_date) + "）";
  char units[32];
  std::snprintf(units, sizeof units, "%.4f", std::stod(detail.size) / fund.unit_nav);
  const std::string manager = detail.manager ? detail.manager->names : "--";
  return ProfileHead(fund, "基金基本概况") + BoxTitle("基本概况") +
         "<table class=\"info w790\"><tr><th>基金全称</th><td>" + fund.name +
         "证券投资基金</td><th>基金简称</th><td>" + fund.name +
         "</td></tr>\r\n<tr><th>基金代码</th><td>" + fund.code +
         "（前端）</td><th>基金类型</th><td>" + fund.type +
         "</td></tr>\r\n<tr><th>成立日期</th><td>" + fund.inception_date +
         "</td><th>份额规模</th><td>" + units + "亿份" + as_of +
         "</td></tr>\r\n<tr><th>资产规模</th><td>" + detail.size + "亿元" + as_of +
         "</td><th>基金经理人</th><td>" + manager +
         "</td></tr>\r\n<tr><th>管理费率</th><td>1.50%（每年）</td><th>托管费率</th><td>0.25%"
         "（每年）</td></tr>\r\n</table></div></div>\r\n" +
         std::string(kProfileFoot) + std::string(kPageFoot);
}

std::string FundManagerPage(const Market& market, const Fund& fund) {
  const FundDetail detail = DetailOf(market, fund);
  std::string page = ProfileHead(fund, "基金经理变动一览") + BoxTitle("基金经理变动一览");
  if (!detail.manager) {
    return page + "<p class=\"nodata\">暂无基金经理数据</p></div></div>\r\n" +
           std::string(kProfileFoot) + std::string(kPageFoot);
  }
  const FundManager& manager = *detail.manager;
  std::string links;
  for (const std::string& name : base::Split(manager.names, "、")) {
    if (!links.empty()) links += "&nbsp;&nbsp;";
    links += "<a href=\"/manager/" + fund.code + ".html\">" + name + "</a>";
  }
  page +=
      "<table class=\"w782 comm  jloff\"><thead><tr><th>起始期</th><th>截止期</th><th>"
      "基金经理</th><th>任职期间</th><th>任职回报</th></tr></thead><tbody><tr><td>" +
      manager.start_date + "</td><td>至今</td><td>" + links + " </td><td>" + manager.tenure +
      "</td><td class='tor'>" + manager.tenure_return + "</td></tr>\r\n";
  if (!manager.previous_tenure.empty()) {
    page += "<tr><td>" + fund.inception_date + "</td><td>" + manager.start_date +
            "</td><td><a href=\"/manager/0.html\">前任经理</a> </td><td>" +
            manager.previous_tenure + "</td><td class='tor'>" + manager.previous_return +
            "</td></tr>\r\n";
  }
  page += "</tbody></table>\r\n";
  // The manager's own record below repeats the headers in another layout.
  page +=
      "<div class=\"jl_intro\"><table class=\"w782 comm\"><thead><tr><th>基金名称</th><th>"
      "任职期间</th><th>任职回报</th></tr></thead><tbody><tr><td>" +
      fund.name + "</td><td>" + manager.tenure + "</td><td class='tor'>" + manager.tenure_return +
      "</td></tr></tbody></table></div>\r\n";
  return page + "</div></div>\r\n" + std::string(kProfileFoot) + std::string(kPageFoot);
}

std::string FundRiskPage(const Market& market, const Fund& fund) {
  const FundDetail detail = DetailOf(market, fund);
  std::string page = ProfileHead(fund, "特色数据") + BoxTitle("风险等级") +
                     "<table class=\"fxdj\"><tr><td class='num'>中高风险</td></tr></table>"
                     "</div></div>\r\n" +
                     BoxTitle("风险指标") +
                     "<table class=\"fxtb\"><tr><th>基金风险指标</th><th class=\"num\">近1年</th>"
                     "<th class=\"num\">近2年</th><th class=\"num\">近3年</th>\r\n</tr>";
  const size_t per_row = static_cast<size_t>(detail.stats_per_row);
  const char* names[] = {"标准差", "夏普比率"};
  for (size_t row = 0; row < 2; ++row) {
    page += "<tr><td>" + std::string(names[row]) + "</td>";
    for (size_t i = 0; i < per_row && row * per_row + i < detail.stats.size(); ++i) {
      page += "<td class='num'>" + detail.stats[row * per_row + i] + "</td>";
    }
    page += "</tr>\r\n";
  }
  page += "</table>\r\n<div class=\"limit-time\">截止至：" + detail.stats_date +
          "</div></div></div>\r\n" + BoxTitle("投资风格") +
          "<table class=\"fgtb\"><tr><th>报告期</th><th class=\"num\">风格箱</th></tr><tr><td>" +
          detail.holdings_quarter +
          "</td><td class='num'>大盘成长</td></tr></table></div></div>\r\n";
  return page + std::string(kProfileFoot) + std::string(kPageFoot);
}

std::string FundRatingAnswer(const Market& market, const Fund* fund, const std::string& callback) {
  std::string records;
  int count = 0;
  if (fund != nullptr) {
    const FundDetail detail = DetailOf(market, *fund);
    Random random(Mix(market.options().seed, detail.index, 0xE3));
    // Latest first; the older quarters have ratings of their own.
    static constexpr const char* kDates[] = {"", "2021-03-31", "2020-12-31", "2020-09-30"};
    for (const char* date : kDates) {
      const int older = static_cast<int>(random.Below(6));
      const std::string szpj3 = count == 0  ? detail.rating
                                : older > 0 ? std::to_string(older)
                                            : std::string();
      const int other_stars = static_cast<int>(random.Below(6));
      const std::string zs = other_stars > 0 ? std::to_string(other_stars) : std::string();
      if (count > 0) records += ",";
      records += "{\"FCODE\":" + Quoted(fund->code) +
                 ",\"RDATE\":" + Quoted(count == 0 ? detail.report_date : date) +
                 ",\"HTPJ\":\"\",\"JAPJ\":" + Quoted(zs) + ",\"ZSPJ\":" + Quoted(zs) +
                 ",\"SZPJ3\":" + Quoted(szpj3) + ",\"ZSPJ5\":" + Quoted(zs) +
                 ",\"JAJXPJ\":\"\",\"TXPJ\":\"\"}";
      ++count;
    }
  }
  const std::string json = "{\"Data\":[" + records +
                           "],\"ErrCode\":0,\"Success\":true,\"ErrMsg\":null,\"Message\":null,"
                           "\"ErrorCode\":\"0\",\"Expansion\":null,\"TotalCount\":" +
                           std::to_string(count) + ",\"PageSize\":50,\"PageIndex\":1}";
  return callback.empty() ? json : callback + "(" + json + ")";
}

}  // namespace sim
