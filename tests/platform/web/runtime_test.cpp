// The web-item runtime: dispatch, templates, sessions, cross-site posts, static files, messages,
// and its own addresses and cookies (/healthz, /keep-alive, the page asked for before a sign-in).
#include "platform/web/runtime.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

using namespace std::string_literals;

namespace web {
namespace {

// A page object that records what ran and lets each test script the handlers.
struct Script {
  std::vector<std::string> calls;
  std::function<void(Context&, const std::string&)> on_respond;
  std::function<void(Context&, const std::string&, const std::string&)> on_event;
};

class RecordingPage : public PageObject {
 public:
  RecordingPage(Context& context, Script& script) : context_(context), script_(script) {}
  void initialize() override { script_.calls.push_back("Initialize"); }
  void start() override { script_.calls.push_back("Start"); }
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
    if (tag == "WC@PHONE" || tag == "wc@phone") contents = "555-0100";
  }

 private:
  Context& context_;
  Script& script_;
};

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    write("page.htm",
          "<p><WC@PHONE>old</WC@PHONE>|<wc@phone>x</wc@phone>|<WC@OTHER>keep</WC@OTHER></p>");
    write("other.htm", "[other]");
    write("style.css", "body{}");
    write("shell.htm", "<html>[<WC@MESSAGE></WC@MESSAGE>]<WC@HOME>home</WC@HOME>");
    write("form.htm", "<!DOCTYPE html><body id='b'><form></form>");
    make_runtime();
  }
  void make_runtime(std::vector<std::string> trusted_proxies = {}) {
    WebClassDef def;
    def.user_key = "USER";
    ItemDef detail{"Detail", "other.htm", {}, true};
    detail.reopened_after_sign_in = true;
    def.items = {{"Page", "page.htm", {"Save", "Find"}, true},
                 {"Other", "other.htm", {}, true},
                 {"Lookup", "other.htm", {"Find"}, false},
                 {"Form", "form.htm", {}, true, /*kept_in_history=*/true},
                 detail};
    def.message_page = "shell.htm";
    def.make_page = [this](Context& context) {
      return std::make_unique<RecordingPage>(context, script_);
    };
    RuntimeOptions options;
    options.app_dir = dir_.str();
    options.session_time = [this] { return now_; };
    options.clock = &clock_;
    options.template_check = std::chrono::milliseconds(0);
    options.health_problem = [this] { return problem_; };
    options.trusted_proxies = std::move(trusted_proxies);
    runtime_ = std::make_unique<Runtime>(std::move(def), options);
  }
  void write(const std::string& name, const std::string& text) { dir_.write(name, text); }

  HttpResponse send(const std::string& method, const std::string& path, const std::string& query,
                    const std::string& cookie = "") {
    script_.calls.clear();
    HttpRequest request;
    request.method = method;
    request.path = path;
    request.query = query;
    request.cookie = cookie;
    request.accept = accept_;
    request.remote = remote_;
    request.forwarded_proto = proto_;
    return runtime_->handle(request);
  }
  HttpResponse get(const std::string& query, const std::string& cookie = "") {
    return send("GET", "/Jaunter.ASP", query, cookie);
  }

  // Every Set-Cookie line of a response.
  static std::vector<std::string> cookies(const HttpResponse& response) {
    std::vector<std::string> lines;
    for (const auto& [name, value] : response.headers) {
      if (name == "Set-Cookie") lines.push_back(value);
    }
    return lines;
  }
  static std::string cookie_of(const HttpResponse& response) {
    const std::string* header = response.header("Set-Cookie");
    return header ? header->substr(0, header->find(';')) : "";
  }

  // Events of the session tests: "Save" signs jdoe in, "Renew" does so under a new identifier,
  // "Fail" blanks what a failed sign-in blanks, "Short" sets a 5-minute timeout, "Quit" abandons.
  // Each answers "in" or "out".
  void script_sessions() {
    script_.on_event = [](Context& context, const std::string&, const std::string& event) {
      if (event == "Save" || event == "Renew") context.set_session("User", "jdoe");
      if (event == "Renew") context.renew_session_id();
      if (event == "Short") context.set_session_timeout(5);
      if (event == "Quit") context.abandon_session();
      if (event == "Fail") {
        context.set_session("USER", "");
        context.set_session("ROLE", "");
      }
      context.response().Write(context.session("user").is_empty() ? "out" : "in");
    };
  }

  testing_support::TempDir dir_;
  sys::FixedClock clock_;
  Script script_;
  std::chrono::steady_clock::time_point now_ = std::chrono::steady_clock::now();
  std::string problem_, accept_, remote_ = "127.0.0.1", proto_;
  std::unique_ptr<Runtime> runtime_;
};

