// The web-item runtime: fields, responses, the request cycle and static files.
#include "platform/web/runtime.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "platform/text/text.h"
#include "platform/vb/errors.h"

namespace web {

namespace {

std::string cookie_value(std::string_view header, std::string_view name) {
  std::size_t pos = 0;
  while (pos < header.size()) {
    std::size_t end = header.find(';', pos);
    if (end == std::string_view::npos) end = header.size();
    std::string_view part = header.substr(pos, end - pos);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    const std::size_t eq = part.find('=');
    if (eq != std::string_view::npos && part.substr(0, eq) == name) {
      return std::string(part.substr(eq + 1));
    }
    pos = end + 1;
  }
  return {};
}

// Secure only when the browser is known to use https: over plain http it would drop the cookie.
std::string cookie_attributes(bool secure) {
  return secure ? "; Path=/; HttpOnly; SameSite=Lax; Secure" : "; Path=/; HttpOnly; SameSite=Lax";
}

std::string session_cookie(const std::string& id, bool secure) {
  return std::string(Runtime::kSessionCookie) + "=" + id + cookie_attributes(secure);
}

std::string expired_session_cookie(bool secure) {
  return std::string(Runtime::kSessionCookie) + "=" + cookie_attributes(secure) + "; Max-Age=0";
}

// A 302 to `target`, with the link for a client that does not follow it.
void redirect(HttpResponse& response, const std::string& target) {
  response.status = 302;
  response.set_header("Location", target);
  response.body = "<p>This page has moved to <a href='" + html_escape(target) + "'>here</a>.</p>";
}

HttpResponse plain_text(int status, std::string text) {
  HttpResponse response;
  response.status = status;
  response.set_header("Content-Type", "text/plain; charset=utf-8");
  response.set_header("Cache-Control", "no-store");
  response.body = std::move(text);
  return response;
}

// A page of the runtime's own (not found, method not allowed): a fragment, dressed like every
// other fragment.
HttpResponse simple_page(int status, std::string_view title, std::string_view message) {
  HttpResponse response;
  response.status = status;
  response.set_header("Content-Type", "text/html; charset=utf-8");
  response.body = "<h1>" + html_escape(title) + "</h1><p>" + html_escape(message) + "</p>";
  return response;
}

// A short page of one paragraph, for refusals made before any handler runs.
HttpResponse paragraph_page(int status, std::string_view paragraph) {
  HttpResponse response;
  response.status = status;
  response.set_header("Content-Type", "text/html; charset=utf-8");
  response.body = paragraph;
  return response;
}

// Where `word` (ASCII) first occurs in `text` from `from` on, without regard to case.
std::size_t find_no_case(std::string_view text, std::string_view word, std::size_t from = 0) {
  for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
    if (text::same_text(text.substr(i, word.size()), word)) return i;
  }
  return std::string_view::npos;
}

bool has_control_byte(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](unsigned char c) { return c < 0x20 || c == 0x7f; });
}

// A host and port as a Host header or the authority of a URL names them.
struct HostPort {
  std::string host;  // lower case; an IPv6 address keeps its brackets
  int port = -1;     // -1 when left out
};

std::optional<HostPort> parse_host_port(std::string_view text) {
  std::string_view host = text, port;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = text.substr(0, close + 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') return std::nullopt;
    if (!rest.empty()) port = rest.substr(1);
  } else if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
  }
  if (host.empty()) return std::nullopt;
  HostPort parsed;
  for (char c : host) parsed.host.push_back(text::ascii_lower(c));
  if (!port.empty()) {
    const char* end = port.data() + port.size();
    const auto [stop, error] = std::from_chars(port.data(), end, parsed.port);
    if (error != std::errc() || stop != end || parsed.port < 0 || parsed.port > 65535) {
      return std::nullopt;
    }
  }
  return parsed;
}

