// The application event log on Linux: the system log, identity "jaunter".
#include "platform/sys/event_log.h"

#include <syslog.h>

#include <mutex>

namespace sys {

void SysLog::write(std::string_view caption, std::string_view text) {
  // openlog keeps the identity pointer, so it must be a literal; the connection is the process's
  // own, opened once by whichever thread logs first.
  static std::once_flag opened;
  std::call_once(opened, [] { openlog("jaunter", LOG_PID | LOG_NDELAY, LOG_USER); });
  syslog(LOG_ERR, "%.*s: %.*s", static_cast<int>(caption.size()), caption.data(),
         static_cast<int>(text.size()), text.data());
}

}  // namespace sys
