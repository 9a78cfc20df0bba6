// The approval history: the level of a status, the stored dates of older requests, and a
// timeline that escapes what users typed.
#include "approval/history.h"

#include <gtest/gtest.h>

#include "approval/chain_steps.h"
#include "platform/vb/conversions.h"
#include "tests/support/simulator.h"

namespace {

using approval::HistoryAction;

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
  const std::vector<approval::HistoryEntry> known = approval::stored_dates(row);
  ASSERT_EQ(known.size(), 2u);
  EXPECT_EQ(known[0].action, HistoryAction::Created);
  EXPECT_EQ(known[1].new_status, "Denied");
  const std::string html = approval::timeline_html(known);
  EXPECT_NE(html.find("&lt;b&gt;No bus&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_LT(html.find("Entered by teacher"), html.find("Status: Denied"));
}

}  // namespace
