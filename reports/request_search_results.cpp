// BuildRequestResultsTable: the request search's result table, two lines per request, each
// linking to the request form; customers are looked up once in a customer snapshot.
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "reports/request_search_support.h"

namespace {

using reports::searching::column_text;
using reports::searching::shown_time;
using reports::searching::value_or_space;
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

// The request's customer as the customer snapshot knows it.
struct CustomerShown {
  std::string name;
  std::string division;
};

CustomerShown customer_of(db::Recordset& customers, const std::string& code) {
  const std::string wanted = vb::Trim(code);
  if (wanted.empty()) return {"NOT FOUND", " "};
  const bool standing = !customers.eof() && !customers.bof() &&
                        text::same_text(vb::Trim(column_text(customers.field("CUSTOMER"))), wanted);
  if (!standing) {
    // An empty customer table has no first row to search from.
    if (customers.record_count() == 0) return {"NOT FOUND", " "};
    customers.move_first();
    customers.find("CUSTOMER = " + db::quote_text(wanted));
    if (customers.eof()) {
      customers.move_first();
      return {"NOT FOUND", " "};
    }
  }
  return {column_text(customers.field("custname")), column_text(customers.field("custdiv"))};
}

// The destination as the session list names it, or the request's own text for a typed-in one.
std::string destination_of(Jaunter& page, const reports::searching::SessionList& destinations,
                           const db::Recordset& row) {
  const vb::Variant& number = row.field("Destination");
  // No stored number (Null or not numeric) is a typed-in destination, as 0 is.
  const bool typed_in = number.is_null() || !vb::IsNumeric(number) || vb::CDbl(number) == 0;
  std::string text;
  if (typed_in) {
    text = column_text(row.field("trdestdesc"));
  } else {
    const std::string code = vb::CStr(number);
    text = "NOT FOUND";
    for (const std::string& item : destinations.items) {
      const std::size_t comma = item.find(',');
      if (comma != std::string::npos && item.substr(0, comma) == code) {
        text = item.substr(comma + 1);
        break;
      }
    }
  }
  if (vb::Trim(text).empty()) return "&nbsp;";
  return reports::searching::broken_escaped(page, text);
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

void Jaunter::BuildRequestResultsTable(std::string& strSql) {
  db::Recordset customers;
  db::Recordset requests;
  procedure(
      {"BuildStrResults", "Jaunter", true, true, true},
      [&] {
        if (!prepare_database()) frame::exit_step();
        if (strSql.empty()) frame::exit_step();
        customers.open(
            "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From "
            "CUSTOMER order by CUSTOMER.CUSTOMER;",
            module_.trip_db());
        requests.open(strSql, module_.request_db());
        if (requests.eof()) {
          search.intSearchCount = 0;
        } else {
          search.intSearchCount = reports::searching::search_count(requests.record_count());
          if (requests.record_count() > 300) {
            search.strSearchResults =
                "<table border='0' cellpadding='0' cellspacing='0' width='100%'>"
                "<tr><td>&nbsp;</td></tr><tr><td align='center'><b><font "
                "color='#0000ff'>&nbsp;&nbsp;Sorry, your search has returned more than 300 trip "
                "requests. Please refine your search and try again.</font></b></td></tr>"
                "</table>";
            requests.close();
            frame::exit_step();
          }
        }

        const reports::searching::SessionList destinations =
            reports::searching::session_list(*this, "Destinations", "numDestinations");
        const std::string division_filter = vb::Trim(search.strReqDivFilter);
        std::string html =
            "<a href='Jaunter.ASP?WCI=PrintReport&Type=Request' target='_blank'>Print "
            "Report</a>&nbsp;<table width='100%' border='0' cellspacing='0'><thead><tr>" +
            headings() + "</tr><tr><td colspan='11'><hr></td></tr></thead></tbody>";
        bool first_colour = true;
        for (; !requests.eof(); requests.move_next()) {
          const CustomerShown customer =
              customer_of(customers, column_text(requests.field("CUSTOMER")));
          if (!division_filter.empty() &&
              !text::same_text(vb::Trim(customer.division), division_filter)) {
            --search.intSearchCount;
            continue;
          }
          const std::string colour = first_colour ? "#FFFFFF" : "#C0C0C0";
          first_colour = !first_colour;
          const std::string number = vb::Trim(column_text(requests.field("TRIPNUM")));
          const std::string link = ctx_.url_for("RequestDetail", number);

          html += "<tr bgcolor='" + colour + "'><td><font size='-2'><a href=\"" + link + "\">" +
                  html_escape(column_text(requests.field("TRIPNUM"))) + "</a></font></td>";
          html += cell(html_escape(customer.name));
          html += "<td colspan='2' nowrap><font size='-2'>" +
                  destination_of(*this, destinations, requests) + "</font></td>";
          html += cell(html_escape(column_text(requests.field("depdate"))) + ", " +
                       shown_time(column_text(requests.field("deptime"))));
          html += cell(html_escape(column_text(requests.field("retdate"))) + ", " +
                       shown_time(column_text(requests.field("rettime"))));
          html += "<td><font color='Red' size='-1'><b>" +
                  html_escape(column_text(requests.field("Status"))) + "</b></font></td>";
          html += cell(short_date(requests.field("REQDATE")));
          html += cell(value_or_space(column_text(requests.field("TRIPCAT"))));
          html += cell(value_or_space(column_text(requests.field("INTTRIPNUM"))));

          html += "</tr><tr bgcolor='" + colour + "'><td></td><td>&nbsp;</td>";
          html += "<td><font size='-2'>" + html_escape(column_text(requests.field("NUMSTUDENTS"))) +
                  "/" + html_escape(column_text(requests.field("NUMADULTS"))) + "</td></font>";
          html += cell(value_or_space(column_text(requests.field("GRADE"))));
          html += cell(shown_time(column_text(requests.field("arrivetime"))));
          html += cell(shown_time(column_text(requests.field("leavetime"))));
          html += cell(value_or_space(customer.division));
          const std::string trip = column_text(requests.field("fieldtrip_num"));
          html += cell(blank_or_zero(trip) ? std::string("&nbsp;") : html_escape(trip));
          html += cell(value_or_space(column_text(requests.field("chainid"))));
          html += "<td><font size='-2'>" + value_or_space(column_text(requests.field("PURPOSE"))) +
                  "</td></font>";
          html += "</tr>";
        }
        search.strSearchResults = html + "</tbody></table>";
        requests.close();
        customers.close();
      },
      [&] {
        if (requests.is_open()) requests.close();
        if (customers.is_open()) customers.close();
      });
}
