// Page-object state of the lookup pages.
#pragma once

#include <string>

namespace lookup {

struct LookupState {
  // The event name kept by LookupFund_UserEvent, shown by WC@FUND.
  std::string strFundEvent;
};

}  // namespace lookup
