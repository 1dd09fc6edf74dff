#include "funds/fund_search.h"

#include "funds/lists_fixture.h"
#include "sim/fund_search.h"

namespace {

using lists_test::ListsTest;

std::string SearchTarget(const std::string& key) {
  return "/FundSearch/api/FundSearchAPI.ashx?callback=jQuery18304481644478480933_1628571546744"
         "&m=1&key=" +
         key + "&_=1628571587137";
}

class FundSearchTest : public ListsTest {
 protected:
  ui::EditBox& box() { return main().搜索框; }
  ui::ListView& results() { return main().超级列表框1; }
  // The list shows exactly the funds the service finds for `key`, in its order.
  void ExpectResultsOf(const std::string& key) {
    const std::vector<int> found = sim::SearchFunds(sim_->market(), key);
    ASSERT_EQ(static_cast<int>(found.size()), results().RowCount()) << key;
    for (int i = 0; i < results().RowCount(); ++i) {
      const sim::Fund& fund = sim_->market().funds()[found[i]];
      EXPECT_EQ(fund.name, results().Text(i, 0));
      EXPECT_EQ(fund.code, results().Text(i, 1));
    }
  }
};

TEST_F(FundSearchTest, EveryChangeAsksOnceAndTheListFitsItsResults) {
  box().FocusGained();
  EXPECT_EQ("", box().Text());
  EXPECT_EQ(ui::kDefaultTextColour, box().TextColour());
  EXPECT_FALSE(results().Visible());

  box().SetText("0");
  Settle();
  box().SetText("00");
  Settle();
  EXPECT_EQ((std::vector<std::string>{SearchTarget("0"), SearchTarget("00")}), Targets());
  ExpectResultsOf("00");

  // Upper-case escapes of the UTF-8 bytes.
  box().SetText("易方达");
  Settle();
  EXPECT_EQ(SearchTarget("%E6%98%93%E6%96%B9%E8%BE%BE"), Targets().back());
  ASSERT_GT(results().RowCount(), 0);
  ExpectResultsOf("易方达");

  std::string five;
  for (int n = 10; n < 100 && five.empty(); ++n) {
    if (sim::SearchFunds(sim_->market(), std::to_string(n)).size() == 5) five = std::to_string(n);
  }
  ASSERT_NE("", five);
  box().SetText(five);
  Settle();
  ExpectResultsOf(five);
  EXPECT_EQ(192, results().Geometry().height);
  EXPECT_TRUE(results().Visible());

  const size_t asked = Targets().size();
  box().SetText("");
  Settle();
  EXPECT_FALSE(results().Visible());
  EXPECT_EQ(asked, Targets().size());
}

TEST_F(FundSearchTest, SlowAnswerForAnOlderTextIsDropped) {
  sim::FaultOptions slow;
  slow.target_latency = {{"key=0&", 400}};
  sim_->SetFaults(slow);
  box().SetText("0");
  WaitForRequests(1);
  box().SetText("00");  // typed while "0" is asked for
  Settle();

  EXPECT_EQ("00", box().Text());
  EXPECT_EQ(2u, Targets().size());
  ASSERT_NE(sim::SearchFunds(sim_->market(), "0").size(),
            sim::SearchFunds(sim_->market(), "00").size());
  ExpectResultsOf("00");
  EXPECT_TRUE(results().Visible());
}

}  // namespace
