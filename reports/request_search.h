// The request search: the main menu, the approver's work list, the search by criteria, and the
// result table of requests that link to the request form.
#pragma once

#include <string>

#include "frame/context.h"
#include "reports/search_state.h"

namespace reports {

// The search form's button that lists the requests waiting at the user's own levels, whatever
// criteria are typed.
inline constexpr const char* kWaitingForMe = "Waiting for me";

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
  // The approver's work list: the requests of the active chains in the status that waits for a
  // level the role approves (of the user's customer when he has one); "" when the role holds
  // no level. Needs the connections open.
  std::string work_list_query(const std::string& role);
  // The work list as the search's query; the results say so when nothing waits.
  void waiting_for_me();

  SearchState search_;
};

}  // namespace reports