// Whether a post comes from a page of the site it was sent to: the Origin header, or without
// one the Referer, must name the host and port of the Host header. Nothing to compare (no Host,
// or a browser that sends neither header) lets the post through; "null" and anything that is
// not an http or https address do not.
bool posted_from_this_site(const HttpRequest& request) {
  if (request.host.empty()) return true;
  const std::string_view source = request.origin.empty() ? request.referer : request.origin;
  if (source.empty()) return true;
  const std::size_t mark = source.find("://");
  if (mark == std::string_view::npos) return false;
  const std::string_view scheme = source.substr(0, mark);
  int default_port = 0;
  if (text::same_text(scheme, "http")) {
    default_port = 80;
  } else if (text::same_text(scheme, "https")) {
    default_port = 443;
  } else {
    return false;
  }
  std::string_view authority = source.substr(mark + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  const std::optional<HostPort> from = parse_host_port(authority);
  const std::optional<HostPort> served = parse_host_port(request.host);
  if (!from || !served) return false;
  // The Host header carries no scheme, and a TLS proxy in front may forward plain http: a port
  // left out on either side is the default of the scheme the browser used.
  return from->host == served->host && (from->port < 0 ? default_port : from->port) ==
                                           (served->port < 0 ? default_port : served->port);
}

bool is_template(const std::filesystem::path& file) {
  const std::string ext = file.extension().string();
  return text::same_text(ext, ".htm") || text::same_text(ext, ".html");
}

const char* content_type_of(const std::filesystem::path& file) {
  const std::string ext = file.extension().string();
  if (text::same_text(ext, ".css")) return "text/css; charset=utf-8";
  if (text::same_text(ext, ".js")) return "text/javascript; charset=utf-8";
  if (text::same_text(ext, ".png")) return "image/png";
  if (text::same_text(ext, ".svg")) return "image/svg+xml";
  if (text::same_text(ext, ".ico")) return "image/x-icon";
  if (text::same_text(ext, ".jpg") || text::same_text(ext, ".jpeg")) return "image/jpeg";
  if (text::same_text(ext, ".gif")) return "image/gif";
  if (text::same_text(ext, ".woff2")) return "font/woff2";
  return nullptr;
}

}  // namespace

std::string html_escape(std::string_view text) {
  const auto next_special = [text](std::size_t from) {
    for (; from < text.size(); ++from) {
      const char c = text[from];
      if (c == '&' || c == '<' || c == '>' || c == '"' || c == '\'') return from;
    }
    return std::string_view::npos;
  };
  std::size_t at = next_special(0);
  // Most texts hold none: copied as they are, a short one without an allocation.
  if (at == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size() + 16);
  std::size_t from = 0;
  for (; at != std::string_view::npos; at = next_special(from)) {
    out.append(text.substr(from, at - from));
    switch (text[at]) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += "&#39;";
    }
    from = at + 1;
  }
  out.append(text.substr(from));
  return out;
}

// ---- FieldSet, Request, Response ------------------------------------------------------------

FieldSet FieldSet::parse_urlencoded(std::string_view text) {
  FieldSet fields;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('&', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view pair = text.substr(pos, end - pos);
    if (!pair.empty()) {
      const std::size_t eq = pair.find('=');
      if (eq == std::string_view::npos) {
        fields.add(text::decode_form_component(pair), "");
      } else {
        fields.add(text::decode_form_component(pair.substr(0, eq)),
                   text::decode_form_component(pair.substr(eq + 1)));
      }
    }
    pos = end + 1;
  }
  return fields;
}

std::string FieldSet::get(std::string_view name) const {
  std::string joined;
  bool found = false;
  for (const auto& [key, value] : fields_) {
    if (!text::same_text(key, name)) continue;
    if (found) joined += ", ";
    joined += value;
    found = true;
  }
  return joined;
}

bool FieldSet::has(std::string_view name) const {
  for (const auto& field : fields_) {
    if (text::same_text(field.first, name)) return true;
  }
  return false;
}

void FieldSet::add(std::string name, std::string value) {
  fields_.emplace_back(std::move(name), std::move(value));
}

std::string Request::ServerVariables(std::string_view name) const {
  if (text::same_text(name, "APPL_PHYSICAL_PATH")) return app_path_;
  return {};
}

void Response::Write(std::string_view text) {
  if (!ended_) body_.append(text);
}

void Response::set_header(std::string name, std::string value) {
  // Names and values come from our own code; a line break would split the reply.
  if ((name + value).find_first_of("\r\n") != std::string::npos) {
    throw std::invalid_argument("a header holds a line break: " + name);
  }
  for (auto& [known, old] : headers_) {
    if (text::same_text(known, name)) {
      old = std::move(value);
      return;
    }
  }
  headers_.emplace_back(std::move(name), std::move(value));
}

