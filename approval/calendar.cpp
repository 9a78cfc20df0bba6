// The month view of trips and requests with the district calendar's closed, warning and full days.
#include "approval/calendar.h"

#include <cstdio>

#include "approval/mdlApproval.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/db/db.h"
#include "platform/db/jet.h"
#include "platform/sys/trip_counter.h"
#include "platform/text/text.h"
#include "platform/vb/conversions.h"
#include "platform/web/runtime.h"

namespace approval {

namespace {

constexpr std::size_t kEntriesShown = 4;
constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};
constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

std::string jet_date(int year, int month, int day) {
  return "#" + std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year) + "#";
}

std::pair<int, int> next_month(int year, int month) {
  return month == 12 ? std::pair{year + 1, 1} : std::pair{year, month + 1};
}
std::pair<int, int> previous_month(int year, int month) {
  return month == 1 ? std::pair{year - 1, 12} : std::pair{year, month - 1};
}

std::string month_key(std::pair<int, int> month) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d", month.first, month.second);
  return text;
}

// "DEPDATE >= #12/1/2026# AND DEPDATE < #1/1/2027#" and the customer's own rows.
std::string month_condition(int year, int month, const std::string& customer) {
  const auto [next_year, next] = next_month(year, month);
  std::string condition =
      "DEPDATE >= " + jet_date(year, month, 1) + " AND DEPDATE < " + jet_date(next_year, next, 1);
  if (!customer.empty()) condition += " AND CUSTOMER = " + db::quote_text(customer);
  return condition;
}

int day_of(const vb::Variant& date) {
  return vb::Day(vb::CDate(date));
}

}  // namespace

std::optional<std::pair<int, int>> parse_month(const std::string& text) {
  int year = 0, month = 0;
  char rest = 0;
  if (text.size() != 7 || std::sscanf(text.c_str(), "%4d-%2d%c", &year, &month, &rest) != 2 ||
      text[4] != '-' || year < 1900 || year > 9998 || month < 1 || month > 12) {
    return std::nullopt;
  }
  return std::pair{year, month};
}

namespace {

// The first note of each day: closed (the school-closed flag or severity 3) or a warning.
void read_notes(db::Connection& trips_db, CalendarMonth& result) {
  const auto [next_year, next] = next_month(result.year, result.month);
  db::Recordset notes;
  notes.open(
      "Select * from Big_CalCalNotes where NoteDate >= " + jet_date(result.year, result.month, 1) +
          " and NoteDate < " + jet_date(next_year, next, 1) + " order by NoteDate",
      trips_db);
  std::map<int, bool> noted;
  for (; !notes.eof(); notes.move_next()) {
    const int day = day_of(notes.field("NoteDate"));
    if (noted[day]) continue;
    noted[day] = true;
    CalendarDay& entry = result.days[day];
    entry.note = vb::Trim(data::NullToStr(notes.field("NoteText")));
    const vb::Variant& school_closed = notes.field("Note_SchoolClosed");
    const bool closed = !school_closed.is_null() && vb::CBool(school_closed);
    const int severity = data::NullToZero(notes.field("NoteSeverity"));
    if (closed || severity == static_cast<int>(mdlApproval::Severity::DayClosed)) {
      entry.mark = CalendarDay::Mark::Closed;
    } else if (severity == static_cast<int>(mdlApproval::Severity::Warning)) {
      entry.mark = CalendarDay::Mark::Warning;
    }
  }
}

void read_trips(db::Connection& trips_db, const std::string& customer, CalendarMonth& result) {
  db::Recordset trips;
  trips.open("SELECT TRIPNUM, DEPDATE, CUSTOMER FROM TRIPS WHERE " +
                 month_condition(result.year, result.month, customer) +
                 " AND (CANCELED = False OR CANCELED Is Null) ORDER BY DEPDATE, TRIPNUM",
             trips_db);
  for (; !trips.eof(); trips.move_next()) {
    CalendarDay& entry = result.days[day_of(trips.field("DEPDATE"))];
    ++entry.trips;
    if (entry.entries.size() < kEntriesShown) {
      entry.entries.push_back("Trip " + vb::CStr(trips.field("TRIPNUM")) + " " +
                              web::html_escape(vb::Trim(data::NullToStr(trips.field("CUSTOMER")))));
    }
  }
}

// The requests not yet scheduled and not denied, each linked to its form.
void read_requests(const frame::RequestContext& ctx, db::Connection& requests_db,
                   const std::string& customer, CalendarMonth& result) {
  db::Recordset requests;
  requests.open("SELECT TRIPNUM, DEPDATE, CUSTOMER, STATUS FROM TRIPSREQ WHERE " +
                    month_condition(result.year, result.month, customer) +
                    " AND (FIELDTRIP_NUM Is Null OR FIELDTRIP_NUM = 0) AND ucase$(STATUS) <> "
                    "'DENIED' ORDER BY DEPDATE, TRIPNUM",
                requests_db);
  for (; !requests.eof(); requests.move_next()) {
    CalendarDay& entry = result.days[day_of(requests.field("DEPDATE"))];
    ++entry.requests;
    if (entry.entries.size() < kEntriesShown) {
      const std::string number = vb::CStr(requests.field("TRIPNUM"));
      entry.entries.push_back(
          "<a href=\"" + web::html_escape(ctx.url_for("RequestDetail", number)) + "\">Request " +
          number + "</a> " +
          web::html_escape(vb::Trim(data::NullToStr(requests.field("CUSTOMER")))) + " (" +
          web::html_escape(vb::Trim(data::NullToStr(requests.field("STATUS")))) + ")");
    }
  }
}

}  // namespace

