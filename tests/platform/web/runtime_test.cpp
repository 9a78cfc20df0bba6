// The web-item runtime: dispatch, hand-over, templates, sessions, static files.
#include "platform/web/runtime.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace std::string_literals;

namespace web {
namespace {

namespace fs = std::filesystem;

// A page object that records what ran and lets each test script the handlers.
struct Script {
  std::vector<std::string> calls;
  std::function<void(Context&, const std::string&)> on_respond;
  std::function<void(Context&, const std::string&, const std::string&)> on_event;
  std::function<void(Context&)> on_start;
};

class RecordingPage : public PageObject {
 public:
  RecordingPage(Context& context, Script& script) : context_(context), script_(script) {}
  void initialize() override { script_.calls.push_back("Initialize"); }
  void start() override {
    script_.calls.push_back("Start");
    if (script_.on_start) script_.on_start(context_);
  }
  void respond(const std::string& item) override {
    script_.calls.push_back(item + "_Respond");
    if (script_.on_respond) script_.on_respond(context_, item);
  }
  void custom_event(const std::string& item, const std::string& event) override {
    script_.calls.push_back(item + "_" + event);
    if (script_.on_event) script_.on_event(context_, item, event);
  }
  void user_event(const std::string& item, const std::string& name) override {
    script_.calls.push_back(item + "_UserEvent(" + name + ")");
    if (script_.on_event) script_.on_event(context_, item, name);
  }
  void process_tag(const std::string& item, const std::string& tag, std::string& contents,
                   bool&) override {
    script_.calls.push_back(item + "_ProcessTag(" + tag + ")");
    if (tag == "WC@PHONE" || tag == "wc@phone" || tag == "Wc@Phone") contents = "555-0100";
  }

 private:
  Context& context_;
  Script& script_;
};

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("jaunter-runtime-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    write("page.htm",
          "<p><WC@PHONE>old</WC@PHONE>|<wc@phone>x</wc@phone>|<WC@OTHER>keep</WC@OTHER></p>");
    write("other.htm", "[other]");
    write("style.css", "body{}");
    WebClassDef def;
    def.user_key = "USER";
    def.items = {{"Page", "page.htm", {"Save", "Find"}, true},
                 {"Other", "other.htm", {}, true},
                 {"Lookup", "other.htm", {"Find"}, false}};
    def.make_page = [this](Context& context) {
      return std::make_unique<RecordingPage>(context, script_);
    };
    RuntimeOptions options;
    options.app_dir = dir_.string();
    options.session_time = [this] { return now_; };
    options.clock = &clock_;
    options.template_check = std::chrono::milliseconds(0);
    runtime_ = std::make_unique<Runtime>(std::move(def), options);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
  }

  HttpResponse get(const std::string& query, const std::string& cookie = "") {
    script_.calls.clear();
    HttpRequest request;
    request.method = "GET";
    request.path = "/Jaunter.ASP";
    request.query = query;
    request.cookie = cookie;
    return runtime_->handle(request);
  }

  static std::string cookie_of(const HttpResponse& response) {
    const std::string* header = response.header("Set-Cookie");
    if (!header) return {};
    return header->substr(0, header->find(';'));
  }

  fs::path dir_;
  sys::FixedClock clock_;
  Script script_;
  std::chrono::steady_clock::time_point now_ = std::chrono::steady_clock::now();
  std::unique_ptr<Runtime> runtime_;
};

