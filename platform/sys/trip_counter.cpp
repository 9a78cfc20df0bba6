// The trip counter, on the trip database.
#include "platform/sys/trip_counter.h"

#include <cmath>

#include "platform/db/db.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "platform/vb/errors.h"

namespace sys {

TripCounter::TripCounter(std::string trip_database) : path_(std::move(trip_database)) {}

bool TripCounter::Ready() const {
  try {
    db::Connection connection;
    connection.open(path_);
    return true;
  } catch (const vb::RuntimeError&) {
    return false;
  }
}

std::int16_t TripCounter::CountTrips(vb::DateTime day) const {
  const double first = std::floor(day.serial);
  db::Connection connection;
  connection.open(path_);
  db::Recordset rs;
  rs.open("SELECT COUNT(*) AS TRIPCOUNT FROM TRIPS WHERE TRIPS.DEPDATE >= " +
              db::quote_date(vb::DateTime{first}) + " AND TRIPS.DEPDATE < " +
              db::quote_date(vb::DateTime{first + 1}) +
              " AND (TRIPS.CANCELED = FALSE OR TRIPS.CANCELED IS NULL)",
          connection);
  return vb::CInt(rs.field("TRIPCOUNT"));
}

}  // namespace sys
