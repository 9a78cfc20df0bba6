// Request persistence: delete, the typed-in destination, bill rates, text breaking, new rows.
#include <gtest/gtest.h>

#include "platform/vb/conversions.h"
#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

class PersistenceTest : public ::testing::Test {
 protected:
  PersistenceTest() : sim_(district_) {
    add_sample_data(district_);
    sign_in(sim_, "teacher", "apple");
  }
  long count(const std::string& table, const std::string& where) {
    PageHarness harness(sim_);
    harness.page().prepare_database();
    db::Recordset rs;
    db::Connection& connection =
        table == "TRIPS" ? harness.page().module().trip_db() : harness.page().module().request_db();
    rs.open("SELECT * FROM " + table + " WHERE " + where, connection);
    return rs.record_count();
  }
  District district_;
  Simulator sim_;
};

TEST(BreakString, breaks_once_after_the_thirtieth_character) {
  // BreakString is a plain text operation; a harness-free page is not needed for it, but it is a
  // member of the page class.
  District district;
  Simulator sim(district);
  PageHarness harness(sim);
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
    EXPECT_EQ(harness.page().BreakString(text, 30), c.result);
    EXPECT_EQ(text, c.result);
  }
}

TEST_F(PersistenceTest, bill_rate_amounts_skip_null_columns) {
  PageHarness harness(sim_);
  Jaunter& page = harness.page();
  ASSERT_TRUE(page.prepare_database());
  page.getBILLRATEFlat(2);
  EXPECT_FLOAT_EQ(page.bill_rate.sngBillAmount[1], 1.5f);
  EXPECT_FLOAT_EQ(page.bill_rate.sngBillAmount[3], 0.0f);
  EXPECT_FLOAT_EQ(page.bill_rate.sngBillAmount[5], 2.25f);
  EXPECT_EQ(page.bill_rate.strBillAmountTxt[2], "Per hour");
  EXPECT_EQ(page.bill_rate.strBillAmountTxt[3], " ");
  page.getBILLRATEFlat(99);
  EXPECT_FLOAT_EQ(page.bill_rate.sngBillAmount[1], 0.0f);
  EXPECT_EQ(page.bill_rate.strBillAmountTxt[1], " ");
  EXPECT_EQ(harness.output(), "");
}

TEST_F(PersistenceTest, the_typed_in_destination_of_a_stored_request_comes_back) {
  PageHarness harness(sim_);
  harness.page().SetDestFromREQ(1002);
  const std::pair<const char*, const char*> keys[] = {
      {"RequestDetail.destination", "0"},
      {"RequestDetail.destdesc", "Regional Stadium"},
      {"RequestDetail.destcat", "PARK"},
      {"RequestDetail.miles", "9"},
      {"RequestDetail.destadd1", "77 Stadium Way"},
      {"RequestDetail.destadd2", "Gate 4"},
      {"RequestDetail.destcity", "Lakeview"},
      {"RequestDetail.destzip", "55555"},
      {"RequestDetail.destspec", ""},
      {"RequestDetail.deststate", "MN"}};
  for (const auto& [key, value] : keys) EXPECT_EQ(sim_.session_text(key), value) << key;
  harness.page().SetDestFromREQ(4242);
  EXPECT_EQ(sim_.session_text("RequestDetail.destdesc"), "");
  EXPECT_EQ(harness.output(), "");
}

TEST_F(PersistenceTest, a_null_destination_is_reported_and_the_keys_stay) {
  district_.sql("request", "UPDATE TRIPSREQ SET DESTINATION = NULL WHERE TRIPNUM = 1003");
  sim_.set_session("RequestDetail.destdesc", "kept");
  PageHarness harness(sim_);
  harness.page().SetDestFromREQ(1003);
  EXPECT_EQ(harness.output(),
            "Error in Procedure: SetDestFromREQ of Module: Jaunter.  Error: 94.  Invalid use of "
            "Null.");
  EXPECT_EQ(sim_.session_text("RequestDetail.destdesc"), "kept");
}

