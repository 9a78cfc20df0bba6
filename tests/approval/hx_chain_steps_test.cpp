// The approval chain as steps for each place a request can stand in it, and the request link
// that mails carry.
#include <gtest/gtest.h>

#include "approval/chain_steps.h"
#include "approval/request_link.h"
#include "tests/support/simulator.h"

namespace {

using approval::HistoryAction;
using approval::StepState;

class ChainStepsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    district_.sql("security",
                  "INSERT INTO CLSCC (CHAINID, ACTIVE, LEVEL1APPROVER, Level2Approver, "
                  "Level3Approver, Level1Status, Level2Status, Level3Status) VALUES ('ATH', -1, "
                  "'AD', 'PRINCIPAL', 'TRANSPORT', 'AD OK', 'PRINCIPAL OK', 'ACCEPTED');"
                  "INSERT INTO CLSCU (CLSC1, ROLE, CUSTOMER) VALUES ('pat', 'PRINCIPAL', 'LHS'), "
                  "('kim', 'PRINCIPAL', NULL), ('lee', 'PRINCIPAL', 'ADAMS'), "
                  "('ann', 'AD', ''), ('tom', 'TRANSPORT', NULL)");
    security_.open(district_.dir() + "/qsclsc1.db");
  }

  static approval::HistoryEntry act(HistoryAction action, const char* status, int level,
                                    const char* user, double at) {
    approval::HistoryEntry entry;
    entry.action = action;
    entry.new_status = status;
    entry.level = level;
    entry.user = user;
    entry.at = vb::DateTime{at};
    return entry;
  }

  testing_support::District district_;
  db::Connection security_;
};

TEST_F(ChainStepsTest, each_level_is_done_waiting_denied_or_to_come_by_the_status_and_history) {
  const std::vector<approval::HistoryEntry> history = {
      act(HistoryAction::Created, "UNAPPROVED", 0, "teacher", 46360),
      act(HistoryAction::Approved, "AD OK", 1, "ann", 46361),
      act(HistoryAction::Denied, "Denied", 2, "kim", 46362),
  };
  struct Case {
    std::string status;
    std::vector<StepState> states;
    std::string who1;
    std::vector<std::string> waiting_for;
  };
  const Case cases[] = {
      {"UNAPPROVED", {StepState::Waiting, StepState::ToCome, StepState::ToCome}, "", {"ann"}},
      {"ad ok", {StepState::Done, StepState::Waiting, StepState::ToCome}, "ann", {"kim", "pat"}},
      {"PRINCIPAL OK", {StepState::Done, StepState::Done, StepState::Waiting}, "ann", {"tom"}},
      {"ACCEPTED", {StepState::Done, StepState::Done, StepState::Done}, "ann", {}},
      {"Denied", {StepState::Done, StepState::Denied, StepState::ToCome}, "ann", {}},
      {"Mislaid", {StepState::ToCome, StepState::ToCome, StepState::ToCome}, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    const auto steps = approval::chain_steps(security_, "ATH", c.status, "LHS", history);
    ASSERT_EQ(steps.size(), 3u);
    std::vector<std::string> waiting_for;
    for (std::size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(steps[i].level, static_cast<int>(i) + 1);
      EXPECT_EQ(steps[i].state, c.states[i]) << "level " << i + 1;
      if (steps[i].state == StepState::Waiting) waiting_for = steps[i].approvers;
    }
    EXPECT_EQ(steps[0].who, c.who1);
    EXPECT_EQ(waiting_for, c.waiting_for);
  }
  EXPECT_EQ(approval::chain_steps(security_, "ATH", "Denied", "LHS", history)[1].who, "kim");
  EXPECT_TRUE(approval::chain_steps(security_, "NONE", "UNAPPROVED", "LHS", history).empty());
  EXPECT_EQ(approval::last_level(security_, "ATH"), 3);
}

TEST_F(ChainStepsTest, a_restarted_chain_forgets_the_approvals_before_the_restart) {
  const std::vector<approval::HistoryEntry> history = {
      act(HistoryAction::Approved, "AD OK", 1, "ann", 46361),
      act(HistoryAction::Saved, "UNAPPROVED", 0, "teacher", 46362),
      act(HistoryAction::Approved, "AD OK", 1, "<i>ann</i>", 46363),
  };
  const auto steps = approval::chain_steps(security_, "ATH", "AD OK", "LHS", history);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_DOUBLE_EQ(steps[0].when->serial, 46363);
  const std::string html = approval::chain_steps_html(steps);
  EXPECT_NE(html.find("done by &lt;i&gt;ann&lt;/i&gt;"), std::string::npos) << html;
  EXPECT_EQ(html.find("<i>"), std::string::npos);

  // A request older than the history: its status date stands for the approval that gave it.
  const auto older =
      approval::chain_steps(security_, "ATH", "PRINCIPAL OK", "LHS",
                            {act(HistoryAction::Known, "PRINCIPAL OK", 0, "", 46300)});
  EXPECT_FALSE(older[0].when);
  ASSERT_TRUE(older[1].when);
  EXPECT_DOUBLE_EQ(older[1].when->serial, 46300);
}

TEST(RequestLink, names_the_request_on_the_host_page_or_nothing_without_an_address) {
  const std::pair<std::string, std::string> cases[] = {
      {"https://trips.example.org/Jaunter.ASP",
       "https://trips.example.org/Jaunter.ASP?WCI=RequestDetail&WCE=42&WCU"},
      {"https://trips.example.org/",
       "https://trips.example.org/Jaunter.ASP?WCI=RequestDetail&WCE=42&WCU"},
      {"  ", ""},
      {"", ""},
  };
  for (const auto& [base, link] : cases) EXPECT_EQ(approval::request_link(base, 42), link) << base;
}

}  // namespace
