// The approval history kept by the form's saves, where the form and the printed request show it,
// and what the save's mails add: the destination, the denial comment and the request's link.
#include <cmath>
#include <tuple>

#include "approval/history.h"
#include "tests/request/form_post_fixture.h"

namespace form_post_tests {
namespace {

using approval::HistoryAction;

// An entry as action, old and new status, level, user, comment and the hour of the test day.
using Entry =
    std::tuple<HistoryAction, std::string, std::string, int, std::string, std::string, int>;

class HistoryHooksTest : public FormPostTest {
 protected:
  std::vector<Entry> history(std::int32_t number) {
    std::vector<Entry> entries;
    for (const approval::HistoryEntry& e : approval::read_history(requests(), number)) {
      const int hour = static_cast<int>(
          std::lround((e.at.serial - vb::DateSerial(2026, 12, 7).serial) * 24 * 3600));
      entries.emplace_back(e.action, e.old_status, e.new_status, e.level, e.user, e.comment,
                           hour % 3600 ? -1 : hour / 3600);
    }
    return entries;
  }

  // The user's post on a stored request, made at `hour` o'clock of the test day.
  void decide(const std::string& user, const std::string& number, const std::string& approve,
              const std::string& comment, int hour) {
    Simulator sim(district_);
    sim.clock().set(vb::DateTime{vb::DateSerial(2026, 12, 7).serial + hour / 24.0});
    sign_in(sim, user, "pw");
    sim.get("WCI=RequestDetail&WCE=" + number + "&WCU");
    Form form = stored_form(number);
    form["Approve"] = approve;
    form["STATUS_COMMENT"] = comment;
    post(sim, form);
  }
};

TEST_F(HistoryHooksTest, a_request_walked_through_its_chain_and_denied_is_on_record) {
  {
    Simulator teacher(district_);
    teacher.clock().set(vb::DateTime{vb::DateSerial(2026, 12, 7).serial + 8 / 24.0});
    sign_in(teacher, "teacher", "apple", "Enter a New Trip Request");
    post(teacher, new_request_form());
  }
  decide("principal", "1004", "PRINCIPAL APPROVED", "Fine", 9);
  decide("transport", "1004", "Deny", "No buses that day", 10);
  EXPECT_EQ(history(1004),
            (std::vector<Entry>{{HistoryAction::Created, "", "UNAPPROVED", 0, "teacher", "", 8},
                                {HistoryAction::Approved, "UNAPPROVED", "PRINCIPAL APPROVED", 1,
                                 "principal", "Fine", 9},
                                {HistoryAction::Denied, "PRINCIPAL APPROVED", "Denied", 2,
                                 "transport", "No buses that day", 10}}));

  // The mails of the decisions name the listed destination, and the denial says why.
  const auto mails = sink_.wait_for(5);
  const auto mail_to = [&](const std::string& address, const std::string& text) {
    for (const ReceivedMail& mail : mails) {
      if (mail.recipients == std::vector<std::string>{address} &&
          mail.data.find(text) != std::string::npos) {
        return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(mail_to("transport@example.org",
                      "Trip Request #1004 needs your approval (in the Jaunter software).\r\n"
                      "Customer: Lakeview High School\r\nDestination: City Park\r\n"));
  EXPECT_TRUE(mail_to("teacher@example.org",
                      "Trip Request #1004 has changed.\r\nCustomer: Lakeview High School\r\n"
                      "Destination: City Park\r\nDep Dt: 12/18/2026\r\n# Students: 25\r\n"
                      "New Status: Denied\r\nDenial comment: No buses that day"));
}

TEST_F(HistoryHooksTest, an_approvers_own_request_and_a_delete_are_on_record) {
  {
    SignedIn principal(district_, "principal", "pw", kNew);
    post(principal, new_request_form());
  }
  EXPECT_EQ(history(1004),
            (std::vector<Entry>{{HistoryAction::Created, "", "UNAPPROVED", 0, "principal", "", 0},
                                {HistoryAction::Approved, "UNAPPROVED", "PRINCIPAL APPROVED", 1,
                                 "principal", "", 0}}));
  SignedIn teacher(district_, "teacher", "apple");
  teacher.get("WCI=RequestDetail&WCE=1001&WCU");
  post(teacher, {{"btnSubmit", "Delete"}, {"New", "EXISTING"}, {"tripnum", "1001"}});
  ASSERT_TRUE(request_row("1001").empty());
  EXPECT_EQ(history(1001),
            (std::vector<Entry>{{HistoryAction::Deleted, "UNAPPROVED", "", 0, "teacher", "", 0}}));
}

TEST_F(HistoryHooksTest, a_history_that_cannot_be_written_loses_nothing_of_the_save) {
  district_.sql("request", "CREATE TABLE JAUNTER_HISTORY (UNRELATED INTEGER)");
  SignedIn sim(district_, "teacher", "apple", kNew);
  const Result page = post(sim, new_request_form());
  EXPECT_EQ(request_row("1004")["STATUS"], "UNAPPROVED");
  EXPECT_NE(page.body.find("Request #1004 saved and sent to"), std::string::npos) << page.body;
  EXPECT_EQ(sink_.wait_for(2).size(), 2u);
  ASSERT_EQ(sim.event_log().entries().size(), 1u);
  EXPECT_NE(sim.event_log().entries()[0].find("#1004"), std::string::npos);
}

TEST_F(HistoryHooksTest,
       the_form_and_the_print_show_the_history_escaped_and_the_approver_his_choice) {
  approval::HistoryEntry entry;
  entry.request = 1001;
  entry.action = HistoryAction::Approved;
  entry.old_status = entry.new_status = "UNAPPROVED";
  entry.user = "<b>boss</b>";
  entry.at = vb::DateSerial(2026, 12, 1);
  entry.comment = "<script>x</script>";
  approval::record_history(requests(), entry);
  SignedIn sim(district_, "principal", "pw");
  const std::string form = sim.get("WCI=RequestDetail&WCE=1001&WCU").body;
  for (const std::string& body : {form, sim.get("WCI=TripRequestDetailPrint").body}) {
    const std::size_t list = body.find("<ol class='history'>");
    ASSERT_NE(list, std::string::npos) << body;
    EXPECT_TRUE(before(
        body.substr(list), "Entered by teacher",
        "Approved by &lt;b&gt;boss&lt;/b&gt;: UNAPPROVED<br><q>&lt;script&gt;x&lt;/script&gt;"
        "</q>"));
    EXPECT_FALSE(contains(body, "<script>x"));
    EXPECT_FALSE(contains(body, "<b>boss"));
  }
  // The approver's choice and the chain's steps.
  EXPECT_TRUE(contains(form,
                       "<p align='left'><input type='radio' name='Approve' value='PRINCIPAL "
                       "APPROVED'> Approve<br><input type='radio' name='Approve' value='Deny'> "
                       "Deny</p>"));
  EXPECT_TRUE(contains(form,
                       "<ol class='chain-steps'><li class='waiting'>Level 1, PRINCIPAL: waiting "
                       "for principal</li><li class='to-come'>Level 2, TRANSPORT: still to "
                       "come</li></ol>"));
}

}  // namespace
}  // namespace form_post_tests
