// The cuts of a fund's pages: each value between its markers, and what a page without them
// gives.

#include <gtest/gtest.h>

#include "portal/fund_page.h"
#include "portal/fund_profile.h"
#include "portal/holdings.h"

namespace portal {
namespace {

std::string MainPage(const std::string& bolds) {
  return "<html><div class=\"bold\">不是这里</div>"
         "<dl><dt><p><span>单位净值</a></span> (</span>2021-08-20)</p></dt><dd class=\"x\">"
         "<span class=\"ui-num\">1.2345</span><span class=\"ui-color-red\">0.56%"
         "</span></dd><dd><span>近3月</span></dd></dl>"
         "<td>基金类型：<a href=\"x\">混合型</a>&nbsp;|&nbsp;高风险</td>"
         "<tr><td><div class=\"typeName\">阶段涨幅</div></td><td>  <div class=\"Rdata ui-color" +
         bolds +
         "</td> </tr><tr><td>  <div class=\"typeName\">同类平均<div class=\"bold\">9.99%</div>";
}

TEST(FundCutsTest, SummaryCutsEveryValueAndLeavesMissingPeriodsEmpty) {
  std::string bolds;
  for (const char* v : {"55.2%", "12.5%", "-3.1%", "0.00%", "1.00%", "2.00%"}) {
    bolds += std::string("-red\"><div class=\"bold\">") + v + "</div></td><td>";
  }
  const FundSummary s = CutFundSummary(MainPage(bolds));
  EXPECT_EQ("混合型", s.fund_type);
  EXPECT_EQ("2021-08-20", s.nav_date);
  EXPECT_EQ("1.2345", s.unit_nav);
  EXPECT_EQ("0.56%", s.day_change);
  EXPECT_EQ("55.2%", s.periods[0]);
  EXPECT_EQ("2.00%", s.periods[5]);
  EXPECT_EQ("", s.periods[6]);  // the peer average row is not a period
  EXPECT_EQ("", s.periods[7]);
  EXPECT_TRUE(s.marked);

  // A page with neither row is no fund page, however it arrived.
  for (const char* page : {"", "<html>维护中</html>"}) {
    const FundSummary none = CutFundSummary(page);
    EXPECT_EQ("", none.unit_nav);
    EXPECT_EQ("", none.periods[0]);
    EXPECT_FALSE(none.marked) << page;
  }
}

TEST(FundCutsTest, ProfilePagesCutTheirFiguresAndFallBack) {
  EXPECT_EQ("12.34", CutFundSize("<tr><th>资产规模</th><td>12.34亿元（截止至：2021-06-30）"));
  const ManagerFigures m = CutManagerFigures(
      "<th>任职期间</th><th>任职回报</th></tr></thead><tbody><tr><td>2018-01-02 ~ 至今</td>"
      "<td><a href='x'>张三</a> </td><td>3年又120天</td><td class='tor'>45.67%</td></tr>");
  EXPECT_EQ("3年又120天", m.tenure);
  EXPECT_EQ("45.67%", m.tenure_return);
  EXPECT_EQ("", CutManagerFigures("<table>没有经理</table>").tenure);

  EXPECT_EQ("4", CutRating(R"(jQuery({"Data":[{"SZPJ3":"4","ZSPJ5":"5"}]}))"));
  EXPECT_EQ("0", CutRating(R"(jQuery({"Data":[{"SZPJ3":"","ZSPJ5":"5"}]}))"));
  EXPECT_EQ("0", CutRating(""));

  const std::string head = "<th class=\"num\">近3年</th>\r\n";
  const std::string tail = "</table><div class=\"limit-time\">截止至：2021-08-20</div>";
  EXPECT_EQ(std::vector<std::string>({"1.1%", "2.2%", "0.3", "0.4"}),
            CutRiskStatistics(head +
                              "<tr><td>标准差</td><td class='num'>1.1%</td><td "
                              "class='num'>2.2%</td></tr>\r\n<tr><td>夏普比率</td><td "
                              "class='num'>0.3</td><td class='num'>0.4</td></tr>" +
                              tail));
  std::string many = head;
  for (int i = 1; i <= 8; ++i) many += "<td class='num'>" + std::to_string(i) + "</td>\r\n";
  EXPECT_EQ(6u, CutRiskStatistics(many + tail).size());
}

TEST(FundCutsTest, QuotesPairWithTheirOwnShareWhateverTheirOrder) {
  const HoldingsArchive archive = CutHoldingsArchive(
      "var apidata={ content:\"<td>档案</a></td><td class='tor'>9.87%</td><td class='tor'>1</td>"
      "<td>档案</a></td><td class='tor'>5.00%</td><td class='tor'>2</td>"
      "<td>档案</a></td><td class='tor'>1.25%</td><td class='tor'>3</td>"
      "<div class='hide' id='gpdmList'>1.600519,0.000858,116.00700,</div>\"}");
  EXPECT_EQ(std::vector<std::string>({"9.87%", "5.00%", "1.25%"}), archive.shares);
  EXPECT_EQ(std::vector<std::string>({"1.600519", "0.000858", "116.00700"}), archive.identifiers);

  // Another order, one stock missing, and a ")" inside a name.
  const std::vector<Holding> holdings =
      PairQuotes(R"js(jQuery1({"rc":0,"data":{"diff":[{"f12":"00700","f14":"腾讯(控股)"},)js"
                 R"js({"f12":"600519","f14":"贵州茅台"}]}});)js",
                 archive);
  ASSERT_EQ(2u, holdings.size());
  EXPECT_EQ("腾讯(控股)", holdings[0].name);
  EXPECT_EQ("1.25%", holdings[0].share);
  EXPECT_EQ("600519", holdings[1].code);
  EXPECT_EQ("9.87%", holdings[1].share);
  EXPECT_TRUE(PairQuotes("not json", archive).empty());
}

}  // namespace
}  // namespace portal
