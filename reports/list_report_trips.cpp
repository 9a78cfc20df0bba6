// The printable field trip lists, one line and two lines per trip: their rows and headings over
// the query that the field trip search left in the session.
#include "data/null_conversions.h"
#include "platform/vb/conversions.h"
#include "reports/list_reports.h"
#include "reports/search_support.h"

namespace reports {

namespace {

constexpr const char* kQueryKey = "TripReportQuery";
constexpr const char* kMissingQuery = "Trip Report Query must be supplied.";

std::string cell(const std::string& value, const char* open = "<td><font size='-2'>") {
  return open + value + "</font></td>";
}

// Line 1 of both layouts; only the destination cell's width differs.
std::string first_line(const db::Recordset& rs, const char* colour, const char* destination_open) {
  std::string html = "<tr bgcolor=" + std::string(colour) + ">";
  html += cell(cell_text(rs.field("TRIPNUM")));
  html += cell(cell_text(rs.field("depdate")));
  html += cell(cell_text(rs.field("custname")));
  html += cell(text_or_nbsp(rs.field("DESTDESC")), destination_open);
  html += cell(cell_text(rs.field("retdate")));
  html += cell(time_text(rs.field("deptime")));
  html += cell(time_text(rs.field("rettime")));
  html += cell(checkbox(rs.field("CANCELED")));
  return html;
}

std::string estimated_hours(const vb::Variant& value) {
  if (value.is_null() || vb::Trim(data::NullToStr(value)).empty()) {
    return vb::Format(vb::Variant(0.0), "#0.00");
  }
  return web::html_escape(vb::Format(value, "#0.00"));
}

std::string second_line(const db::Recordset& rs, const char* colour) {
  std::string html = "</tr><tr bgcolor=" + std::string(colour) + ">";
  html += cell(text_or_nbsp(rs.field("CONTACT")), "<td colspan='2'><font size='-2'>");
  html += cell(text_or_nbsp(rs.field("PURPOSE")));
  html += cell(estimated_hours(rs.field("estTime")));
  html += cell(checkbox(rs.field("SHUTTLE")));
  html += cell(cell_text(rs.field("ESTMILE")));
  html += cell(cell_text(rs.field("NUMSTUDENTS")));
  html += cell(cell_text(rs.field("NUMADULTS")));
  html += cell(text_or_nbsp(rs.field("GRADE")));
  html += cell(checkbox(rs.field("ASSIGNED")));
  return html + "</tr>";
}

std::string one_line_row(const db::Recordset& rs, const char* colour) {
  return first_line(rs, colour, "<td><font size='-2'>") + "</tr>";
}

std::string two_line_row(const db::Recordset& rs, const char* colour) {
  return first_line(rs, colour, "<td colspan='3'><font size='-2'>") + second_line(rs, colour);
}

constexpr const char* kOneLineHeadings[] = {"Trip #",      "Depart",    "Customer",
                                            "Destination", "Return",    "Dep. time",
                                            "Ret. time",   "Cancelled", nullptr};
constexpr const char* kTwoLineHeadings[] = {
    "Trip #",     "Depart",    "Customer", "Destination", "Return",     "Dep. time",
    "Ret. time",  "Cancelled", "Contact",  "Purpose",     "Est. hours", "Shuttle",
    "Est. miles", "Students",  "Adults",   "Grade",       "Assigned",   nullptr};

}  // namespace

const ListReports::Layout ListReports::kTripReport1 = {
    .item = "TripReport1",
    .query_key = kQueryKey,
    .missing_query = kMissingQuery,
    .request_db = false,
    .spacer = false,
    .rows = [](frame::RequestContext&) -> RowWriter { return one_line_row; },
    .csv_file = "trips.csv",
    .headings = kOneLineHeadings};

const ListReports::Layout ListReports::kTripReport2 = {
    .item = "TripReport2",
    .query_key = kQueryKey,
    .missing_query = kMissingQuery,
    .request_db = false,
    .spacer = false,
    .rows = [](frame::RequestContext&) -> RowWriter { return two_line_row; },
    .csv_file = "trips.csv",
    .headings = kTwoLineHeadings};

}  // namespace reports
