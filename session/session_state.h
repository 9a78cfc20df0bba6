// Page-object state of the session check.
#pragma once

#include <string>

namespace session {

struct SessionCheckState {
  // The time-out message that the session check leaves for the Logout page.
  std::string strTimeoutMessage;
};

inline constexpr const char* kTimeoutMessage =
    "Sorry, your session has timed out please log in again and retry.";

}  // namespace session