TEST_F(RuntimeTest, query_decides_which_handler_runs) {
  struct Case {
    std::string query;
    std::string handler;
  };
  const Case cases[] = {
      {"", "Start"},
      {"WCI=Page", "Page_Respond"},
      {"WCI=Page&WCE=&WCU", "Page_Respond"},
      {"WCI=page&WCE&WCU", "Page_Respond"},
      {"WCI=Page&WCE=Save&WCU", "Page_Save"},
      {"WCI=Page&WCE=save", "Page_Save"},
      {"WCI=Page&WCE=1234&WCU", "Page_UserEvent(1234)"},
      {"WCI=Page&WCE=Other", "Page_UserEvent(Other)"},
      {"wci=Lookup&wce=Find", "Lookup_Find"},
  };
  for (const Case& c : cases) {
    get(c.query);
    ASSERT_EQ(script_.calls.size(), 2u) << c.query;
    EXPECT_EQ(script_.calls[0], "Initialize");
    EXPECT_EQ(script_.calls[1], c.handler) << c.query;
  }
}

TEST_F(RuntimeTest,
       item_without_respond_answers_empty_unknown_item_is_not_found_and_a_circle_fails) {
  EXPECT_EQ(get("WCI=Lookup").status, 200);
  EXPECT_EQ(script_.calls, std::vector<std::string>{"Initialize"});
  EXPECT_EQ(get("WCI=Nothing").status, 404);
  EXPECT_TRUE(script_.calls.empty());
  // Items handing over in a circle end with an error page.
  script_.on_respond = [](Context& context, const std::string&) { context.set_next_item("Page"); };
  EXPECT_EQ(get("WCI=Page").status, 500);
}

TEST_F(RuntimeTest, next_item_responds_after_the_first_handlers_output) {
  script_.on_event = [](Context& context, const std::string&, const std::string&) {
    context.response().Write("first;");
    context.set_next_item("Other");
  };
  script_.on_respond = [](Context& context, const std::string& item) {
    context.response().Write(item + ";");
  };
  const HttpResponse response = get("WCI=Page&WCE=Save");
  EXPECT_EQ(response.body, "first;Other;");
  EXPECT_EQ(script_.calls, (std::vector<std::string>{"Initialize", "Page_Save", "Other_Respond"}));
}

TEST_F(RuntimeTest,
       template_tags_are_answered_by_name_in_any_case_and_changes_on_disk_are_picked_up) {
  script_.on_respond = [](Context& context, const std::string&) {
    context.response().Write("before:");
    context.write_template("Page");
  };
  const HttpResponse response = get("WCI=Page");
  EXPECT_EQ(response.body, "before:<p>555-0100|555-0100|keep</p>");
  EXPECT_EQ(script_.calls[2], "Page_ProcessTag(WC@PHONE)");
  EXPECT_EQ(script_.calls[3], "Page_ProcessTag(wc@phone)");
  EXPECT_EQ(script_.calls[4], "Page_ProcessTag(WC@OTHER)");
  write("page.htm", "[changed, longer]");
  EXPECT_EQ(get("WCI=Page").body, "before:[changed, longer]");
}

TEST_F(RuntimeTest, response_end_and_redirect_stop_output) {
  script_.on_event = [](Context& context, const std::string&, const std::string& event) {
    context.response().Write("a");
    if (event == "Save") context.response().Redirect("Jaunter.ASP?WCI=Other");
    if (event == "Find") context.response().End();
    context.response().Write("b");
  };
  const HttpResponse redirected = get("WCI=Page&WCE=Save");
  EXPECT_EQ(redirected.status, 302);
  EXPECT_EQ(*redirected.header("Location"), "Jaunter.ASP?WCI=Other");
  const HttpResponse ended = get("WCI=Page&WCE=Find");
  EXPECT_EQ(ended.status, 200);
  EXPECT_EQ(ended.body, "a");
}

TEST_F(RuntimeTest, form_and_query_fields_ignore_case_and_join_repeated_names) {
  std::string seen;
  script_.on_event = [&](Context& context, const std::string&, const std::string&) {
    seen = context.request().Form("USER") + "|" + context.request().Form("pick") + "|" +
           context.request().QueryString("x") + "|" + context.request().Form("absent") + "|" +
           context.request().ServerVariables("APPL_PHYSICAL_PATH").substr(0, 0);
  };
  HttpRequest request;
  request.method = "POST";
  request.path = "/jaunter.asp";
  request.query = "WCI=Page&WCE=Save&x=a%20b+c";
  request.content_type = "application/x-www-form-urlencoded";
  request.body = "user=+O%27Brien+&pick=1&Pick=2&bad=%zz";
  runtime_->handle(request);
  EXPECT_EQ(seen, " O'Brien |1, 2|a b c||");
}

