// The form field builders: list loaders, drop-downs, selectors and record look-ups.
#include <gtest/gtest.h>

#include <tuple>

#include "config/ChkEligWeb.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"
#include "request/no_date.h"
#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

class BuildersTest : public ::testing::Test {
 protected:
  BuildersTest() : sim_(district_) {
    add_sample_data(district_);
    sign_in(sim_, "transport", "pw");
  }
  District district_;
  Simulator sim_;
};

// Each field of `html` has the value a browser would post.
void expect_fields(const std::string& html, const std::string& fields) {
  for (const auto& [name, value] : pairs_of(fields)) {
    EXPECT_EQ(field_value(html, name), value) << name << " in " << html;
  }
}

TEST_F(BuildersTest, time_selector_shows_twelve_hour_time_and_the_meridian) {
  PageHarness harness(sim_);
  request::FieldBuilders& page = harness.get<request::FieldBuilders>();
  // A time between the five-minute steps selects no minute; no time adds a selected blank.
  const std::tuple<vb::DateTime, const char*, const char*> cases[] = {
      {vb::TimeSerial(0, 7, 0), "DEP", "DEP_HOUR=12|DEP_MIN=|DEP_AMPM=AM"},
      {vb::TimeSerial(12, 30, 0), "ARRIVE", "ARRIVE_HOUR=12|ARRIVE_MIN=30|ARRIVE_AMPM=PM"},
      {vb::TimeSerial(23, 55, 0), "DEP", "DEP_HOUR=11|DEP_MIN=55|DEP_AMPM=PM"},
      {request::kNoDate, "RET", "RET_HOUR= |RET_MIN= |RET_AMPM=PM"},
      {request::kNoDate, "ARRIVE", "ARRIVE_HOUR= |ARRIVE_MIN= |ARRIVE_AMPM=AM"},
  };
  for (const auto& [time, prefix, fields] : cases) {
    const std::string html = page.BuildTimeDD(time, prefix, "A");
    expect_fields(html, fields);
    EXPECT_EQ(occurrences(html, "<option"), time.serial == request::kNoDate.serial ? 26 : 24);
    EXPECT_TRUE(before(html, "'1'>1</option>", "'12'>12</option>")) << html;
    EXPECT_TRUE(before(html, "'5'>05</option>", "'55'>55</option>")) << html;
  }
}

TEST_F(BuildersTest, date_selectors_run_their_fixed_ranges_up_to_two_years_ahead) {
  PageHarness harness(sim_);
  request::FieldBuilders& page = harness.get<request::FieldBuilders>();
  const std::string years = page.BuildYearDD(vb::DateSerial(2001, 6, 1), "Dep", "");
  EXPECT_EQ(field_value(years, "Dep_year"), "");
  EXPECT_EQ(occurrences(years, "<option"), 27);
  EXPECT_TRUE(before(years, "<option value='2002'>2002</option>", "'2028'>2028</option></select>"));
  expect_fields(page.BuildYearDD(vb::DateSerial(2026, 12, 31), "Dep", ""), "Dep_year=2026");
  const std::string unknown = page.BuildYearDD(request::kNoDate, "Dep", "");
  EXPECT_TRUE(contains(unknown, "<option selected value = ' '></option><option value='2005'>"));
  EXPECT_FALSE(contains(unknown, "2004"));
  const std::string month = page.BuildMonthDD(vb::DateSerial(2009, 3, 7), "Rtn", "x");
  expect_fields(month, "Rtn_month=Mar");
  const std::string day = page.BuildDayDD(vb::DateSerial(2009, 3, 7), "Dep", "");
  expect_fields(day, "Dep_date=7");
}

TEST_F(BuildersTest, fund_drop_down_marks_the_chosen_fund) {
  PageHarness harness(sim_);
  EXPECT_EQ(harness.get<request::FieldBuilders>().BuildFundDD("", "200"),
            "<select name='fund' width='40' ><option value=''></option><option "
            "value='100'>General</option><option value='200' selected >Athletics</option>"
            "<option value='300'></option></select>");
}

