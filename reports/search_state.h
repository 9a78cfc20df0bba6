// Page-object state of the request search, the field trip search and the reports.
#pragma once

#include <cstdint>
#include <string>

#include "platform/vb/variant.h"

namespace reports {

// Shared by both searches and the list pages.
struct SearchState {
  std::string strSearchQuery;
  std::string strSearchResults;
  std::int16_t intSearchCount = 0;
  bool blnReqAutofill = true;
  std::string strSearchCust, strReqStatus, strSearchDiv, strReqDivFilter, strSearchDest;
  std::string strSearchTripCat, strSearchGrade, strSearchDepFrom, strSearchDepTo;
  std::string strReqEnterFrom, strReqEnterTo, strReqIntNum;
};

struct TripSearchState {
  bool blnTripAutofill = true;
  std::string strChkAssigned, strChkUnassigned, strChkBilled, strChkUnbilled;
  std::string strChkCancelled, strChkOpen, strChkOpenBalance;
  std::string strSortBy1, strSortBy2;
  vb::Currency curTotalBilled, curTotalDue;
  std::string strTripReqNum, strTripNum, strTripFund;
};

}  // namespace reports