TEST_F(RuntimeTest, session_values_survive_between_requests_with_the_cookie) {
  script_.on_event = [](Context& context, const std::string&, const std::string& event) {
    if (event == "Save") context.set_session("User", "jdoe");
    context.response().Write("user=" + (context.session("USER").is_empty()
                                            ? std::string("(none)")
                                            : context.session("user").get<std::string>()));
  };
  const HttpResponse first = get("WCI=Page&WCE=Save");
  const std::string* set_cookie = first.header("Set-Cookie");
  ASSERT_NE(set_cookie, nullptr);
  EXPECT_NE(set_cookie->find("HttpOnly"), std::string::npos);
  EXPECT_NE(set_cookie->find("SameSite=Lax"), std::string::npos);
  EXPECT_EQ(get("WCI=Page&WCE=Look", cookie_of(first)).body, "user=jdoe");
  EXPECT_EQ(get("WCI=Page&WCE=Look").body, "user=(none)");
  EXPECT_EQ(get("WCI=Page&WCE=Look", "JaunterSession=0123456789abcdef0123456789abcdef").body,
            "user=(none)");
}

TEST_F(RuntimeTest, idle_sessions_time_out_after_their_minutes) {
  script_.on_event = [](Context& context, const std::string&, const std::string& event) {
    if (event == "Save") {
      context.set_session("USER", "jdoe");
      context.set_session_timeout(5);
    }
    context.response().Write(context.session("USER").is_empty() ? "out" : "in");
  };
  const std::string cookie = cookie_of(get("WCI=Page&WCE=Save"));
  now_ += std::chrono::minutes(4);
  EXPECT_EQ(get("WCI=Page&WCE=Look", cookie).body, "in");
  now_ += std::chrono::minutes(5) + std::chrono::seconds(1);
  EXPECT_EQ(get("WCI=Page&WCE=Look", cookie).body, "out");
  EXPECT_EQ(runtime_->sessions().size(), 0u);
}

TEST_F(RuntimeTest, abandon_drops_the_session_after_the_request) {
  script_.on_event = [](Context& context, const std::string&, const std::string& event) {
    if (event == "Save") context.set_session("USER", "jdoe");
    if (event == "Find") {
      context.abandon_session();
      context.response().Write(context.session("USER").is_empty() ? "gone" : "still");
    }
  };
  const std::string cookie = cookie_of(get("WCI=Page&WCE=Save"));
  const HttpResponse logout = get("WCI=Page&WCE=Find", cookie);
  EXPECT_EQ(logout.body, "still");
  EXPECT_NE(logout.header("Set-Cookie")->find("Max-Age=0"), std::string::npos);
  EXPECT_EQ(runtime_->sessions().size(), 0u);
}

TEST_F(RuntimeTest, a_sign_in_renews_the_identifier_once_in_its_own_reply) {
  script_.on_event = [](Context& context, const std::string&, const std::string& event) {
    if (event == "Save") {
      context.set_session("USER", "jdoe");
      context.renew_session_id();
    }
    context.response().Write(context.session("USER").is_empty() ? "out" : "in");
  };
  // First without a session, then again within the signed-in one.
  std::string cookie;
  for (int sign_in = 0; sign_in < 2; ++sign_in) {
    const std::string before = cookie;
    cookie = cookie_of(get("WCI=Page&WCE=Save", before));
    ASSERT_FALSE(cookie.empty());
    EXPECT_NE(cookie, before);
    for (int tab = 0; tab < 2; ++tab) {
      const HttpResponse look = get("WCI=Page&WCE=Look", cookie);
      EXPECT_EQ(look.body, "in") << sign_in;
      EXPECT_EQ(look.header("Set-Cookie"), nullptr) << sign_in;
    }
    if (!before.empty()) {
      EXPECT_EQ(get("WCI=Page&WCE=Look", before).body, "out");
    }
  }
}

