// The printable field trip lists, one line and two lines per trip: their handlers and page
// builders over the query that the field trip search left in the session.
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "platform/vb/conversions.h"
#include "reports/list_reports.h"
#include "reports/paging.h"
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

}  // namespace

// The builder both layouts share; two_lines chooses the layout.
void ListReports::build_trip_report(const std::string& SQLQuery, std::int16_t& PageNumber,
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
  db::Recordset rs;
  open_page(rs, module_.trip_db(), SQLQuery, PageNumber, PageSize, search_.intSearchCount);
  std::string& results = search_.strSearchResults;
  results.clear();
  for (int row = 0; row < PageSize && !rs.eof(); ++row, rs.move_next()) {
    const char* colour = row_colour(row);
    if (two_lines) {
      results += first_line(rs, colour, "<td colspan='3'><font size='-2'>");
      results += second_line(rs, colour);
    } else {
      results += first_line(rs, colour, "<td><font size='-2'>") + "</tr>";
    }
  }
  rs.close();
  ChkEligWeb::CloseTripDBConnections(module_);
}

void ListReports::BuildTripReport1Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                          std::int16_t PageSize) {
  build_trip_report(SQLQuery, PageNumber, PageSize, false);
}

void ListReports::BuildTripReport2Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                          std::int16_t PageSize) {
  build_trip_report(SQLQuery, PageNumber, PageSize, true);
}

void ListReports::TripReport1_Respond() {
  respond(ctx_, "TripReport1", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripReport1Results(session_text(kQueryKey), page_number, size);
  });
}

void ListReports::TripReport1_TripReport1() {
  move_page(ctx_, "TripReport1", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripReport1Results(session_text(kQueryKey), page_number, size);
  });
}

void ListReports::TripReport1_ProcessTag(const std::string& TagName, std::string& TagContents,
                                         bool&) {
  report_tag(ctx_, search_, TagName, TagContents);
}

void ListReports::TripReport2_Respond() {
  respond(ctx_, "TripReport2", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripReport2Results(session_text(kQueryKey), page_number, size);
  });
}

void ListReports::TripReport2_TripReport2() {
  move_page(ctx_, "TripReport2", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripReport2Results(session_text(kQueryKey), page_number, size);
  });
}

void ListReports::TripReport2_ProcessTag(const std::string& TagName, std::string& TagContents,
                                         bool&) {
  report_tag(ctx_, search_, TagName, TagContents);
}

}  // namespace reports
