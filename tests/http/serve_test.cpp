// The jaunter program over real sockets: the commands, serving a district, stopping cleanly.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/sample_data.h"
#include "tests/support/server_process.h"

namespace {

using namespace testing_support;

TEST(Commands, bad_command_lines_get_one_clear_line_and_exit_code_2) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"bogus"},
      {"serve", "--port", "99999"},
      {"serve", "--app-dir", "/no/such/directory"},
      {"serve", "--threads", "5000"},
      {"serve", "--trusted-proxy", "localhost"},
      {"serve", "--url", "ftp://trips.example/"},
      {"serve", "--url", "https://x/'><script>"},
      {"serve", "--colour", "blue"},
      {"remind", "--url", "https://x/'><script>"},
      {"init-db"},
      {"demo", "a", "b"},
  };
  for (const auto& args : cases) {
    const CommandResult result = run_jaunter(args);
    EXPECT_EQ(result.exit_code, 2) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(result.err.rfind("jaunter: ", 0), 0u) << result.err;
    if (args.size() > 1 && (args[1] == "--url" || args[1] == "--trusted-proxy")) {
      EXPECT_NE(result.err.find(args[1]), std::string::npos) << result.err;
    }
  }
  // init-db refuses a directory that holds the databases already; creating them is the
  // schema's own test.
  TempDir dir;
  EXPECT_EQ(run_jaunter({"init-db", dir.str()}).exit_code, 0);
  const CommandResult again = run_jaunter({"init-db", dir.str()});
  EXPECT_EQ(again.exit_code, 2);
  EXPECT_NE(again.err.find("trip.db"), std::string::npos) << again.err;
  // check reports a broken chain on its lines and in its exit code.
  const CommandResult check = run_jaunter({"check"}, {{"JAUNTER_REGISTRY", dir.str() + "/no.reg"}});
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_EQ(check.out.rfind("FAILED  registry: ", 0), 0u) << check.out;
}

TEST(Commands, backup_keeps_seven_generations_unless_told_otherwise) {
  District district;
  TempDir dest;
  const std::map<std::string, std::string> env = {{"JAUNTER_REGISTRY", district.registry_path()}};
  for (int i = 0; i < 8; ++i) ASSERT_EQ(run_jaunter({"backup", dest.str()}, env).exit_code, 0);
  auto generations = [&] {
    return std::distance(std::filesystem::directory_iterator(dest.path()),
                         std::filesystem::directory_iterator());
  };
  EXPECT_EQ(generations(), 7);
  ASSERT_EQ(run_jaunter({"backup", dest.str(), "--keep", "2"}, env).exit_code, 0);
  EXPECT_EQ(generations(), 2);
}

struct SampleDistrict : District {
  SampleDistrict() { add_sample_data(*this); }
};

class ServeTest : public ::testing::Test {
 protected:
  SampleDistrict district_;  // filled before the server starts
  ServerProcess server_{{}, {{"JAUNTER_REGISTRY", district_.registry_path()}}};
};

TEST_F(ServeTest, serves_the_start_page_static_files_and_a_sign_in) {
  const int port = server_.port();
  const HttpReply root = http_request(port, "GET", "/");
  EXPECT_EQ(root.status, 302);
  EXPECT_EQ(root.headers.at("location"), "/Jaunter.ASP");

  const HttpReply login = http_request(port, "GET", "/Jaunter.ASP");
  EXPECT_EQ(login.status, 200);
  EXPECT_EQ(login.headers.at("content-type"), "text/html; charset=utf-8");
  EXPECT_NE(login.body.find("Lakeview Unified"), std::string::npos);
  EXPECT_EQ(login.headers.count("set-cookie"), 0u);

  EXPECT_EQ(http_request(port, "GET", "/jaunter.css").headers.at("content-type"),
            "text/css; charset=utf-8");

  const HttpReply signed_in =
      http_request(port, "POST", "/jaunter.asp?WCI=Login&WCE=LoginValidateUser&WCU",
                   "user=teacher&password=apple&btnsubmit=Enter+a+New+Trip+Request");
  ASSERT_EQ(signed_in.headers.count("set-cookie"), 1u);
  const std::string set_cookie = signed_in.headers.at("set-cookie");
  const std::string cookie = set_cookie.substr(0, set_cookie.find(';'));
  EXPECT_NE(set_cookie.find("HttpOnly"), std::string::npos) << set_cookie;
  EXPECT_NE(signed_in.body.find("name=\"TripRequestDetail\""), std::string::npos);

  const HttpReply form =
      http_request(port, "GET", "/Jaunter.ASP?WCI=RequestDetail&WCE=1001&WCU", "", cookie);
  EXPECT_NE(form.body.find("O&#39;Brien"), std::string::npos);
  EXPECT_NE(http_request(port, "GET", "/Jaunter.ASP?WCI=RequestDetail&WCE=1001&WCU")
                .body.find("Sorry, your session has timed out"),
            std::string::npos);

  EXPECT_EQ(server_.stop(), 0);
}

TEST_F(ServeTest, refuses_cross_site_sign_ins_control_bytes_and_templates) {
  const int port = server_.port();
  const std::string sign_in = "/Jaunter.ASP?WCI=Login&WCE=LoginValidateUser&WCU";
  const std::string form = "user=teacher&password=apple";
  const HttpReply forged =
      http_request(port, "POST", sign_in, form, "", "application/x-www-form-urlencoded",
                   "Origin: http://elsewhere.example\r\n");
  EXPECT_EQ(forged.status, 403);
  EXPECT_NE(forged.body.find("another web site"), std::string::npos);
  EXPECT_EQ(forged.headers.count("set-cookie"), 0u);
  const HttpReply own =
      http_request(port, "POST", sign_in, form, "", "application/x-www-form-urlencoded",
                   "Origin: http://127.0.0.1:" + std::to_string(port) + "\r\n");
  EXPECT_EQ(own.status, 200);
  EXPECT_EQ(own.headers.count("set-cookie"), 1u);

  // %00 must reach the runtime whole, not end the file name at "login1.htm".
  for (const char* target : {"/login1.htm%00.css", "/jaunter.css%0a", "/Jaunter.ASP%00"}) {
    EXPECT_EQ(http_request(port, "GET", target).status, 400) << target;
  }
  for (const char* target : {"/login1.htm", "/TripRequestDetail1.HTM"}) {
    EXPECT_EQ(http_request(port, "GET", target).status, 404) << target;
  }
}

}  // namespace