TEST_F(RuntimeTest, anonymous_requests_keep_no_session_and_cannot_sign_anyone_out) {
  // "Fail" writes what a failed sign-in writes: a blank user and blank settings.
  script_.on_event = [](Context& context, const std::string&, const std::string& event) {
    if (event == "Save") context.set_session("USER", "jdoe");
    if (event == "Fail") {
      context.set_session("USER", "");
      context.set_session("ROLE", "");
    }
    context.response().Write(context.session("USER").is_empty() ? "out" : "in");
  };
  const std::string cookie = cookie_of(get("WCI=Page&WCE=Save"));
  int cookies_sent = 0;
  for (int i = 0; i < 12000; ++i) {
    now_ += std::chrono::milliseconds(1);
    if (get("WCI=Page&WCE=Fail").header("Set-Cookie")) ++cookies_sent;
  }
  EXPECT_EQ(cookies_sent, 0);
  EXPECT_EQ(runtime_->sessions().size(), 1u);
  EXPECT_EQ(get("WCI=Page&WCE=Look", cookie).body, "in");
  // A failed sign-in within a session keeps the session, signed out.
  EXPECT_EQ(get("WCI=Page&WCE=Fail", cookie).header("Set-Cookie"), nullptr);
  EXPECT_NE(runtime_->sessions().peek(cookie.substr(cookie.find('=') + 1)), nullptr);
}