void Response::Redirect(std::string address) {
  if (ended_) return;
  redirect_ = std::move(address);
  ended_ = true;
}

// ---- Context --------------------------------------------------------------------------------

Context::Context(Runtime& runtime, Request& request, Response& response,
                 std::shared_ptr<Session> session, ApplicationStore& application)
    : runtime_(runtime),
      request_(request),
      response_(response),
      session_(std::move(session)),
      application_(application) {}

const vb::Variant& Context::session(std::string_view key) const {
  static const vb::Variant kNone;
  if (!session_) return kNone;
  return session_->values.get(key);
}

void Context::set_session(std::string_view key, vb::Variant value) {
  if (!session_) {
    session_ = runtime_.sessions_.create();
    session_created_ = true;
  }
  session_->values.set(key, std::move(value));
}

void Context::set_session_timeout(int minutes) {
  if (!session_) {
    session_ = runtime_.sessions_.create();
    session_created_ = true;
  }
  // A non-positive time-out (settings not loaded) would drop the session at once: keep the one
  // it has.
  if (minutes > 0) session_->timeout_minutes = minutes;
}

void Context::abandon_session() {
  if (session_) session_->abandoned = true;
}

void Context::renew_session_id() {
  if (session_) session_->renew_requested = true;
}

vb::Variant Context::application(std::string_view key) const {
  return application_.get(key);
}

void Context::set_application(std::string_view key, vb::Variant value) {
  application_.set(key, std::move(value));
}

void Context::write_template(std::string_view item_name) {
  const ItemDef* item = runtime_.find_item(item_name);
  if (!item) throw std::runtime_error("No web item is named " + std::string(item_name) + ".");
  auto parsed = runtime_.templates_.get(runtime_.options_.app_dir + "/" + item->template_file);
  if (item->kept_in_history) kept_in_history_ = true;
  // The answers take about the room of the tags they replace.
  response_.reserve(parsed->size + parsed->size / 4);
  for (const TemplateSegment& segment : parsed->segments) {
    if (!segment.is_tag) {
      response_.Write(segment.text);
      continue;
    }
    std::string contents = segment.text;
    bool send_tags = false;
    try {
      page_->process_tag(item->name, segment.tag_name, contents, send_tags);
    } catch (const vb::RuntimeError& error) {
      // The tag event is raised by the platform: its failures end the request here, outside any
      // trap of the handler that wrote the template.
      throw std::runtime_error("Error " + std::to_string(error.number()) + " in the tag " +
                               segment.tag_name + ": " + error.description());
    }
    if (send_tags) {
      response_.Write("<" + segment.tag_name + ">" + contents + "</" + segment.tag_name + ">");
    } else {
      response_.Write(contents);
    }
  }
}

std::string Context::url_for(std::string_view item, std::string_view event) const {
  return runtime_.web_class_.host_page + "?WCI=" + text::encode_component(item) +
         "&WCE=" + text::encode_component(event) + "&WCU";
}

const sys::Clock& Context::clock() const {
  return *runtime_.clock_;
}

// ---- Runtime --------------------------------------------------------------------------------

Runtime::Runtime(WebClassDef web_class, RuntimeOptions options)
    : web_class_(std::move(web_class)),
      options_(std::move(options)),
      clock_(options_.clock),
      sessions_(options_.max_sessions, options_.session_time),
      templates_(options_.template_check) {
  if (!clock_) throw std::invalid_argument("the web runtime needs a clock");
  for (std::string& proxy : options_.trusted_proxies) {
    std::string address = canonical_address(proxy);
    if (address.empty()) throw std::invalid_argument("not an IP address: " + proxy);
    proxy = std::move(address);
  }
}

bool Runtime::behind_tls(const HttpRequest& request) const {
  if (options_.trusted_proxies.empty() || request.remote.empty()) return false;
  if (!text::same_text(text::trim(request.forwarded_proto), "https")) return false;
  const std::string peer = canonical_address(request.remote);
  return std::find(options_.trusted_proxies.begin(), options_.trusted_proxies.end(), peer) !=
         options_.trusted_proxies.end();
}

