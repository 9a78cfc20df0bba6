// Generates the demo district's trips, billing, requests and calendar notes.
//
// Everything is drawn from one fixed-seed generator, in a fixed order, so one creation time gives
// one district. Trips are numbered in the order they were entered, requests likewise, and a trip
// made from a request points back at it (TRIPREQNUM) as the request points at its trip
// (FIELDTRIP_NUM).
#include "data/demo_activity.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>

#include "data/demo_catalog.h"
#include "platform/vb/conversions.h"

namespace data::demo {
namespace {

constexpr int kFirstTripNumber = 5001;
constexpr int kFirstRequestNumber = 1001;
constexpr int kPlannedTrips = 210;
// The trips span about one school year: five months back, four ahead.
constexpr int kFirstTripOffset = -150;
constexpr int kLastTripOffset = 120;

class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}
  // 0 .. n-1
  int below(int n) { return n <= 1 ? 0 : static_cast<int>(engine_() % static_cast<unsigned>(n)); }
  int between(int low, int high) { return low + below(high - low + 1); }
  bool percent(int chance) { return below(100) < chance; }
  template <class T>
  const T& pick(std::span<const T> items) {
    return items[below(static_cast<int>(items.size()))];
  }
  template <class T>
  const T& pick(const std::vector<T>& items) {
    return items[below(static_cast<int>(items.size()))];
  }

 private:
  std::mt19937 engine_;
};

// 0 is Sunday; serial day 0 (30 December 1899) was a Saturday.
int weekday(int day) {
  return ((day % 7) + 7 + 6) % 7;
}
bool is_weekend(int day) {
  return weekday(day) == 0 || weekday(day) == 6;
}

vb::DateTime date(int day) {
  return vb::DateTime{static_cast<double>(day)};
}

// Summer and winter breaks, when no class travels.
bool in_break(int day) {
  const vb::DateParts parts = vb::split(date(day));
  const int month_day = parts.month * 100 + parts.day;
  return (month_day >= 616 && month_day <= 819) || month_day >= 1222 || month_day <= 102;
}

int next_school_day(int day) {
  while (is_weekend(day) || in_break(day)) ++day;
  return day;
}
vb::DateTime time_of(int minutes) {
  return vb::TimeSerial(minutes / 60, minutes % 60, 0);
}
vb::DateTime at(int day, int minutes) {
  return vb::DateTime{day + time_of(minutes).serial};
}

vb::Variant text_or_null(const std::string& text) {
  return text.empty() ? vb::Variant::null() : vb::Variant(text);
}

int round_to(int value, int step) {
  return (value + step / 2) / step * step;
}
double cents(double amount) {
  return std::round(amount * 100.0) / 100.0;
}

struct Trip {
  int number = 0;
  const Customer* customer = nullptr;
  std::string category;
  std::string grade;
  std::string fund;
  std::string second_fund;  // set when the cost is split
  std::string purpose;
  std::string contact;
  std::string po;
  std::string internal_number;
  std::string comment;
  const Destination* destination = nullptr;
  int day = 0;
  int return_day = 0;
  int departure = 0;  // minutes after midnight
  int return_time = 0;
  int travel = 0;
  int students = 0;
  int adults = 0;
  int handicapped = 0;
  int vehicles = 1;
  double entered = 0;  // serial of the entry date and time
  bool assigned = false;
  bool billed = false;
  bool canceled = false;
  bool billable = true;
  bool shuttle = false;
  bool auto_assign = false;
  int bill_day = 0;
  int cancel_day = 0;
  double billed_amount = 0;
  double extra_charge = 0;
  double paid = 0;
  int paid_day = 0;
  int request_number = 0;

  float est_time() const {
    const int minutes = day == return_day ? return_time - departure : 2 * travel + 60;
    return static_cast<float>(round_to(minutes, 15)) / 60.0f;
  }
  float est_miles() const { return std::round(destination->miles * 2.0f); }
  bool settled() const { return canceled || (billed && paid >= billed_amount + extra_charge); }
};

