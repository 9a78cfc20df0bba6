// The system clock: the local date and time as a serial.
#include "platform/sys/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

// Sets TZ for one test and puts the previous value back.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    if (old_) {
      setenv("TZ", old_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> old_;
};

constexpr double kUnixEpoch = 25569.0;  // 1/1/1970 as a serial
constexpr double kSecond = 1.0 / 86400;

TEST(SystemClock, gives_the_local_date_and_time_as_days_since_30_december_1899) {
  struct Case {
    const char* zone;
    double offset_hours;  // local time minus UTC
  };
  const Case cases[] = {{"UTC0", 0}, {"EST5", -5}, {"IST-5:30", 5.5}};
  for (const auto& c : cases) {
    TimeZone zone(c.zone);
    double before = static_cast<double>(std::time(nullptr));
    double now = sys::SystemClock().now().serial;
    double after = static_cast<double>(std::time(nullptr));
    double shift = c.offset_hours / 24;
    EXPECT_GE(now, kUnixEpoch + before / 86400 + shift - kSecond) << c.zone;
    EXPECT_LE(now, kUnixEpoch + after / 86400 + shift + kSecond) << c.zone;
  }
}

}  // namespace
