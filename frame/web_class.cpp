// The item table: each of the web items (the desktop system's fifteen and the calendar) with its
// template and the handlers of its events, each a member of the subsystem that owns it. The one
// file of the frame that knows the subsystems.
#include "frame/web_class.h"

#include "approval/calendar.h"
#include "frame/items.h"
#include "lookup/lookups.h"
#include "reports/list_reports.h"
#include "reports/request_print.h"
#include "reports/request_search.h"
#include "reports/summary_report.h"
#include "reports/trip_search.h"
#include "request/request_form.h"
#include "session/sign_in.h"

namespace frame {

namespace {

// One entry per item, in the order of the item names: a table, long by nature.
std::vector<Item> items() {
  using approval::Calendar;
  using lookup::CustomerLookup;
  using lookup::DestinationLookup;
  using lookup::FundLookup;
  using reports::ListReports;
  using reports::RequestPrint;
  using reports::RequestSearch;
  using reports::SummaryReport;
  using reports::TripSearch;
  using request::RequestForm;
  using session::SignIn;
  return {
      {"Login",
       "login1.htm",
       on(&SignIn::Login_Respond),
       {},
       on(&SignIn::Login_ProcessTag),
       {{"LoginValidateUser", on(&SignIn::Login_LoginValidateUser)}}},
      {"Logout",
       "logOut1.htm",
       on(&SignIn::Logout_Respond),
       {},
       on(&SignIn::Logout_ProcessTag),
       {}},
      {"LookupCust",
       "LookupCust1.htm",
       {},
       on(&CustomerLookup::LookupCust_UserEvent),
       on(&CustomerLookup::LookupCust_ProcessTag),
       {{"FindCusts", on(&CustomerLookup::LookupCust_FindCusts)},
        {"RetwSelected", on(&CustomerLookup::LookupCust_RetwSelected)}},
       true},
      {"LookupDest",
       "LookupDest1.htm",
       {},
       on(&DestinationLookup::LookupDest_UserEvent),
       on(&DestinationLookup::LookupDest_ProcessTag),
       {{"FindDests", on(&DestinationLookup::LookupDest_FindDests)},
        {"RetwSelected", on(&DestinationLookup::LookupDest_RetwSelected)}},
       true},
      {"LookupFund",
       "LookupFund1.htm",
       {},
       on(&FundLookup::LookupFund_UserEvent),
       on(&FundLookup::LookupFund_ProcessTag),
       {{"FindFunds", on(&FundLookup::LookupFund_FindFunds)},
        {"RetwSelected", on(&FundLookup::LookupFund_RetwSelected)}},
       true},
      {"PrintReport",
       "PrintReport1.htm",
       on(&ListReports::PrintReport_Respond),
       {},
       on(&ListReports::PrintReport_ProcessTag),
       {{"PrintReport", on(&ListReports::PrintReport_PrintReport)}}},
      {"RequestDetail",
       "TripRequestDetail1.htm",
       on(&RequestForm::RequestDetail_Respond),
       on(&RequestForm::RequestDetail_UserEvent),
       on(&RequestForm::RequestDetail_ProcessTag),
       {{"TripRequestDetail", on(&RequestForm::RequestDetail_TripRequestDetail)}},
       true,
       true},
      {"RequestSearch",
       "TripRequestSearch1.htm",
       on(&RequestSearch::RequestSearch_Respond),
       {},
       on(&RequestSearch::RequestSearch_ProcessTag),
       {{"Navigate", on(&RequestSearch::RequestSearch_Navigate)},
        {"TripRequests", on(&RequestSearch::RequestSearch_TripRequests)}},
       false,
       true},
      {"TripReport1",
       "TripReport11.htm",
       on(&ListReports::TripReport1_Respond),
       {},
       on(&ListReports::TripReport1_ProcessTag),
       {{"TripReport1", on(&ListReports::TripReport1_TripReport1)},
        {"CSV", on(&ListReports::TripReport1_CSV)}}},
      {"TripReport2",
       "TripReport21.htm",
       on(&ListReports::TripReport2_Respond),
       {},
       on(&ListReports::TripReport2_ProcessTag),
       {{"TripReport2", on(&ListReports::TripReport2_TripReport2)},
        {"CSV", on(&ListReports::TripReport2_CSV)}}},
      {"TripRequestDetailPrint",
       "TripRequestDetailPrint1.htm",
       on(&RequestPrint::TripRequestDetailPrint_Respond),
       {},
       on(&RequestPrint::TripRequestDetailPrint_ProcessTag),
       {}},
      {"TripRequestReport1",
       "TripRequestReport11.htm",
       on(&ListReports::TripRequestReport1_Respond),
       {},
       on(&ListReports::TripRequestReport1_ProcessTag),
       {{"TripRequestReport1", on(&ListReports::TripRequestReport1_TripRequestReport1)},
        {"CSV", on(&ListReports::TripRequestReport1_CSV)}}},
      {"TripRequestReport2",
       "TripRequestReport21.htm",
       on(&ListReports::TripRequestReport2_Respond),
       {},
       on(&ListReports::TripRequestReport2_ProcessTag),
       {{"TripRequestReport2", on(&ListReports::TripRequestReport2_TripRequestReport2)},
        {"CSV", on(&ListReports::TripRequestReport2_CSV)}}},
      {"TripSearch",
       "TripSearch1.htm",
       on(&TripSearch::TripSearch_Respond),
       {},
       on(&TripSearch::TripSearch_ProcessTag),
       {{"FieldTrips", on(&TripSearch::TripSearch_FieldTrips)}},
       false,
       true},
      {"TripSummaryReport",
       "TripSummaryReport1.htm",
       on(&SummaryReport::TripSummaryReport_Respond),
       {},
       on(&SummaryReport::TripSummaryReport_ProcessTag),
       {{"TripSummaryReport", on(&SummaryReport::TripSummaryReport_TripSummaryReport)},
        {"CSV", on(&SummaryReport::TripSummaryReport_CSV)}}},
      // Not one of the desktop system's items: the month view of closed and full days.
      {"Calendar",
       "Calendar1.htm",
       on(&Calendar::Calendar_Respond),
       {},
       on(&Calendar::Calendar_ProcessTag),
       {}},
  };
}

}  // namespace

web::WebClassDef web_class(const sys::Services& services,
                           std::shared_ptr<config::SettingsWatcher> settings) {
  if (!settings) {
    settings = std::make_shared<config::SettingsWatcher>(services, std::chrono::seconds(2));
  }
  auto table = std::make_shared<WebClass>();
  table->start = &config::WebClass_Start;
  table->items = items();
  table->before_request = [settings](RequestContext& context) {
    settings->refresh(context.request().ServerVariables("APPL_PHYSICAL_PATH"),
                      [&context](std::string_view key, vb::Variant value) {
                        context.set_application(key, std::move(value));
                      });
  };
  return make_web_class_def(table, services);
}

}  // namespace frame
