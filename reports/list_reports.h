// The print page and the four paged list reports of the searches' results: trips and requests,
// one line or two lines per row, each also downloadable as CSV.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "frame/context.h"
#include "platform/db/db.h"
#include "reports/search_state.h"

namespace reports {

class ListReports : public frame::Subsystem {
 public:
  explicit ListReports(frame::RequestContext& context) : Subsystem(context) {}

  void PrintReport_Respond();
  void PrintReport_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void PrintReport_PrintReport();

  // The four reports differ only in their layouts (below); each has the same handlers.
  void TripReport1_Respond() { respond_report(kTripReport1); }
  void TripReport2_Respond() { respond_report(kTripReport2); }
  void TripRequestReport1_Respond() { respond_report(kTripRequestReport1); }
  void TripRequestReport2_Respond() { respond_report(kTripRequestReport2); }

  // The paging events, named like their items.
  void TripReport1_TripReport1() { page_report(kTripReport1); }
  void TripReport2_TripReport2() { page_report(kTripReport2); }
  void TripRequestReport1_TripRequestReport1() { page_report(kTripRequestReport1); }
  void TripRequestReport2_TripRequestReport2() { page_report(kTripRequestReport2); }

  // Event CSV: every row of the report's query (not only a page) as a download with the
  // report's columns, headings and formatted values.
  void TripReport1_CSV() { download_csv(kTripReport1); }
  void TripReport2_CSV() { download_csv(kTripReport2); }
  void TripRequestReport1_CSV() { download_csv(kTripRequestReport1); }
  void TripRequestReport2_CSV() { download_csv(kTripRequestReport2); }

  // All four answer the same tags.
  void TripReport1_ProcessTag(const std::string& TagName, std::string& TagContents, bool&);
  void TripReport2_ProcessTag(const std::string& TagName, std::string& TagContents, bool&);
  void TripRequestReport1_ProcessTag(const std::string& TagName, std::string& TagContents, bool&);
  void TripRequestReport2_ProcessTag(const std::string& TagName, std::string& TagContents, bool&);

  // The rows of page PageNumber (lowered to the last page when past it) into the results, and
  // the row count of the query; an empty query writes its message instead.
  void BuildTripReport1Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                               std::int16_t PageSize);
  void BuildTripReport2Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                               std::int16_t PageSize);
  void BuildTripRequestReport1Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                      std::int16_t PageSize);
  void BuildTripRequestReport2Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                      std::int16_t PageSize);

  const SearchState& state() const { return search_; }

 private:
  // One row of a report (one or two table lines) in the row's colour.
  using RowWriter = std::function<std::string(const db::Recordset& rs, const char* colour)>;
  // What tells one list report from the others.
  struct Layout {
    const char* item;
    const char* query_key;
    const char* missing_query;
    bool request_db;  // else the trip database
    bool spacer;      // an empty line after each row but the page's last
    // The row writer, made once the connections are open (it may read a table of its own).
    RowWriter (*rows)(frame::RequestContext& context);
    const char* csv_file;
    const char* const* headings;  // the template's column headings, ended by a null
  };
  static const Layout kTripReport1, kTripReport2, kTripRequestReport1, kTripRequestReport2;

  // The missing-query message or the connection report when the report cannot run.
  bool open_connections(const Layout& layout, const std::string& query);
  void build_page(const Layout& layout, const std::string& SQLQuery, std::int16_t& PageNumber,
                  std::int16_t PageSize);
  void respond_report(const Layout& layout);
  void page_report(const Layout& layout);
  void download_csv(const Layout& layout);

  SearchState search_;
};

}  // namespace reports
