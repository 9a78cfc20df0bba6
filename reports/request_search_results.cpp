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

constexpr const char* kBorder = "style=\"border: solid 0 #000000; border-right-width:1px;\"";

std::string heading(const std::string& opening, const char* text) {
  return opening + kBorder + "><font size='-2'>" + text + "</font></td>";
}

std::string headings() {
  std::string html;
  html += heading("<td width='52' ", "Request #");
  html += heading("<td width='110' ", "Customer");
  html += heading("<td colspan='2' width='190' ", "Destination");
  html += heading("<td width='88' ", "Depart");
  html += heading("<td width='88' ", "Return");
  html += heading("<td width='88' ", "Status");
  html += heading("<td width='66' ", "Entered");
  html += heading("<td width='66' ", "Category");
  html += "<td width='88'><font size='-2'>Internal #</font></td>";
  html += "</tr><tr>";
  html += std::string("<td ") + kBorder + "><font size='-2'>Contact</td>";
  html += std::string("<td ") + kBorder + ">&nbsp;</td>";
  html += heading("<td width='90' ", "# Stus / Adults");
  html += heading("<td width='90' ", "Grade");
  html += heading("<td ", "Arrive");
  html += heading("<td ", "Leave");
  html += heading("<td ", "Division");
  html += heading("<td ", "Trip #");
  html += heading("<td ", "Approval");
  html += "<td><font size='-2'>Purpose</font></td>";
  return html;
}

std::string cell(const std::string& shown) {
  return "<td><font size='-2'>" + shown + "</font></td>";
}

std::string short_date(const vb::Variant& value) {
  if (value.is_null()) return " ";
  if (value.is_date()) return vb::date_text(vb::DateValue(value));
  const std::string text = vb::CStr(value);
  return vb::IsDate(vb::Variant(text)) ? vb::date_text(vb::DateValue(vb::Variant(text)))
                                       : html_escape(text);
}

bool blank_or_zero(const std::string& text) {
  const std::string trimmed = vb::Trim(text);
  if (trimmed.empty()) return true;
  const auto number = vb::parse_number(trimmed);
  return number && *number == 0;
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
        bool first_colour = true;
        for (; !requests.eof(); requests.move_next()) {
          const CustomerNames::Names customer = customers->lookup(requests.field("CUSTOMER"));
          if (!division_filter.empty() &&
              !text::same_text(vb::Trim(customer.division), division_filter)) {
            --search_.intSearchCount;
            continue;
          }
          const std::string colour = first_colour ? "#FFFFFF" : "#C0C0C0";
          first_colour = !first_colour;
          html += "<tr bgcolor='" + colour + "'>" + cell(request_link(ctx_, requests));
          html += cell(html_escape(customer.name));
          const std::string destination = destination_text(ctx_, requests);
          html += "<td colspan='2' nowrap><font size='-2'>" +
                  (vb::Trim(destination).empty() ? "&nbsp;" : broken_escaped(destination)) +
                  "</font></td>";
          html += cell(cell_text(requests.field("depdate")) + ", " +
                       time_text(requests.field("deptime")));
          html += cell(cell_text(requests.field("retdate")) + ", " +
                       time_text(requests.field("rettime")));
          html += "<td><font color='Red' size='-1'><b>" + cell_text(requests.field("Status")) +
                  "</b></font></td>";
          html += cell(short_date(requests.field("REQDATE")));
          html += cell(text_or_nbsp(requests.field("TRIPCAT")));
          html += cell(text_or_nbsp(requests.field("INTTRIPNUM")));

          html += "</tr><tr bgcolor='" + colour + "'><td></td><td>&nbsp;</td>";
          html += "<td><font size='-2'>" + cell_text(requests.field("NUMSTUDENTS")) + "/" +
                  cell_text(requests.field("NUMADULTS")) + "</td></font>";
          html += cell(text_or_nbsp(requests.field("GRADE")));
          html += cell(time_text(requests.field("arrivetime")));
          html += cell(time_text(requests.field("leavetime")));
          html += cell(text_or_nbsp(customer.division));
          const std::string trip = data::NullToStr(requests.field("fieldtrip_num"));
          html += cell(blank_or_zero(trip) ? std::string("&nbsp;") : html_escape(trip));
          html += cell(text_or_nbsp(requests.field("chainid")));
          html += "<td><font size='-2'>" + text_or_nbsp(requests.field("PURPOSE")) + "</td></font>";
          html += "</tr>";
        }
        search_.strSearchResults = html + "</tbody></table>";
        requests.close();
        customers->close();
      },
      [&] {
        if (requests.is_open()) requests.close();
        customers.reset();
      });
}

}  // namespace reports
