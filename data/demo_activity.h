// The dated part of the demo district: calendar notes, a school year of trips with their billing,
// and trip requests at every step of their approval chains, all relative to the creation day.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/vb/variant.h"

namespace data::demo {

// One row to insert: its table and the columns it sets, in order.
struct Row {
  std::string table;
  std::vector<std::pair<std::string, vb::Variant>> values;

  Row& set(std::string column, vb::Variant value) {
    values.emplace_back(std::move(column), std::move(value));
    return *this;
  }
};

struct Activity {
  std::vector<Row> trip_rows;     // Big_CalCalNotes, TRIPS, ARDETAIL, TRIPSPLIT, TRIPEMPLOYEES
  std::vector<Row> request_rows;  // TRIPSREQ
  vb::DateTime warning_day;       // a calendar warning (severity 2)
  vb::DateTime closed_day;        // a closed day (severity 3)
  vb::DateTime full_day;          // a day already booked up to the daily trip limit
};

// The same creation time always gives the same activity.
Activity make_activity(vb::DateTime now);

}  // namespace data::demo