struct Request {
  int number = 0;
  const Customer* customer = nullptr;
  std::string chain;
  std::string status;
  std::string status_comment;
  std::string category;
  std::string grade;
  std::string fund;
  std::string purpose;
  std::string contact;
  std::string po;
  std::string internal_number;
  std::string comment;
  const Destination* destination = nullptr;
  const TypedDestination* typed = nullptr;
  int day = 0;
  int return_day = 0;
  int departure = 0;
  int return_time = 0;
  int travel = 0;
  bool arrive_and_leave = true;
  int students = 0;
  int adults = 0;
  int handicapped = 0;
  double entered = 0;
  double status_changed = 0;
  Trip* trip = nullptr;
};

class Generator {
 public:
  explicit Generator(vb::DateTime now) : random_(20240917), now_(now.serial) {
    const vb::DateParts parts = vb::split(now);
    today_ = static_cast<int>(vb::DateSerial(parts.year, parts.month, parts.day).serial);
  }

  Activity run() {
    Activity activity;
    make_calendar(activity);
    make_trips();
    make_requests();
    for (const Trip& trip : trips_) write_trip(trip, activity.trip_rows);
    for (const Request& request : requests_) write_request(request, activity.request_rows);
    return activity;
  }

 private:
  // ---- Calendar ----------------------------------------------------------------------------

  void note(Activity& activity, int day, const char* text, const char* long_text, int severity,
            bool closed) {
    activity.trip_rows.push_back(Row{"Big_CalCalNotes", {}}
                                     .set("NoteDate", date(day))
                                     .set("NoteText", text)
                                     .set("NoteLongText", text_or_null(long_text))
                                     .set("NoteSeverity", std::int32_t{severity})
                                     .set("Note_SchoolClosed", closed));
    if (severity == 3) closed_days_.insert(day);
  }

  void make_calendar(Activity& activity) {
    // Kept apart so that one day never carries two of them.
    warning_day_ = next_school_day(today_ + 6);
    full_day_ = next_school_day(warning_day_ + 3);
    closed_day_ = next_school_day(full_day_ + 4);
    note(activity, next_school_day(today_ - 61), "State testing window opens",
         "Morning field trips are discouraged during testing.", 2, false);
    note(activity, next_school_day(today_ - 33), "No school - teacher in-service",
         "Schools are closed to students.", 3, true);
    note(activity, next_school_day(today_ - 12), "Picture day", "", 1, false);
    note(activity, warning_day_, "Early release day",
         "Schools dismiss two hours early; few buses are free after 12:30 PM.", 2, false);
    note(activity, closed_day_, "No school - staff development",
         "Schools are closed to students; no field trips can be scheduled.", 3, true);
    note(activity, next_school_day(closed_day_ + 7), "Elementary music festival",
         "Several buses are committed to the festival shuttle.", 1, false);
    note(activity, next_school_day(today_ + 45), "Holiday", "District offices and schools closed.",
         3, true);
    activity.warning_day = date(warning_day_);
    activity.closed_day = date(closed_day_);
    activity.full_day = date(full_day_);
  }

  // ---- Choices -----------------------------------------------------------------------------

  // Office hours of the creation day that are still to come move to earlier that day.
  double before_now(double serial) {
    return serial <= now_ ? serial : now_ - random_.between(5, 90) / 1440.0;
  }

  const Customer& pick_customer() {
    for (;;) {
      const Customer& customer = random_.pick(customers());
      if (customer.active) return customer;
    }
  }

  std::string pick_category(const Customer& customer) {
    const std::string code = customer.code;
    const int roll = random_.below(100);
    switch (customer.kind) {
      case Kind::Elementary:
        return roll < 65   ? "ACAD"
               : roll < 75 ? "MUS"
               : roll < 85 ? "OUT"
               : roll < 95 ? "CSV"
                           : "CMP";
      case Kind::Middle:
        return roll < 35   ? "ACAD"
               : roll < 65 ? "ATH"
               : roll < 80 ? "MUS"
               : roll < 90 ? "CMP"
                           : "OUT";
      case Kind::High:
        return roll < 45   ? "ATH"
               : roll < 60 ? "ACAD"
               : roll < 75 ? "CAR"
               : roll < 85 ? "MUS"
               : roll < 95 ? "CMP"
                           : "CSV";
      case Kind::Special:
        return code == "EARLY" ? (roll < 50 ? "ACAD" : "CBI")
                               : (roll < 50   ? "CBI"
                                  : roll < 80 ? "ACAD"
                                              : "CAR");
      case Kind::Department:
        if (code == "ATHL") return roll < 80 ? "ATH" : "CMP";
        if (code == "ARTS") return "MUS";
        if (code == "SPED") return "CBI";
        if (code == "CURRIC") return roll < 60 ? "CMP" : "ACAD";
        if (code == "COMMED") return roll < 50 ? "CSV" : "ACAD";
        return "";  // Nutrition Services files its trips without a category
      case Kind::Outside:
        return roll < 50 ? "OUT" : "ACAD";
    }
    return "ACAD";
  }

