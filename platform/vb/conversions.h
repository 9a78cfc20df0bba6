// The language runtime's conversions, with the text forms of a United States English server:
// dates m/d/yyyy, times h:mm:ss AM, Booleans True/False, numbers plain decimal with ".".
//
// Failures raise the runtime's errors: 13 type mismatch, 6 overflow, 94 invalid use of Null.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/text/text.h"
#include "platform/vb/variant.h"

namespace vb {

// ---- Text -------------------------------------------------------------------------------------

// CStr: Empty gives "", Null raises 94, Booleans "True"/"False", numbers in the runtime's shortest
// form (Single 7 significant digits, Double 15: "2.5", "1E+15", "1E-05"), Currency with up to four
// decimals, dates by date_text, arrays raise 13. A byte array is read as UTF-16LE text, kept
// whole (a terminating NUL character stays in the text, as in the runtime).
std::string CStr(const Variant& value);

// Text of a date/time: "3/7/2009", "9:05:00 AM", "3/7/2009 9:05:00 AM". Day 0 prints as the time
// alone, a time of 0 as the date alone (day 0 and time 0 together: "12:00:00 AM"). The time is
// rounded to whole seconds (a carry moves to the next day). Raises 6 outside the years 100-9999.
std::string date_text(DateTime value);

// The runtime's Trim family removes blanks (spaces) only, not tabs or line breaks.
std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);
std::string UCase(std::string_view text);
std::string LCase(std::string_view text);

// Bytes read as UTF-16LE, written as UTF-8. A lone surrogate becomes U+FFFD; an odd last byte
// is no whole character and is dropped.
std::string utf8_from_utf16le(std::string_view bytes);

// ---- Numbers ----------------------------------------------------------------------------------

// Round half to even, as CInt and CLng do.
double round_half_even(double value);

std::int16_t CInt(const Variant& value);  // banker's rounding; 6 outside -32768..32767
std::int32_t CLng(const Variant& value);  // banker's rounding; 6 outside the 32-bit range
float CSng(const Variant& value);
double CDbl(const Variant& value);
Currency CCur(const Variant& value);
// "True"/"False" in any case, or a number (0 is False); anything else raises 13.
bool CBool(const Variant& value);

// IsNumeric: Empty and Booleans are numeric; "" and Null are not; dates are not; text that CDbl
// accepts is.
bool IsNumeric(const Variant& value);

// Parses a number as CDbl does from text (blanks around, sign, digits with "," grouping, ".",
// exponent, a leading "$"); nullopt when the text is no number or too large for a Double (CDbl
// then raises 13 and 6 respectively).
std::optional<double> parse_number(std::string_view text);

// ---- Dates ------------------------------------------------------------------------------------

// IsDate/CDate accept month/day/year (m/d/yyyy, m-d-yyyy, two-digit years: 00-29 are 2000-2029,
// 30-99 are 1930-1999), ISO year-month-day, three-letter or full month names in any case
// (Jan/5/2026, 5-Jan-2026, January 5, 2026), times such as "9:5AM", "12:0:01AM", "9:05:00 PM",
// "21:30", "9 AM", and a date followed by a time. Day and month are never swapped; impossible
// dates, a date without its year and anything after the time are refused.
std::optional<DateTime> parse_date_text(std::string_view text);
bool IsDate(const Variant& value);
DateTime CDate(const Variant& value);  // 13 when not a date; 94 for Null

// Months and days outside their range roll over (month 13, day 0); years 0-99 are windowed as
// two-digit years. Raise 6 when the result falls outside the years 100-9999.
DateTime DateSerial(int year, int month, int day);
DateTime TimeSerial(int hour, int minute, int second);
// The date part and the time part (day 0) of CDate(value), the time rounded to whole seconds.
DateTime DateValue(const Variant& value);
DateTime TimeValue(const Variant& value);

struct DateParts {
  int year, month, day, hour, minute, second;
};
DateParts split(DateTime value);
inline int Year(DateTime v) {
  return split(v).year;
}
inline int Month(DateTime v) {
  return split(v).month;
}
inline int Day(DateTime v) {
  return split(v).day;
}
inline int Hour(DateTime v) {
  return split(v).hour;
}
inline int Minute(DateTime v) {
  return split(v).minute;
}
inline int Second(DateTime v) {
  return split(v).second;
}

// ---- Format -----------------------------------------------------------------------------------

// Format with the patterns the application uses: "$###,##0.00", "#,###,##0", "#0.00" and the
// named format "Currency" ($1,234.50; negative amounts in parentheses). Patterns are made of "0",
// "#", ",", ".", "%", quoted or escaped literals and up to three sections (positive;negative;zero);
// a pattern without a section for negatives puts "-" in front. Rounding is half away from zero on
// the decimal value. Numeric text is formatted as a number, other text returned unchanged; an
// empty pattern gives CStr. Null and Empty format as "".
std::string Format(const Variant& value, std::string_view pattern);

}  // namespace vb
