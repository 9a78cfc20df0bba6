// The one source of "now". Lead times, calendar notes and status dates depend on it, so tests set
// it instead of waiting for the wall clock.
#pragma once

#include <atomic>

#include "platform/vb/variant.h"

namespace sys {

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date and time. Safe to call from any thread.
  virtual vb::DateTime now() const = 0;
};

// The server's local time.
class SystemClock : public Clock {
 public:
  vb::DateTime now() const override;
};

// A clock that stands still until set; for tests.
class FixedClock : public Clock {
 public:
  explicit FixedClock(vb::DateTime at = {}) : serial_(at.serial) {}
  void set(vb::DateTime at) { serial_.store(at.serial); }
  vb::DateTime now() const override { return vb::DateTime{serial_.load()}; }

 private:
  std::atomic<double> serial_;
};

}  // namespace sys