  const Destination& pick_destination(const Customer& customer, const std::string& category) {
    // Nutrition Services visits the farms and the market it buys from.
    if (std::string_view(customer.code) == "NUTRI") {
      static constexpr int kSuppliers[] = {7, 10, 59};
      const int number = kSuppliers[random_.below(3)];
      for (const Destination& destination : destinations()) {
        if (destination.number == number) return destination;
      }
    }
    Use use = Use::Academic;
    if (category == "ATH") use = Use::Sports;
    if (category == "MUS") use = Use::Music;
    if (category == "CAR") use = Use::College;
    if (category == "OUT") use = Use::Outdoor;
    if (category == "CMP" && random_.percent(50)) use = Use::College;
    if (category == "CSV") use = Use::Service;
    if (category == "CBI" && random_.percent(70)) use = Use::Community;
    for (;;) {
      const Destination& destination = random_.pick(destinations());
      if (destination.active && destination.use == use) return destination;
    }
  }

  std::string pick_grade(const Customer& customer) {
    const std::string code = customer.code;
    switch (customer.kind) {
      case Kind::Elementary:
        if (random_.percent(10)) return "MIX";
        return random_.percent(15) ? "K" : std::to_string(random_.between(1, 5));
      case Kind::Middle:
        return std::to_string(random_.between(6, 8));
      case Kind::High:
        return random_.percent(20) ? "MIX" : std::to_string(random_.between(9, 12));
      case Kind::Special:
        if (code == "EARLY") return "PK";
        if (code == "TRANSIT") return "ADULT";
        return std::to_string(random_.between(9, 12));
      case Kind::Department:
        // Adult programs often leave the grade empty.
        if (code == "COMMED" || code == "NUTRI") return "";
        return "MIX";
      case Kind::Outside:
        return "";
    }
    return "";
  }

  std::string pick_fund(const Customer& customer, const std::string& category,
                        const std::string& avoid = "") {
    std::vector<std::string> usable;
    for (const CustomerLink& link : customer_funds()) {
      if (link.customer != std::string_view(customer.code) || link.code == avoid) continue;
      for (const Code& fund : funds()) {
        if (fund.code == std::string_view(link.code) && fund.active) usable.push_back(link.code);
      }
    }
    // Games are paid from athletics money, and athletics money pays for nothing else.
    std::vector<std::string> fitting;
    for (const std::string& fund : usable) {
      const bool athletic = fund == "200" || fund == "BOOSTER";
      if (athletic == (category == "ATH")) fitting.push_back(fund);
    }
    if (!fitting.empty()) return random_.pick(fitting);
    if (usable.empty()) return "";
    return random_.pick(usable);
  }

  int pick_day(int first, int last, const std::string& category) {
    for (;;) {
      const int day = today_ + random_.between(first, last);
      const int wd = weekday(day);
      const bool saturday_game = category == "ATH" && wd == 6;
      if ((is_weekend(day) && !saturday_game) || in_break(day) || closed_days_.count(day)) {
        continue;
      }
      return day;
    }
  }

