// BuildRequestResultsTable: the request search's result table, two lines per request, each
// linking to the request form; customers are looked up once in a customer snapshot.
#include <memory>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "reports/request_search.h"
#include "reports/search_support.h"

namespace reports {

namespace {

using web::html_escape;

std::string headings() {
  return bordered_headings({{"<td width='52' ", "Request #"},
                            {"<td width='110' ", "Customer"},
                            {"<td colspan='2' width='190' ", "Destination"},
                            {"<td width='88' ", "Depart"},
                            {"<td width='88' ", "Return"},
                            {"<td width='88' ", "Status"},
                            {"<td width='66' ", "Entered"},
                            {"<td width='66' ", "Category"}}) +
         "<td width='88'><font size='-2'>Internal #</font></td></tr><tr><td " + kRightBorder +
         "><font size='-2'>Contact</td><td " + kRightBorder + ">&nbsp;</td>" +
         bordered_headings({{"<td width='90' ", "# Stus / Adults"},
                            {"<td width='90' ", "Grade"},
                            {"<td ", "Arrive"},
                            {"<td ", "Leave"},
                            {"<td ", "Division"},
                            {"<td ", "Trip #"},
                            {"<td ", "Approval"}}) +
         "<td><font size='-2'>Purpose</font></td>";
}

std::string short_date(const vb::Variant& value) {
  if (value.is_null()) return " ";
  if (value.is_date()) return vb::date_text(vb::DateValue(value));
  const std::string text = vb::CStr(value);
  return vb::IsDate(vb::Variant(text)) ? vb::date_text(vb::DateValue(vb::Variant(text)))
                                       : html_escape(text);
}

// The two lines of one request in the result table, added to `html`.
void add_request_row(std::string& html, frame::RequestContext& ctx, const db::Recordset& rs,
                     const CustomerNames::Names& customer, std::string_view colour) {
  html.append("<tr bgcolor='").append(colour).append("'>");
  add_small_cell(html, request_link(ctx, rs));
  add_small_cell(html, html_escape(customer.name));
  const std::string destination = destination_text(ctx, rs);
  html.append("<td colspan='2' nowrap><font size='-2'>")
      .append(vb::Trim(destination).empty() ? "&nbsp;" : broken_escaped(destination))
      .append("</font></td>");
  add_small_cell(html, cell_text(rs.field("depdate")) + ", " + time_text(rs.field("deptime")));
  add_small_cell(html, cell_text(rs.field("retdate")) + ", " + time_text(rs.field("rettime")));
  html.append("<td><font color='Red' size='-1'><b>")
      .append(cell_text(rs.field("Status")))
      .append("</b></font></td>");
  add_small_cell(html, short_date(rs.field("REQDATE")));
  add_small_cell(html, text_or_nbsp(rs.field("TRIPCAT")));
  add_small_cell(html, text_or_nbsp(rs.field("INTTRIPNUM")));

  html.append("</tr><tr bgcolor='").append(colour).append("'><td></td><td>&nbsp;</td>");
  html.append("<td><font size='-2'>")
      .append(cell_text(rs.field("NUMSTUDENTS")))
      .append("/")
      .append(cell_text(rs.field("NUMADULTS")))
      .append("</td></font>");
  add_small_cell(html, text_or_nbsp(rs.field("GRADE")));
  add_small_cell(html, time_text(rs.field("arrivetime")));
  add_small_cell(html, time_text(rs.field("leavetime")));
  add_small_cell(html, text_or_nbsp(customer.division));
  const std::string trip = data::NullToStr(rs.field("fieldtrip_num"));
  add_small_cell(html, blank_or_zero(trip) ? std::string("&nbsp;") : html_escape(trip));
  add_small_cell(html, text_or_nbsp(rs.field("chainid")));
  html.append("<td><font size='-2'>")
      .append(text_or_nbsp(rs.field("PURPOSE")))
      .append("</td></font></tr>");
}

}  // namespace

void RequestSearch::BuildRequestResultsTable(std::string& strSql) {
  std::unique_ptr<CustomerNames> customers;
  db::Recordset requests;
  procedure(
      {"BuildStrResults", "Jaunter", true, true, true},
      [&] {
        if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
        if (strSql.empty()) frame::exit_step();
        customers = std::make_unique<CustomerNames>(
            module_.trip_db(),
            "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From "
            "CUSTOMER order by CUSTOMER.CUSTOMER;");
        // Counted by the engine: more than 300 requests are refused without reading one.
        const long count = module_.request_db().count_rows(strSql);
        if (count == 0) {
          search_.intSearchCount = 0;
        } else {
          search_.intSearchCount = search_count(count);
          if (count > 300) {
            search_.strSearchResults =
                "<table border='0' cellpadding='0' cellspacing='0' width='100%'>"
                "<tr><td>&nbsp;</td></tr><tr><td align='center'><b><font "
                "color='#0000ff'>&nbsp;&nbsp;Sorry, your search has returned more than 300 trip "
                "requests. Please refine your search and try again.</font></b></td></tr>"
                "</table>";
            frame::exit_step();
          }
        }
        requests.open(strSql, module_.request_db());

        const std::string division_filter = vb::Trim(search_.strReqDivFilter);
        std::string html =
            "<a href='Jaunter.ASP?WCI=PrintReport&Type=Request' target='_blank'>Print "
            "Report</a>&nbsp;<table width='100%' border='0' cellspacing='0'><thead><tr>" +
            headings() + "</tr><tr><td colspan='11'><hr></td></tr></thead></tbody>";
        html.reserve(html.size() + 1536 * static_cast<std::size_t>(requests.record_count()));
        bool first_colour = true;
        for (; !requests.eof(); requests.move_next()) {
          const CustomerNames::Names customer = customers->lookup(requests.field("CUSTOMER"));
          if (!division_filter.empty() &&
              !text::same_text(vb::Trim(customer.division), division_filter)) {
            --search_.intSearchCount;
            continue;
          }
          add_request_row(html, ctx_, requests, customer, first_colour ? "#FFFFFF" : "#C0C0C0");
          first_colour = !first_colour;
        }
        html += "</tbody></table>";
        search_.strSearchResults = std::move(html);
        requests.close();
        customers->close();
      },
      [&] {
        if (requests.is_open()) requests.close();
        customers.reset();
      });
}

}  // namespace reports