TEST_F(RuntimeTest, query_decides_which_handlers_run) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "Initialize Start"},
      {"WCI=page&WCE&WCU", "Initialize Page_Respond"},
      {"WCI=Page&WCE=save", "Initialize Page_Save"},
      {"WCI=Page&WCE=1234&WCU", "Initialize Page_UserEvent(1234)"},
      {"wci=Lookup&wce=Find", "Initialize Lookup_Find"},
      {"WCI=Lookup", "Initialize"},  // an item without a respond answers empty
      {"WCI=Nothing", ""},
  };
  for (const auto& [query, handlers] : cases) {
    const int status = get(query).status;
    std::string calls;
    for (const std::string& call : script_.calls) calls += (calls.empty() ? "" : " ") + call;
    EXPECT_EQ(calls, handlers) << query;
    EXPECT_EQ(status, handlers.empty() ? 404 : 200) << query;
  }
}

TEST_F(RuntimeTest, next_item_responds_after_the_handler_unless_it_ends_or_redirects) {
  script_.on_event = [](Context& context, const std::string&, const std::string& event) {
    context.response().Write("first;");
    if (event == "Quit") context.response().Redirect("Jaunter.ASP?WCI=Other");
    if (event == "Find") context.response().End();
    context.response().Write("second;");
    context.set_next_item("Other");
  };
  script_.on_respond = [](Context& context, const std::string& item) {
    context.response().Write(item + ";");
    if (item == "Page") context.set_next_item("Page");
  };
  EXPECT_EQ(get("WCI=Page&WCE=Save").body, "first;second;Other;");
  EXPECT_EQ(get("WCI=Page&WCE=Find").body, "first;");
  const HttpResponse redirected = get("WCI=Page&WCE=Quit");
  EXPECT_EQ(redirected.status, 302);
  EXPECT_EQ(*redirected.header("Location"), "Jaunter.ASP?WCI=Other");
  EXPECT_EQ(get("WCI=Page").status, 500);  // a circle of next items
}

TEST_F(RuntimeTest, template_tags_are_answered_by_name_and_changes_on_disk_are_picked_up) {
  script_.on_respond = [](Context& context, const std::string&) {
    context.response().Write("before:");
    context.write_template("Page");
  };
  EXPECT_EQ(get("WCI=Page").body, "before:<p>555-0100|555-0100|keep</p>");
  EXPECT_EQ(script_.calls[3], "Page_ProcessTag(wc@phone)");
  write("page.htm", "[changed, longer]");
  EXPECT_EQ(get("WCI=Page").body, "before:[changed, longer]");
}

TEST_F(RuntimeTest, form_and_query_fields_ignore_case_and_join_repeated_names) {
  std::string seen;
  script_.on_event = [&](Context& context, const std::string&, const std::string&) {
    seen = context.request().Form("USER") + "|" + context.request().Form("pick") + "|" +
           context.request().QueryString("x") + "|" + context.request().Form("absent");
  };
  HttpRequest request;
  request.method = "POST";
  request.path = "/jaunter.asp";
  request.query = "WCI=Page&WCE=Save&x=a%20b+c";
  request.content_type = "application/x-www-form-urlencoded";
  request.body = "user=+O%27Brien+&pick=1&Pick=2&bad=%zz";
  runtime_->handle(request);
  EXPECT_EQ(seen, " O'Brien |1, 2|a b c|");
}