  // Times, counts and the like shared by trips and requests.
  template <class T>
  void plan_outing(T& outing, const std::string& category) {
    const Customer& customer = *outing.customer;
    outing.category = category;
    outing.destination = &pick_destination(customer, category);
    outing.grade = pick_grade(customer);
    outing.fund = pick_fund(customer, category);
    // A visit is named after its place; a game, contest or concert after the event.
    const bool named_by_place = category != "ATH" && category != "CMP" && category != "MUS";
    outing.purpose = named_by_place && outing.destination->purpose
                         ? outing.destination->purpose
                         : random_.pick(purposes(category));
    outing.contact = random_.pick(contacts());
    if (random_.percent(30)) outing.po = "PO " + std::to_string(random_.between(24000, 29999));
    if (random_.percent(25)) {
      outing.internal_number =
          std::string(customer.code) + "-" + std::to_string(random_.between(101, 199));
    }
    if (random_.percent(20)) outing.comment = random_.pick(trip_comments());

    switch (customer.kind) {
      case Kind::Elementary:
        outing.students = random_.between(18, 70);
        break;
      case Kind::Middle:
        outing.students = random_.between(20, 85);
        break;
      case Kind::High:
        outing.students = category == "ATH" ? random_.between(12, 40) : random_.between(15, 60);
        break;
      case Kind::Special:
        outing.students = random_.between(5, 14);
        break;
      default:
        outing.students = random_.between(10, 45);
        break;
    }
    outing.adults = 2 + outing.students / 12 + random_.below(3);
    const bool special =
        customer.kind == Kind::Special || std::string_view(customer.code) == "SPED";
    if (random_.percent(special ? 60 : 8)) outing.handicapped = random_.between(1, special ? 4 : 2);

    int duration = 0;
    if (category == "ATH") {
      const bool saturday = weekday(outing.day) == 6;
      outing.departure =
          saturday ? 8 * 60 + 15 * random_.below(13) : 13 * 60 + 15 * random_.below(13);
      duration = 240 + 15 * random_.below(13);
    } else if (category == "MUS" && random_.percent(30)) {
      outing.departure = 17 * 60 + 15 * random_.below(7);
      duration = 180 + 15 * random_.below(9);
    } else if (category == "OUT") {
      outing.departure = 8 * 60 + 15 * random_.below(5);
      duration = 360 + 15 * random_.below(9);
    } else {
      outing.departure = 8 * 60 + 15 * random_.below(11);
      duration = 150 + 15 * random_.below(15);
    }
    outing.travel = std::max(15, round_to(static_cast<int>(outing.destination->miles * 1.4f), 5));
    outing.return_day = outing.day;
    // Long drives need time at the destination too.
    duration = std::max(duration, 2 * outing.travel + 60);
    outing.return_time = std::min(outing.departure + duration, 23 * 60);
    // Outdoor school is a three-day stay.
    if (outing.destination->number == 45) {
      outing.return_day = outing.day + 2;
      outing.return_time = 14 * 60;
    }
  }

  // ---- Trips -------------------------------------------------------------------------------

  Trip plan_trip(int forced_day) {
    Trip trip;
    trip.customer = &pick_customer();
    const std::string category = pick_category(*trip.customer);
    trip.day = forced_day ? forced_day : pick_day(kFirstTripOffset, kLastTripOffset, category);
    plan_outing(trip, category);
    trip.vehicles = std::max(1, (trip.students + trip.adults + 59) / 60);

    int entered_day = trip.day - random_.between(10, 45);
    if (entered_day >= today_) entered_day = today_ - 1 - random_.below(10);
    trip.entered = at(entered_day, 7 * 60 + 30 + 5 * random_.below(110)).serial;

    const int age = today_ - trip.day;  // days since the trip; negative for a coming trip
    trip.billable = std::string_view(trip.customer->code) != "NUTRI" && !random_.percent(4);
    trip.shuttle = random_.percent(5);
    trip.auto_assign = random_.percent(70);
    if (!forced_day && random_.percent(age > 0 ? 6 : 4)) {
      trip.canceled = true;
      trip.cancel_day = std::min(today_, trip.day - random_.between(1, 5));
      trip.cancel_day = std::max(trip.cancel_day, entered_day);
      trip.assigned = random_.percent(50);
    } else if (age > 0) {
      trip.assigned = true;
      trip.billed = trip.billable && age >= 4 && random_.percent(90);
    } else {
      trip.assigned = random_.percent(-age <= 14 ? 85 : 35);
    }

    if (trip.billed) {
      trip.bill_day = std::min(today_, trip.day + random_.between(3, 10));
      const BillRate& rate = bill_rate(trip.customer->billrate);
      const double per_vehicle =
          std::max<double>(rate.amounts[3], trip.est_miles() * (rate.amounts[0] + rate.amounts[4]) +
                                                trip.est_time() * rate.amounts[1]);
      trip.billed_amount = cents(per_vehicle * trip.vehicles);
      if (random_.percent(10)) trip.extra_charge = cents(random_.between(25, 60));
      if (today_ - trip.bill_day >= 10) {
        const int roll = random_.below(100);
        const double due = trip.billed_amount + trip.extra_charge;
        if (roll < 70) trip.paid = due;
        if (roll >= 70 && roll < 82) trip.paid = cents(due / 2);
        trip.paid_day = std::min(today_, trip.bill_day + random_.between(7, 27));
      }
    }
    if (trip.billable && random_.percent(12)) {
      trip.second_fund = pick_fund(*trip.customer, trip.category, trip.fund);
    }
    return trip;
  }

