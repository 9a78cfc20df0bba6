// The approval chain: levels, rights, the next approver, approver mail and calendar notes.
#include "approval/mdlApproval.h"

#include <gtest/gtest.h>

#include <tuple>

#include "approval/customer_rights.h"
#include "config/ChkEligWeb.h"
#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

// The answer in a short form for the tables: may edit, may approve, the approval ("NA": none).
std::string shown(const mdlApproval::Authority& a) {
  return std::string(a.may_edit ? "Y" : "N") + "," + (a.may_approve ? "Y" : "N") + "," +
         a.approval.value_or("NA");
}

class ApprovalTest : public ::testing::Test {
 protected:
  ApprovalTest() {
    add_sample_data(district_);
    district_.sql("security", R"sql(
      INSERT INTO CLSCC (CHAINID, ACTIVE, LEVEL1APPROVER, Level2Approver, Level3Approver,
        Level4Approver, Level5Approver, LEVEL1STATUS, Level2Status, Level3Status, Level4Status,
        Level5Status) VALUES
        ('LONG', -1, 'A', 'B', 'C', 'D', 'B', 'L1', 'L2', 'L3', 'L4', 'L5');
      INSERT INTO CLSCC (CHAINID, ACTIVE, LEVEL1APPROVER, Level7Approver, LEVEL8APPROVER,
        LEVEL1STATUS, Level7Status, LEVEL8STATUS) VALUES ('EIGHT', -1, 'A', 'G', 'H', 'E1', 'E7', 'E8');
      INSERT INTO CLSCU (CLSC1, CLSC2, ROLE, CUSTOMER, EMAIL) VALUES
        ('b1', 'pw', 'B', 'LHS', 'b1@example.org'),
        ('b2', 'pw', 'B', '', ' b2@example.org'),
        ('b3', 'pw', 'B', NULL, '   '),
        ('b4', 'pw', 'B', 'ADAMS', 'b4@example.org');
    )sql");
    testing_support::reset_thread_paths();
    frame::thread_paths().strTripDataPath = district_.dir() + "/";
    ChkEligWeb::SetTripDBConnections(module_);
  }

  void request(int number, const std::string& chain, const std::string& status,
               const std::string& customer = "LHS") {
    district_.sql("request", "INSERT INTO TRIPSREQ (TRIPNUM, CHAINID, STATUS, CUSTOMER) VALUES (" +
                                 std::to_string(number) + ", '" + chain + "', '" + status + "', '" +
                                 customer + "')");
  }

  District district_;
  sys::FixedClock clock_;
  sys::MemoryEventLog log_;
  sys::Services services_{&clock_, nullptr, &log_};
  frame::ModuleState module_{services_};
};

TEST_F(ApprovalTest, rights_follow_the_user_level_and_the_current_level) {
  request(1, "LONG", "UNAPPROVED");
  request(2, "LONG", "L1");
  request(3, "LONG", "l4");
  request(4, "LONG", "SOMETHING ELSE");
  request(5, "LONG", "ACCEPTED");
  request(6, "NOSUCH", "UNAPPROVED");
  struct Case {
    int number;
    std::string role;
    std::string answer;
  };
  const Case cases[] = {
      {1, "A", "Y,Y,L1"},          // level 1 on a new request
      {1, "B", "Y,Y,L5"},          // levels 2 and 5: the highest wins
      {1, "REQUESTER", "Y,N,NA"},  // in no level: may edit while unapproved
      {2, "A", "Y,N,L1"},          // at his own level: edit, not approve
      {2, "C", "Y,Y,L3"},          // level 3 before level 2
      {2, "b", "N,N,NA"},          // roles compare exactly
      {3, "B", "Y,Y,L5"},          // at L4 (c = 5), level 5 (u = 6)
      {3, "D", "Y,N,L4"},          // his own status: edit, not approve
      {4, "D", "N,N,L4"},          // a foreign status: nobody
      {5, "B", "N,N,NA"},          // final
      {6, "A", "N,N,NA"},          // no chain row
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shown(mdlApproval::HasAuthority(module_, c.number, c.role, "", "")), c.answer)
        << c.number << " " << c.role;
  }
  EXPECT_EQ(module_.error, "NA");
}

