// The request search: the main menu, the approver's work list, the search by criteria, and the
// result table of requests that link to the request form.
#pragma once

#include <string>

#include "frame/context.h"
#include "reports/search_state.h"

namespace reports {

class RequestSearch : public frame::Subsystem {
 public:
  explicit RequestSearch(frame::RequestContext& context) : Subsystem(context) {}

  void RequestSearch_Navigate();
  void RequestSearch_Respond();
  void RequestSearch_TripRequests();
  void RequestSearch_ProcessTag(const std::string& TagName, std::string& TagContents,
                                bool& SendTags);
  // The result table of the query into the results, and the count of requests shown.
  void BuildRequestResultsTable(std::string& strSql);

  const SearchState& state() const { return search_; }

 private:
  void ResetRequestSearch();
  // The criteria of the posted search form into the search state.
  void read_criteria();
  // The search query from the criteria; a refused date ends the handler with its message.
  void build_query();

  SearchState search_;
};

}  // namespace reports