TEST_F(BuildersTest, customer_funds_build_from_the_pages_own_list) {
  sim_.set_application("DISTRICT.USECUSTFUND", "True");
  PageHarness harness(sim_);
  request::FieldBuilders& page = harness.get<request::FieldBuilders>();
  EXPECT_EQ(page.BuildFundDD("", ""), "");  // never filled: no select at all
  page.PopulateFundDD("LHS");
  EXPECT_EQ(page.BuildFundDD("", "100"),
            "<select name='fund' width='40' ><option value=''></option><option value='100' "
            "selected >General</option><option value='200'>Athletics</option></select>");
  page.PopulateFundDD("0");
  EXPECT_EQ(page.BuildFundDD("", ""),
            "<select name='fund' width='40' ><option value='' selected ></option></select>");
}

TEST_F(BuildersTest, destination_drop_down_for_typed_new_and_unknown_destinations) {
  PageHarness harness(sim_);
  request::FieldBuilders& page = harness.get<request::FieldBuilders>();
  EXPECT_EQ(page.BuildDestinationDD("A", "", false),
            "<select name='dest' width='30' A><option value=''></option><option value='11'>City "
            "Park</option><option value='10'>Science Museum of the Great La</option></select>");
  EXPECT_EQ(
      page.BuildDestinationDD("A", "99", false),
      "<select name='dest' width='30' A><option value='' ></option><option value='11' "
      ">City Park</option><option value='10' >Science Museum of the Great La</option></select>");
  EXPECT_NE(page.BuildDestinationDD("A", "<script>", true).find("&lt;script&gt;"),
            std::string::npos);
}

TEST_F(BuildersTest, record_look_ups_and_their_defaults) {
  PageHarness harness(sim_);
  request::FieldBuilders& page = harness.get<request::FieldBuilders>();
  page.getcust("ADAMS");
  EXPECT_EQ(page.customer().strCustSpec, " ");
  EXPECT_EQ(page.customer().strCustDefaultFormat, "CARLINE_INVOICE");
  page.getcust("NOPE' OR '1'='1");
  EXPECT_EQ(page.customer().strCustName, "Not Found");
  EXPECT_EQ(page.customer().intCustBillRate, 1);  // kept from before
  EXPECT_EQ(harness.output(), "");

  ASSERT_TRUE(ChkEligWeb::PrepareDatabase(harness.context()));
  EXPECT_EQ(page.getdest("12"), "");  // inactive, unknown miles read as 0
  EXPECT_EQ(page.destination().strDestDesc, "Old Mill");
  EXPECT_EQ(page.getdest(" "), "");
  EXPECT_EQ(page.destination().strDestDesc, "");

  EXPECT_EQ(page.getCHAIN("LHS", "FLD"), "");
  EXPECT_EQ(harness.output(), "");
}

TEST_F(BuildersTest, fund_descriptions_respect_customer_funds) {
  PageHarness harness(sim_);
  request::FieldBuilders& page = harness.get<request::FieldBuilders>();
  ASSERT_TRUE(ChkEligWeb::PrepareDatabase(harness.context()));
  EXPECT_EQ(page.getFundDesc(" 100 ", "ADAMS"), "General");
  EXPECT_EQ(page.getFundDesc("300", ""), "No Description");
  EXPECT_EQ(page.getFundDesc("900", ""), std::nullopt);
  sim_.set_application("DISTRICT.USECUSTFUND", "True");
  sim_.set_session("CANOVERRIDEFUND", "False");
  EXPECT_EQ(page.getFundDesc("100", "ADAMS"), std::nullopt);
  EXPECT_EQ(page.getFundDesc("100", "LHS"), "General");
  sim_.set_session("CANOVERRIDEFUND", "True");
  EXPECT_EQ(page.getFundDesc("100", "ADAMS"), "General");
}

}  // namespace
