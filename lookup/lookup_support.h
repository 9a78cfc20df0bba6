// What the customer, destination and fund lookups share: the search with its 300-row limit, the
// prefix patterns of their LIKE conditions and the common tags.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "frame/context.h"
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
// "<select> WHERE ucase$(<column>) like 'TYPED%' ORDER BY <column>", without the condition
// when nothing was typed: the search of the customer and destination look-ups by name.
std::string name_search_sql(std::string_view select, std::string_view column,
                            std::string_view typed);
// The same without upper-casing, for columns the database compares without regard to case.
std::string prefix_pattern(std::string_view typed);

// A column's value for a result cell or attribute: Null reads as "", everything escaped.
std::string cell(const vb::Variant& value);

}  // namespace lookup
