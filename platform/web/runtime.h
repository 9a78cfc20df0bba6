// The web-item runtime: routes a request of the host page to the page object's handlers, keeps the
// session and application stores, writes item templates with their replacement tags, and hands
// the response to a next item.
//
// Design: the runtime knows items only as data (name, template file, custom events) and reaches
// the application through the PageObject interface; one page object is made per request. The
// response is collected in memory and sent when the request cycle ends, so Response.End and
// Response.Redirect simply stop further output.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sys/clock.h"
#include "platform/vb/variant.h"
#include "platform/web/http.h"
#include "platform/web/stores.h"
#include "platform/web/templates.h"

namespace web {

// Form or query fields: names without regard to case; a name posted several times reads as its
// values joined by ", ".
class FieldSet {
 public:
  static FieldSet parse_urlencoded(std::string_view text);
  std::string get(std::string_view name) const;  // "" when absent
  bool has(std::string_view name) const;
  void add(std::string name, std::string value);

 private:
  std::vector<std::pair<std::string, std::string>> fields_;
};

class Request {
 public:
  Request(FieldSet query, FieldSet form, std::string app_path)
      : query_(std::move(query)), form_(std::move(form)), app_path_(std::move(app_path)) {}
  std::string Form(std::string_view name) const { return form_.get(name); }
  std::string QueryString(std::string_view name) const { return query_.get(name); }
  // "APPL_PHYSICAL_PATH": the application directory, ending in "/"; other names give "".
  std::string ServerVariables(std::string_view name) const;

 private:
  FieldSet query_;
  FieldSet form_;
  std::string app_path_;
};

class Response {
 public:
  // Appends to the body, unless the response has ended.
  void Write(std::string_view text);
  // Sends the browser elsewhere; nothing written afterwards is sent.
  void Redirect(std::string address);
  void End() { ended_ = true; }
  bool ended() const { return ended_; }
  // Room for `more` bytes beyond those written, so that a page grows its body once.
  void reserve(std::size_t more) { body_.reserve(body_.size() + more); }
  const std::string& body() const { return body_; }
  std::string take_body() { return std::move(body_); }
  const std::string& redirect_address() const { return redirect_; }
  // Drops what was written after the first `size` bytes: for a step whose failure its caller
  // reports in its own words.
  void truncate(std::size_t size) {
    if (size < body_.size()) body_.resize(size);
  }
  // A header of the page's own (a download's type and file name), replacing one of the same
  // name; sent with a complete page only.
  void set_header(std::string name, std::string value);
  const std::vector<std::pair<std::string, std::string>>& headers() const { return headers_; }

 private:
  std::string body_;
  std::string redirect_;
  std::vector<std::pair<std::string, std::string>> headers_;
  bool ended_ = false;
};

class Runtime;
class PageObject;

// What a page object sees of the platform during one request.
class Context {
 public:
  Context(Runtime& runtime, Request& request, Response& response, std::shared_ptr<Session> session,
          ApplicationStore& application);

  Request& request() { return request_; }
  Response& response() { return response_; }

  // Session(key). Reading never creates a session; the first write does. The value stays valid
  // until the key is written again: a list read for every row need not be copied.
  const vb::Variant& session(std::string_view key) const;
  void set_session(std::string_view key, vb::Variant value);
  void set_session_timeout(int minutes);  // Session.Timeout
  void abandon_session();                 // Session.Abandon
  void renew_session_id();                // a new identifier at the end of this request (sign-in)

  // Application(key).
  vb::Variant application(std::string_view key) const;
  void set_application(std::string_view key, vb::Variant value);

  // NextItem = item: its _Respond runs after the current handler returns.
  void set_next_item(std::string item) { next_item_ = std::move(item); }
  const std::string& next_item() const { return next_item_; }
  std::string take_next_item() { return std::exchange(next_item_, {}); }

  // item.WriteTemplate: streams the item's template, calling the page's tag handler per tag.
  void write_template(std::string_view item);
  // URLFor(item, event): "Jaunter.ASP?WCI=<item>&WCE=<event>&WCU".
  std::string url_for(std::string_view item, std::string_view event) const;

  const sys::Clock& clock() const;

  // The session of this request, or nullptr when none exists (yet).
  const std::shared_ptr<Session>& session_object() const { return session_; }