  void make_trips() {
    for (int i = 0; i < kPlannedTrips; ++i) trips_.push_back(plan_trip(0));
    // A day in the coming weeks is booked up to the district's daily limit.
    auto booked = [&] {
      return std::count_if(trips_.begin(), trips_.end(), [&](const Trip& trip) {
        return trip.day == full_day_ && !trip.canceled;
      });
    };
    while (booked() < kDailyTripLimit) trips_.push_back(plan_trip(full_day_));

    std::stable_sort(trips_.begin(), trips_.end(),
                     [](const Trip& a, const Trip& b) { return a.entered < b.entered; });
    int number = kFirstTripNumber;
    for (Trip& trip : trips_) trip.number = number++;
  }

  // ---- Requests ----------------------------------------------------------------------------

  // A request that transportation has accepted and made into the trip.
  Request request_for(Trip& trip) {
    Request request;
    request.customer = trip.customer;
    request.chain = chain_for(*trip.customer, trip.category);
    request.status = "ACCEPTED";
    request.category = trip.category;
    request.grade = trip.grade;
    request.fund = trip.fund;
    request.purpose = trip.purpose;
    request.contact = trip.contact;
    request.po = trip.po;
    request.internal_number = trip.internal_number;
    request.comment = trip.comment;
    request.destination = trip.destination;
    request.day = trip.day;
    request.return_day = trip.return_day;
    request.departure = trip.departure;
    request.return_time = trip.return_time;
    request.travel = trip.travel;
    request.students = trip.students;
    request.adults = trip.adults;
    request.handicapped = trip.handicapped;
    request.entered = trip.entered - random_.between(1, 3) - random_.below(20) / 100.0;
    request.status_changed = trip.entered;
    request.trip = &trip;
    return request;
  }

  enum class Route { Standard, Athletic, Department, None };

  bool on_route(const Customer& customer, const std::string& category, Route route) {
    const std::string chain = chain_for(customer, category);
    switch (route) {
      case Route::Standard:
        return chain == "STANDARD";
      case Route::Athletic:
        return chain == "ATHLETIC";
      case Route::Department:
        return chain == "DEPT";
      case Route::None:
        return chain.empty();
    }
    return false;
  }

  Request open_request(Route route, const std::string& status, bool typed_in) {
    Request request;
    std::string category;
    for (;;) {
      request.customer = &pick_customer();
      category = route == Route::Athletic ? "ATH" : pick_category(*request.customer);
      if (on_route(*request.customer, category, route)) break;
    }
    request.chain = chain_for(*request.customer, category);
    request.status = status;
    request.day = pick_day(4, 85, category);
    plan_outing(request, category);
    if (typed_in && category != "ATH") {
      request.typed = &typed_destinations()[typed_count_++ % typed_destinations().size()];
      request.travel = std::max(15, round_to(request.typed->miles * 7 / 5, 5));
      request.purpose = request.typed->purpose;
    }
    request.arrive_and_leave = !random_.percent(30);

    const bool waiting = status == "UNAPPROVED" || status == "Pending";
    const int entered_day = today_ - (waiting ? random_.between(0, 6) : random_.between(4, 20));
    request.entered = before_now(at(entered_day, 7 * 60 + 30 + 5 * random_.below(110)).serial);
    if (waiting) {
      request.status_changed = request.entered;
    } else {
      const int changed_day = std::min(today_, entered_day + random_.between(1, 4));
      request.status_changed = std::max(
          request.entered, before_now(at(changed_day, 7 * 60 + 5 * random_.below(130)).serial));
    }
    if (status == "Denied") {
      static constexpr const char* kReasons[] = {
          "Please combine with the other classes going that day.",
          "Not enough chaperones for this group size.",
          "The fund for this trip is spent for the year.",
      };
      request.status_comment = random_.pick(std::span<const char* const>(kReasons));
    } else if (!waiting && random_.percent(30)) {
      request.status_comment = "Approved - please confirm the chaperone count.";
    }
    return request;
  }

