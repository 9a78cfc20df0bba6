// The server's local time as a date/time serial.
#include "platform/sys/clock.h"

#include <ctime>

#include "platform/vb/conversions.h"

namespace sys {

vb::DateTime SystemClock::now() const {
  std::time_t seconds = std::time(nullptr);
  std::tm local{};
  localtime_r(&seconds, &local);
  // Whole seconds, as the runtime's Now; a leap second (tm_sec 60) rolls into the next minute.
  double day = vb::DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).serial;
  double time = vb::TimeSerial(local.tm_hour, local.tm_min, local.tm_sec).serial;
  return vb::DateTime{day + time};
}

}  // namespace sys
