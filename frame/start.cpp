// WebClass_Start: loads the district-wide settings into the application store and hands over to
// the login page.
#include <cstdint>

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

}  // namespace

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
          if (!district.eof()) {
            auto text = [&](const char* column) { return NullToStr(district.field(column)); };
            ctx_.set_application("DISTNAME", text("DISTNAME"));
            ctx_.set_application("DISTADDR1", text("DISTADDR1"));
            ctx_.set_application("DISTCITYSTZIP", text("DISTCITY") + ", " + text("DISTSTATE") +
                                                      "  " + text("DISTZIP"));
            ctx_.set_application("DISTPHONE", text("DISTPHONE"));
            ctx_.set_application("DEFAULT_CALCNUMDRIVER", text("DEFAULT_CALCNUMDRIVER"));
            ctx_.set_application("DEFAULTVTYPE", text("DEFAULTVTYPE"));
            ctx_.set_application("TRANSTITLE", text("TRANSTITLE"));
            ctx_.set_application("WEBTITLE", "Carline FIELD TRIPS");
            ctx_.set_application("WEBLINK1", "Quillmark Software, Inc");
            ctx_.set_application("WEBLINKURL1", "");
            ctx_.set_application("WEBLINK2", "");
            ctx_.set_application("WEBLINKURL2", "");
            ctx_.set_application("WEBCOMMENT1", "");
            ctx_.set_application("WEBCOMMENT2", "");
            ctx_.set_application("AUTOFILL_REQUESTS", text("autofill_requests"));
            ctx_.set_application("AUTOFILL_TRIPS", text("AUTOFILL"));
            ctx_.set_application("VIEW_OTHER_SCHOOLS", text("VIEW_OTHER_SCHOOLS"));
            ctx_.set_application("DISTRICT.FUND_DD", text("FUND_DD"));
            ctx_.set_application("DISTRICT.DEPDT_LEADTIME",
                                 NullToZero(district.field("DEPDT_LEADTIME")));
            ctx_.set_application("DISTRICT.DEPDT_LEADTIME_HARDWARN",
                                 text("DEPDT_LEADTIME_HARDWARN"));
            ctx_.set_application("DISTRICT.USECUSTFUND", text("USECUSTFUND"));
            ctx_.set_application("DISTRICT.TOTAL_TRIPS_LIMIT",
                                 NullToZero(district.field("TOTAL_TRIPS_LIMIT")));
            ctx_.set_application("DISTRICT.TOTAL_TRIPS_LIMIT_MESSAGE",
                                 text("TOTAL_TRIPS_LIMIT_MESSAGE"));
            ctx_.set_application("DISTRICT.TOTAL_TRIPS_HARDWARN", text("TOTAL_TRIPS_HARDWARN"));
          } else {
            ctx_.set_application("DISTNAME", "");
            ctx_.set_application("DISTADDR1", "");
            ctx_.set_application("DISTCITYSTZIP", "");
            ctx_.set_application("DISTPHONE", "");
            ctx_.set_application("DEFAULT_CALCNUMDRIVER", true);
            ctx_.set_application("TRANSTITLE", "");
            ctx_.set_application("WEBTITLE", "Carline FIELD TRIPS");
            ctx_.set_application("WEBLINK1", "Quillmark Software, Inc");
            ctx_.set_application("WEBLINKURL1", "");
            ctx_.set_application("WEBLINK2", "");
            ctx_.set_application("WEBLINKURL2", "");
            ctx_.set_application("WEBCOMMENT1", "");
            ctx_.set_application("WEBCOMMENT2", "");
            ctx_.set_application("AUTOFILL_REQUESTS", true);
            ctx_.set_application("AUTOFILL_TRIPS", true);
            ctx_.set_application("VIEW_OTHER_SCHOOLS", false);
            ctx_.set_application("DISTRICT.FUND_DD", "");
            ctx_.set_application("DISTRICT.DEPDT_LEADTIME", std::int16_t{0});
            ctx_.set_application("DISTRICT.DEPDT_LEADTIME_HARDWARN", "");
            ctx_.set_application("DISTRICT.USECUSTFUND", "");
            ctx_.set_application("DISTRICT.TOTAL_TRIPS_LIMIT", std::int16_t{0});
            ctx_.set_application("DISTRICT.TOTAL_TRIPS_LIMIT_MESSAGE", "");
            ctx_.set_application("DISTRICT.TOTAL_TRIPS_HARDWARN", "");
          }
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