  void make_requests() {
    // Every eighth trip of a customer with an approval chain came from a web request.
    for (std::size_t i = 3; i < trips_.size(); i += 8) {
      Trip& trip = trips_[i];
      if (!chain_for(*trip.customer, trip.category).empty()) {
        requests_.push_back(request_for(trip));
      }
    }
    struct Step {
      Route route;
      const char* status;
      int count;
    };
    static constexpr Step kOpen[] = {
        {Route::Standard, "UNAPPROVED", 6},
        {Route::Standard, "PRINCIPAL APPROVED", 6},
        {Route::Standard, "DIRECTOR APPROVED", 4},
        {Route::Standard, "ACCEPTED", 3},
        {Route::Standard, "Denied", 3},
        {Route::Athletic, "UNAPPROVED", 3},
        {Route::Athletic, "ATHLETICS APPROVED", 3},
        {Route::Athletic, "Denied", 1},
        {Route::Department, "UNAPPROVED", 3},
        {Route::Department, "ACCEPTED", 1},
        {Route::Department, "Denied", 1},
        {Route::None, "Pending", 4},
    };
    int k = 0;
    for (const Step& step : kOpen) {
      for (int i = 0; i < step.count; ++i, ++k) {
        requests_.push_back(open_request(step.route, step.status, k % 6 == 1));
      }
    }
    std::stable_sort(requests_.begin(), requests_.end(),
                     [](const Request& a, const Request& b) { return a.entered < b.entered; });
    int number = kFirstRequestNumber;
    for (Request& request : requests_) {
      request.number = number++;
      if (request.trip) request.trip->request_number = request.number;
    }
  }

  // ---- Rows --------------------------------------------------------------------------------

  static void set_bill_rate(Row& row, const Customer& customer, bool zero_amounts) {
    const BillRate& rate = bill_rate(customer.billrate);
    row.set("BILLRATE", std::int32_t{rate.number});
    for (int k = 0; k < 5; ++k) {
      const std::string column = "AMOUNT" + std::to_string(k + 1);
      if (k == 2 && rate.amount3_unknown) {
        row.set(column, vb::Variant::null());
      } else {
        row.set(column, zero_amounts ? 0.0f : rate.amounts[k]);
      }
    }
    for (int k = 0; k < 5; ++k) row.set("AMOUNTTXT" + std::to_string(k + 1), rate.labels[k]);
  }

  static std::string schedule_of(const Trip& trip) {
    if (trip.category == "ATH") return "ATHLETIC";
    if (weekday(trip.day) == 6) return "WEEKEND";
    if (trip.return_time > 18 * 60) return "EVENING";
    if (trip.return_time - trip.departure >= 300) return "FTDAY";
    return trip.departure < 12 * 60 ? "FTAM" : "FTPM";
  }

  static std::string ticket_of(const std::string& category) {
    if (category == "ATH") return "ATHLETIC";
    if (category == "CBI") return "SPECIAL";
    return "STANDARD";
  }

