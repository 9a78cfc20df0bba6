// The approval history: changes kept in order, the level of a status, the stored dates of older
// requests, and a timeline that escapes what users typed.
#include "approval/history.h"

#include <gtest/gtest.h>

#include "approval/chain_steps.h"
#include "platform/vb/conversions.h"
#include "tests/support/simulator.h"

namespace {

using approval::HistoryAction;
using approval::HistoryEntry;

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    district_.sql("security",
                  "INSERT INTO CLSCC (CHAINID, ACTIVE, LEVEL1APPROVER, Level2Approver, "
                  "Level1Status, Level2Status) VALUES ('STD', -1, 'PRINCIPAL', 'DIRECTOR', "
                  "'Principal OK', 'ACCEPTED')");
    requests_.open(district_.dir() + "/Tripschl.db");
    security_.open(district_.dir() + "/qsclsc1.db");
  }
  testing_support::District district_;
  db::Connection requests_, security_;
};

TEST_F(HistoryTest, changes_read_back_in_the_order_they_were_made_per_request) {
  const vb::DateTime day = vb::DateSerial(2026, 12, 7);
  HistoryEntry created;
  created.request = 7;
  created.action = HistoryAction::Created;
  created.new_status = "UNAPPROVED";
  created.user = "teacher";
  created.at = day;
  approval::record_history(requests_, created);
  HistoryEntry other;
  other.request = 8;
  other.action = HistoryAction::Created;
  other.at = day;
  approval::record_history(requests_, other);
  HistoryEntry accepted;
  accepted.request = 7;
  accepted.action = HistoryAction::Accepted;
  accepted.old_status = "Principal OK";
  accepted.new_status = "ACCEPTED";
  accepted.level = 2;
  accepted.user = "director";
  accepted.at = vb::DateTime{day.serial + 1.25};
  accepted.comment = "Enjoy";
  accepted.trip = 4711;
  approval::record_history(requests_, accepted);
  const std::vector<HistoryEntry> seven = approval::read_history(requests_, 7);
  ASSERT_EQ(seven.size(), 2u);
  EXPECT_EQ(seven[0].action, HistoryAction::Created);
  EXPECT_EQ(seven[0].user, "teacher");
  EXPECT_EQ(seven[1].action, HistoryAction::Accepted);
  EXPECT_EQ(seven[1].old_status, "Principal OK");
  EXPECT_EQ(seven[1].level, 2);
  EXPECT_EQ(seven[1].comment, "Enjoy");
  EXPECT_EQ(seven[1].trip, 4711);
  EXPECT_DOUBLE_EQ(seven[1].at.serial, day.serial + 1.25);
  EXPECT_TRUE(approval::read_history(requests_, 9).empty());
}

TEST_F(HistoryTest, the_level_is_the_one_whose_approval_gives_the_status) {
  EXPECT_EQ(approval::level_of(security_, "STD", "principal ok"), 1);
  EXPECT_EQ(approval::level_of(security_, "STD", "ACCEPTED"), 2);
  EXPECT_EQ(approval::level_of(security_, "STD", "Denied"), 0);
  EXPECT_EQ(approval::level_of(security_, "NONE", "ACCEPTED"), 0);
}

TEST_F(HistoryTest, older_requests_show_their_stored_dates_and_the_timeline_escapes_text) {
  district_.sql("request",
                "INSERT INTO TRIPSREQ (TRIPNUM, ENTERDATE, ENTEREDBY, STATUS, STATUS_DATE, "
                "STATUS_COMMENT) VALUES (5, 46300.5, 'teacher', 'Denied', 46302.25, "
                "'<b>No bus</b>')");
  db::Recordset row;
  row.open("SELECT * FROM TRIPSREQ WHERE TRIPNUM = 5", requests_);
  const std::vector<HistoryEntry> known = approval::stored_dates(row);
  ASSERT_EQ(known.size(), 2u);
  EXPECT_EQ(known[0].action, HistoryAction::Created);
  EXPECT_EQ(known[1].new_status, "Denied");
  const std::string html = approval::timeline_html(known);
  EXPECT_NE(html.find("&lt;b&gt;No bus&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_LT(html.find("Entered by teacher"), html.find("Status: Denied"));
}

}  // namespace