TEST_F(PersistenceTest, delete_removes_the_request_and_a_missing_one_is_no_error) {
  PageHarness harness(sim_);
  harness.page().DeleteTripRequest(1003);
  harness.page().DeleteTripRequest(4242);
  EXPECT_EQ(harness.page().module().error, "NA");
  EXPECT_EQ(count("TRIPSREQ", "TRIPNUM = 1003"), 0);
  EXPECT_EQ(count("TRIPSREQ", "TRIPNUM = 1001"), 1);
}

TEST_F(PersistenceTest, a_trip_made_from_a_request_keeps_its_link_and_not_its_typed_destination) {
  district_.sql("request", "UPDATE TRIPSREQ SET DESTSPEC = 'Gate 4 entrance' WHERE TRIPNUM = 1002");
  PageHarness harness(sim_);
  Jaunter& page = harness.page();
  const std::int32_t trip = page.CreateTrip(1002);
  EXPECT_GT(trip, 0);
  db::Recordset rs;
  rs.open("SELECT * FROM TRIPS WHERE TRIPNUM = " + std::to_string(trip), page.module().trip_db());
  ASSERT_FALSE(rs.eof());
  EXPECT_EQ(vb::CLng(rs.field("DESTINATION")), 0);
  EXPECT_EQ(vb::CStr(rs.field("DESTSPEC")), "Gate 4 entrance");
  EXPECT_EQ(vb::CLng(rs.field("TRIPREQNUM")), 1002);
  EXPECT_EQ(vb::CStr(rs.field("CUSTOMER")), "LHS");
  EXPECT_EQ(vb::CStr(rs.field("TRIPCOM")), " ");
  EXPECT_TRUE(vb::CBool(rs.field("BILL")));
  EXPECT_FALSE(vb::CBool(rs.field("ASSIGNED")));
  EXPECT_EQ(vb::date_text(vb::CDate(rs.field("DEPTIME"))), "12:00:01 AM");
  EXPECT_TRUE(rs.field("RETTIME").is_null());
  EXPECT_EQ(vb::CStr(rs.field("PURPOSE")), "Game");
}

TEST_F(PersistenceTest, a_bare_request_gets_its_number_at_once) {
  PageHarness harness(sim_);
  Jaunter& page = harness.page();
  ASSERT_TRUE(page.prepare_database());
  page.getcust("LHS");
  page.customer.strCustomer = "LHS";
  page.AddNewTRIPREQ();
  const std::string number = sim_.session_text("TRIPREQ");
  ASSERT_FALSE(number.empty());
  EXPECT_GT(std::stol(number), 1003);
  EXPECT_EQ(harness.output(), "");
  db::Recordset rs;
  rs.open("SELECT * FROM TRIPSREQ WHERE TRIPNUM = " + number, page.module().request_db());
  EXPECT_EQ(vb::CStr(rs.field("STATUS")), "UNAPPROVED");
  EXPECT_EQ(vb::CStr(rs.field("CHAINID")), "HS");
  EXPECT_EQ(vb::CStr(rs.field("CAPACITY")), "High");
  EXPECT_EQ(vb::CStr(rs.field("ENTEREDBY")), "teacher");
  EXPECT_EQ(vb::CLng(rs.field("BILLRATE")), 2);
  EXPECT_EQ(vb::CDate(rs.field("ENTERDATE")), sim_.clock().now());
}

TEST_F(PersistenceTest, new_request_state_keeps_the_value_keys) {
  sim_.set_session("RequestDetail.contact", "Kept");
  sim_.set_session("TRIPREQ", "1001");
  PageHarness harness(sim_);
  harness.page().SetNewVars();
  EXPECT_EQ(sim_.session_text("RequestDetail.New"), "NEW");
  EXPECT_EQ(sim_.session_text("TRIPREQ"), "");
  EXPECT_EQ(sim_.session_text("blnDepDtWarn"), "False");
  EXPECT_EQ(sim_.session_text("RequestDetail.contact"), "Kept");
  EXPECT_TRUE(harness.page().form.blnNewRequest);
  EXPECT_TRUE(harness.page().form.blnCanEdit);
}

}  // namespace
