// The start-up: district settings into the application store, then the login page.
#include <gtest/gtest.h>

#include "tests/support/simulator.h"

namespace {

using testing_support::District;
using testing_support::message_of;
using testing_support::pairs_of;
using testing_support::Simulator;

class StartTest : public ::testing::Test {
 protected:
  StartTest() { district_.add_district_rows(); }
  District district_;
};

TEST_F(StartTest, a_request_without_an_item_loads_the_settings_and_shows_the_login_page) {
  Simulator sim(district_);
  const auto page = sim.get("");
  EXPECT_EQ(page.body.rfind("<!DOCTYPE html>", 0), 0u) << page.body.substr(0, 300);
  EXPECT_NE(page.body.find("Lakeview Unified"), std::string::npos);
  EXPECT_FALSE(sim.has_session());

  for (const auto& [key, value] : pairs_of(
           "DISTNAME=Lakeview Unified|DISTADDR1=100 Main St|DISTCITYSTZIP=Lakeview, MN  55555|"
           "DISTPHONE=555-0100|SESSION_TIMEOUT=20|PageSize=20|DOTNET_INSTALLED=False|"
           "CALENDAR_URL=http://calendar.example.org/|SmtpServer=127.0.0.1|SmtpPort=2525|"
           "SmtpAuthentication=False|SmtpUsername=|EmailFromAddress=trips@example.org|"
           "EmailFromName=Field Trips|DEFAULT_CALCNUMDRIVER=True|DEFAULTVTYPE=BUS|"
           "WEBTITLE=Carline FIELD TRIPS|WEBLINK1=Quillmark Software, Inc|AUTOFILL_REQUESTS=True|"
           "AUTOFILL_TRIPS=True|VIEW_OTHER_SCHOOLS=False|DISTRICT.FUND_DD=True|"
           "DISTRICT.DEPDT_LEADTIME=3|DISTRICT.DEPDT_LEADTIME_HARDWARN=False|"
           "DISTRICT.USECUSTFUND=False|DISTRICT.TOTAL_TRIPS_LIMIT=0|"
           "TRIP_REQ_REQUIRED.REQUEST_DATE_REQ=False|TRIP_REQ_REQUIRED.FUND_REQ=False|"
           "TRIP_REQ_REQUIRED.INVOICE_COMMENT_REQ=False"))
    EXPECT_EQ(sim.application_text(key), value) << key;
  EXPECT_TRUE(sim.application("SESSION_TIMEOUT").holds<std::int16_t>());
  EXPECT_TRUE(sim.application("DOTNET_INSTALLED").is_bool());
  EXPECT_EQ(sim.application_text("APP_PATH"), std::string(JAUNTER_SOURCE_DIR) + "/templates/");
}

TEST_F(StartTest, null_district_columns_read_as_one_blank_and_without_rows_defaults_stand) {
  district_.sql("trip",
                "UPDATE District SET DISTZIP = NULL, DISTNAME = NULL, DEPDT_LEADTIME = NULL");
  Simulator sim(district_);
  sim.get("");
  EXPECT_EQ(sim.application_text("DISTCITYSTZIP"), "Lakeview, MN   ");
  EXPECT_EQ(sim.application_text("DISTNAME"), " ");
  EXPECT_EQ(sim.application_text("DISTRICT.DEPDT_LEADTIME"), "0");
  // Without the rows the defaults stand and the vehicle type is kept.
  district_.sql("trip", "DELETE FROM District; DELETE FROM TRIPREQ_REQUIRED;");
  EXPECT_NE(sim.get("").body.find("name=\"password\""), std::string::npos);
  for (const auto& [key, value] :
       pairs_of("DISTNAME=|DEFAULTVTYPE=BUS|AUTOFILL_REQUESTS=True|VIEW_OTHER_SCHOOLS=False|"
                "TRIP_REQ_REQUIRED.GRADE_REQ="))
    EXPECT_EQ(sim.application_text(key), value) << key;
}

TEST_F(StartTest, a_missing_optional_setting_puts_its_message_ahead_of_the_login_page) {
  district_.remove_ini("CalendarUrl");
  district_.remove_ini("InquiryUrl");
  Simulator sim(district_);
  const auto page = sim.get("");
  // Only the message of the last one read is left.
  EXPECT_EQ(message_of(page.body),
            "Error in Procedure: INIGetSettingString of Module: ChkEligWeb.  Error reading " +
                district_.dir() +
                "/trip.ini, Carline Options - InquiryUrl.  Please make sure the appropriate user "
                "has permissions to read this file and that the lastest version of the ini file "
                "is in the correct path.  Contact the transportation webmaster.");
  EXPECT_EQ(sim.application_text("EmailFromName"), "Field Trips");
}

// A start-up that cannot finish shows its report (the connection report is ChkEligWeb's test).
TEST_F(StartTest, a_missing_session_timeout_gives_the_start_up_report) {
  district_.remove_ini("SessionTimeOut");
  Simulator sim(district_);
  EXPECT_EQ(message_of(sim.get("").body),
            "Error in Procedure: WebClass_Start of Module: Jaunter.  Error: 13.  Type mismatch.");
  EXPECT_EQ(sim.application_text("PageSize"), "");
}

TEST_F(StartTest, the_settings_load_without_the_start_page_and_again_when_their_sources_change) {
  Simulator sim(district_, std::chrono::milliseconds(0));
  sim.get("WCI=Login");
  EXPECT_EQ(sim.application_text("DISTRICT.DEPDT_LEADTIME"), "3");
  sim.set_application("PageSize", std::int16_t{5});

  district_.sql("trip",
                "UPDATE District SET DEPDT_LEADTIME = 10, DISTNAME = 'Lakeview Schools';"
                "UPDATE TRIPREQ_REQUIRED SET FUND_REQUIRED = -1;");
  district_.set_ini("SmtpServer", "mail.example.org");
  const auto page = sim.get("WCI=Login");
  EXPECT_NE(page.body.find("Lakeview Schools"), std::string::npos);
  EXPECT_EQ(sim.application_text("DISTRICT.DEPDT_LEADTIME"), "10");
  EXPECT_EQ(sim.application_text("TRIP_REQ_REQUIRED.FUND_REQ"), "True");
  EXPECT_EQ(sim.application_text("SmtpServer"), "mail.example.org");
  // A key whose source did not change keeps what was set.
  EXPECT_EQ(sim.application_text("PageSize"), "5");
}

}  // namespace
