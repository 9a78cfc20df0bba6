// The demo district: `jaunter demo DIR` fills a directory with a believable sample district (the
// three databases, trip.ini and jaunter.reg pointing at them) for trying the application out.
#pragma once

#include <iosfwd>
#include <string>

namespace sys {
class Clock;
}

namespace data {

// Creates the demo district in `dir`, dated around today by the system clock, and prints the
// serve command and the sample sign-ins to `out`. Throws std::runtime_error with a clear message,
// before anything is written, when `dir` is no directory or one of the five files exists; a
// failure later removes what was written.
void create_demo(const std::string& dir, std::ostream& out);

// The same, dated around `clock`'s now: one clock reading always gives the same district.
void create_demo(const std::string& dir, std::ostream& out, const sys::Clock& clock);

}  // namespace data