 private:
  friend class Runtime;
  Runtime& runtime_;
  Request& request_;
  Response& response_;
  std::shared_ptr<Session> session_;
  bool session_created_ = false;  // created by this request, not yet in the store
  ApplicationStore& application_;
  PageObject* page_ = nullptr;
  std::string current_item_;  // the item whose template is being written, for nested writes
  std::string next_item_;
  bool kept_in_history_ = false;  // a template of an item kept in history was written
};

// The application's side of the runtime: one instance per request.
class PageObject {
 public:
  virtual ~PageObject() = default;
  virtual void initialize() {}     // WebClass_Initialize
  virtual void begin_request() {}  // WebClass_BeginRequest
  virtual void start() = 0;        // WebClass_Start: a request without WCI
  // <item>_Respond; the runtime only calls it for items that have one.
  virtual void respond(const std::string& item) = 0;
  // <item>_<event> for a custom event of the item (event spelled as in the item table).
  virtual void custom_event(const std::string& item, const std::string& event) = 0;
  // <item>_UserEvent(EventName) for any other event name.
  virtual void user_event(const std::string& item, const std::string& event_name) = 0;
  // <item>_ProcessTag(TagName, TagContents, SendTags).
  virtual void process_tag(const std::string& item, const std::string& tag_name,
                           std::string& tag_contents, bool& send_tags) = 0;
  virtual void end_request() {}  // WebClass_EndRequest
  virtual void terminate() {}    // WebClass_Terminate
};

struct ItemDef {
  std::string name;
  std::string template_file;
  std::vector<std::string> custom_events;
  bool has_respond = true;
  // The browser may keep this item's pages (and the answers to its posts) for Back and Forward,
  // so that going back shows a form as it was filled; other pages are never stored.
  bool kept_in_history = false;
  // A browser's link to this item opened without a signed-in session is opened again after the
  // sign-in.
  bool reopened_after_sign_in = false;
};

struct WebClassDef {
  std::string host_page = "Jaunter.ASP";
  // The session key whose non-blank value marks a signed-in session; empty: every written
  // session counts. A session a request creates is kept only when it is signed in at the end.
  std::string user_key;
  std::vector<ItemDef> items;
  std::function<std::unique_ptr<PageObject>(Context&)> make_page;
  // The page around an answer that is only a fragment (a message, an error page): a file of the
  // application directory whose WC@MESSAGE tag receives the fragment and whose WC@HOME tag is
  // kept only for error statuses. Empty: fragments are sent as they are.
  std::string message_page;
};

struct RuntimeOptions {
  std::string app_dir;  // templates and static files
  std::size_t max_sessions = 10000;
  SessionStore::TimeSource session_time;  // tests may drive the idle clock
  const sys::Clock* clock = nullptr;      // required: the source of "now"
  int max_next_items = 16;                // guards against items handing over in a circle
  // How often a template file is looked at for changes.
  std::chrono::milliseconds template_check = std::chrono::seconds(1);
  // For /healthz: "" when the application can serve, else why not. Unset: the runtime answering
  // is all there is to check.
  std::function<std::string()> health_problem;
  // Numeric addresses of the reverse proxies whose X-Forwarded-Proto is believed: a request
  // they forward from https gets its cookies marked Secure.
  std::vector<std::string> trusted_proxies;
};

class Runtime {
 public:
  Runtime(WebClassDef web_class, RuntimeOptions options);

  // Serves one HTTP request: the host page, "/" (redirect to the host page), "/keep-alive" (204
  // while the cookie's session lives, and it lives on; 410 when it is gone), "/healthz" (200
  // "ok" or 503 with the reason, as text) and static files.
  // A path with a control byte gets 400; a post from a page of another site gets 403. A request
  // that accepts text/html gets a fragment answer inside the message page.
  HttpResponse handle(const HttpRequest& request);

  SessionStore& sessions() { return sessions_; }
  ApplicationStore& application() { return application_; }
  const sys::Clock& clock() const { return *clock_; }
  const std::string& app_dir() const { return options_.app_dir; }
  const WebClassDef& web_class() const { return web_class_; }

  static constexpr std::string_view kSessionCookie = "JaunterSession";
  static constexpr std::string_view kAskedCookie = "JaunterAsked";

 private:
  friend class Context;
  HttpResponse route(const HttpRequest& request);
  void dress(HttpResponse& response);
  void follow_asked_page(const HttpRequest& request, const ItemDef* requested, bool signed_in,
                         bool signed_in_here, bool secure, HttpResponse& response);
  HttpResponse serve_page(const HttpRequest& request);
  HttpResponse serve_static(const HttpRequest& request);
  HttpResponse health() const;
  // Whether the browser reached us over https through a trusted proxy.
  bool behind_tls(const HttpRequest& request) const;
  void run_cycle(Context& context, PageObject& page, const std::string& item_name,
                 const std::string& event_name, bool has_item);
  const ItemDef* find_item(std::string_view name) const;
  bool signed_in(const Session& session) const;

  WebClassDef web_class_;
  RuntimeOptions options_;
  const sys::Clock* clock_;
  SessionStore sessions_;
  ApplicationStore application_;
  TemplateCache templates_;
};

// HTML-escapes text for element content and single- or double-quoted attribute values.
std::string html_escape(std::string_view text);

}  // namespace web