TEST_F(RuntimeTest, session_values_survive_with_an_http_only_cookie_until_idle_or_abandoned) {
  script_sessions();
  const HttpResponse first = get("WCI=Page&WCE=Save");
  const std::string* set_cookie = first.header("Set-Cookie");
  ASSERT_NE(set_cookie, nullptr);
  EXPECT_NE(set_cookie->find("; HttpOnly"), std::string::npos);
  EXPECT_NE(set_cookie->find("; SameSite=Lax"), std::string::npos);
  const std::string cookie = cookie_of(first);
  EXPECT_EQ(get("WCI=Page&WCE=Look", cookie).body, "in");
  EXPECT_EQ(get("WCI=Page&WCE=Look").body, "out");
  EXPECT_EQ(get("WCI=Page&WCE=Look", "JaunterSession=0123456789abcdef0123456789abcdef").body,
            "out");
  get("WCI=Page&WCE=Short", cookie);
  now_ += std::chrono::minutes(4);
  EXPECT_EQ(get("WCI=Page&WCE=Look", cookie).body, "in");
  now_ += std::chrono::minutes(5) + std::chrono::seconds(1);
  EXPECT_EQ(get("WCI=Page&WCE=Look", cookie).body, "out");
  EXPECT_EQ(runtime_->sessions().size(), 0u);
  // Abandon drops the session after the request.
  const HttpResponse logout = get("WCI=Page&WCE=Quit", cookie_of(get("WCI=Page&WCE=Save")));
  EXPECT_EQ(logout.body, "in");
  EXPECT_NE(logout.header("Set-Cookie")->find("Max-Age=0"), std::string::npos);
  EXPECT_EQ(runtime_->sessions().size(), 0u);
}

TEST_F(RuntimeTest, a_sign_in_renews_the_identifier_once_in_its_own_reply) {
  script_sessions();
  // First without a session, then again within the signed-in one.
  std::string cookie;
  for (int sign_in = 0; sign_in < 2; ++sign_in) {
    const std::string before = cookie;
    cookie = cookie_of(get("WCI=Page&WCE=Renew", before));
    ASSERT_FALSE(cookie.empty());
    EXPECT_NE(cookie, before);
    const HttpResponse look = get("WCI=Page&WCE=Look", cookie);
    EXPECT_EQ(look.body, "in") << sign_in;
    EXPECT_EQ(look.header("Set-Cookie"), nullptr) << sign_in;
    if (!before.empty()) {
      EXPECT_EQ(get("WCI=Page&WCE=Look", before).body, "out");
    }
  }
}

TEST_F(RuntimeTest, anonymous_requests_keep_no_session_and_cannot_sign_anyone_out) {
  script_sessions();
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
  EXPECT_EQ(a->id.size(), 32u);  // 128 random bits in hex
  EXPECT_EQ(a->id.find_first_not_of("0123456789abcdef"), std::string::npos);
}

TEST_F(RuntimeTest, root_redirects_to_the_host_page_and_static_files_are_served_safely) {
  const HttpResponse root = send("GET", "/", "");
  EXPECT_EQ(root.status, 302);
  EXPECT_EQ(*root.header("Location"), "/Jaunter.ASP");
  const HttpResponse css = send("GET", "/style.css", "");
  EXPECT_EQ(css.body, "body{}");
  EXPECT_EQ(*css.header("Content-Type"), "text/css; charset=utf-8");
  for (const char* path : {"/page.htm", "/../etc/passwd", "/x/../style.css"}) {
    EXPECT_EQ(send("GET", path, "").status, 404) << path;
  }
  // A NUL would end the file name at the system call and serve the template.
  for (const std::string& path : {"/page.htm\0.css"s, "/style.css\n"s}) {
    EXPECT_EQ(send("GET", path, "").status, 400) << path.size();
  }
}

