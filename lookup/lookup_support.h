// What the customer, destination and fund lookups share: the search with its 300-row limit, the
// prefix patterns of their LIKE conditions and the common tags.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "frame/Jaunter.h"
#include "platform/db/db.h"

namespace lookup {

inline constexpr long kMaxRows = 300;
inline constexpr const char* kTooManyRows =
    "Sorry, your search returned more than 300 rows.  Please be more specific with your "
    "selection criteria.  Use your browser's back button and try again.";
// Every result table ends with the Return button of the result form.
inline constexpr const char* kResultsEnd =
    "</tbody></table><p align='center'><input type='submit' value='Return' "
    "name='btnSubmit2'></p></td></tr>";

// The typed text, trimmed and upper-cased, as a quoted LIKE prefix: 'AB%'. Wildcards typed by
// the user keep their meaning; a quote cannot end the literal.
std::string upper_prefix_pattern(std::string_view typed);
// The same without upper-casing, for columns the database compares without regard to case.
std::string prefix_pattern(std::string_view typed);

// A column's value for a result cell or attribute: Null reads as "", everything escaped.
std::string cell(const vb::Variant& value);

// Characters of UTF-8 text (not bytes), as the length limits of a typed destination count them.
std::size_t character_count(std::string_view text);

using RowWriter = std::function<std::string(const db::Recordset&)>;

// Runs the lookup's query on the trip database and writes the item's template with the result
// table in strSearchResults. More than 300 rows, or connections that fail, end at the exit step
// with the module error string set; recordset and connections are closed either way.
void show_results(Jaunter& page, db::Recordset& rs, const std::string& sql,
                  const std::string& table_head, const RowWriter& row, std::string_view item);

// Closes the search's recordset when open, then the connections (the handlers' cleanup).
void close_search(Jaunter& page, db::Recordset& rs);

// The district header, WC@TRIPREQ and WC@RESULTS; false for other tags.
bool common_tag(Jaunter& page, const std::string& tag_name, std::string& tag_contents);

}  // namespace lookup
