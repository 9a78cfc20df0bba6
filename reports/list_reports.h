// The print page and the four paged list reports of the searches' results: trips and requests,
// one line or two lines per row.
#pragma once

#include <cstdint>
#include <string>

#include "frame/context.h"
#include "reports/search_state.h"

namespace reports {

class ListReports : public frame::Subsystem {
 public:
  explicit ListReports(frame::RequestContext& context) : Subsystem(context) {}

  void PrintReport_Respond();
  void PrintReport_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void PrintReport_PrintReport();

  void TripReport1_Respond();
  void TripReport1_TripReport1();
  void TripReport1_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void TripReport2_Respond();
  void TripReport2_TripReport2();
  void TripReport2_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void TripRequestReport1_Respond();
  void TripRequestReport1_TripRequestReport1();
  void TripRequestReport1_ProcessTag(const std::string& TagName, std::string& TagContents,
                                     bool& SendTags);
  void TripRequestReport2_Respond();
  void TripRequestReport2_TripRequestReport2();
  void TripRequestReport2_ProcessTag(const std::string& TagName, std::string& TagContents,
                                     bool& SendTags);

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
  void build_trip_report(const std::string& SQLQuery, std::int16_t& PageNumber,
                         std::int16_t PageSize, bool two_lines);
  void build_request_report(const std::string& SQLQuery, std::int16_t& PageNumber,
                            std::int16_t PageSize, bool two_lines);

  SearchState search_;
};

}  // namespace reports
