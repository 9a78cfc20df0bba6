// The print page that both searches open: it offers the layouts of the report type (one-line and
// two-line lists, and for trips the summary by a key) and sends the browser to the chosen report.
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"

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

// A query value as it may stand in an address: letters, digits and "-._~" as they are, every
// other byte percent-encoded, so that a posted value can neither end the address nor add a
// header line to the redirect.
std::string query_value(const std::string& text) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      out.push_back(static_cast<char>(c));
    } else {
      out += '%';
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  return out;
}

}  // namespace

void Jaunter::PrintReport_Respond() {
  // The print window leads to the reports of the session's searches: signed-in users only.
  if (!session_check()) return;
  set_session("PageNumber", std::int16_t{1});
  set_session("ReportType", vb::UCase(ctx_.request().QueryString("Type")));
  ctx_.write_template("PrintReport");
}

void Jaunter::PrintReport_ProcessTag(const std::string& TagName, std::string& TagContents, bool&) {
  if (!text::same_text(TagName, "WC@SOURCE")) return;
  const std::string type = vb::UCase(session_text("ReportType"));
  if (text::same_text(type, "REQUEST")) {
    TagContents = std::string("<table><tr><td>") + kLineChoices + "</td></tr></table>";
  } else if (text::same_text(type, "TRIP")) {
    TagContents =
        std::string("<table><tr><td>") + kLineChoices + kSummaryChoice + "</td></tr></table>";
  } else {
    TagContents = "Invalid report type.";
  }
}

void Jaunter::PrintReport_PrintReport() {
  if (!session_check()) return;
  const std::string type = session_text("ReportType");
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
                        query_value(ctx_.request().Form("ddlSummary")));
    }
  }
  ctx_.write_template("PrintReport");
}
