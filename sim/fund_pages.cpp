#include "sim/fund_pages.h"

#include <cstdio>

#include "sim/page_text.h"
#include "sim/random.h"
#include "sim/server.h"

namespace sim {
namespace {

constexpr std::string_view kPeriodNames[] = {"近1周",  "近1月", "近3月", "近6月",
                                             "今年来", "近1年", "近2年", "近3年"};

std::string_view TypeCode(const std::string& type) {
  if (type == "股票型") return "gp";
  if (type == "混合型") return "hh";
  if (type == "债券型") return "zq";
  if (type == "指数型") return "zs";
  if (type == "QDII") return "qdii";
  return "fof";
}

std::string Figure(std::string_view text) {
  return "<span class=\"ui-font-middle " + std::string(ColourClass(text)) + " ui-num\">" +
         std::string(text) + "</span>";
}

// One figure of the period rows: two blanks, then the value's div.
std::string RowCell(std::string_view text) {
  return "<td>  <div class=\"Rdata " + std::string(ColourClass(text)) + " bold\">" +
         std::string(text) + "</div></td>";
}

std::string Header(const Fund& fund) {
  // A bold element above the period row, which a cut over the whole page would pick up.
  return "<div class=\"fundDetail-header\"><div class=\"fundDetail-tit\"><div style=\"float: "
         "left\">" +
         fund.name + "<span>(</span><span class=\"ui-num\">" + fund.code +
         "</span><span>)</span></div><div class=\"bold\">" + fund.type + "</div></div></div>\r\n";
}

std::string NetValueBlock(const Fund& fund, const std::vector<std::string>& periods,
                          const FundDetail& detail) {
  auto period = [&](size_t i) { return i < periods.size() ? periods[i] : std::string("--"); };
  char accumulated[32];
  std::snprintf(accumulated, sizeof accumulated, "%.4f", fund.accumulated_nav);
  const std::string day = DayChangeText(fund);
  std::string text =
      "<div class=\"fundInfoItem\"><div class=\"dataOfFund\">\r\n"
      "<dl class=\"dataItem01\"><dt><p><span class=\"sp01\">净值估算</span><span "
      "class=\"sp02\">(15:00)</span></p></dt><dd class=\"dataNums\"><span class=\"ui-font-large "
      "ui-color-gray ui-num\" id=\"gz_gsz\">--</span><span class=\"ui-font-middle ui-color-gray "
      "ui-num\" id=\"gz_gszzl\">--</span></dd><dd><span>近1月：</span>" +
      Figure(period(1)) + "</dd><dd><span>近1年：</span>" + Figure(period(5)) + "</dd></dl>\r\n";
  text +=
      "<dl class=\"dataItem02\"><dt><p><span class=\"sp01\"><span class=\"sp01\"><a "
      "href=\"/jjjz_" +
      fund.code + ".html\">单位净值</a></span> (</span>" + fund.nav_date +
      ")</p></dt><dd class=\"dataNums\"><span class=\"ui-font-large ui-color-red ui-num\">" +
      UnitNavText(fund) + "</span>" + Figure(day) + "</dd><dd><span>近3月：</span>" +
      Figure(period(2)) + "</dd><dd><span>近3年：</span>" + Figure(period(7)) + "</dd></dl>\r\n";
  text +=
      "<dl class=\"dataItem03\"><dt><p><span class=\"sp01\">累计净值</span></p></dt><dd "
      "class=\"dataNums\"><span class=\"ui-font-large ui-color-red ui-num\">" +
      std::string(accumulated) + "</span></dd><dd><span>近6月：</span>" + Figure(period(3)) +
      "</dd><dd><span>成立来：</span>" +
      Figure(fund.since_inception ? FormatGrowth(fund.since_inception) + "%" : "--") +
      "</dd></dl>\r\n</div>\r\n";
  const std::string manager = detail.manager ? detail.manager->names : "--";
  text +=
      "<div class=\"infoOfFund\"><table><tr><td>基金类型：<a "
      "href=\"/fundguide.html#fundtype=" +
      std::string(TypeCode(fund.type)) + "\">" + fund.type +
      "</a>&nbsp;&nbsp;|&nbsp;&nbsp;中高风险</td><td>基金规模：" + detail.size + "亿元（" +
      detail.report_date + "）</td><td>基金经理：<a href=\"/manager/" + fund.code + ".html\">" +
      manager +
      "</a></td></tr><tr><td><span class=\"letSpace01\">成 立 "
      "日</span>：" +
      fund.inception_date +
      "</td><td>管 理 人：<a href=\"/company.html\">基金管理有限公司</a>"
      "</td><td>基金评级：<div class=\"jjpj" +
      detail.rating + "\"></div></td></tr></table></div></div>\r\n";
  return text;
}

// The period table: header, the fund's row, then the peer-average and ranking rows.
std::string PeriodTable(const Market& market, const std::vector<std::string>& periods, int index) {
  std::string text =
      "<li class=\"increaseAmount\"><div class=\"bd\"><table class=\"ui-table-hover\"><tr><th "
      "class=\"first\"></th>";
  for (std::string_view name : kPeriodNames) text += "<th>" + std::string(name) + "</th>";
  text += "</tr><tr><td>  <div class=\"typeName\">阶段涨幅</div></td>";
  for (const std::string& period : periods) text += RowCell(period);
  text +=
      " </tr><tr><td>  <div class=\"typeName\">同类平均<div class=\"infoTips\"><div "
      "class=\"tipsBubble\">同类基金的平均收益</div></div></div></td>";
  Random random(Mix(market.options().seed, index, 0xE1));
  for (size_t i = 0; i < std::size(kPeriodNames); ++i) {
    const double average = (1.0 + i) * (0.6 + random.Normal());
    text += RowCell(FormatGrowth(average) + "%");
  }
  text += " </tr><tr><td>  <div class=\"typeName\">同类排名</div></td>";
  for (size_t i = 0; i < std::size(kPeriodNames); ++i) {
    const int peers = 800 + static_cast<int>(random.Below(3000));
    text += "<td><div class=\"Rdata bold\">" + std::to_string(1 + random.Below(peers)) +
            "<font>|</font>" + std::to_string(peers) + "</div></td>";
  }
  return text + " </tr></table></div></li>\r\n";
}

// The fund of the first group of the request's path match, or null.
const Fund* RequestedFund(const Market& market, const httplib::Request& request) {
  return request.matches.size() > 1 ? FindFund(market, request.matches[1].str()) : nullptr;
}

void NotFound(httplib::Response& response) {
  response.status = 404;
  response.set_content(
      PageHead("页面不存在") + "<p>您访问的页面不存在</p>\r\n" + std::string(kPageFoot),
      "text/html; charset=utf-8");
}

void AddFundPage(PortalSim& sim, const std::string& pattern,
                 std::string (*page)(const Market&, const Fund&)) {
  const Market& market = sim.market();
  sim.AddGet(pattern,
             [&market, page](const httplib::Request& request, httplib::Response& response) {
               const Fund* fund = RequestedFund(market, request);
               if (fund == nullptr) return NotFound(response);
               response.set_content(page(market, *fund), "text/html; charset=utf-8");
             });
}

}  // namespace

std::string FundMainPage(const Market& market, const Fund& fund) {
  const FundDetail detail = DetailOf(market, fund);
  const std::vector<std::string> periods = PeriodTexts(fund);
  return PageHead(fund.name + "(" + fund.code + ")基金净值_估值_行情走势") + Header(fund) +
         NetValueBlock(fund, periods, detail) + PeriodTable(market, periods, detail.index) +
         std::string(kPageFoot);
}

void AddFundPageRoutes(PortalSim& sim) {
  // A trailing blank of a request text arrives as " " once the path is decoded, or as "%20"
  // where it is not.
  static constexpr const char* kBlank = "(?: |%20)?";
  const Market& market = sim.market();
  // The main page shows the NAV date and day change a test or the demo set.
  sim.AddGet(std::string(R"(/(\d{6})\.html)") + kBlank,
             [&sim, &market](const httplib::Request& request, httplib::Response& response) {
               const Fund* fund = RequestedFund(market, request);
               if (fund == nullptr) return NotFound(response);
               response.set_content(FundMainPage(market, sim.Shown(*fund)),
                                    "text/html; charset=utf-8");
             });
  AddFundPage(sim, std::string(R"(/jbgk_(\d{6})\.html)") + kBlank, FundSizePage);
  AddFundPage(sim, std::string(R"(/jjjl_(\d{6})\.html)") + kBlank, FundManagerPage);
  AddFundPage(sim, std::string(R"(/tsdata_(\d{6})\.html)") + kBlank, FundRiskPage);
  sim.AddGet(
      "/F10/JJPJ/?", [&market](const httplib::Request& request, httplib::Response& response) {
        const std::string code = request.get_param_value("fundcode");
        const Fund* fund = FindFund(market, code);
        // The portal answers hot-linked requests, without the fund's rating page as Referer, with
        // an empty history.
        const std::string referer = request.get_header_value("Referer");
        const std::string expected = "/jjpj_" + code + ".html";
        if (referer.size() < expected.size() ||
            referer.compare(referer.size() - expected.size(), expected.size(), expected) != 0) {
          fund = nullptr;
        }
        response.set_content(FundRatingAnswer(market, fund, request.get_param_value("callback")),
                             "application/javascript; charset=utf-8");
      });
}

}  // namespace sim
