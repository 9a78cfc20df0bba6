// The district-wide settings: what the start-up writes after the paths and connections, and the
// watcher that keeps them loaded.
#include "config/settings.h"

#include <cstdint>
#include <vector>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/procedure.h"
#include "platform/db/db.h"
#include "platform/vb/conversions.h"

namespace config {

namespace {

// TRIPREQ_REQUIRED columns and their keys; three columns end in "_REQUIRED", their keys in "_REQ".
constexpr std::pair<const char*, const char*> kRequiredFields[] = {
    {"REQUEST_DATE_REQUIRED", "TRIP_REQ_REQUIRED.REQUEST_DATE_REQ"},
    {"FUND_REQUIRED", "TRIP_REQ_REQUIRED.FUND_REQ"},
    {"CUSTOMER_REQUIRED", "TRIP_REQ_REQUIRED.CUSTOMER_REQ"},
    {"CONTACT_REQ", "TRIP_REQ_REQUIRED.CONTACT_REQ"},
    {"DESTINATION_REQ", "TRIP_REQ_REQUIRED.DESTINATION_REQ"},
    {"DEPDATE_REQ", "TRIP_REQ_REQUIRED.DEPDATE_REQ"},
    {"DEPTIME_REQ", "TRIP_REQ_REQUIRED.DEPTIME_REQ"},
    {"RETDATE_REQ", "TRIP_REQ_REQUIRED.RETDATE_REQ"},
    {"RETTIME_REQ", "TRIP_REQ_REQUIRED.RETTIME_REQ"},
    {"ARRIVETIME_REQ", "TRIP_REQ_REQUIRED.ARRIVETIME_REQ"},
    {"LEAVETIME_REQ", "TRIP_REQ_REQUIRED.LEAVETIME_REQ"},
    {"ESTMILE_REQ", "TRIP_REQ_REQUIRED.ESTMILE_REQ"},
    {"ESTTIME_REQ", "TRIP_REQ_REQUIRED.ESTTIME_REQ"},
    {"NUMSTUDENTS_REQ", "TRIP_REQ_REQUIRED.NUMSTUDENTS_REQ"},
    {"NUMADULTS_REQ", "TRIP_REQ_REQUIRED.NUMADULTS_REQ"},
    {"NUMWHEEL_REQ", "TRIP_REQ_REQUIRED.NUMWHEEL_REQ"},
    {"PURPOSE_REQ", "TRIP_REQ_REQUIRED.PURPOSE_REQ"},
    {"DESTSPEC_REQ", "TRIP_REQ_REQUIRED.DESTSPEC_REQ"},
    {"CUSTSPEC_REQ", "TRIP_REQ_REQUIRED.CUSTSPEC_REQ"},
    {"TRIPCOM_REQ", "TRIP_REQ_REQUIRED.TRIPCOM_REQ"},
    {"PO_REQ", "TRIP_REQ_REQUIRED.PO_REQ"},
    {"TRIPCAT_REQ", "TRIP_REQ_REQUIRED.TRIPCAT_REQ"},
    {"INTTRIPNUM_REQ", "TRIP_REQ_REQUIRED.INTTRIPNUM_REQ"},
    {"GRADE_REQ", "TRIP_REQ_REQUIRED.GRADE_REQ"},
    {"INVOICE_COMMENT_REQ", "TRIP_REQ_REQUIRED.INVOICE_COMMENT_REQ"},
};

// The District keys in the order written: a column read as text or as a number, the city line,
// or a fixed text; and the value written when the table has no row.
struct DistrictKey {
  enum class Kind { Text, Number, CityLine, Fixed, KeepWithoutRow };
  const char* key;
  const char* column;  // the fixed text for Kind::Fixed
  Kind kind;
  vb::Variant without_row;
};

const std::vector<DistrictKey>& district_keys() {
  using K = DistrictKey::Kind;
  static const std::vector<DistrictKey> keys = {
      {"DISTNAME", "DISTNAME", K::Text, ""},
      {"DISTADDR1", "DISTADDR1", K::Text, ""},
      {"DISTCITYSTZIP", "", K::CityLine, ""},
      {"DISTPHONE", "DISTPHONE", K::Text, ""},
      {"DEFAULT_CALCNUMDRIVER", "DEFAULT_CALCNUMDRIVER", K::Text, true},
      {"DEFAULTVTYPE", "DEFAULTVTYPE", K::KeepWithoutRow, {}},
      {"TRANSTITLE", "TRANSTITLE", K::Text, ""},
      {"WEBTITLE", "Carline FIELD TRIPS", K::Fixed, {}},
      {"WEBLINK1", "Quillmark Software, Inc", K::Fixed, {}},
      {"WEBLINKURL1", "", K::Fixed, {}},
      {"WEBLINK2", "", K::Fixed, {}},
      {"WEBLINKURL2", "", K::Fixed, {}},
      {"WEBCOMMENT1", "", K::Fixed, {}},
      {"WEBCOMMENT2", "", K::Fixed, {}},
      {"AUTOFILL_REQUESTS", "autofill_requests", K::Text, true},
      {"AUTOFILL_TRIPS", "AUTOFILL", K::Text, true},
      {"VIEW_OTHER_SCHOOLS", "VIEW_OTHER_SCHOOLS", K::Text, false},
      {"DISTRICT.FUND_DD", "FUND_DD", K::Text, ""},
      {"DISTRICT.DEPDT_LEADTIME", "DEPDT_LEADTIME", K::Number, std::int16_t{0}},
      {"DISTRICT.DEPDT_LEADTIME_HARDWARN", "DEPDT_LEADTIME_HARDWARN", K::Text, ""},
      {"DISTRICT.USECUSTFUND", "USECUSTFUND", K::Text, ""},
      {"DISTRICT.TOTAL_TRIPS_LIMIT", "TOTAL_TRIPS_LIMIT", K::Number, std::int16_t{0}},
      {"DISTRICT.TOTAL_TRIPS_LIMIT_MESSAGE", "TOTAL_TRIPS_LIMIT_MESSAGE", K::Text, ""},
      {"DISTRICT.TOTAL_TRIPS_HARDWARN", "TOTAL_TRIPS_HARDWARN", K::Text, ""},
  };
  return keys;
}

// The District keys from the first row (nullptr: the table has no row).
void write_district_keys(const db::Recordset* district, const SettingWriter& write) {
  using K = DistrictKey::Kind;
  auto text = [&](const char* column) { return data::NullToStr(district->field(column)); };
  for (const DistrictKey& entry : district_keys()) {
    if (entry.kind == K::Fixed) {
      write(entry.key, entry.column);
    } else if (!district) {
      if (entry.kind != K::KeepWithoutRow) write(entry.key, entry.without_row);
    } else if (entry.kind == K::Number) {
      write(entry.key, data::NullToZero(district->field(entry.column)));
    } else if (entry.kind == K::CityLine) {
      write(entry.key, text("DISTCITY") + ", " + text("DISTSTATE") + "  " + text("DISTZIP"));
    } else {
      write(entry.key, text(entry.column));
    }
  }
}

std::int64_t ticks(std::chrono::steady_clock::time_point at) {
  return at.time_since_epoch().count();
}

}  // namespace

void load_settings(frame::ModuleState& module, const SettingWriter& write) {
  using namespace ChkEligWeb;
  write("SESSION_TIMEOUT", GetSessionTimeOut(module));
  write("PageSize", std::int16_t{20});
  write("DOTNET_INSTALLED", GetDOTNETInstalled(module));
  write("CALENDAR_URL", GetCalendarUrl(module));
  write("INQUIRY_URL", GetInquiryUrl(module));
  write("SmtpServer", GetSmtpServer(module));
  write("SmtpPort", GetSmtpPort(module));
  if (GetSmtpAuthentication(module)) {
    write("SmtpAuthentication", true);
    write("SmtpUsername", GetSmtpUsername(module));
    write("SmtpPassword", GetSmtpPassword(module));
  } else {
    write("SmtpAuthentication", false);
    write("SmtpUsername", "");
    write("SmtpPassword", "");
  }
  write("EmailFromAddress", GetEmailFromAddress(module));
  write("EmailFromName", GetEmailFromName(module));
  {
    db::Recordset district;
    district.open("select * from District", module.trip_db());
    write_district_keys(district.eof() ? nullptr : &district, write);
  }
  db::Recordset required;
  required.open("SELECT * FROM TRIPREQ_REQUIRED", module.trip_db());
  for (const auto& [column, key] : kRequiredFields) {
    write(key, required.eof() ? std::string() : data::NullToStr(required.field(column)));
  }
}

SettingsWatcher::SettingsWatcher(const sys::Services& services, std::chrono::milliseconds interval)
    : services_(services), interval_(interval) {}

void SettingsWatcher::refresh(const std::string& app_path, const SettingWriter& write) {
  const auto now = std::chrono::steady_clock::now();
  std::unique_lock lock(mutex_, std::defer_lock);
  if (!attempted_.load()) {
    lock.lock();  // the first requests wait for the settings rather than run without them
  } else if (ticks(now) < next_check_.load() || !lock.try_lock()) {
    return;  // not due, or another request is already looking
  }
  if (attempted_.load() && ticks(now) < next_check_.load()) return;
  next_check_ = ticks(now + interval_);
  attempted_ = true;
  load(app_path, write);
}

std::string SettingsWatcher::last_failure() const {
  std::lock_guard lock(mutex_);
  return last_failure_;
}

bool SettingsWatcher::load(const std::string& app_path, const SettingWriter& write) {
  frame::ModuleState module(services_);
  std::vector<std::pair<std::string, vb::Variant>> values;
  frame::run_module(
      module, {.name = "LoadSettings"},
      [&] {
        if (module.paths.strAppPath.empty()) module.paths.strAppPath = app_path;
        values.emplace_back("APP_PATH", app_path);
        if (module.paths.strTripDataPath.empty()) ChkEligWeb::SetTripPaths(module);
        if (!module.ok()) frame::exit_step();
        ChkEligWeb::SetTripDBConnections(module);
        if (!module.ok()) frame::exit_step();
        load_settings(module, [&](std::string_view key, vb::Variant value) {
          values.emplace_back(std::string(key), std::move(value));
        });
        // A missing optional setting leaves its key empty, as at start-up; it is no failure.
        module.error = "NA";
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module); });
  ChkEligWeb::CloseTripDBConnections(module);
  if (module.paths.data_path_failed) {
    // The page that follows reads the directory itself and reports why it cannot.
    module.paths.data_path_failed = false;
    module.paths.strTripDataPath.clear();
  }
  if (!module.ok()) {
    last_failure_ = module.error;
    return false;
  }
  last_failure_.clear();
  for (auto& [key, value] : values) {
    auto known = last_values_.find(key);
    if (known != last_values_.end() && known->second == value) continue;
    write(key, value);
    last_values_[key] = std::move(value);
  }
  return true;
}

void WebClass_Start(frame::RequestContext& context) {
  frame::ModuleState& module = context.module();
  context.procedure(
      {"WebClass_Start"},
      [&] {
        frame::ThreadPaths& paths = module.paths;
        context.set_application("DISTNAME", "");
        const std::string app_path = context.request().ServerVariables("APPL_PHYSICAL_PATH");
        if (paths.strAppPath.empty()) paths.strAppPath = app_path;
        context.set_application("APP_PATH", app_path);
        if (paths.strAppPath.empty()) paths.strAppPath = context.application_text("APP_PATH");
        if (paths.strTripDataPath.empty()) {
          ChkEligWeb::SetTripPaths(module);
          if (!module.ok()) frame::exit_step();
        }
        ChkEligWeb::SetTripDBConnections(module);
        if (!module.ok()) frame::exit_step();
        load_settings(module, [&context](std::string_view key, vb::Variant value) {
          context.set_application(key, std::move(value));
        });
        ChkEligWeb::CloseTripDBConnections(module);
        context.set_next_item("Login");
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module); });
}

}  // namespace config