  void write_trip(const Trip& trip, std::vector<Row>& rows) {
    const Customer& customer = *trip.customer;
    const Destination& destination = *trip.destination;
    Row row{"TRIPS", {}};
    row.set("TRIPNUM", std::int32_t{trip.number})
        .set("TRIPREQNUM", std::int32_t{trip.request_number})
        .set("INTTRIPNUM", text_or_null(trip.internal_number))
        .set("CUSTOMER", customer.code)
        .set("BILLCUST", customer.code)
        .set("CONTACT", trip.contact)
        .set("FUND", text_or_null(trip.fund))
        .set("PO", text_or_null(trip.po))
        .set("GRADE", text_or_null(trip.grade))
        // The desktop files a trip without a category as an empty text, not as Null.
        .set("TRIPCAT", trip.category)
        .set("PURPOSE", trip.purpose)
        .set("CUSTSPEC", text_or_null(customer.instructions))
        .set("DESTSPEC", text_or_null(destination.instructions))
        .set("TRIPCOM", text_or_null(trip.comment))
        .set("DESTINATION", std::int32_t{destination.number})
        .set("DEPDATE", date(trip.day))
        .set("DEPTIME", time_of(trip.departure))
        .set("RETDATE", date(trip.return_day))
        .set("RETTIME", time_of(trip.return_time))
        .set("ARRIVETIME", time_of(trip.departure + trip.travel))
        .set("LEAVETIME", time_of(trip.return_time - trip.travel))
        .set("REQDATE", vb::DateTime{trip.entered})
        .set("ESTTIME", trip.est_time())
        .set("ESTMILE", trip.est_miles())
        .set("NUMSTUDENTS", std::int32_t{trip.students})
        .set("NUMADULTS", std::int32_t{trip.adults})
        .set("NUMHAND", std::int32_t{trip.handicapped})
        .set("NUMVEH", std::int32_t{trip.vehicles})
        .set("ASSIGNED", trip.assigned)
        .set("BILLED", trip.billed)
        .set("CANCELED", trip.canceled)
        .set("BILL", trip.billable)
        .set("SHUTTLE", trip.shuttle)
        .set("BILLDATE", trip.billed ? vb::Variant(date(trip.bill_day)) : vb::Variant::null())
        .set("CANDATE", trip.canceled ? vb::Variant(date(trip.cancel_day)) : vb::Variant::null());
    // A trip with nothing left to collect shows no open amounts.
    set_bill_rate(row, customer, trip.settled());
    row.set("OUTOFTOWN", destination.miles > 50)
        .set("SCHEDULE", schedule_of(trip))
        .set("CALCNUMDRIVERS", true)
        .set("TYPE", trip.handicapped > 0 ? "LIFT" : kDefaultVehicleType)
        .set("NUMTYPE", std::int32_t{trip.vehicles})
        .set("CAPACITY", customer.capacity)
        .set("NUMADDL", std::int32_t{0})
        .set("DROPRET", trip.return_time - trip.departure > 300)
        .set("AUTOASSIGN", trip.auto_assign)
        .set("SPLIT", !trip.second_fund.empty())
        .set("INVOICE_FORMAT", customer.invoice_format)
        .set("INVOICE_COMMENT#1", trip.second_fund.empty()
                                      ? vb::Variant::null()
                                      : vb::Variant("Cost split between funds " + trip.fund +
                                                    " and " + trip.second_fund))
        .set("MULTIDEST", false)
        .set("TICKET_FORMAT", ticket_of(trip.category))
        .set("NUMCHAR", std::int32_t{0});
    rows.push_back(std::move(row));

    if (trip.billed) {
      rows.push_back(Row{"ARDETAIL", {}}
                         .set("TRIPNUM", std::int32_t{trip.number})
                         .set("TRANCODE", "BIL")
                         .set("TRANAMT", vb::Currency::from_double(trip.billed_amount))
                         .set("TRANDATE", date(trip.bill_day)));
      if (trip.extra_charge > 0) {
        rows.push_back(Row{"ARDETAIL", {}}
                           .set("TRIPNUM", std::int32_t{trip.number})
                           .set("TRANCODE", "BIL")
                           .set("TRANAMT", vb::Currency::from_double(trip.extra_charge))
                           .set("TRANDATE", date(trip.bill_day)));
      }
      if (trip.paid > 0) {
        rows.push_back(Row{"ARDETAIL", {}}
                           .set("TRIPNUM", std::int32_t{trip.number})
                           .set("TRANCODE", "PAY")
                           .set("TRANAMT", vb::Currency::from_double(-trip.paid))
                           .set("TRANDATE", date(trip.paid_day)));
      }
    }
    if (!trip.second_fund.empty()) {
      for (const std::string& fund : {trip.fund, trip.second_fund}) {
        rows.push_back(
            Row{"TRIPSPLIT", {}}.set("TRIPNUM", std::int32_t{trip.number}).set("FUND", fund));
      }
    }
    if (trip.assigned && !trip.canceled && trip.day < today_) {
      const float hours =
          std::round((trip.est_time() + (trip.day == trip.return_day ? 0.75f : 0.0f)) * 4) / 4;
      for (int v = 0; v < trip.vehicles; ++v) {
        rows.push_back(Row{"TRIPEMPLOYEES", {}}
                           .set("TRIPNUM", std::int32_t{trip.number})
                           .set("EMPLOYEE", random_.pick(drivers()))
                           .set("HOURS", hours)
                           .set("MILES", trip.est_miles() + 4.0f));
      }
    }
  }

