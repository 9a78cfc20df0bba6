// What the four list reports share: the handlers, the page builder over a report's layout, and
// the CSV download of all of a report's rows.
#include <string_view>
#include <vector>

#include "config/ChkEligWeb.h"
#include "reports/csv.h"
#include "reports/list_reports.h"
#include "reports/paging.h"

namespace reports {

namespace {

constexpr const char* kSpacer = "<tr><td colspan='10'></td></tr>";

// A long destination without the line break the page puts in it: a download holds the name.
std::string unbroken(std::string_view html) {
  std::string text(html);
  for (const char* marker : {"-<br>", "<br>"}) {
    const std::size_t at = text.find(marker);
    if (at != std::string::npos) return text.erase(at, std::string_view(marker).size());
  }
  return text;
}

// The cells of a report row's HTML as the page shows them; a check box as "Yes" or "No".
std::vector<std::string> csv_cells(std::string_view html) {
  std::vector<std::string> cells;
  for (std::size_t at = html.find("<td"); at != std::string_view::npos; at = html.find("<td", at)) {
    const std::size_t open_end = html.find('>', at);
    const std::size_t close = html.find("</td>", open_end);
    if (open_end == std::string_view::npos || close == std::string_view::npos) break;
    const std::string_view content = html.substr(open_end + 1, close - open_end - 1);
    if (content.find("<input type=checkbox") != std::string_view::npos) {
      cells.push_back(content.find(" checked") != std::string_view::npos ? "Yes" : "No");
    } else {
      cells.push_back(csv::text_of_html(unbroken(content)));
    }
    at = close;
  }
  return cells;
}

}  // namespace

bool ListReports::open_connections(const Layout& layout, const std::string& query) {
  web::Response& response = ctx_.response();
  if (query.empty()) {
    response.Write(layout.missing_query);
    return false;
  }
  if (!ChkEligWeb::PrepareDatabase(ctx_)) {
    // No exit step of their own: show the connection report rather than lose it.
    frame::write_exit(module_, &response);
    return false;
  }
  return true;
}

void ListReports::build_page(const Layout& layout, const std::string& SQLQuery,
                             std::int16_t& PageNumber, std::int16_t PageSize) {
  if (!open_connections(layout, SQLQuery)) return;
  RowWriter write_row = layout.rows(ctx_);
  db::Recordset rs;
  open_page(rs, layout.request_db ? module_.request_db() : module_.trip_db(), SQLQuery, PageNumber,
            PageSize, search_.intSearchCount);
  std::string& results = search_.strSearchResults;
  results.clear();
  for (int row = 0; row < PageSize && !rs.eof(); ++row, rs.move_next()) {
    results += write_row(rs, row_colour(row));
    if (layout.spacer && row + 1 < PageSize) results += kSpacer;
  }
  rs.close();
  write_row = nullptr;  // its own snapshot closes before the connections
  ChkEligWeb::CloseTripDBConnections(module_);
}

void ListReports::respond_report(const Layout& layout) {
  respond(ctx_, layout.item, [this, &layout](std::int16_t& page_number, std::int16_t size) {
    build_page(layout, session_text(layout.query_key), page_number, size);
  });
}

void ListReports::page_report(const Layout& layout) {
  move_page(ctx_, layout.item, [this, &layout](std::int16_t& page_number, std::int16_t size) {
    build_page(layout, session_text(layout.query_key), page_number, size);
  });
}

void ListReports::download_csv(const Layout& layout) {
  // The report's own check first: a download shows the district's trips too.
  if (!session_check()) return;
  const std::string query = session_text(layout.query_key);
  if (!open_connections(layout, query)) return;
  RowWriter write_row = layout.rows(ctx_);
  db::Recordset rs;
  rs.open(query, layout.request_db ? module_.request_db() : module_.trip_db());
  std::string csv(csv::kByteOrderMark);
  std::vector<std::string> headings;
  for (const char* const* heading = layout.headings; *heading; ++heading) {
    headings.push_back(*heading);
  }
  csv += csv::row(headings);
  for (int row = 0; !rs.eof(); ++row, rs.move_next()) {
    csv += csv::row(csv_cells(write_row(rs, row_colour(row))));
  }
  rs.close();
  write_row = nullptr;
  ChkEligWeb::CloseTripDBConnections(module_);
  csv::send(ctx_.response(), layout.csv_file, csv);
}

void ListReports::TripReport1_ProcessTag(const std::string& TagName, std::string& TagContents,
                                         bool&) {
  report_tag(ctx_, search_, TagName, TagContents);
}

void ListReports::TripReport2_ProcessTag(const std::string& TagName, std::string& TagContents,
                                         bool&) {
  report_tag(ctx_, search_, TagName, TagContents);
}

void ListReports::TripRequestReport1_ProcessTag(const std::string& TagName,
                                                std::string& TagContents, bool&) {
  report_tag(ctx_, search_, TagName, TagContents);
}

void ListReports::TripRequestReport2_ProcessTag(const std::string& TagName,
                                                std::string& TagContents, bool&) {
  report_tag(ctx_, search_, TagName, TagContents);
}

void ListReports::BuildTripReport1Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                          std::int16_t PageSize) {
  build_page(kTripReport1, SQLQuery, PageNumber, PageSize);
}

void ListReports::BuildTripReport2Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                          std::int16_t PageSize) {
  build_page(kTripReport2, SQLQuery, PageNumber, PageSize);
}

void ListReports::BuildTripRequestReport1Results(const std::string& SQLQuery,
                                                 std::int16_t& PageNumber, std::int16_t PageSize) {
  build_page(kTripRequestReport1, SQLQuery, PageNumber, PageSize);
}

void ListReports::BuildTripRequestReport2Results(const std::string& SQLQuery,
                                                 std::int16_t& PageNumber, std::int16_t PageSize) {
  build_page(kTripRequestReport2, SQLQuery, PageNumber, PageSize);
}

}  // namespace reports
