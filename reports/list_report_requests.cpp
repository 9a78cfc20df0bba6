// The printable trip request lists, one line and two lines per request: their handlers and page
// builders over the query that the request search left in the session.
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "reports/list_reports.h"
#include "reports/paging.h"
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

}  // namespace

void ListReports::build_request_report(const std::string& SQLQuery, std::int16_t& PageNumber,
                                       std::int16_t PageSize, bool two_lines) {
  web::Response& response = ctx_.response();
  if (SQLQuery.empty()) {
    response.Write(kMissingQuery);
    return;
  }
  if (!ChkEligWeb::PrepareDatabase(ctx_)) {
    // No exit step of their own: show the connection report rather than lose it.
    frame::write_exit(module_, &response);
    return;
  }
  CustomerNames customers(module_.trip_db(),
                          two_lines ? "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, "
                                      "CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From CUSTOMER "
                                      "ORDER BY CUSTOMER.CUSTOMER;"
                                    : "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, "
                                      "CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From CUSTOMER "
                                      "order by CUSTOMER.CUSTOMER;");
  db::Recordset rs;
  open_page(rs, module_.request_db(), SQLQuery, PageNumber, PageSize, search_.intSearchCount);
  std::string& results = search_.strSearchResults;
  results.clear();
  for (int row = 0; row < PageSize && !rs.eof(); ++row, rs.move_next()) {
    const char* colour = row_colour(row);
    if (two_lines) {
      results += two_line_row(ctx_, rs, customers, colour);
      if (row + 1 < PageSize) results += "<tr><td colspan='10'></td></tr>";
    } else {
      results += one_line_row(ctx_, rs, customers, colour);
    }
  }
  rs.close();
  customers.close();
  ChkEligWeb::CloseTripDBConnections(module_);
}

void ListReports::BuildTripRequestReport1Results(const std::string& SQLQuery,
                                                 std::int16_t& PageNumber, std::int16_t PageSize) {
  build_request_report(SQLQuery, PageNumber, PageSize, false);
}

void ListReports::BuildTripRequestReport2Results(const std::string& SQLQuery,
                                                 std::int16_t& PageNumber, std::int16_t PageSize) {
  build_request_report(SQLQuery, PageNumber, PageSize, true);
}

void ListReports::TripRequestReport1_Respond() {
  respond(ctx_, "TripRequestReport1", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripRequestReport1Results(session_text(kQueryKey), page_number, size);
  });
}

void ListReports::TripRequestReport1_TripRequestReport1() {
  move_page(ctx_, "TripRequestReport1", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripRequestReport1Results(session_text(kQueryKey), page_number, size);
  });
}

void ListReports::TripRequestReport1_ProcessTag(const std::string& TagName,
                                                std::string& TagContents, bool&) {
  report_tag(ctx_, search_, TagName, TagContents);
}

void ListReports::TripRequestReport2_Respond() {
  respond(ctx_, "TripRequestReport2", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripRequestReport2Results(session_text(kQueryKey), page_number, size);
  });
}

void ListReports::TripRequestReport2_TripRequestReport2() {
  move_page(ctx_, "TripRequestReport2", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripRequestReport2Results(session_text(kQueryKey), page_number, size);
  });
}

void ListReports::TripRequestReport2_ProcessTag(const std::string& TagName,
                                                std::string& TagContents, bool&) {
  report_tag(ctx_, search_, TagName, TagContents);
}

}  // namespace reports