TEST(SessionStoreTest, a_full_store_drops_timed_out_then_anonymous_then_longest_idle_signed_in) {
  auto now = std::chrono::steady_clock::now();
  SessionStore store(3, [&] { return now; });
  auto add = [&](bool signed_in) {
    auto session = store.create();
    session->signed_in = signed_in;
    store.commit(session);
    now += std::chrono::minutes(1);
    return session;
  };
  auto live = [&](const std::shared_ptr<Session>& session) {
    return store.peek(session->id) != nullptr;
  };
  const auto a = add(true), b = add(false), c = add(true);
  const auto d = add(true);
  EXPECT_FALSE(live(b));
  EXPECT_TRUE(live(a));
  const auto e = add(false);
  EXPECT_FALSE(live(a));
  EXPECT_TRUE(live(e));
  c->timeout_minutes = 1;
  const auto f = add(true);
  EXPECT_FALSE(live(c));
  EXPECT_TRUE(live(d) && live(e) && live(f));
  EXPECT_EQ(store.size(), 3u);
  EXPECT_EQ(a->id.size(), 32u);  // 128 random bits in hex
  EXPECT_EQ(a->id.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_NE(a->id, b->id);
}

TEST_F(RuntimeTest, root_redirects_to_the_host_page_and_static_files_are_served_safely) {
  HttpRequest request;
  request.method = "GET";
  request.path = "/";
  const HttpResponse root = runtime_->handle(request);
  EXPECT_EQ(root.status, 302);
  EXPECT_EQ(*root.header("Location"), "/Jaunter.ASP");

  request.path = "/style.css";
  const HttpResponse css = runtime_->handle(request);
  EXPECT_EQ(css.status, 200);
  EXPECT_EQ(css.body, "body{}");
  EXPECT_EQ(*css.header("Content-Type"), "text/css; charset=utf-8");

  for (const char* path :
       {"/page.htm", "/Other.HTM", "/../etc/passwd", "/missing.css", "/x/../style.css"}) {
    request.path = path;
    EXPECT_EQ(runtime_->handle(request).status, 404) << path;
  }
  // A NUL would end the file name at the system call and serve the template.
  for (const std::string& path :
       {"/page.htm\0.css"s, "/style.css\n"s, "/\x7fstyle.css"s, "/Jaunter.ASP\x1f"s}) {
    request.path = path;
    const HttpResponse refused = runtime_->handle(request);
    EXPECT_EQ(refused.status, 400) << path.size();
    EXPECT_EQ(refused.body.find("WC@"), std::string::npos);
  }
}

TEST_F(RuntimeTest, posts_naming_another_site_are_refused_before_any_handler_runs) {
  struct Case {
    std::string host, origin, referer;
    bool accepted;
  };
  const Case cases[] = {
      {"jaunter.example.org", "", "", true},
      {"jaunter.example.org", "http://jaunter.example.org", "", true},
      {"Jaunter.Example.ORG", "https://JAUNTER.example.org", "", true},
      {"jaunter.example.org:8080", "https://jaunter.example.org:8080", "", true},
      {"jaunter.example.org", "https://jaunter.example.org:443", "", true},
      {"jaunter.example.org:80", "http://jaunter.example.org", "", true},
      {"[::1]:8080", "http://[::1]:8080", "", true},
      {"jaunter.example.org", "", "http://jaunter.example.org/Jaunter.ASP?WCI=Login", true},
      {"", "http://elsewhere.example", "", true},
      {"jaunter.example.org", "http://elsewhere.example", "", false},
      {"jaunter.example.org", "null", "", false},
      {"jaunter.example.org", "http://elsewhere.example", "http://jaunter.example.org/", false},
      {"jaunter.example.org", "", "http://elsewhere.example/Jaunter.ASP", false},
      {"jaunter.example.org", "", "http://jaunter.example.org@elsewhere.example/", false},
      {"jaunter.example.org", "http://jaunter.example.org.elsewhere.example", "", false},
      {"jaunter.example.org:8080", "http://jaunter.example.org", "", false},
      {"jaunter.example.org:8080", "http://jaunter.example.org:8081", "", false},
      {"jaunter.example.org", "https://jaunter.example.org:8443", "", false},
      {"jaunter.example.org", "ftp://jaunter.example.org", "", false},
      {"jaunter.example.org", "jaunter.example.org", "", false},
  };
  script_.on_event = [](Context& context, const std::string&, const std::string&) {
    context.set_session("USER", "jdoe");
  };
  for (const Case& c : cases) {
    script_.calls.clear();
    HttpRequest request;
    request.method = "POST";
    request.path = "/Jaunter.ASP";
    request.query = "WCI=Page&WCE=Save";
    request.host = c.host;
    request.origin = c.origin;
    request.referer = c.referer;
    const HttpResponse response = runtime_->handle(request);
    const std::string where = c.host + " " + c.origin + " " + c.referer;
    EXPECT_EQ(response.status, c.accepted ? 200 : 403) << where;
    EXPECT_EQ(script_.calls.empty(), !c.accepted) << where;
    EXPECT_EQ(response.header("Set-Cookie") != nullptr, c.accepted) << where;
    if (!c.accepted) {
      EXPECT_NE(response.body.find("another web site"), std::string::npos);
      EXPECT_EQ(*response.header("Content-Type"), "text/html; charset=utf-8");
    }
  }
  // A link followed from another site is no post: it is served.
  HttpRequest link;
  link.method = "GET";
  link.path = "/Jaunter.ASP";
  link.host = "jaunter.example.org";
  link.referer = "http://elsewhere.example/";
  EXPECT_EQ(runtime_->handle(link).status, 200);
}

TEST_F(RuntimeTest, pages_are_utf8_html_not_cached_and_escaped) {
  const HttpResponse response = get("WCI=Page");
  EXPECT_EQ(*response.header("Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(*response.header("Cache-Control"), "no-store");
  EXPECT_EQ(html_escape("O'Brien <b>&\"x\"</b>"),
            "O&#39;Brien &lt;b&gt;&amp;&quot;x&quot;&lt;/b&gt;");
}

}  // namespace
}  // namespace web