// Asked by monitors every few seconds: it touches no session and answers in one line of text.
HttpResponse Runtime::health() const {
  std::string problem;
  try {
    if (options_.health_problem) problem = options_.health_problem();
  } catch (const std::exception& error) {
    problem = error.what();
    if (problem.empty()) problem = "the health check failed";
  }
  if (problem.empty()) return plain_text(200, "ok");
  std::replace_if(
      problem.begin(), problem.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }, ' ');
  return plain_text(503, std::move(problem));
}

const ItemDef* Runtime::find_item(std::string_view name) const {
  for (const ItemDef& item : web_class_.items) {
    if (text::same_text(item.name, name)) return &item;
  }
  return nullptr;
}

bool Runtime::signed_in(const Session& session) const {
  if (web_class_.user_key.empty()) return !session.values.empty();
  const vb::Variant& user = session.values.get(web_class_.user_key);
  if (user.is_empty() || user.is_null()) return false;
  return !user.is_string() || user.get<std::string>().find_first_not_of(" \t") != std::string::npos;
}

HttpResponse Runtime::handle(const HttpRequest& request) {
  HttpResponse response = route(request);
  // A browser asks for documents: a fragment answer (a message, an error) goes to it inside the
  // message page, so that it reads as part of the application, on a phone too. Other clients
  // get the answer alone.
  if (request.accept.find("text/html") != std::string::npos) dress(response);
  return response;
}

void Runtime::dress(HttpResponse& response) {
  if (web_class_.message_page.empty() || response.body.empty() ||
      (response.status >= 300 && response.status < 400)) {
    return;
  }
  const std::string* type = response.header("Content-Type");
  if (!type || type->rfind("text/html", 0) != 0) return;
  std::string& body = response.body;
  const std::size_t start = body.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return;
  const std::size_t document = find_no_case(body, "<!DOCTYPE");
  if (document == start) return;
  if (document != std::string::npos) {
    // A message ahead of a whole page (a warning, a report): it goes at the top of the page's
    // body, so that the page keeps its standard layout.
    const std::size_t open = find_no_case(body, "<body", document);
    const std::size_t end = open == std::string::npos ? open : body.find('>', open);
    if (end == std::string::npos) return;
    std::string page = body.substr(document, end + 1 - document) +
                       "<div class='card message ahead' role='alert'>" + body.substr(0, document) +
                       "</div>" + body.substr(end + 1);
    body = std::move(page);
    return;
  }
  std::shared_ptr<const ParsedTemplate> page;
  try {
    page = templates_.get(options_.app_dir + "/" + web_class_.message_page);
  } catch (const std::exception&) {
    return;  // without its page the message still says what it has to say
  }
  std::string dressed;
  dressed.reserve(body.size() + 1024);
  for (const TemplateSegment& segment : page->segments) {
    if (!segment.is_tag) {
      dressed += segment.text;
    } else if (text::same_text(segment.tag_name, "WC@MESSAGE")) {
      dressed += body;
    } else if (text::same_text(segment.tag_name, "WC@HOME")) {
      if (response.status >= 400) dressed += segment.text;
    }
  }
  body = std::move(dressed);
}

HttpResponse Runtime::route(const HttpRequest& request) {
  // A decoded NUL would cut the file name short at the system call; no page has such bytes.
  if (has_control_byte(request.path)) {
    return paragraph_page(400, "<p>This address holds a character that no address may hold.</p>");
  }
  if (request.path == "/keep-alive") {
    // A page's "stay signed in": finding the session marks it as used. 204 while it lives.
    const std::string id = cookie_value(request.cookie, kSessionCookie);
    const std::shared_ptr<Session> session = id.empty() ? nullptr : sessions_.find(id);
    HttpResponse response;
    response.status = session && session->signed_in ? 204 : 410;
    response.set_header("Cache-Control", "no-store");
    return response;
  }
  if (text::same_text(request.path, "/healthz")) {
    if (request.method != "GET" && request.method != "HEAD") {
      HttpResponse response = plain_text(405, "This address answers GET requests only.");
      response.set_header("Allow", "GET, HEAD");
      return response;
    }
    return health();
  }
  if (request.path == "/") {
    HttpResponse response;
    redirect(response, "/" + web_class_.host_page);
    response.set_header("Content-Type", "text/html; charset=utf-8");
    return response;
  }
  if (request.path.size() > 1 &&
      text::same_text(std::string_view(request.path).substr(1), web_class_.host_page)) {
    if (request.method != "GET" && request.method != "POST" && request.method != "HEAD") {
      HttpResponse response = simple_page(405, "Method not allowed",
                                          "This address answers GET and POST requests only.");
      response.set_header("Allow", "GET, HEAD, POST");
      return response;
    }
    if (request.method == "POST" && !posted_from_this_site(request)) {
      return paragraph_page(403,
                            "<p>This form was sent from another web site, so Jaunter did not "
                            "accept it.  Open Jaunter at its own address and try again.</p>");
    }
    return serve_page(request);
  }
  return serve_static(request);
}

