// The print page that both searches open: it offers the layouts of the report type (one-line and
// two-line lists, and for trips the summary by a key) and sends the browser to the chosen report.
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "reports/list_reports.h"

namespace {

constexpr const char* kLineChoices =
    "<input type=radio name=rb value=\"1\" checked>One Line<br>"
    "<input type=radio name=rb value=\"2\">Two Line<br>";

constexpr const char* kSummaryChoice =
    "<input type=radio name=rb value=\"3\">Summary&nbsp;"
    "<select name=ddlSummary>"
    "<option value=\"Customer\">Customer</option>"
    "<option value=\"Category\">Category</option>"
    "<option value=\"Fund\">Fund</option>"
    "<option value=\"Destination\">Destination</option>"
    "<option value=\"Grade\">Grade</option>"
    "</select>";

}  // namespace

void reports::ListReports::PrintReport_Respond() {
  // The print window leads to the reports of the session's searches: signed-in users only.
  if (!session_check()) return;
  set_session(keys::kPageNumber, std::int16_t{1});
  set_session(keys::kReportType, vb::UCase(ctx_.request().QueryString("Type")));
  ctx_.write_template("PrintReport");
}

void reports::ListReports::PrintReport_ProcessTag(const std::string& TagName,
                                                  std::string& TagContents, bool&) {
  if (!text::same_text(TagName, "WC@SOURCE")) return;
  const std::string type = vb::UCase(session_text(keys::kReportType));
  if (text::same_text(type, "REQUEST")) {
    TagContents = std::string("<table><tr><td>") + kLineChoices + "</td></tr></table>";
  } else if (text::same_text(type, "TRIP")) {
    TagContents =
        std::string("<table><tr><td>") + kLineChoices + kSummaryChoice + "</td></tr></table>";
  } else {
    TagContents = "Invalid report type.";
  }
}

void reports::ListReports::PrintReport_PrintReport() {
  if (!session_check()) return;
  const std::string type = session_text(keys::kReportType);
  const std::string rb = ctx_.request().Form("rb");
  web::Response& response = ctx_.response();
  if (text::same_text(type, "REQUEST")) {
    response.Redirect(rb == "1" ? "Jaunter.ASP?WCI=TripRequestReport1&WCE&WCU"
                                : "Jaunter.ASP?WCI=TripRequestReport2&WCE&WCU");
  } else if (text::same_text(type, "TRIP")) {
    if (rb == "1") {
      response.Redirect("Jaunter.ASP?WCI=TripReport1&WCE&WCU");
    } else if (rb == "2") {
      response.Redirect("Jaunter.ASP?WCI=TripReport2&WCE&WCU");
    } else {
      response.Redirect("Jaunter.ASP?WCI=TripSummaryReport&Type=" +
                        text::encode_component(ctx_.request().Form("ddlSummary")));
    }
  }
  ctx_.write_template("PrintReport");
}
