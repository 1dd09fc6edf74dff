// The App's transfer control: the worker registry's stop reaches it.

#include <gtest/gtest.h>

#include "app/app_fixture.h"

namespace app {
namespace {

TEST(AppTransfersTest, StoppingTheWorkersAsksTheAppsTransfersToStop) {
  app_test::AppFixture fixture;
  EXPECT_FALSE(fixture.app.transfers().StopRequested());
  fixture.app.workers().RequestStop();
  EXPECT_TRUE(fixture.app.transfers().StopRequested());
  // Another App's transfers go on.
  app_test::AppFixture other;
  EXPECT_FALSE(other.app.transfers().StopRequested());
}

}  // namespace
}  // namespace app