TEST_F(RuntimeTest, posts_naming_another_site_are_refused_before_any_handler_runs) {
  struct Case {
    std::string host, origin, referer;
    bool accepted;
  };
  const Case cases[] = {
      {"jaunter.example.org", "", "", true},
      {"Jaunter.Example.ORG", "https://JAUNTER.example.org", "", true},
      {"jaunter.example.org:8080", "https://jaunter.example.org:8080", "", true},
      {"jaunter.example.org", "https://jaunter.example.org:443", "", true},
      {"jaunter.example.org", "", "http://jaunter.example.org/Jaunter.ASP?WCI=Login", true},
      {"", "http://elsewhere.example", "", true},
      {"jaunter.example.org", "http://elsewhere.example", "http://jaunter.example.org/", false},
      {"jaunter.example.org", "null", "", false},
      {"jaunter.example.org", "", "http://jaunter.example.org@elsewhere.example/", false},
      {"jaunter.example.org", "http://jaunter.example.org.elsewhere.example", "", false},
      {"jaunter.example.org:8080", "http://jaunter.example.org", "", false},
      {"jaunter.example.org", "ftp://jaunter.example.org", "", false},
  };
  script_sessions();
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
    }
  }
}

TEST_F(RuntimeTest, a_browser_gets_a_message_inside_the_message_page_and_other_clients_alone) {
  script_.on_respond = [](Context& context, const std::string& item) {
    context.write_template(item);
  };
  script_.on_event = [](Context& context, const std::string& item, const std::string& event) {
    context.response().Write(event == "Warned" ? "<p>Careful.</p>" : "<p>Required.</p>");
    if (event == "Warned") context.write_template(item);
  };
  accept_ = "text/html,*/*";
  EXPECT_EQ(get("WCI=Form&WCE=Message").body, "<html>[<p>Required.</p>]");
  EXPECT_EQ(get("WCI=Form").body, "<!DOCTYPE html><body id='b'><form></form>");
  // A message ahead of a page goes to the top of its body.
  EXPECT_EQ(get("WCI=Form&WCE=Warned").body,
            "<!DOCTYPE html><body id='b'><div class='card message ahead' role='alert'><p>Careful."
            "</p></div><form></form>");
  // Error pages keep the way back to the start.
  const HttpResponse missing = get("WCI=Nowhere");
  EXPECT_EQ(missing.status, 404);
  EXPECT_EQ(missing.body, "<html>[<h1>Not found</h1><p>There is no page named Nowhere.</p>]home");
  // Only items kept in history may be stored for Back.
  EXPECT_EQ(*get("WCI=Form&WCE=Message").header("Cache-Control"), "private, max-age=0");
  EXPECT_EQ(*get("WCI=Other").header("Cache-Control"), "no-store");
  accept_ = "";
  EXPECT_EQ(get("WCI=Form&WCE=Message").body, "<p>Required.</p>");
}

TEST_F(RuntimeTest, healthz_answers_ok_or_the_problem_as_text_without_any_session) {
  const HttpResponse ok = send("GET", "/healthz", "", "JaunterSession=0123456789abcdef");
  EXPECT_EQ(ok.status, 200);
  EXPECT_EQ(ok.body, "ok");
  EXPECT_EQ(ok.header("Set-Cookie"), nullptr);
  problem_ = "/data/trip.db does not exist\nsecond line";
  const HttpResponse down = send("GET", "/healthz", "");
  EXPECT_EQ(down.status, 503);
  EXPECT_EQ(down.body, "/data/trip.db does not exist second line");
  EXPECT_EQ(send("POST", "/healthz", "").status, 405);
  EXPECT_EQ(runtime_->sessions().size(), 0u);
}

