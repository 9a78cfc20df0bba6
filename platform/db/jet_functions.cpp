// The SQL functions that translated texts call (jet_trim, jet_clng, jet_datevalue, jet_str, ...),
// each keeping the Jet function's meaning on SQLite's stored values.
#include <sqlite3.h>

#include <cstdint>
#include <exception>
#include <new>
#include <string>

#include "platform/db/jet.h"
#include "platform/db/sqlite_support.h"
#include "platform/vb/conversions.h"

namespace db {
namespace {

void result_text(sqlite3_context* context, const std::string& text) {
  sqlite3_result_text64(context, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// Text of an argument as Jet would concatenate it: numbers in the runtime's form.
std::string text_of(sqlite3_value* value) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return std::to_string(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
      return number_text(sqlite3_value_double(value));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      const int size = sqlite3_value_bytes(value);
      return text ? std::string(text, static_cast<std::size_t>(size)) : std::string();
    }
  }
}

// Runs a function body; a failed conversion fails the statement with Jet's mismatch text, and
// nothing ever escapes into SQLite's C code.
template <class Body>
void guarded(sqlite3_context* context, Body&& body) {
  try {
    body();
  } catch (const vb::RuntimeError&) {
    sqlite3_result_error(context, provider::kMismatchText.data(),
                         static_cast<int>(provider::kMismatchText.size()));
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(context);
  } catch (const std::exception& error) {
    sqlite3_result_error(context, error.what(), -1);
  } catch (...) {
    sqlite3_result_error(context, "Unexpected failure in a SQL function.", -1);
  }
}

template <std::string (*Transform)(std::string_view)>
void text_function(sqlite3_context* context, int, sqlite3_value** args) {
  if (sqlite3_value_type(args[0]) == SQLITE_NULL) return sqlite3_result_null(context);
  guarded(context, [&] { result_text(context, Transform(text_of(args[0]))); });
}

void jet_text(sqlite3_context* context, int, sqlite3_value** args) {
  if (sqlite3_value_type(args[0]) == SQLITE_NULL) return result_text(context, std::string());
  guarded(context, [&] { result_text(context, text_of(args[0])); });
}

void jet_clng(sqlite3_context* context, int, sqlite3_value** args) {
  sqlite3_value* value = args[0];
  if (sqlite3_value_type(value) == SQLITE_NULL) return sqlite3_result_null(context);
  guarded(context, [&] { sqlite3_result_int64(context, vb::CLng(variant_of_value(value))); });
}

void jet_datevalue(sqlite3_context* context, int, sqlite3_value** args) {
  sqlite3_value* value = args[0];
  const int type = sqlite3_value_type(value);
  if (type == SQLITE_NULL) return sqlite3_result_null(context);
  guarded(context, [&] {
    const vb::Variant argument = type == SQLITE_INTEGER || type == SQLITE_FLOAT
                                     ? vb::Variant(vb::DateTime{sqlite3_value_double(value)})
                                     : variant_of_value(value);
    sqlite3_result_double(context, vb::DateValue(argument).serial);
  });
}

// Str: a leading blank for zero and positive numbers, "-" for negative ones, and no zero before
// the decimal point (Str(0.5) is " .5").
std::string str_of(double number) {
  std::string text = number_text(number);
  if (text.rfind("0.", 0) == 0)
    text.erase(0, 1);
  else if (text.rfind("-0.", 0) == 0)
    text.erase(1, 1);
  return text[0] == '-' ? text : " " + text;
}

void jet_str(sqlite3_context* context, int, sqlite3_value** args) {
  sqlite3_value* value = args[0];
  const int type = sqlite3_value_type(value);
  if (type == SQLITE_NULL) return sqlite3_result_null(context);
  guarded(context, [&] {
    if (type == SQLITE_INTEGER) {
      const sqlite3_int64 number = sqlite3_value_int64(value);
      return result_text(context, (number < 0 ? "" : " ") + std::to_string(number));
    }
    const double number =
        type == SQLITE_FLOAT ? sqlite3_value_double(value) : vb::CDbl(variant_of_value(value));
    result_text(context, str_of(number));
  });
}

std::string trim(std::string_view text) {
  return vb::Trim(text);
}
std::string ltrim(std::string_view text) {
  return vb::LTrim(text);
}
std::string rtrim(std::string_view text) {
  return vb::RTrim(text);
}
std::string ucase(std::string_view text) {
  return vb::UCase(text);
}
std::string lcase(std::string_view text) {
  return vb::LCase(text);
}

using Function = void (*)(sqlite3_context*, int, sqlite3_value**);

struct Registration {
  const char* name;
  Function function;
};

constexpr Registration kFunctions[] = {
    {"jet_text", jet_text},
    {"jet_trim", text_function<trim>},
    {"jet_ltrim", text_function<ltrim>},
    {"jet_rtrim", text_function<rtrim>},
    {"jet_ucase", text_function<ucase>},
    {"jet_lcase", text_function<lcase>},
    {"jet_clng", jet_clng},
    {"jet_datevalue", jet_datevalue},
    {"jet_str", jet_str},
};

}  // namespace

void register_jet_functions(sqlite3* db) {
  for (const Registration& entry : kFunctions) {
    const int rc = sqlite3_create_function_v2(db, entry.name, 1,
                                              SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                              nullptr, entry.function, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw_engine_error(db, rc, "");
  }
}

}  // namespace db