HttpResponse Runtime::serve_static(const HttpRequest& request) {
  const std::string_view path = request.path;
  const bool safe = path.size() > 1 && path.find("..") == std::string_view::npos &&
                    path.find('\\') == std::string_view::npos &&
                    path.find("//") == std::string_view::npos;
  const std::filesystem::path file = std::filesystem::path(options_.app_dir) / path.substr(1);
  // Templates hold the pages' tags and are never sent as they are.
  const char* type = safe && !is_template(file) ? content_type_of(file) : nullptr;
  std::error_code ec;
  if (!type || !std::filesystem::is_regular_file(file, ec)) {
    return simple_page(404, "Not found", "There is no page at this address.");
  }
  std::ifstream in(file, std::ios::binary);
  std::ostringstream body;
  body << in.rdbuf();
  HttpResponse response;
  response.set_header("Content-Type", type);
  response.set_header("Cache-Control", "max-age=300");  // a changed stylesheet shows soon
  response.body = body.str();
  return response;
}

void Runtime::run_cycle(Context& context, PageObject& page, const std::string& item_name,
                        const std::string& event_name, bool has_item) {
  page.initialize();
  page.begin_request();
  if (!has_item) {
    page.start();
  } else {
    const ItemDef* item = find_item(item_name);
    if (event_name.empty()) {
      if (item->has_respond) page.respond(item->name);
    } else {
      const std::string* custom = nullptr;
      for (const std::string& event : item->custom_events) {
        if (text::same_text(event, event_name)) custom = &event;
      }
      if (custom) {
        page.custom_event(item->name, *custom);
      } else {
        page.user_event(item->name, event_name);
      }
    }
  }
  for (int handed_over = 0; !context.next_item().empty(); ++handed_over) {
    const std::string next = context.take_next_item();
    const ItemDef* item = find_item(next);
    if (!item || handed_over >= options_.max_next_items) {
      throw std::runtime_error("The page could not be handed to the web item " + next + ".");
    }
    if (context.response().ended()) break;
    if (item->has_respond) page.respond(item->name);
  }
  page.end_request();
  page.terminate();
}

