// The system clock: the local date and time as a serial.
#include "platform/sys/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

TEST(SystemClock, gives_the_local_date_and_time_as_days_since_30_december_1899) {
  constexpr double kUnixEpoch = 25569.0;  // 1/1/1970 as a serial
  constexpr double kSecond = 1.0 / 86400;
  const char* old = std::getenv("TZ");
  const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  // Local time minus UTC, in hours.
  for (const auto& [zone, offset_hours] : {std::pair{"UTC0", 0.0}, {"IST-5:30", 5.5}}) {
    setenv("TZ", zone, 1);
    tzset();
    const double before = static_cast<double>(std::time(nullptr));
    const double now = sys::SystemClock().now().serial;
    const double after = static_cast<double>(std::time(nullptr));
    EXPECT_GE(now, kUnixEpoch + before / 86400 + offset_hours / 24 - kSecond) << zone;
    EXPECT_LE(now, kUnixEpoch + after / 86400 + offset_hours / 24 + kSecond) << zone;
  }
  saved ? setenv("TZ", saved->c_str(), 1) : unsetenv("TZ");
  tzset();
}

}  // namespace
