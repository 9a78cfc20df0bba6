// What the request form says after a save when the mail server cannot be reached: the request is
// kept and shown, and the notice says the mail was not sent (once, and not as a bare report).
#include "tests/request/form_post_fixture.h"

namespace form_post_tests {
namespace {

TEST_F(FormPostTest, a_save_with_the_mail_server_down_keeps_the_request_and_says_the_mail_failed) {
  district_.set_ini("SmtpPort", "1");  // no mail server listens there
  Simulator sim(district_);
  sign_in(sim, "teacher", "apple", "Enter a New Trip Request");
  const Result page = post(sim, new_request_form());
  const std::string number = newest_request();
  EXPECT_EQ(request_row(number)["STATUS"], "UNAPPROVED");
  EXPECT_NE(page.body.find("Request #" + number +
                           " saved. The request <strong>was saved</strong>, "
                           "but the e-mail to teacher@example.org and principal@example.org could "
                           "not be sent"),
            std::string::npos)
      << page.body.substr(0, 2000);
  EXPECT_EQ(page.body.rfind("<!DOCTYPE html>", 0), 0u) << "the report came before the page";
  EXPECT_NE(page.body.find("name='TRIPNUM' value='" + number + "'"), std::string::npos);
}

}  // namespace
}  // namespace form_post_tests
