// The language runtime's variant: the one value type that session and application stores,
// recordset fields and the conversions work with.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace vb {

struct Empty {
  bool operator==(const Empty&) const = default;
};
struct Null {
  bool operator==(const Null&) const = default;
};

// Fixed-point money with four decimals, as the runtime's Currency type.
struct Currency {
  std::int64_t scaled = 0;  // value * 10000
  // Rounds half to even to four decimals; raises 6 (overflow) when the value does not fit.
  static Currency from_double(double value);
  double to_double() const { return static_cast<double>(scaled) / 10000.0; }
  bool operator==(const Currency&) const = default;
};

// A date/time as the runtime holds it: days since 30 December 1899 00:00, time as the fraction.
struct DateTime {
  double serial = 0.0;
  bool operator==(const DateTime&) const = default;
};

// One-dimensional array of texts (lookup lists).
using StringArray = std::vector<std::string>;

// A byte array (a raw registry value). CStr reads its bytes as UTF-16LE text, as the runtime
// converts byte arrays to strings.
using Bytes = std::vector<std::uint8_t>;

// Two-dimensional array of texts (the fund list: rows of code and description).
struct StringTable {
  std::vector<std::vector<std::string>> rows;
  bool operator==(const StringTable&) const = default;
};

class Variant {
 public:
  using Storage = std::variant<Empty, Null, bool, std::int16_t, std::int32_t, float, double,
                               Currency, DateTime, std::string, StringArray, StringTable, Bytes>;

  Variant() = default;
  Variant(Empty) {}
  Variant(Null v) : value_(v) {}
  Variant(bool v) : value_(v) {}
  Variant(std::int16_t v) : value_(v) {}
  Variant(std::int32_t v) : value_(v) {}
  Variant(float v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(Currency v) : value_(v) {}
  Variant(DateTime v) : value_(v) {}
  Variant(std::string v) : value_(std::move(v)) {}
  Variant(const char* v) : value_(std::string(v)) {}
  Variant(std::string_view v) : value_(std::string(v)) {}
  Variant(StringArray v) : value_(std::move(v)) {}
  Variant(StringTable v) : value_(std::move(v)) {}
  Variant(Bytes v) : value_(std::move(v)) {}

  static Variant null() { return Variant(Null{}); }

  bool is_empty() const { return std::holds_alternative<Empty>(value_); }
  bool is_null() const { return std::holds_alternative<Null>(value_); }
  bool is_string() const { return std::holds_alternative<std::string>(value_); }
  bool is_bool() const { return std::holds_alternative<bool>(value_); }
  bool is_date() const { return std::holds_alternative<DateTime>(value_); }
  bool is_array() const { return std::holds_alternative<StringArray>(value_); }
  bool is_table() const { return std::holds_alternative<StringTable>(value_); }
  // Integer, Long, Single, Double or Currency.
  bool is_number() const;

  template <class T>
  bool holds() const {
    return std::holds_alternative<T>(value_);
  }
  template <class T>
  const T& get() const {
    return std::get<T>(value_);
  }
  template <class T>
  const T* get_if() const {
    return std::get_if<T>(&value_);
  }

  const Storage& storage() const { return value_; }

  // Exact equality of kind and value (for tests); the runtime's own comparisons are in
  // conversions.h.
  bool operator==(const Variant& other) const = default;

 private:
  Storage value_;
};

inline bool Variant::is_number() const {
  return holds<std::int16_t>() || holds<std::int32_t>() || holds<float>() || holds<double>() ||
         holds<Currency>();
}

}  // namespace vb
