// Translation of Jet (Access) SQL texts into SQLite's dialect, keeping their meaning, and the
// quoting helper through which every typed value enters a SQL text.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/vb/variant.h"

struct sqlite3;

namespace db {

// The declared column types of the stored forms, and what a translated select column yields.
enum class ColumnKind { Auto, Text, Integer, Single, Double, Currency, Date, YesNo };

// The parts of a SELECT on one table (no join, grouping, DISTINCT or UNION), in SQLite's text:
// what a recordset needs to add and update rows through it.
struct SingleTable {
  std::string name;       // the table's name as the Jet text writes it
  std::string table;      // the same as a SQLite name
  std::string qualifier;  // the alias, or the table
  std::string from;       // "table" or "table AS alias"
  std::string columns;    // the select list
  std::string tail;       // WHERE and ORDER BY, or empty
};

struct Translation {
  std::string sql;  // SQLite text
  // Output columns whose type the engine cannot tell (expressions such as DateValue(...) AS x),
  // by lower-case name.
  std::map<std::string, ColumnKind> column_kinds;
  std::optional<SingleTable> single_table;
  // A statement counting the rows `sql` gives. For a plain SELECT it selects nothing but the
  // rows, so that the engine drops the joins only the columns needed and reads only indexes.
  std::string count_sql;
  // Whether the same rows always give the same count: false when the text calls the engine's
  // clock or random functions.
  bool count_is_steady = true;
};

// Translates a Jet SQL text (one statement; a final ";" is allowed). Results are cached; safe for
// concurrent use. A text that cannot be read raises a provider error (-2147217900) naming the
// problem; an invalid #date# literal is such a text.
std::shared_ptr<const Translation> translate_shared(std::string_view jet_sql);

// Registers the functions translated texts call (jet_clng, jet_datevalue, jet_str, ...) on a
// connection.
void register_jet_functions(sqlite3* db);

// ---- Quoting: the one way a typed value enters a SQL text ----------------------------------

// 'text' with quotes doubled.
std::string quote_text(std::string_view text);
// A date literal #m/d/yyyy# (with the time when it has one) after validating the text as a date;
// raises 13 when the text is no date.
std::string quote_date(std::string_view text);
std::string quote_date(vb::DateTime value);
// A whole number as decimal text; raises 13 (not numeric) or 6 (overflow).
std::string quote_long(const vb::Variant& value);
// A number through CDbl and back to text; raises 13 when not numeric.
std::string quote_double(const vb::Variant& value);

}  // namespace db
