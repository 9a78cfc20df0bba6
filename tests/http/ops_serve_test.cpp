// serve's operations side over real sockets: /healthz, Secure cookies behind a trusted proxy and
// the options that set them up.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/sample_data.h"
#include "tests/support/server_process.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

constexpr const char* kSignIn = "/Jaunter.ASP?WCI=Login&WCE=LoginValidateUser&WCU";
constexpr const char* kForm = "user=teacher&password=apple";

class OpsServeTest : public ::testing::Test {
 protected:
  OpsServeTest() { add_sample_data(district_); }
  std::unique_ptr<ServerProcess> serve(const std::vector<std::string>& args) {
    return std::make_unique<ServerProcess>(
        args, std::map<std::string, std::string>{{"JAUNTER_REGISTRY", district_.registry_path()}});
  }
  static std::string signed_in_cookie(int port, const std::string& headers) {
    const HttpReply reply = http_request(port, "POST", kSignIn, kForm, "",
                                         "application/x-www-form-urlencoded", headers);
    EXPECT_EQ(reply.status, 200);
    return reply.headers.count("set-cookie") ? reply.headers.at("set-cookie") : "";
  }
  District district_;
};

TEST_F(OpsServeTest, healthz_says_ok_until_a_database_is_gone_and_sets_no_cookie) {
  const auto server = serve({});
  const HttpReply ok = http_request(server->port(), "GET", "/healthz");
  EXPECT_EQ(ok.status, 200);
  EXPECT_EQ(ok.body, "ok");
  EXPECT_EQ(ok.headers.at("content-type"), "text/plain; charset=utf-8");
  EXPECT_EQ(ok.headers.count("set-cookie"), 0u);

  fs::remove(fs::path(district_.dir()) / "Tripschl.db");
  const HttpReply down = http_request(server->port(), "GET", "/healthz");
  EXPECT_EQ(down.status, 503);
  EXPECT_NE(down.body.find("Tripschl.db"), std::string::npos) << down.body;
  EXPECT_EQ(down.body.find('\n'), std::string::npos) << down.body;
  EXPECT_EQ(down.headers.count("set-cookie"), 0u);
}

TEST_F(OpsServeTest, only_the_trusted_proxy_forwarding_https_gets_a_secure_cookie) {
  const std::string https = "X-Forwarded-Proto: https\r\n";
  {
    const auto trusted = serve({"--trusted-proxy", "127.0.0.1", "--url", "https://trips.example"});
    EXPECT_NE(signed_in_cookie(trusted->port(), https).find("; Secure"), std::string::npos);
    const std::string plain = signed_in_cookie(trusted->port(), "");
    EXPECT_FALSE(plain.empty());
    EXPECT_EQ(plain.find("Secure"), std::string::npos) << plain;
  }
  const auto other = serve({"--trusted-proxy", "::1"});
  const std::string cookie = signed_in_cookie(other->port(), https);
  EXPECT_FALSE(cookie.empty());
  EXPECT_EQ(cookie.find("Secure"), std::string::npos) << cookie;
}

TEST_F(OpsServeTest, a_request_link_opened_signed_out_opens_again_after_the_sign_in) {
  const auto server = serve({});
  const std::string browser = "Accept: text/html\r\n";
  const std::string link = "/Jaunter.ASP?WCI=RequestDetail&WCE=1001&WCU";
  const HttpReply asked = http_request(server->port(), "GET", link, "", "",
                                       "application/x-www-form-urlencoded", browser);
  ASSERT_EQ(asked.headers.count("set-cookie"), 1u);
  const std::string cookie = asked.headers.at("set-cookie");
  ASSERT_EQ(cookie.rfind("JaunterAsked=", 0), 0u) << cookie;
  const HttpReply signed_in =
      http_request(server->port(), "POST", kSignIn, kForm, cookie.substr(0, cookie.find(';')),
                   "application/x-www-form-urlencoded", browser);
  EXPECT_EQ(signed_in.status, 302);
  ASSERT_EQ(signed_in.headers.count("location"), 1u);
  EXPECT_EQ(signed_in.headers.at("location"), link);
}

TEST(OpsServeOptions, bad_proxy_addresses_and_urls_are_usage_errors) {
  const std::vector<std::vector<std::string>> cases = {
      {"--trusted-proxy", "localhost"},
      {"--trusted-proxy", "10.0.0"},
      {"--trusted-proxy", "10.0.0.1/8"},
      {"--trusted-proxy"},
      {"--url", "trips.example"},
      {"--url", "ftp://trips.example/"},
      {"--url", "https://"},
      {"--url", "https://trips.example/a b"},
      {"--url", "https://x/'><script>"},
      {"--url"},
  };
  for (std::vector<std::string> args : cases) {
    const std::string shown = args.back();
    args.insert(args.begin(), "serve");
    const CommandResult result = run_jaunter(args);
    EXPECT_EQ(result.exit_code, 2) << shown;
    EXPECT_EQ(result.err.rfind("jaunter: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find(args[1]), std::string::npos) << result.err;
  }
}

}  // namespace