TEST_F(ApprovalTest, a_customer_bound_user_has_rights_over_his_own_customer_only) {
  request(1, "LONG", "UNAPPROVED", "LHS");
  EXPECT_EQ(shown(mdlApproval::HasAuthority(module_, 1, "A", "", "LHS")), "Y,Y,L1");
  EXPECT_EQ(shown(mdlApproval::HasAuthority(module_, 1, "A", "", "ADAMS")), "N,N,L1");
  EXPECT_EQ(shown(mdlApproval::HasAuthority(module_, 1, "A", "", "  ")), "Y,Y,L1");
  EXPECT_FALSE(approval::may_enter_for("LHS", "LHX"));  // the whole code, not its first letters
  EXPECT_TRUE(approval::may_enter_for(" lhs ", "LHS"));
  EXPECT_FALSE(approval::may_read_request("LHS", false, "LH"));
  // With a chain argument the request customer is empty: only users without one get rights.
  EXPECT_EQ(shown(mdlApproval::HasAuthority(module_, 1, "A", "LONG", "LHS")), "N,N,L1");
  EXPECT_EQ(shown(mdlApproval::HasAuthority(module_, 1, "A", "LONG", "")), "Y,Y,L1");
}

TEST_F(ApprovalTest, pending_requests_without_a_chain) {
  request(1, "", "Pending", "LHS");
  request(2, "", "PENDING", "LHS");
  request(3, "", "Denied", "LHS");
  const std::tuple<int, const char*, const char*> cases[] = {
      {1, "LHS", "Y,N,NA"}, {2, "LHS", "Y,N,NA"}, {1, "ADAMS", "N,N,NA"}, {3, "", "N,N,NA"}};
  for (const auto& [number, customer, answer] : cases) {
    EXPECT_EQ(shown(mdlApproval::HasAuthority(module_, number, "REQUESTER", "", customer)), answer);
  }
}

TEST_F(ApprovalTest, a_missing_request_is_reported_and_answers_empty) {
  EXPECT_EQ(shown(mdlApproval::HasAuthority(module_, 4242, "A", "", "")), "N,N,NA");
  EXPECT_EQ(module_.error.rfind("Error in Procedure: HasAuthority of Module: mdlApproval.  Error: "
                                "3021.",
                                0),
            0u);
}

TEST_F(ApprovalTest, next_role_walks_the_chain) {
  struct Case {
    std::string chain, status, role;
  };
  const Case cases[] = {
      {"LONG", "UNAPPROVED", "A"},
      {"LONG", "unapproved", "A"},
      {"LONG", "L1", "B"},
      {"LONG", "L5", ""},
      {"EIGHT", "E7", "H"},
      {"EIGHT", "E8", "NA"},
      {"LONG", "ELSE", "NA"},
      {"HS", "PRINCIPAL APPROVED", "TRANSPORT"},
      {"LONG", "Pending", "NA"},
      {" ", "UNAPPROVED", "NA"},
      {"NOSUCH", "UNAPPROVED", "NA"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mdlApproval::NextRole(module_, c.chain, c.status).value_or("NA"), c.role)
        << c.chain << c.status;
  }
  EXPECT_EQ(module_.error, "NA");
}

TEST_F(ApprovalTest, approver_addresses_are_joined_and_blanks_skipped) {
  EXPECT_EQ(mdlApproval::GetApproverEmail(module_, "B", "LHS"), "b1@example.org;  b2@example.org");
  EXPECT_EQ(mdlApproval::GetApproverEmail(module_, "B", "ADAMS"), "b2@example.org; b4@example.org");
  EXPECT_EQ(mdlApproval::GetApproverEmail(module_, "NOBODY", "LHS"), "");
  EXPECT_EQ(mdlApproval::GetApproverEmail(module_, "", "LHS"), "");
  EXPECT_EQ(mdlApproval::GetApproverEmail(module_, "B' OR '1'='1", "LHS"), "");
  EXPECT_EQ(mdlApproval::GetApproverEmail(module_, "B", "X' OR '1'='1"), " b2@example.org");
}

TEST_F(ApprovalTest, calendar_notes_give_severity_texts_and_closed_days) {
  district_.sql("trip",
                "INSERT INTO Big_CalCalNotes (NoteDate, NoteText, NoteLongText, NoteSeverity, "
                "Note_SchoolClosed) VALUES (46380, ' Testing week ', NULL, 2, 0), (46381, "
                "'Holiday', NULL, 3, -1)");
  using mdlApproval::Check_calNotes;
  EXPECT_EQ(static_cast<int>(Check_calNotes(module_, "12/24/2026", true, false)), 2);
  EXPECT_EQ(module_.strNoteText, "Testing week");
  EXPECT_EQ(module_.strNoteLongText, "");
  EXPECT_EQ(static_cast<int>(Check_calNotes(module_, "12/25/2026", false, true)), -1);
  EXPECT_EQ(static_cast<int>(Check_calNotes(module_, "12/24/2026", false, true)), 0);
  EXPECT_EQ(static_cast<int>(Check_calNotes(module_, "12/27/2026", false, false)), 0);
  EXPECT_EQ(module_.error, "NA");
}

}  // namespace
