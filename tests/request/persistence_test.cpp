// Request persistence: the typed-in destination of a stored request and text breaking.
#include "request/persistence.h"

#include <gtest/gtest.h>

#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

class PersistenceTest : public ::testing::Test {
 protected:
  PersistenceTest() : sim_(district_) {
    add_sample_data(district_);
    sign_in(sim_, "teacher", "apple");
  }
  District district_;
  Simulator sim_;
};

TEST(BreakString, breaks_once_after_the_thirtieth_character) {
  struct Case {
    std::string text, result;
  };
  const std::string thirty = "123456789012345678901234567890";
  const Case cases[] = {
      {thirty, thirty},
      {"12345678901234567890123456789 X", "12345678901234567890123456789 <br>X"},
      {thirty + "X", thirty + "-<br>X"},
      {thirty + thirty + "ABC", thirty + "-<br>" + thirty + "ABC"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(request::BreakString(text, 30), c.result);
    EXPECT_EQ(text, c.result);
  }
}

TEST_F(PersistenceTest, the_typed_in_destination_of_a_stored_request_comes_back) {
  PageHarness harness(sim_);
  harness.get<request::Persistence>().SetDestFromREQ(1002);
  for (const auto& [key, value] : pairs_of(
           "RequestDetail.destination=0|RequestDetail.destdesc=Regional Stadium|"
           "RequestDetail.destcat=PARK|RequestDetail.miles=9|RequestDetail.destadd1=77 Stadium "
           "Way|RequestDetail.destadd2=Gate 4|RequestDetail.destcity=Lakeview|"
           "RequestDetail.destzip=55555|RequestDetail.destspec=|RequestDetail.deststate=MN")) {
    EXPECT_EQ(sim_.session_text(key), value) << key;
  }
  harness.get<request::Persistence>().SetDestFromREQ(4242);
  EXPECT_EQ(sim_.session_text("RequestDetail.destdesc"), "");
  EXPECT_EQ(harness.output(), "");
}

TEST_F(PersistenceTest, a_null_destination_is_reported_and_the_keys_stay) {
  district_.sql("request", "UPDATE TRIPSREQ SET DESTINATION = NULL WHERE TRIPNUM = 1003");
  sim_.set_session("RequestDetail.destdesc", "kept");
  PageHarness harness(sim_);
  harness.get<request::Persistence>().SetDestFromREQ(1003);
  EXPECT_EQ(harness.output(),
            "Error in Procedure: SetDestFromREQ of Module: Jaunter.  Error: 94.  Invalid use of "
            "Null.");
  EXPECT_EQ(sim_.session_text("RequestDetail.destdesc"), "kept");
}

}  // namespace
