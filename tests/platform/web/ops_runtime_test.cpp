// The runtime's own addresses and cookies: /healthz, /keep-alive, the page asked for before a
// sign-in, and Secure cookies behind a trusted TLS proxy.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/web/runtime.h"

namespace web {
namespace {

namespace fs = std::filesystem;

// "Login" signs in (USER=jdoe); every other item writes its name and the user.
class Page : public PageObject {
 public:
  explicit Page(Context& context) : context_(context) {}
  void start() override {}
  void respond(const std::string& item) override { write(item); }
  void custom_event(const std::string& item, const std::string&) override { write(item); }
  void user_event(const std::string& item, const std::string&) override { write(item); }
  void process_tag(const std::string&, const std::string&, std::string&, bool&) override {}

 private:
  void write(const std::string& item) {
    if (item == "Login") context_.set_session("USER", "jdoe");
    const vb::Variant user = context_.session("USER");
    context_.response().Write(item + ":" + (user.is_string() ? user.get<std::string>() : ""));
  }
  Context& context_;
};

class OpsRuntimeTest : public ::testing::Test {
 protected:
  void make_runtime(std::vector<std::string> trusted = {}) {
    WebClassDef def;
    def.user_key = "USER";
    ItemDef detail{"Detail", "detail.htm", {}, true};
    detail.reopened_after_sign_in = true;
    def.items = {{"Login", "login.htm", {}, true}, {"Menu", "menu.htm", {}, true}, detail};
    def.make_page = [](Context& context) { return std::make_unique<Page>(context); };
    RuntimeOptions options;
    options.app_dir = fs::temp_directory_path().string();
    options.session_time = [this] { return now_; };
    options.clock = &clock_;
    options.health_problem = [this] { return problem_; };
    options.trusted_proxies = std::move(trusted);
    runtime_ = std::make_unique<Runtime>(std::move(def), options);
  }
  void SetUp() override { make_runtime(); }

  HttpResponse send(const std::string& method, const std::string& path, const std::string& query,
                    const std::string& cookie = "") {
    HttpRequest request;
    request.method = method;
    request.path = path;
    request.query = query;
    request.cookie = cookie;
    request.accept = "text/html";
    request.remote = remote_;
    request.forwarded_proto = proto_;
    return runtime_->handle(request);
  }
  std::string sign_in(const std::string& cookie = "") {
    return cookie_of(send("POST", "/Jaunter.ASP", "WCI=Login&WCE=In&WCU", cookie));
  }
  static std::string cookie_of(const HttpResponse& response) {
    const std::string* header = response.header("Set-Cookie");
    return header ? header->substr(0, header->find(';')) : "";
  }
  // Every Set-Cookie line of a response.
  static std::vector<std::string> cookies(const HttpResponse& response) {
    std::vector<std::string> lines;
    for (const auto& [name, value] : response.headers) {
      if (name == "Set-Cookie") lines.push_back(value);
    }
    return lines;
  }

