// The request simulator and the district on disk.
#include "tests/support/simulator.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "data/schema.h"
#include "frame/web_class.h"
#include "platform/text/text.h"
#include "platform/vb/conversions.h"

namespace testing_support {

District::District() : dir_(temp_.str()) {
  data::create_databases(dir_);
  write_ini();
  write_registry(dir_);
}

void District::set_ini(const std::string& key, const std::string& value) {
  const auto at =
      std::find_if(ini.begin(), ini.end(), [&](auto& entry) { return entry.first == key; });
  if (at == ini.end())
    ini.emplace_back(key, value);
  else
    at->second = value;
  write_ini();
}

void District::remove_ini(const std::string& key) {
  std::erase_if(ini, [&](const auto& entry) { return entry.first == key; });
  write_ini();
}

void District::write_ini() const {
  std::string text = "[Carline Options]\r\n";
  for (const auto& [key, value] : ini) {
    text += key + "=" + (key == "CarlinePath" && value.empty() ? dir_ : value) + "\r\n";
  }
  temp_.write("trip.ini", text);
}

void District::write_registry(const std::string& ini_dir) const {
  // A temporary directory needs no escaping: it holds neither backslashes nor quotes.
  temp_.write("jaunter.reg",
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Quillmark Software, Inc.\\Carline Transport "
              "Manager - Field Trip]\r\n\"INIPath\"=\"" +
                  ini_dir + "\"\r\n");
}

void District::sql(const std::string& database, const std::string& statements) const {
  const std::string file = database == "trip"       ? data::kTripDatabase
                           : database == "security" ? data::kSecurityDatabase
                                                    : data::kRequestDatabase;
  db::Connection connection;
  connection.open(dir_ + "/" + file);
  connection.execute_native(statements);
}

void District::add_district_rows() const {
  sql("trip",
      "INSERT INTO District (DISTNAME, DISTADDR1, DISTCITY, DISTSTATE, DISTZIP, DISTPHONE, "
      "TRANSTITLE, DEFAULT_CALCNUMDRIVER, DEFAULTVTYPE, autofill_requests, AUTOFILL, "
      "VIEW_OTHER_SCHOOLS, FUND_DD, DEPDT_LEADTIME, DEPDT_LEADTIME_HARDWARN, USECUSTFUND, "
      "TOTAL_TRIPS_LIMIT, TOTAL_TRIPS_LIMIT_MESSAGE, TOTAL_TRIPS_HARDWARN, TRIPREQ_COMMENT) "
      "VALUES ('Lakeview Unified', '100 Main St', 'Lakeview', 'MN', '55555', '555-0100', "
      "'Transportation', -1, 'BUS', -1, -1, 0, -1, 3, 0, 0, 0, '', 0, 'Submit early');"
      "INSERT INTO TRIPREQ_REQUIRED (REQUEST_DATE_REQUIRED) VALUES (0);"
      "INSERT INTO EMAIL_OPTIONS (REQ_JAUNTER_CHANGE, ADM_JAUNTER_CHANGE, APP_JAUNTER_CHANGE) "
      "VALUES (-1, 0, -1);");
}

// ---- Simulator ------------------------------------------------------------------------------

Simulator::Simulator(const District& district, std::chrono::milliseconds settings_check)
    : clock_(vb::DateSerial(2026, 12, 7)), registry_(district.registry_path()) {
  services_ = sys::Services{&clock_, &registry_, &event_log_, &mail_, &connections_};
  web::RuntimeOptions options;
  options.app_dir = std::string(JAUNTER_SOURCE_DIR) + "/templates";
  options.clock = &clock_;
  options.session_time = [this] { return idle_now_; };
  runtime_ = std::make_unique<web::Runtime>(
      frame::web_class(services_,
                       std::make_shared<config::SettingsWatcher>(services_, settings_check)),
      options);
  reset_thread_paths();
}

Result Simulator::send(web::HttpRequest request) {
  request.path = "/Jaunter.ASP";
  if (!cookie_.empty()) request.cookie = std::string(web::Runtime::kSessionCookie) + "=" + cookie_;
  const web::HttpResponse response = runtime_->handle(request);
  if (const std::string* set = response.header("Set-Cookie")) {
    const std::size_t eq = set->find('='), end = set->find(';');
    cookie_ = set->substr(eq + 1, end - eq - 1);
  }
  const std::string* location = response.header("Location");
  return Result{response.status, response.body, location ? *location : ""};
}

Result Simulator::get(const std::string& query) {
  web::HttpRequest request;
  request.method = "GET";
  request.query = query;
  return send(std::move(request));
}

Result Simulator::post(const std::string& query,
                       const std::vector<std::pair<std::string, std::string>>& form) {
  web::HttpRequest request;
  request.method = "POST";
  request.query = query;
  request.content_type = "application/x-www-form-urlencoded";
  for (const auto& [name, value] : form) {
    if (!request.body.empty()) request.body += '&';
    request.body += text::encode_component(name) + "=" + text::encode_component(value);
  }
  return send(std::move(request));
}

vb::Variant Simulator::session(const std::string& key) const {
  auto session = runtime_->sessions().peek(cookie_);
  return session ? session->values.get(key) : vb::Variant();
}

namespace {
std::string text_of(const vb::Variant& value) {
  return value.is_null() ? "(Null)" : vb::CStr(value);
}
}  // namespace

std::string Simulator::session_text(const std::string& key) const {
  return text_of(session(key));
}

void Simulator::set_session(const std::string& key, vb::Variant value) {
  auto session = runtime_->sessions().peek(cookie_);
  if (!session) {
    session = runtime_->sessions().create();
    runtime_->sessions().commit(session);
    cookie_ = session->id;
  }
  session->values.set(key, std::move(value));
}

bool Simulator::has_session() const {
  return runtime_->sessions().peek(cookie_) != nullptr;
}

vb::Variant Simulator::application(const std::string& key) const {
  return runtime_->application().get(key);
}

std::string Simulator::application_text(const std::string& key) const {
  return text_of(application(key));
}

void Simulator::set_application(const std::string& key, vb::Variant value) {
  runtime_->application().set(key, std::move(value));
}

// ---- PageHarness ----------------------------------------------------------------------------

PageHarness::PageHarness(Simulator& simulator)
    : simulator_(simulator),
      request_(web::FieldSet(), web::FieldSet(), std::string(JAUNTER_SOURCE_DIR) + "/templates/") {
  if (!simulator_.has_session()) simulator_.set_session("HarnessStarted", "True");
  auto session = simulator_.runtime().sessions().peek(simulator_.cookie());
  context_ = std::make_unique<web::Context>(simulator_.runtime(), request_, response_, session,
                                            simulator_.runtime().application());
  request_context_ = std::make_unique<frame::RequestContext>(*context_, simulator_.services());
}

void reset_thread_paths() {
  frame::thread_paths() = frame::ThreadPaths{};
}

}  // namespace testing_support
