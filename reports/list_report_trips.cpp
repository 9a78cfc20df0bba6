// The printable field trip lists, one line and two lines per trip: their handlers and page
// builders over the query that the field trip search left in the session.
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"
#include "reports/list_report_common.h"

namespace {

using namespace reports::listing;

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

// The builder both layouts share; two_lines chooses the layout.
void build_trip_report(Jaunter& page, const std::string& SQLQuery, std::int16_t& PageNumber,
                       std::int16_t PageSize, bool two_lines) {
  web::Response& response = page.context().response();
  if (SQLQuery.empty()) {
    response.Write(kMissingQuery);
    return;
  }
  if (!page.prepare_database()) {
    // No exit step of their own: show the connection report rather than lose it.
    frame::write_exit(page.module(), &response);
    return;
  }
  db::Recordset rs;
  rs.open(SQLQuery, page.module().trip_db());
  seek_page(rs, PageNumber, PageSize, page.search.intSearchCount);
  std::string& results = page.search.strSearchResults;
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
  ChkEligWeb::CloseTripDBConnections(page.module());
}

}  // namespace

void Jaunter::BuildTripReport1Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                      std::int16_t PageSize) {
  build_trip_report(*this, SQLQuery, PageNumber, PageSize, false);
}

void Jaunter::BuildTripReport2Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                      std::int16_t PageSize) {
  build_trip_report(*this, SQLQuery, PageNumber, PageSize, true);
}

void Jaunter::TripReport1_Respond() {
  reports::listing::respond(*this, "TripReport1",
                            [this](std::int16_t& page_number, std::int16_t size) {
                              BuildTripReport1Results(session_text(kQueryKey), page_number, size);
                            });
}

void Jaunter::TripReport1_TripReport1() {
  move_page(*this, "TripReport1", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripReport1Results(session_text(kQueryKey), page_number, size);
  });
}

void Jaunter::TripReport1_ProcessTag(const std::string& TagName, std::string& TagContents, bool&) {
  report_tag(*this, TagName, TagContents);
}

void Jaunter::TripReport2_Respond() {
  reports::listing::respond(*this, "TripReport2",
                            [this](std::int16_t& page_number, std::int16_t size) {
                              BuildTripReport2Results(session_text(kQueryKey), page_number, size);
                            });
}

void Jaunter::TripReport2_TripReport2() {
  move_page(*this, "TripReport2", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripReport2Results(session_text(kQueryKey), page_number, size);
  });
}

void Jaunter::TripReport2_ProcessTag(const std::string& TagName, std::string& TagContents, bool&) {
  report_tag(*this, TagName, TagContents);
}
