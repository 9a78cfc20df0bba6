// The field trip search: the trips of the desktop system with their assignment and billing
// state, the amounts billed and due, and the query the trip reports and the summary reuse.
#pragma once

#include <string>

#include "frame/context.h"
#include "reports/search_state.h"

namespace reports {

class TripSearch : public frame::Subsystem {
 public:
  explicit TripSearch(frame::RequestContext& context) : Subsystem(context) {}

  void TripSearch_Respond();
  void TripSearch_FieldTrips();
  void TripSearch_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  // The search the fund lookup returns to: every trip of the fund, all pair boxes ticked.
  void FieldTripsOfFund(const std::string& fund);

  const SearchState& state() const { return search_; }
  const TripSearchState& trip_state() const { return trips_; }

 private:
  void ResetTripSearch();
  // The criteria of the posted search form into the search state.
  void read_criteria(std::string& internal_number, std::string& purchase_order,
                     std::string& billing_customer);

  SearchState search_;
  TripSearchState trips_;
};

}  // namespace reports
