// The summary report: the trips of the last field trip search grouped by customer, category,
// fund, destination or grade, with its totals, its chart and its CSV download.
#pragma once

#include <cstdint>
#include <string>

#include "frame/context.h"
#include "reports/search_state.h"

namespace reports {

struct SummaryKind;  // one of the five summary types

class SummaryReport : public frame::Subsystem {
 public:
  explicit SummaryReport(frame::RequestContext& context) : Subsystem(context) {}

  void TripSummaryReport_Respond();
  void TripSummaryReport_TripSummaryReport();
  // The report's rows and totals row as a CSV file, all groups at once.
  void TripSummaryReport_CSV();
  void TripSummaryReport_ProcessTag(const std::string& TagName, std::string& TagContents,
                                    bool& SendTags);

  // The groups of page PageNumber (lowered to the last page when past it) into the results, the
  // summary's SQL into the query, and the number of groups; the totals row and the chart cover
  // every group.
  void BuildTripSummaryReportResults(const std::string& SummaryType,
                                     const std::string& SqlCondition, std::int16_t& PageNumber,
                                     std::int16_t PageSize);

  // The CSV file of a summary: a byte order mark, the headings, one record per group as the
  // report shows it, and the totals; empty, with the message written, when there is none.
  std::string summary_csv(const std::string& type, const std::string& condition);

  const SearchState& state() const { return search_; }

 private:
  void build(std::int16_t& page_number, std::int16_t page_size);
  // Checks the type, prepares the connections and opens the summary into rs; null (with the
  // message written) when there is no summary to show.
  const SummaryKind* open_summary(const std::string& SummaryType, const std::string& SqlCondition,
                                  db::Recordset& rs);

  SearchState search_;
  std::string totals_;  // WC@TOTALS
  std::string chart_;   // WC@CHART
};

}  // namespace reports
