// The calendar page: a month of trips and requests (a customer-bound user sees his customer's),
// with the days the district calendar closes or warns of, and the days that reached the daily
// trip limit, so that users see a closed or full day before they save a request.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "frame/context.h"
#include "platform/vb/variant.h"

namespace approval {

struct CalendarDay {
  enum class Mark { None, Warning, Closed };
  Mark mark = Mark::None;
  std::string note;
  bool full = false;                 // the daily trip limit is reached
  int trips = 0;                     // booked trips, the user's own customer's when he has one
  int requests = 0;                  // requests not yet scheduled
  std::vector<std::string> entries;  // what each is, shown for the first few
};

struct CalendarMonth {
  int year = 0, month = 0;
  std::map<int, CalendarDay> days;  // by day of the month
};

// "2026-12" as a year and month; none when it is not one.
std::optional<std::pair<int, int>> parse_month(const std::string& text);

class Calendar : public frame::Subsystem {
 public:
  explicit Calendar(frame::RequestContext& context) : Subsystem(context) {}

  void Calendar_Respond();
  void Calendar_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);

  // Reads the month's notes, trips and requests and the trip counter. Needs the connections open.
  CalendarMonth read_month(int year, int month, const std::string& customer);

 private:
  std::string month_table() const;

  CalendarMonth month_;
  std::string message_;
};

}  // namespace approval
