// The summary report: the trips of the last field trip search grouped by customer, category,
// fund, destination or grade.
#pragma once

#include <cstdint>
#include <string>

#include "frame/context.h"
#include "reports/search_state.h"

namespace reports {

class SummaryReport : public frame::Subsystem {
 public:
  explicit SummaryReport(frame::RequestContext& context) : Subsystem(context) {}

  void TripSummaryReport_Respond();
  void TripSummaryReport_TripSummaryReport();
  void TripSummaryReport_ProcessTag(const std::string& TagName, std::string& TagContents,
                                    bool& SendTags);

  // The groups of page PageNumber (lowered to the last page when past it) into the results, the
  // summary's SQL into the query, and the number of groups.
  void BuildTripSummaryReportResults(const std::string& SummaryType,
                                     const std::string& SqlCondition, std::int16_t& PageNumber,
                                     std::int16_t PageSize);

  const SearchState& state() const { return search_; }

 private:
  void build(std::int16_t& page_number, std::int16_t page_size);

  SearchState search_;
};

}  // namespace reports
