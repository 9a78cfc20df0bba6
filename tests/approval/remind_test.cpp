// Reminders: who gets which requests after N days, at most once a day, and the dry run.
#include <gtest/gtest.h>

#include <sstream>

#include "approval/reminders.h"
#include "config/ChkEligWeb.h"
#include "platform/sys/clock.h"
#include "platform/sys/event_log.h"
#include "platform/vb/conversions.h"
#include "tests/support/simulator.h"

namespace {

struct RecordingMail : sys::MailTransport {
  void send(const sys::SmtpSettings&, const sys::MailMessage& message) const override {
    sent.push_back(message);
  }
  mutable std::vector<sys::MailMessage> sent;
};

const double kToday = vb::DateSerial(2026, 12, 7).serial + 0.5;

class RemindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    district_.add_district_rows();
    district_.write_ini();
    district_.write_registry(district_.dir());
    district_.sql("security",
                  "INSERT INTO CLSCC (CHAINID, ACTIVE, LEVEL1APPROVER, Level2Approver, "
                  "Level1Status, Level2Status) VALUES ('STD', -1, 'PRINCIPAL', 'DIRECTOR', "
                  "'Principal OK', 'ACCEPTED');"
                  "INSERT INTO CLSCU (CLSC1, ROLE, CUSTOMER, EMAIL) VALUES "
                  "('p1', 'PRINCIPAL', 'ADAMS', 'p@adams.org'),"
                  "('p2', 'PRINCIPAL', '', 'all@district.org'),"
                  "('p3', 'PRINCIPAL', 'BROOK', 'p@brook.org'),"
                  "('d1', 'DIRECTOR', NULL, 'd@district.org');");
    auto request = [&](int number, const char* status, double days_ago, const char* chain) {
      district_.sql("request",
                    "INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, STATUS, STATUS_DATE, "
                    "CHAINID, DEPDATE, PURPOSE) VALUES (" +
                        std::to_string(number) + ", 'ADAMS', '" + status + "', " +
                        std::to_string(kToday - days_ago) + ", '" + chain + "', " +
                        std::to_string(kToday + 30) + ", 'Zoo')");
    };
    request(1, "UNAPPROVED", 5, "STD");      // due: the principals of ADAMS and of everyone
    request(2, "Principal OK", 1, "STD");    // at level 2, not yet due
    request(3, "Principal OK", 3, "STD");    // due: the director
    request(4, "ACCEPTED", 10, "STD");       // done
    request(5, "Pending", 10, "");           // in no chain
    request(6, "Principal OK", 2.5, "STD");  // due: the director
  }

  // Runs remind on `day` (days after today); answers its output.
  std::string remind(double day, bool dry_run) {
    sys::RegistryFile registry(district_.registry_path());
    sys::FixedClock clock;
    sys::MemoryEventLog log;
    sys::Services services{&clock, &registry, &log, &mail_};
    frame::ModuleState module(services);
    module.paths = frame::ThreadPaths{};
    EXPECT_TRUE(ChkEligWeb::OpenConnections(module)) << module.error;
    approval::ReminderOptions options;
    options.dry_run = dry_run;
    options.base_url = "https://trips.example.org/";
    std::ostringstream out;
    approval::remind(module, options, vb::DateTime{kToday + day}, out);
    ChkEligWeb::CloseTripDBConnections(module);
    return out.str();
  }

  testing_support::District district_;
  RecordingMail mail_;
};

TEST_F(RemindTest, each_approver_gets_one_digest_of_what_waits_at_his_level) {
  EXPECT_EQ(remind(0, false),
            "reminded all@district.org of #1\n"
            "reminded d@district.org of #3, #6\n"
            "reminded p@adams.org of #1\n");
  ASSERT_EQ(mail_.sent.size(), 3u);
  const sys::MailMessage& director = mail_.sent[1];
  EXPECT_EQ(director.recipients, "d@district.org");
  EXPECT_EQ(director.subject, "2 trip requests are waiting for your approval");
  EXPECT_NE(director.body.find("Request #3 for ADAMS"), std::string::npos);
  EXPECT_NE(director.body.find("(3 days)"), std::string::npos);
  EXPECT_NE(director.body.find("https://trips.example.org/Jaunter.ASP?WCI=RequestDetail&WCE=6&WCU"),
            std::string::npos);
  EXPECT_EQ(mail_.sent[0].subject, "Trip request #1 is waiting for your approval");
}

TEST_F(RemindTest, a_request_is_reminded_once_a_day_and_a_dry_run_sends_and_keeps_nothing) {
  remind(0, false);
  EXPECT_EQ(remind(0.2, false), "");  // later the same day
  EXPECT_EQ(mail_.sent.size(), 3u);
  EXPECT_EQ(remind(1, true),
            "would remind all@district.org of #1\n"
            "would remind d@district.org of #3, #6\n"
            "would remind p@adams.org of #1\n");
  EXPECT_EQ(mail_.sent.size(), 3u);
  remind(1, false);
  EXPECT_EQ(mail_.sent.size(), 6u);
  // #2 has now waited more than two days; the others were reminded today.
  EXPECT_EQ(remind(1.3, true), "would remind d@district.org of #2\n");
}

}  // namespace
