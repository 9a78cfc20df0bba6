// Small helpers for the runtime conversion tests: typed variant makers and error capture.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/vb/errors.h"
#include "platform/vb/variant.h"

namespace vb_test {

inline vb::Variant Lng(long v) {
  return vb::Variant(static_cast<std::int32_t>(v));
}
inline vb::Variant Cur(std::int64_t scaled) {
  return vb::Variant(vb::Currency{scaled});
}
inline vb::Variant Date(double serial) {
  return vb::Variant(vb::DateTime{serial});
}

// The serial of a day (0 = 30 December 1899, not before it) and a time of day.
inline double serial(long day, int hour = 0, int minute = 0, int second = 0) {
  return day + (hour * 3600 + minute * 60 + second) / 86400.0;
}

// The runtime error number that `action` raises, 0 when it raises none.
inline long error_of(const std::function<void()>& action) {
  try {
    action();
  } catch (const vb::RuntimeError& error) {
    return error.number();
  }
  return 0;
}

}  // namespace vb_test
