// The application event log on Linux: the system log, identity "jaunter".
#include "platform/sys/event_log.h"

#include <syslog.h>
#include <unistd.h>

#include <iostream>
#include <mutex>
#include <string>

namespace sys {

void SysLog::write(std::string_view caption, std::string_view text) {
  // openlog keeps the identity pointer, so it must be a literal; the connection is the process's
  // own, opened once by whichever thread logs first.
  static std::once_flag opened;
  std::call_once(opened, [] { openlog("jaunter", LOG_PID | LOG_NDELAY, LOG_USER); });
  syslog(LOG_ERR, "%.*s: %.*s", static_cast<int>(caption.size()), caption.data(),
         static_cast<int>(text.size()), text.data());
  // Under systemd standard error goes to the journal, where an operator looks first; on a
  // terminal the line would only interleave with the access log.
  static const bool to_stderr = isatty(STDERR_FILENO) == 0;
  if (to_stderr) {
    std::cerr << ("event: " + std::string(caption) + ": " + std::string(text) + "\n") << std::flush;
  }
}

}  // namespace sys