HttpResponse Runtime::serve_page(const HttpRequest& request) {
  FieldSet query = FieldSet::parse_urlencoded(request.query);
  FieldSet form;
  if (request.method == "POST" &&
      (request.content_type.empty() ||
       text::same_text(std::string_view(request.content_type).substr(0, 33),
                       "application/x-www-form-urlencoded"))) {
    form = FieldSet::parse_urlencoded(request.body);
  }
  const bool has_item = query.has("WCI");
  const std::string item_name = query.get("WCI");
  const std::string event_name = query.get("WCE");
  if (has_item && !find_item(item_name)) {
    return simple_page(404, "Not found", "There is no page named " + item_name + ".");
  }

  const std::string cookie_id = cookie_value(request.cookie, kSessionCookie);
  std::shared_ptr<Session> session = cookie_id.empty() ? nullptr : sessions_.find(cookie_id);
  std::unique_lock<std::mutex> session_lock;
  if (session) session_lock = std::unique_lock(session->request_mutex);

  std::string app_path = options_.app_dir;
  if (app_path.empty() || app_path.back() != '/') app_path += '/';
  Request web_request(std::move(query), std::move(form), std::move(app_path));
  Response web_response;
  Context context(*this, web_request, web_response, session, application_);

  HttpResponse response;
  try {
    auto page = web_class_.make_page(context);
    context.page_ = page.get();
    run_cycle(context, *page, item_name, event_name, has_item);
    response.status = 200;
  } catch (const vb::RuntimeError& error) {
    web_response.End();
    response.status = 500;
    response.body = "<p class='platform-error'>The server could not finish this page. Error " +
                    std::to_string(error.number()) + ": " + html_escape(error.description()) +
                    "</p>";
  } catch (const std::exception& error) {
    web_response.End();
    response.status = 500;
    response.body = "<p class='platform-error'>The server could not finish this page. " +
                    html_escape(error.what()) + "</p>";
  }
  if (response.body.empty()) {
    response.body = web_response.take_body();
  } else {
    response.body.insert(0, web_response.body());
  }
  if (!web_response.redirect_address().empty() && response.status == 200) {
    redirect(response, web_response.redirect_address());
  }
  response.set_header("Content-Type", "text/html; charset=utf-8");
  // Stored but stale at once: Back and Forward show the page as it was left, with what was typed
  // (a form answer too, without "Confirm Form Resubmission"); a link or a reload asks again.
  const ItemDef* requested = has_item ? find_item(item_name) : nullptr;
  const bool keep = context.kept_in_history_ || (requested && requested->kept_in_history);
  response.set_header("Cache-Control", keep ? "private, max-age=0" : "no-store");
  if (response.status == 200) {
    for (const auto& [name, value] : web_response.headers()) response.set_header(name, value);
  }

  // Session bookkeeping once the request is finished. A session this request created is kept
  // only when someone signed in, so that anonymous traffic cannot crowd out signed-in users.
  const bool secure = behind_tls(request);
  const std::shared_ptr<Session>& used = context.session_object();
  if (used) used->signed_in = signed_in(*used);
  const bool kept = used && !used->abandoned && (!context.session_created_ || used->signed_in);
  bool signed_in_here = false;  // this reply carries the identifier of a fresh sign-in
  if (used && used->abandoned) {
    if (!context.session_created_) sessions_.remove(used->id);
    response.set_header("Set-Cookie", expired_session_cookie(secure));
  } else if (kept && context.session_created_) {
    // Its identifier is fresh with this reply: a sign-in that created it needs no other, and a
    // second renewal would strand the requests already sent with this cookie.
    used->renew_requested = false;
    sessions_.commit(used);
    response.set_header("Set-Cookie", session_cookie(used->id, secure));
    signed_in_here = true;
  } else if (kept) {
    if (used->renew_requested) {
      used->renew_requested = false;
      response.set_header("Set-Cookie", session_cookie(sessions_.renew(used), secure));
      signed_in_here = used->signed_in;
    }
  } else if (!cookie_id.empty()) {
    // The browser names a session that is gone: stop sending it.
    response.set_header("Set-Cookie", expired_session_cookie(secure));
  }
  if (request.accept.find("text/html") != std::string::npos) {
    follow_asked_page(request, requested, used && used->signed_in && kept, signed_in_here, secure,
                      response);
  }
  return response;
}

// A browser's link to a page, opened without a signed-in session, leads there again right after
// the sign-in: the page asked for waits in a cookie of its own.
void Runtime::follow_asked_page(const HttpRequest& request, const ItemDef* requested,
                                bool signed_in, bool signed_in_here, bool secure,
                                HttpResponse& response) {
  const std::string asked = cookie_value(request.cookie, kAskedCookie);
  const std::string cookie_end = cookie_attributes(secure) + "; Max-Age=";
  if (signed_in_here && !asked.empty()) {
    // Always the host page of this site; a cookie forged with a line break would otherwise make
    // the sign-in's own reply unsendable.
    const std::string query = text::decode_form_component(asked);
    if (!has_control_byte(query)) {
      const std::string target = "/" + web_class_.host_page + "?" + query;
      redirect(response, target);
    }
    response.headers.emplace_back("Set-Cookie", std::string(kAskedCookie) + "=" + cookie_end + "0");
  } else if (!signed_in && request.method == "GET" && requested &&
             requested->reopened_after_sign_in && !has_control_byte(request.query)) {
    response.headers.emplace_back("Set-Cookie", std::string(kAskedCookie) + "=" +
                                                    text::encode_component(request.query) +
                                                    cookie_end + "3600");
  }
}

}  // namespace web
