// The printable trip request lists, one line and two lines per request: their rows and headings
// over the query that the request search left in the session.
#include <memory>

#include "data/null_conversions.h"
#include "platform/vb/conversions.h"
#include "reports/list_reports.h"
#include "reports/search_support.h"

namespace reports {

namespace {

using web::html_escape;

constexpr const char* kQueryKey = "TripRequestReportQuery";
constexpr const char* kMissingQuery = "Trip Request Report Query must be supplied.";

// A count as a whole number, 0 when empty.
std::string whole_number(const vb::Variant& value) {
  const std::string text = vb::Trim(data::NullToStr(value));
  if (text.empty() || !vb::IsNumeric(vb::Variant(text))) return "0";
  return std::to_string(vb::CLng(vb::Variant(text)));
}

std::string one_line_row(frame::RequestContext& ctx, const db::Recordset& rs,
                         CustomerNames& customers, const char* colour) {
  auto cell = [](const std::string& value, const char* open = "<td><font size='-3'>") {
    return open + value + "</font></td>";
  };
  const std::string destination = destination_text(ctx, rs);
  std::string html = "<tr bgcolor='" + std::string(colour) + "'>";
  html += cell(request_link(ctx, rs));
  html += cell(cell_text(rs.field("depdate")));
  html += cell(html_escape(customers.lookup(rs.field("CUSTOMER")).name));
  html += cell(vb::Trim(destination).empty() ? "&nbsp;" : broken_escaped(destination),
               "<td nowrap><font size='-3'>");
  html += cell(cell_text(rs.field("retdate")));
  html += cell(time_text(rs.field("deptime")));
  html += cell(time_text(rs.field("rettime")));
  html += cell(cell_text(rs.field("Status")));
  return html + "</tr>";
}

std::string two_line_row(frame::RequestContext& ctx, const db::Recordset& rs,
                         CustomerNames& customers, const char* colour) {
  auto cell = [](const std::string& value, const char* open = "<td>") {
    return open + value + "</td>";
  };
  const CustomerNames::Names names = customers.lookup(rs.field("CUSTOMER"));
  std::string html = "<tr bgcolor='" + std::string(colour) + "'>";
  html += cell(request_link(ctx, rs));
  html += cell(html_escape(names.name));
  html += cell(broken_escaped(destination_text(ctx, rs)), "<td colspan='2'>");
  html += cell(cell_text(rs.field("depdate")) + ", " + time_text(rs.field("deptime")));
  html += cell(cell_text(rs.field("retdate")) + ", " + time_text(rs.field("rettime")));
  html += cell(cell_text(rs.field("Status")));
  html += cell(cell_text(rs.field("enterdate")));
  html += cell(cell_text(rs.field("TRIPCAT")));
  html += cell(cell_text(rs.field("INTTRIPNUM")));
  html += "</tr><tr bgcolor='" + std::string(colour) + "'>";
  html += cell(cell_text(rs.field("CONTACT")), "<td colspan='2'>");
  html += cell(whole_number(rs.field("NUMSTUDENTS")) + "/" + whole_number(rs.field("NUMADULTS")));
  html += cell(cell_text(rs.field("GRADE")));
  html += cell(time_text(rs.field("arrivetime")));
  html += cell(time_text(rs.field("leavetime")));
  html += cell(html_escape(names.division));
  html += cell(cell_text(rs.field("fieldtrip_num")));
  html += cell(cell_text(rs.field("chainid")));
  html += cell(cell_text(rs.field("PURPOSE")));
  return html + "</tr>";
}

// The two request layouts spell the customer query's ORDER BY each its own way.
constexpr char kCustomersLower[] =
    "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From CUSTOMER "
    "order by CUSTOMER.CUSTOMER;";
constexpr char kCustomersUpper[] =
    "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From CUSTOMER "
    "ORDER BY CUSTOMER.CUSTOMER;";

// The request reports look customers up in a snapshot of their own, held by the row writer.
template <auto row, const char* customer_sql>
std::function<std::string(const db::Recordset&, const char*)> with_customers(
    frame::RequestContext& ctx) {
  auto customers = std::make_shared<CustomerNames>(ctx.module().trip_db(), customer_sql);
  return [&ctx, customers](const db::Recordset& rs, const char* colour) {
    return row(ctx, rs, *customers, colour);
  };
}

constexpr const char* kOneLineHeadings[] = {"Request #",   "Depart", "Customer",
                                            "Destination", "Return", "Dep. time",
                                            "Ret. time",   "Status", nullptr};
constexpr const char* kTwoLineHeadings[] = {
    "Request #", "Customer",   "Destination", "Depart",          "Return", "Status", "Entered",
    "Category",  "Internal #", "Contact",     "# Stus / Adults", "Grade",  "Arrive", "Leave",
    "Division",  "Trip #",     "Approval",    "Purpose",         nullptr};

}  // namespace

const ListReports::Layout ListReports::kTripRequestReport1 = {
    .item = "TripRequestReport1",
    .query_key = kQueryKey,
    .missing_query = kMissingQuery,
    .request_db = true,
    .spacer = false,
    .rows = with_customers<one_line_row, kCustomersLower>,
    .csv_file = "requests.csv",
    .headings = kOneLineHeadings};

const ListReports::Layout ListReports::kTripRequestReport2 = {
    .item = "TripRequestReport2",
    .query_key = kQueryKey,
    .missing_query = kMissingQuery,
    .request_db = true,
    .spacer = true,
    .rows = with_customers<two_line_row, kCustomersUpper>,
    .csv_file = "requests.csv",
    .headings = kTwoLineHeadings};

}  // namespace reports
