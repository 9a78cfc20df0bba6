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

std::string headings() {
  return "<thead><tr>" +
         bordered_headings({{"<td width='58' ", "Trip#"},
                            {"<td rowspan='2' width='110' ", "Customer"},
                            {"<td colspan='2' width='170' ", "Destination"},
                            {"<td ", "Depart"},
                            {"<td ", "Return"},
                            {"<td ", "Cancelled"},
                            {"<td ", "Billed"}},
                           " ") +
         "<td " + kRightBorder + " >&nbsp;</td>" +
         bordered_headings({{"<td ", "Billing Customer"}, {"<td ", "Division"}}, " ") +
         "<td><font size='-2'>Category</font></td></tr><tr>" +
         bordered_headings({{"<td ", "Contact"},
                            {"<td width='90' ", "# Stus / Adults"},
                            {"<td width='70' ", "Grade"},
                            {"<td ", "Arrive Time"},
                            {"<td ", "Leave Time"},
                            {"<td ", "Assigned"},
                            {"<td ", "Amt"},
                            {"<td ", "Due"},
                            {"<td ", "Fund"},
                            {"<td ", "Purpose"}},
                           " ") +
         "<td width='60'><font size='-2'>Request #</font></td>"
         "</tr><tr><td colspan='12'><hr></td></tr></thead><tbody>";
}

std::string check_box(const vb::Variant& value) {
  return is_yes(value) ? "<input type=checkbox checked>" : "<input type=checkbox>";
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
  return small_cell(date_of(ctx, trips.field(date)) + ", " + time_text(trips.field(time)));
}

// The amount cell's text; a Null sum (no billing rows) is an empty cell and adds nothing.
std::string amount(const vb::Variant& value, vb::Currency& total) {
  if (value.is_null() || value.is_empty()) return {};
  total.scaled += vb::CCur(value).scaled;
  return html_escape(vb::Format(value, "$###,##0.00"));
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
    html += small_cell(cell_text(trips.field("TRIPNUM")));
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
    html += small_cell(cell_text(trips.field("BILLCUSTNAME")));
    html += small_cell(text_or_nbsp(trips.field("custdiv")));
    html += small_cell(text_or_nbsp(trips.field("TRIPCAT")));

    html += "</tr><tr bgcolor=" + colour + ">";
    html +=
        small_cell(text_or_nbsp(text::utf8_prefix(data::NullToStr(trips.field("CONTACT")), 10)));
    html += small_cell(cell_text(trips.field("NUMSTUDENTS")) + "/" +
                       cell_text(trips.field("NUMADULTS")));
    html += small_cell(text_or_nbsp(trips.field("GRADE")));
    html += small_cell(time_text(trips.field("ARRIVETIME")));
    html += small_cell(time_text(trips.field("LEAVETIME")));
    html += small_cell(check_box(trips.field("ASSIGNED")));
    html += small_cell(amount(trips.field("TOTALBILLED"), state.curTotalBilled));
    html += small_cell(amount(trips.field("TOTALDUE"), state.curTotalDue));
    html += small_cell(cell_text(trips.field("Fund")));
    html += small_cell(text_or_nbsp(trips.field("PURPOSE")));
    const std::string request = data::NullToStr(trips.field("TripReqNum"));
    html += small_cell(blank_or_zero(request) ? std::string("&nbsp;") : html_escape(request));
    html += "</tr>";
  }
  return html + "</tbody></table>";
}

}  // namespace reports
