// The field trip search's result table: two lines per trip with its assignment and billing state,
// and the running totals of the billed and due amounts.
#include "reports/trip_search_results.h"

#include "data/null_conversions.h"
#include "platform/vb/conversions.h"
#include "reports/search_support.h"
#include "request/field_builders.h"

namespace reports {

namespace {

using web::html_escape;

constexpr const char* kBorder = "style=\"border: solid 0 #000000; border-right-width:1px;\"";

std::string heading(const char* opening, const char* text) {
  return std::string(opening) + kBorder + " ><font size='-2'>" + text + "</font></td>";
}

std::string headings() {
  std::string html = "<thead><tr>";
  html += heading("<td width='58' ", "Trip#");
  html += heading("<td rowspan='2' width='110' ", "Customer");
  html += heading("<td colspan='2' width='170' ", "Destination");
  html += heading("<td ", "Depart");
  html += heading("<td ", "Return");
  html += heading("<td ", "Cancelled");
  html += heading("<td ", "Billed");
  html += std::string("<td ") + kBorder + " >&nbsp;</td>";
  html += heading("<td ", "Billing Customer");
  html += heading("<td ", "Division");
  html += "<td><font size='-2'>Category</font></td></tr>";
  html += "<tr>";
  html += heading("<td ", "Contact");
  html += heading("<td width='90' ", "# Stus / Adults");
  html += heading("<td width='70' ", "Grade");
  html += heading("<td ", "Arrive Time");
  html += heading("<td ", "Leave Time");
  html += heading("<td ", "Assigned");
  html += heading("<td ", "Amt");
  html += heading("<td ", "Due");
  html += heading("<td ", "Fund");
  html += heading("<td ", "Purpose");
  html += "<td width='60'><font size='-2'>Request #</font></td>";
  html += "</tr><tr><td colspan='12'><hr></td></tr></thead><tbody>";
  return html;
}

std::string cell(const std::string& shown) {
  return "<td><font size='-2'>" + shown + "</font></td>";
}

std::string text_of(const db::Recordset& trips, const char* column) {
  return data::NullToStr(trips.field(column));
}

bool yes(const vb::Variant& value) {
  if (value.is_bool()) return value.get<bool>();
  if (value.is_number()) return vb::CDbl(value) != 0;
  if (value.is_string()) return text::same_text(vb::Trim(value.get<std::string>()), "True");
  return false;
}

std::string check_box(const vb::Variant& value) {
  return yes(value) ? "<input type=checkbox checked>" : "<input type=checkbox>";
}

// getDATE of the column; a Null date is the one blank every Null column reads as.
std::string date_of(frame::RequestContext& ctx, const vb::Variant& value) {
  if (value.is_null()) return " ";
  if (value.is_date()) return ctx.get<request::FieldBuilders>().getDATE(value.get<vb::DateTime>());
  const std::string text = vb::CStr(value);
  if (const auto date = vb::parse_date_text(text))
    return ctx.get<request::FieldBuilders>().getDATE(*date);
  return html_escape(text);
}

std::string departure(frame::RequestContext& ctx, const db::Recordset& trips, const char* date,
                      const char* time) {
  return cell(date_of(ctx, trips.field(date)) + ", " + time_text(trips.field(time)));
}

// The amount cell's text; a Null sum (no billing rows) is an empty cell and adds nothing.
std::string amount(const vb::Variant& value, vb::Currency& total) {
  if (value.is_null() || value.is_empty()) return {};
  total.scaled += vb::CCur(value).scaled;
  return html_escape(vb::Format(value, "$###,##0.00"));
}

bool blank_or_zero(const std::string& text) {
  const std::string trimmed = vb::Trim(text);
  if (trimmed.empty()) return true;
  const auto number = vb::parse_number(trimmed);
  return number && *number == 0;
}

}  // namespace

std::string trip_results_table(frame::RequestContext& ctx, TripSearchState& state,
                               db::Recordset& trips) {
  state.curTotalBilled = vb::Currency{};
  state.curTotalDue = vb::Currency{};
  std::string html =
      "<a href='Jaunter.ASP?WCI=PrintReport&Type=Trip' target='_blank'>Print Report</a>&nbsp;"
      "<table width='100%' border='0' cellpadding='0' cellspacing='0'>" +
      headings();
  bool first_colour = true;
  for (; !trips.eof(); trips.move_next()) {
    const std::string colour = first_colour ? "#FFFFFF" : "#C0C0C0";
    first_colour = !first_colour;
    html += "<tr bgcolor=" + colour + ">";
    html += cell(cell_text(trips.field("TRIPNUM")));
    html +=
        "<td rowspan='2'><font size='-2'>" + cell_text(trips.field("custname")) + "</font></td>";
    html +=
        "<td colspan='2'><font size='-2'>" + text_or_nbsp(trips.field("DESTDESC")) + "</font></td>";
    html += departure(ctx, trips, "depdate", "deptime");
    html += departure(ctx, trips, "retdate", "rettime");
    html +=
        "<td align='center'><font size='-2'>" + check_box(trips.field("CANCELED")) + "</font></td>";
    html +=
        "<td align='center'><font size='-2'>" + check_box(trips.field("BILLED")) + "</font></td>";
    html += "<td>&nbsp;</td>";
    html += cell(cell_text(trips.field("BILLCUSTNAME")));
    html += cell(text_or_nbsp(trips.field("custdiv")));
    html += cell(text_or_nbsp(trips.field("TRIPCAT")));

    html += "</tr><tr bgcolor=" + colour + ">";
    html += cell(text_or_nbsp(text::utf8_prefix(text_of(trips, "CONTACT"), 10)));
    html += cell(cell_text(trips.field("NUMSTUDENTS")) + "/" + cell_text(trips.field("NUMADULTS")));
    html += cell(text_or_nbsp(trips.field("GRADE")));
    html += cell(time_text(trips.field("ARRIVETIME")));
    html += cell(time_text(trips.field("LEAVETIME")));
    html += cell(check_box(trips.field("ASSIGNED")));
    html += cell(amount(trips.field("TOTALBILLED"), state.curTotalBilled));
    html += cell(amount(trips.field("TOTALDUE"), state.curTotalDue));
    html += cell(cell_text(trips.field("Fund")));
    html += cell(text_or_nbsp(trips.field("PURPOSE")));
    const std::string request = text_of(trips, "TripReqNum");
    html += cell(blank_or_zero(request) ? std::string("&nbsp;") : html_escape(request));
    html += "</tr>";
  }
  return html + "</tbody></table>";
}

}  // namespace reports