  sys::FixedClock clock_;
  std::chrono::steady_clock::time_point now_ = std::chrono::steady_clock::now();
  std::string problem_;
  std::string remote_ = "127.0.0.1";
  std::string proto_;
  std::unique_ptr<Runtime> runtime_;
};

TEST_F(OpsRuntimeTest, healthz_answers_ok_or_the_problem_as_text_without_any_session) {
  const HttpResponse ok = send("GET", "/healthz", "", "JaunterSession=0123456789abcdef");
  EXPECT_EQ(ok.status, 200);
  EXPECT_EQ(ok.body, "ok");
  EXPECT_EQ(*ok.header("Content-Type"), "text/plain; charset=utf-8");
  EXPECT_EQ(ok.header("Set-Cookie"), nullptr);

  problem_ = "/data/trip.db does not exist\nsecond line";
  const HttpResponse down = send("GET", "/healthz", "");
  EXPECT_EQ(down.status, 503);
  EXPECT_EQ(down.body, "/data/trip.db does not exist second line");
  EXPECT_EQ(send("POST", "/healthz", "").status, 405);
  EXPECT_EQ(runtime_->sessions().size(), 0u);
}

TEST_F(OpsRuntimeTest, keep_alive_renews_a_signed_in_session_and_never_creates_one) {
  const std::string cookie = sign_in();
  ASSERT_FALSE(cookie.empty());
  now_ += std::chrono::minutes(15);
  EXPECT_EQ(send("GET", "/keep-alive", "", cookie).status, 204);
  now_ += std::chrono::minutes(15);  // 30 minutes after the sign-in, 15 after the keep-alive
  EXPECT_EQ(send("GET", "/Jaunter.ASP", "WCI=Menu&WCU", cookie).body, "Menu:jdoe");

  for (const std::string& other : {std::string(), std::string("JaunterSession=feedfacefeedface")}) {
    const HttpResponse gone = send("GET", "/keep-alive", "", other);
    EXPECT_EQ(gone.status, 410) << other;
    EXPECT_EQ(gone.header("Set-Cookie"), nullptr) << other;
  }
  now_ += std::chrono::minutes(21);
  EXPECT_EQ(send("GET", "/keep-alive", "", cookie).status, 410);
  EXPECT_EQ(runtime_->sessions().size(), 0u);
}

TEST_F(OpsRuntimeTest, a_link_opened_before_sign_in_is_opened_after_it) {
  const HttpResponse asked = send("GET", "/Jaunter.ASP", "WCI=Detail&WCE=7&WCU");
  const std::string asked_cookie = cookie_of(asked);
  ASSERT_EQ(asked_cookie.rfind("JaunterAsked=", 0), 0u) << asked_cookie;
  EXPECT_EQ(cookie_of(send("GET", "/Jaunter.ASP", "WCI=Menu&WCU")), "");

  const HttpResponse signed_in = send("POST", "/Jaunter.ASP", "WCI=Login&WCE=In&WCU", asked_cookie);
  EXPECT_EQ(signed_in.status, 302);
  EXPECT_EQ(*signed_in.header("Location"), "/Jaunter.ASP?WCI=Detail&WCE=7&WCU");
  const std::vector<std::string> set = cookies(signed_in);
  ASSERT_EQ(set.size(), 2u);
  EXPECT_EQ(set[1].rfind("JaunterAsked=;", 0), 0u) << set[1];
  EXPECT_NE(set[1].find("Max-Age=0"), std::string::npos);
}

TEST_F(OpsRuntimeTest, a_forged_asked_page_never_leads_off_the_host_page) {
  for (const char* forged : {"http%3A%2F%2Fevil.example%2F", "%2F%2Fevil.example",
                             "x%0D%0ALocation%3A%20http%3A%2F%2Fevil.example"}) {
    const HttpResponse reply =
        send("POST", "/Jaunter.ASP", "WCI=Login&WCE=In&WCU", std::string("JaunterAsked=") + forged);
    EXPECT_NE(reply.status, 500) << forged;
    const std::string* location = reply.header("Location");
    if (location) {
      EXPECT_EQ(location->rfind("/Jaunter.ASP?", 0), 0u) << *location;
      EXPECT_EQ(location->find('\n'), std::string::npos) << forged;
    }
  }
}

TEST_F(OpsRuntimeTest, cookies_are_secure_only_for_https_forwarded_by_a_trusted_proxy) {
  struct Case {
    std::string remote, proto;
    bool secure;
  };
  const std::vector<Case> cases = {
      {"127.0.0.1", "https", true}, {"::ffff:127.0.0.1", "HTTPS", true},
      {"::1", " https ", true},     {"127.0.0.1", "http", false},
      {"127.0.0.1", "", false},     {"10.0.0.9", "https", false},
      {"", "https", false},
  };
  make_runtime({"127.0.0.1", "[0:0::1]"});
  for (const Case& c : cases) {
    remote_ = c.remote;
    proto_ = c.proto;
    const HttpResponse asked = send("GET", "/Jaunter.ASP", "WCI=Detail&WCU");
    const HttpResponse signed_in = send("POST", "/Jaunter.ASP", "WCI=Login&WCE=In&WCU");
    for (const HttpResponse* reply : {&asked, &signed_in}) {
      const std::vector<std::string> set = cookies(*reply);
      ASSERT_EQ(set.size(), 1u) << c.remote;
      EXPECT_EQ(set[0].find("; Secure") != std::string::npos, c.secure)
          << c.remote << " " << c.proto << set[0];
    }
  }
  make_runtime();
  proto_ = "https";
  remote_ = "127.0.0.1";
  EXPECT_EQ(cookies(send("POST", "/Jaunter.ASP", "WCI=Login&WCE=In&WCU"))[0].find("Secure"),
            std::string::npos);
  EXPECT_THROW(make_runtime({"not-an-address"}), std::invalid_argument);
}

}  // namespace
}  // namespace web
