// WebClass_Start: loads the district-wide settings into the application store and hands over to
// the login page.
#include <cstdint>
#include <vector>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"

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

}  // namespace

void Jaunter::write_district_keys(const db::Recordset* district) {
  using K = DistrictKey::Kind;
  auto text = [&](const char* column) { return data::NullToStr(district->field(column)); };
  for (const DistrictKey& entry : district_keys()) {
    if (entry.kind == K::Fixed) {
      ctx_.set_application(entry.key, entry.column);
    } else if (!district) {
      if (entry.kind != K::KeepWithoutRow) ctx_.set_application(entry.key, entry.without_row);
    } else if (entry.kind == K::Number) {
      ctx_.set_application(entry.key, data::NullToZero(district->field(entry.column)));
    } else if (entry.kind == K::CityLine) {
      ctx_.set_application(entry.key,
                           text("DISTCITY") + ", " + text("DISTSTATE") + "  " + text("DISTZIP"));
    } else {
      ctx_.set_application(entry.key, text(entry.column));
    }
  }
}

void Jaunter::WebClass_Start() {
  procedure(
      {"WebClass_Start"},
      [&] {
        using data::NullToStr;
        using data::NullToZero;
        frame::ThreadPaths& paths = module_.paths;
        ctx_.set_application("DISTNAME", "");
        const std::string app_path = ctx_.request().ServerVariables("APPL_PHYSICAL_PATH");
        if (paths.strAppPath.empty()) paths.strAppPath = app_path;
        ctx_.set_application("APP_PATH", app_path);
        if (paths.strAppPath.empty()) paths.strAppPath = application_text("APP_PATH");
        if (paths.strTripDataPath.empty()) {
          ChkEligWeb::SetTripPaths(module_);
          if (!module_.ok()) frame::exit_step();
        }
        ChkEligWeb::SetTripDBConnections(module_);
        if (!module_.ok()) frame::exit_step();

        ctx_.set_application("SESSION_TIMEOUT", ChkEligWeb::GetSessionTimeOut(module_));
        ctx_.set_application("PageSize", std::int16_t{20});
        ctx_.set_application("DOTNET_INSTALLED", ChkEligWeb::GetDOTNETInstalled(module_));
        ctx_.set_application("CALENDAR_URL", ChkEligWeb::GetCalendarUrl(module_));
        ctx_.set_application("INQUIRY_URL", ChkEligWeb::GetInquiryUrl(module_));
        ctx_.set_application("SmtpServer", ChkEligWeb::GetSmtpServer(module_));
        ctx_.set_application("SmtpPort", ChkEligWeb::GetSmtpPort(module_));
        if (ChkEligWeb::GetSmtpAuthentication(module_)) {
          ctx_.set_application("SmtpAuthentication", true);
          ctx_.set_application("SmtpUsername", ChkEligWeb::GetSmtpUsername(module_));
          ctx_.set_application("SmtpPassword", ChkEligWeb::GetSmtpPassword(module_));
        } else {
          ctx_.set_application("SmtpAuthentication", false);
          ctx_.set_application("SmtpUsername", "");
          ctx_.set_application("SmtpPassword", "");
        }
        ctx_.set_application("EmailFromAddress", ChkEligWeb::GetEmailFromAddress(module_));
        ctx_.set_application("EmailFromName", ChkEligWeb::GetEmailFromName(module_));

        {
          db::Recordset district;
          district.open("select * from District", module_.trip_db());
          write_district_keys(district.eof() ? nullptr : &district);
        }
        {
          db::Recordset required;
          required.open("SELECT * FROM TRIPREQ_REQUIRED", module_.trip_db());
          for (const auto& [column, key] : kRequiredFields) {
            ctx_.set_application(
                key, required.eof() ? std::string() : NullToStr(required.field(column)));
          }
        }
        ChkEligWeb::CloseTripDBConnections(module_);
        ctx_.set_next_item("Login");
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
}
