// The trip counter of the daily trip limit: how many trips are booked on a day.
#pragma once

#include <cstdint>
#include <string>

#include "platform/vb/variant.h"

namespace sys {

class TripCounter {
 public:
  // Counts in the trip database at this path.
  explicit TripCounter(std::string trip_database);
  // True when the trip database can be opened.
  bool Ready() const;
  // The TRIPS rows whose DEPDATE falls on the day and which are not canceled. Throws
  // vb::RuntimeError when the database cannot be read.
  std::int16_t CountTrips(vb::DateTime day) const;

 private:
  std::string path_;
};

}  // namespace sys