CalendarMonth Calendar::read_month(int year, int month, const std::string& customer) {
  CalendarMonth result{year, month, {}};
  const auto [next_year, next] = next_month(year, month);
  const int days = static_cast<int>(vb::DateSerial(next_year, next, 1).serial -
                                    vb::DateSerial(year, month, 1).serial);
  for (int day = 1; day <= days; ++day) result.days[day];
  read_notes(module_.trip_db(), result);
  read_trips(module_.trip_db(), customer, result);
  read_requests(ctx_, module_.request_db(), customer, result);
  // The limit counts every customer's trips, as the save does.
  const long limit = data::NullToZero(ctx_.application("DISTRICT.TOTAL_TRIPS_LIMIT"));
  if (limit > 0) {
    const sys::TripCounter counter(module_.paths.strTripDataPath + "trip.db");
    for (auto& [day, entry] : result.days) {
      entry.full = counter.CountTrips(vb::DateSerial(year, month, day)) >= limit;
    }
  }
  return result;
}

void Calendar::Calendar_Respond() {
  procedure({"Calendar_Respond"}, [&] {
    if (!session_check()) frame::exit_step();
    const std::string asked = vb::Trim(ctx_.request().QueryString("month"));
    std::optional<std::pair<int, int>> month = parse_month(asked);
    if (!month) {
      if (!asked.empty()) {
        message_ =
            "The month must be written as year and month, e.g. 2026-12; this is the "
            "present month.";
      }
      const vb::DateTime today = ctx_.clock().now();
      month = std::pair{vb::Year(today), vb::Month(today)};
    }
    if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
    month_ = read_month(month->first, month->second, vb::Trim(session_text(keys::kCustomer)));
    ChkEligWeb::CloseTripDBConnections(module_);
    ctx_.write_template("Calendar");
  });
}

void Calendar::Calendar_ProcessTag(const std::string& TagName, std::string& TagContents,
                                   bool& /*SendTags*/) {
  if (district_header_tag(TagName, TagContents)) return;
  const std::pair<int, int> shown{month_.year, month_.month};
  if (text::same_text(TagName, "WC@MONTHTITLE")) {
    TagContents = std::string(kMonthNames[month_.month - 1]) + " " + std::to_string(month_.year);
  } else if (text::same_text(TagName, "WC@PREVMONTH")) {
    TagContents = "Jaunter.ASP?WCI=Calendar&amp;month=" +
                  month_key(previous_month(shown.first, shown.second));
  } else if (text::same_text(TagName, "WC@NEXTMONTH")) {
    TagContents =
        "Jaunter.ASP?WCI=Calendar&amp;month=" + month_key(next_month(shown.first, shown.second));
  } else if (text::same_text(TagName, "WC@MESSAGE")) {
    TagContents = web::html_escape(message_);
  } else if (text::same_text(TagName, "WC@CALENDAR")) {
    TagContents = month_table();
  }
}

// The month as a table of weeks, Sunday first; each day with its marks, counts and entries.
std::string Calendar::month_table() const {
  std::string out = "<table class='calendar'><thead><tr>";
  for (const char* name : kDayNames) out += std::string("<th scope='col'>") + name + "</th>";
  out += "</tr></thead><tbody><tr>";
  const vb::DateTime first = vb::DateSerial(month_.year, month_.month, 1);
  // Day 1 of the serial count (31 December 1899) was a Sunday.
  const int lead = static_cast<int>(static_cast<long>(first.serial) % 7 + 6) % 7;
  for (int i = 0; i < lead; ++i) out += "<td class='outside'></td>";
  int column = lead;
  for (const auto& [day, entry] : month_.days) {
    if (column == 7) {
      out += "</tr><tr>";
      column = 0;
    }
    std::string classes = "day";
    if (entry.mark == CalendarDay::Mark::Closed) classes += " closed";
    if (entry.mark == CalendarDay::Mark::Warning) classes += " warning";
    if (entry.full) classes += " full";
    out += "<td class='" + classes + "'><span class='date'>" + std::to_string(day) + "</span>";
    if (entry.mark == CalendarDay::Mark::Closed) out += "<span class='mark'>Closed</span>";
    if (entry.mark == CalendarDay::Mark::Warning) out += "<span class='mark'>Warning</span>";
    if (entry.full) out += "<span class='mark'>Full</span>";
    if (!entry.note.empty())
      out += "<span class='note'>" + web::html_escape(entry.note) + "</span>";
    if (entry.trips + entry.requests > 0) {
      out += "<ul>";
      for (const std::string& line : entry.entries) out += "<li>" + line + "</li>";
      const std::size_t more = entry.trips + entry.requests - entry.entries.size();
      if (more > 0) out += "<li class='more'>+" + std::to_string(more) + " more</li>";
      out += "</ul>";
    }
    out += "</td>";
    ++column;
  }
  for (; column < 7; ++column) out += "<td class='outside'></td>";
  return out + "</tr></tbody></table>";
}

}  // namespace approval