  void write_request(const Request& request, std::vector<Row>& rows) {
    const Customer& customer = *request.customer;
    Row row{"TRIPSREQ", {}};
    row.set("TRIPNUM", std::int32_t{request.number})
        .set("INTTRIPNUM", text_or_null(request.internal_number))
        .set("CUSTOMER", customer.code)
        .set("BILLCUST", customer.code)
        .set("CONTACT", request.contact)
        .set("REQUESTOR_EMAIL", requester_email(customer));
    // As the request form stores them: a typed-in destination is number 0 with its own
    // details; a stored one keeps its description and address and blanks for the rest.
    if (request.typed) {
      const TypedDestination& typed = *request.typed;
      row.set("DESTINATION", std::int32_t{0})
          .set("DESTDESC", typed.desc)
          .set("DESTADD1", typed.add1)
          .set("DESTADD2", *typed.add2 ? typed.add2 : " ")
          .set("DESTCITY", typed.city)
          .set("DESTSTATE", typed.state)
          .set("DESTZIP", typed.zip)
          .set("DESTCAT", typed.category)
          .set("MILES", std::int32_t{typed.miles})
          .set("DESTSPEC", vb::Variant::null());
    } else {
      const Destination& destination = *request.destination;
      row.set("DESTINATION", std::int32_t{destination.number})
          .set("DESTDESC", destination.desc)
          .set("DESTADD1", destination.add1)
          .set("DESTADD2", destination.add2)
          .set("DESTCITY", " ")
          .set("DESTSTATE", " ")
          .set("DESTZIP", " ")
          .set("DESTCAT", "0")
          .set("MILES", std::int32_t{static_cast<int>(destination.miles)})
          .set("DESTSPEC", text_or_null(destination.instructions));
    }
    const int arrive = request.departure + request.travel;
    const int leave = request.return_time - request.travel;
    row.set("DEPDATE", date(request.day))
        .set("RETDATE", date(request.return_day))
        .set("DEPTIME", time_of(request.departure))
        .set("RETTIME", time_of(request.return_time))
        .set("ARRIVETIME", request.arrive_and_leave ? vb::Variant(time_of(arrive)) : vb::Null{})
        .set("LEAVETIME", request.arrive_and_leave ? vb::Variant(time_of(leave)) : vb::Null{})
        .set("REQDATE", vb::DateTime{request.entered})
        .set("ENTERDATE", vb::DateTime{request.entered})
        .set("ENTEREDBY", requester_id(customer))
        .set("STATUS", request.status)
        .set("STATUS_DATE", vb::DateTime{request.status_changed})
        .set("STATUS_COMMENT", text_or_null(request.status_comment))
        .set("CHAINID", text_or_null(request.chain))
        .set("GRADE", text_or_null(request.grade))
        .set("TRIPCAT", text_or_null(request.category))
        .set("FUND", text_or_null(request.fund))
        .set("NUMSTUDENTS", std::int32_t{request.students})
        .set("NUMADULTS", std::int32_t{request.adults})
        .set("NUMHAND", std::int32_t{request.handicapped})
        .set("ESTTIME",
             static_cast<float>(round_to(request.return_time - request.departure, 15)) / 60.0f)
        .set("ESTMILE", static_cast<float>(2 * (request.typed ? request.typed->miles
                                                              : request.destination->miles)))
        .set("PURPOSE", request.purpose)
        .set("CUSTSPEC", text_or_null(customer.instructions))
        .set("TRIPCOM", text_or_null(request.comment))
        .set("PO", text_or_null(request.po))
        .set("FIELDTRIP_NUM",
             request.trip ? vb::Variant(std::int32_t{request.trip->number}) : vb::Variant::null());
    set_bill_rate(row, customer, false);
    row.set("CAPACITY", customer.capacity)
        .set("INVOICE_FORMAT", customer.invoice_format)
        .set("CALCNUMDRIVERS", true)
        .set("TYPE", kDefaultVehicleType);
    rows.push_back(std::move(row));
  }

  Random random_;
  double now_;
  int today_ = 0;
  int warning_day_ = 0;
  int closed_day_ = 0;
  int full_day_ = 0;
  std::set<int> closed_days_;
  std::size_t typed_count_ = 0;
  std::vector<Trip> trips_;
  std::vector<Request> requests_;
};

}  // namespace

Activity make_activity(vb::DateTime now) {
  return Generator(now).run();
}

}  // namespace data::demo