TEST_F(RuntimeTest, keep_alive_renews_a_signed_in_session_and_never_creates_one) {
  script_sessions();
  const std::string cookie = cookie_of(get("WCI=Page&WCE=Save"));
  now_ += std::chrono::minutes(15);
  const HttpResponse renewed = send("GET", "/keep-alive", "", cookie);
  EXPECT_EQ(renewed.status, 204);
  ASSERT_NE(renewed.header("Cache-Control"), nullptr);
  EXPECT_EQ(*renewed.header("Cache-Control"), "no-store");
  now_ += std::chrono::minutes(15);  // 30 minutes after the sign-in, 15 after the keep-alive
  EXPECT_EQ(get("WCI=Page&WCE=Look", cookie).body, "in");
  const HttpResponse gone = send("GET", "/keep-alive", "", "JaunterSession=feedfacefeedface");
  EXPECT_EQ(gone.status, 410);
  EXPECT_EQ(gone.header("Set-Cookie"), nullptr);
  now_ += std::chrono::minutes(21);
  EXPECT_EQ(send("GET", "/keep-alive", "", cookie).status, 410);
  EXPECT_EQ(runtime_->sessions().size(), 0u);
}

TEST_F(RuntimeTest, a_link_opened_before_sign_in_is_opened_after_it_and_only_on_this_site) {
  script_sessions();
  accept_ = "text/html";
  const std::string asked_cookie = cookie_of(get("WCI=Detail&WCE=7&WCU"));
  ASSERT_EQ(asked_cookie.rfind("JaunterAsked=", 0), 0u) << asked_cookie;
  EXPECT_EQ(cookie_of(get("WCI=Other&WCU")), "");
  const HttpResponse signed_in = get("WCI=Page&WCE=Save", asked_cookie);
  EXPECT_EQ(signed_in.status, 302);
  EXPECT_EQ(*signed_in.header("Location"), "/Jaunter.ASP?WCI=Detail&WCE=7&WCU");
  const std::vector<std::string> set = cookies(signed_in);
  ASSERT_EQ(set.size(), 2u);
  EXPECT_EQ(set[1].rfind("JaunterAsked=;", 0), 0u) << set[1];
  // A forged asked page never leads off the host page.
  for (const char* forged :
       {"http%3A%2F%2Fevil.example%2F", "x%0D%0ALocation%3A%20http%3A%2F%2Fevil.example"}) {
    const HttpResponse reply = get("WCI=Page&WCE=Save", std::string("JaunterAsked=") + forged);
    EXPECT_NE(reply.status, 500) << forged;
    const std::string* location = reply.header("Location");
    EXPECT_TRUE(!location || location->rfind("/Jaunter.ASP?", 0) == 0) << *location;
  }
}

TEST_F(RuntimeTest, cookies_are_secure_only_for_https_forwarded_by_a_trusted_proxy) {
  const std::tuple<std::string, std::string, bool> cases[] = {
      {"::ffff:127.0.0.1", "HTTPS", true},
      {"::1", " https ", true},
      {"127.0.0.1", "http", false},
      {"10.0.0.9", "https", false},
  };
  script_sessions();
  accept_ = "text/html";
  make_runtime({"127.0.0.1", "[0:0::1]"});
  for (const auto& [remote, proto, secure] : cases) {
    remote_ = remote;
    proto_ = proto;
    for (const HttpResponse& reply : {get("WCI=Detail&WCU"), get("WCI=Page&WCE=Save")}) {
      const std::vector<std::string> set = cookies(reply);
      ASSERT_EQ(set.size(), 1u) << remote;
      EXPECT_EQ(set[0].find("; Secure") != std::string::npos, secure) << remote << " " << set[0];
    }
  }
  EXPECT_THROW(make_runtime({"not-an-address"}), std::invalid_argument);
}

}  // namespace
}  // namespace web
