// Dates and times: the serial day count, its text form, and the reader of typed dates.
//
// A serial is days since 30 December 1899 with the time of day as the fraction. Before that day
// the runtime keeps the fraction as the time of day whatever the sign: -1.25 is 29 December 1899
// 6:00 AM, not 6:00 PM. All arithmetic therefore goes through a "moment" (a whole day number and
// the seconds into that day) and back, never through the serial's plain numeric value.
//
// The reader accepts what a United States English Windows parser makes of typed dates, within
// limits: month/day/year is never swapped to day/month/year, a date without its year is refused
// (its meaning would depend on the clock), and nothing may follow the time.
#include <charconv>
#include <cmath>
#include <vector>

#include "platform/vb/conversions.h"
#include "platform/vb/detail.h"
#include "platform/vb/errors.h"

namespace vb {

namespace {

constexpr long kSecondsPerDay = 86400;

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr long days_from_civil(long year, long month, long day) {
  year -= month <= 2 ? 1 : 0;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const long year_of_era = year - era * 400;
  const long day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

struct Civil {
  long year, month, day;
};

constexpr Civil civil_from_days(long days) {
  days += 719468;
  const long era = (days >= 0 ? days : days - 146096) / 146097;
  const long day_of_era = days - era * 146097;
  const long year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const long mp = (5 * day_of_year + 2) / 153;
  const long day = day_of_year - (153 * mp + 2) / 5 + 1;
  const long month = mp < 10 ? mp + 3 : mp - 9;
  return {year_of_era + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

constexpr long kUnixEpochDay = -days_from_civil(1899, 12, 30);  // serial day of 1/1/1970
constexpr long serial_day(long year, long month, long day) {
  return days_from_civil(year, month, day) + kUnixEpochDay;
}
constexpr long kFirstDay = serial_day(100, 1, 1);
constexpr long kLastDay = serial_day(9999, 12, 31);
static_assert(serial_day(1899, 12, 30) == 0 && kFirstDay == -657434 && kLastDay == 2958465);

long floor_div(long a, long b) {
  return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

bool is_leap(long year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

long days_in_month(long year, long month) {
  static constexpr long kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap(year) ? 29 : kDays[month - 1];
}

// A serial split into its day and the whole seconds into that day.
struct Moment {
  long day = 0;
  long seconds = 0;
};

DateTime serial_of(long day, long seconds) {
  if (day < kFirstDay || day > kLastDay) throw err::overflow();
  double fraction = static_cast<double>(seconds) / kSecondsPerDay;
  return DateTime{day >= 0 ? day + fraction : day - fraction};
}

DateTime serial_of_seconds(long total_seconds) {
  long day = floor_div(total_seconds, kSecondsPerDay);
  return serial_of(day, total_seconds - day * kSecondsPerDay);
}

// Rounds the time to whole seconds; 23:59:59.6 carries into the next day rather than showing
// 60 seconds.
Moment moment_of(DateTime value) {
  double serial = value.serial;
  if (!(serial > kFirstDay - 1.0 && serial < kLastDay + 1.0)) throw err::overflow();
  double day = std::trunc(serial);
  long seconds = std::lround(std::fabs(serial - day) * kSecondsPerDay);
  long total = static_cast<long>(day) * kSecondsPerDay + seconds;
  Moment moment;
  moment.day = floor_div(total, kSecondsPerDay);
  moment.seconds = total - moment.day * kSecondsPerDay;
  if (moment.day > kLastDay) throw err::overflow();
  return moment;
}

// ---- Reading typed dates ----------------------------------------------------------------------

enum class Kind { number, word, slash, dash, comma, colon, blank };

struct Token {
  Kind kind;
  std::string_view text;
};

bool tokenize(std::string_view text, std::vector<Token>& tokens) {
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  auto is_letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t start = i;
    char c = text[i];
    Kind kind;
    if (is_digit(c)) {
      while (i < text.size() && is_digit(text[i])) ++i;
      kind = Kind::number;
    } else if (is_letter(c)) {
      while (i < text.size() && is_letter(text[i])) ++i;
      kind = Kind::word;
    } else if (is_blank(c)) {
      while (i < text.size() && is_blank(text[i])) ++i;
      kind = Kind::blank;
    } else {
      ++i;
      switch (c) {
        case '/':
          kind = Kind::slash;
          break;
        case '-':
          kind = Kind::dash;
          break;
        case ',':
          kind = Kind::comma;
          break;
        case ':':
          kind = Kind::colon;
          break;
        default:
          return false;
      }
    }
    tokens.push_back({kind, text.substr(start, i - start)});
  }
  return true;
}

int month_of_name(std::string_view word) {
  static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  for (int m = 0; m < 12; ++m) {
    std::string_view name = kMonths[m];
    if (text::same_text(word, name) || text::same_text(word, name.substr(0, 3))) return m + 1;
  }
  return 0;
}

bool is_meridian(const Token& token) {
  return token.kind == Kind::word &&
         (text::same_text(token.text, "AM") || text::same_text(token.text, "PM"));
}

// Saturates, so that a runaway digit string is simply out of range.
long number_of(const Token& token) {
  long value = 0;
  for (char c : token.text) value = value < 100000000 ? value * 10 + (c - '0') : value;
  return value;
}

// Years typed with one or two digits: 00-29 are 2000-2029, 30-99 are 1930-1999.
long windowed_year(long year) {
  return year < 30 ? 2000 + year : 1900 + year;
}

bool valid_date(long year, long month, long day) {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= days_in_month(year, month);
}

// The date part: three items (numbers, at most one month name) with separators between them.
// Gathering the items and choosing their order (month-day-year, year-month-day, a month name)
// share the same tokens and flags, so they stay one function.
std::optional<long> read_date(const std::vector<Token>& tokens) {
  std::vector<Token> items;
  bool numeric_separators = true;  // every separator holds "/" or "-"
  std::size_t i = 0;
  while (i < tokens.size()) {
    if (tokens[i].kind != Kind::number && tokens[i].kind != Kind::word) return std::nullopt;
    items.push_back(tokens[i++]);
    if (i == tokens.size()) break;
    int marks = 0;
    bool slash_or_dash = false;
    std::size_t start = i;
    for (; i < tokens.size() && tokens[i].kind != Kind::number && tokens[i].kind != Kind::word;
         ++i) {
      Kind kind = tokens[i].kind;
      if (kind == Kind::colon) return std::nullopt;
      if (kind != Kind::blank) ++marks;
      if (kind == Kind::slash || kind == Kind::dash) slash_or_dash = true;
    }
    if (i == start || marks > 1 || i == tokens.size()) return std::nullopt;
    numeric_separators = numeric_separators && slash_or_dash;
  }
  if (items.size() != 3) return std::nullopt;

  std::vector<Token> numbers;
  int month = 0;
  for (const Token& item : items) {
    if (item.kind == Kind::number) {
      numbers.push_back(item);
    } else if (month != 0 || (month = month_of_name(item.text)) == 0) {
      return std::nullopt;
    }
  }
  auto digits = [](const Token& token) { return token.text.size(); };
  auto year_of = [&](const Token& token) {
    return digits(token) <= 2 ? windowed_year(number_of(token)) : number_of(token);
  };
  long year = 0;
  long day = 0;
  long month_number = month;
  if (month == 0) {
    if (!numeric_separators) return std::nullopt;
    if (digits(numbers[0]) >= 3) {  // year first: 2026-1-5
      year = year_of(numbers[0]);
      month_number = number_of(numbers[1]);
      day = number_of(numbers[2]);
      if (digits(numbers[0]) > 4 || digits(numbers[1]) > 2 || digits(numbers[2]) > 2)
        return std::nullopt;
    } else {
      month_number = number_of(numbers[0]);
      day = number_of(numbers[1]);
      year = year_of(numbers[2]);
      if (digits(numbers[1]) > 2 || digits(numbers[2]) > 4) return std::nullopt;
    }
  } else {
    // With a month name the other two are day and year, the year first only when it is written
    // with three or four digits (2026-Jan-5).
    const Token* year_token = &numbers[1];
    const Token* day_token = &numbers[0];
    if (digits(numbers[0]) >= 3) std::swap(year_token, day_token);
    if (digits(*day_token) > 2 || digits(*year_token) > 4) return std::nullopt;
    year = year_of(*year_token);
    day = number_of(*day_token);
  }
  if (!valid_date(year, month_number, day)) return std::nullopt;
  return serial_day(year, month_number, day);
}

// The time part: h[:m[:s]] with an optional AM/PM, or h AM/PM.
std::optional<long> read_time(const std::vector<Token>& tokens) {
  long fields[3] = {0, 0, 0};
  std::size_t count = 0;
  std::size_t i = 0;
  while (true) {
    if (i >= tokens.size() || tokens[i].kind != Kind::number || tokens[i].text.size() > 2)
      return std::nullopt;
    fields[count++] = number_of(tokens[i++]);
    if (count == 3 || i == tokens.size() || tokens[i].kind != Kind::colon) break;
    ++i;
  }
  if (i < tokens.size() && tokens[i].kind == Kind::blank) ++i;
  bool has_meridian = i < tokens.size() && is_meridian(tokens[i]);
  bool pm = has_meridian && text::same_text(tokens[i].text, "PM");
  if (has_meridian) ++i;
  if (i != tokens.size() || (count == 1 && !has_meridian)) return std::nullopt;
  long hour = fields[0];
  if (hour > (has_meridian ? 12 : 23) || fields[1] > 59 || fields[2] > 59) return std::nullopt;
  if (has_meridian) hour = hour % 12 + (pm ? 12 : 0);
  return hour * 3600 + fields[1] * 60 + fields[2];
}

// Where the time begins: the first number followed by ":" or by AM/PM.
std::size_t time_start(const std::vector<Token>& tokens) {
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != Kind::number || i + 1 == tokens.size()) continue;
    const Token& next = tokens[i + 1];
    if (next.kind == Kind::colon || is_meridian(next)) return i;
    if (next.kind == Kind::blank && i + 2 < tokens.size() && is_meridian(tokens[i + 2])) return i;
  }
  return tokens.size();
}

}  // namespace

std::optional<DateTime> parse_date_text(std::string_view text) {
  std::vector<Token> tokens;
  if (!tokenize(text, tokens)) return std::nullopt;
  if (!tokens.empty() && tokens.front().kind == Kind::blank) tokens.erase(tokens.begin());
  if (!tokens.empty() && tokens.back().kind == Kind::blank) tokens.pop_back();
  if (tokens.empty()) return std::nullopt;

  std::size_t split_at = time_start(tokens);
  std::vector<Token> date_tokens(tokens.begin(), tokens.begin() + split_at);
  std::vector<Token> time_tokens(tokens.begin() + split_at, tokens.end());
  long day = 0;
  long seconds = 0;
  if (!date_tokens.empty()) {
    // A date and a time are parted by blanks.
    if (!time_tokens.empty()) {
      if (date_tokens.back().kind != Kind::blank) return std::nullopt;
      date_tokens.pop_back();
    }
    std::optional<long> date = read_date(date_tokens);
    if (!date) return std::nullopt;
    day = *date;
  }
  if (!time_tokens.empty()) {
    std::optional<long> time = read_time(time_tokens);
    if (!time) return std::nullopt;
    seconds = *time;
  }
  return serial_of(day, seconds);
}

bool IsDate(const Variant& value) {
  if (value.is_date()) return true;
  if (const std::string* text = value.get_if<std::string>())
    return parse_date_text(*text).has_value();
  return false;
}

DateTime CDate(const Variant& value) {
  if (const DateTime* date = value.get_if<DateTime>()) return *date;
  if (value.is_null()) throw err::invalid_use_of_null();
  if (const std::string* text = value.get_if<std::string>()) {
    std::optional<DateTime> date = parse_date_text(*text);
    if (!date) throw err::type_mismatch();
    return *date;
  }
  DateTime date{CDbl(value)};
  moment_of(date);  // raises 6 outside the years 100 to 9999
  return date;
}

DateTime DateSerial(int year, int month, int day) {
  long full_year = (year >= 0 && year <= 99) ? windowed_year(year) : year;
  // Months and days outside their range roll over: month 13 is January of the next year, day 0
  // the last day of the month before.
  long months = full_year * 12 + (static_cast<long>(month) - 1);
  long normalized_year = floor_div(months, 12);
  long normalized_month = months - normalized_year * 12 + 1;
  return serial_of(serial_day(normalized_year, normalized_month, 1) + (static_cast<long>(day) - 1),
                   0);
}

DateTime TimeSerial(int hour, int minute, int second) {
  return serial_of_seconds(static_cast<long>(hour) * 3600 + static_cast<long>(minute) * 60 +
                           second);
}

DateTime DateValue(const Variant& value) {
  return serial_of(moment_of(CDate(value)).day, 0);
}

DateTime TimeValue(const Variant& value) {
  return serial_of(0, moment_of(CDate(value)).seconds);
}

DateParts split(DateTime value) {
  Moment moment = moment_of(value);
  Civil civil = civil_from_days(moment.day - kUnixEpochDay);
  return DateParts{static_cast<int>(civil.year),
                   static_cast<int>(civil.month),
                   static_cast<int>(civil.day),
                   static_cast<int>(moment.seconds / 3600),
                   static_cast<int>(moment.seconds / 60 % 60),
                   static_cast<int>(moment.seconds % 60)};
}

std::string date_text(DateTime value) {
  const Moment moment = moment_of(value);
  const DateParts parts = split(value);
  // Built in one string: lists show this for every date and time they hold.
  std::string text;
  text.reserve(24);
  const auto number = [&text](int n) {
    char digits[12];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
  };
  if (moment.day != 0) {
    number(parts.month);
    text += '/';
    number(parts.day);
    text += '/';
    number(parts.year);
    if (moment.seconds == 0) return text;
    text += ' ';
  }
  number(parts.hour % 12 == 0 ? 12 : parts.hour % 12);
  for (const int two : {parts.minute, parts.second}) {
    text += ':';
    text += static_cast<char>('0' + two / 10);
    text += static_cast<char>('0' + two % 10);
  }
  text += parts.hour < 12 ? " AM" : " PM";
  return text;
}

}  // namespace vb
