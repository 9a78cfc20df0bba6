// The field trip search's result table.
#pragma once

#include <string>

#include "platform/db/db.h"

class Jaunter;

namespace reports::searching {

// The table of the trips in `trips` (the display query, open at its first row), two lines per
// trip; adds each trip's billed and due sums to the page's totals, which it zeroes first.
std::string trip_results_table(Jaunter& page, db::Recordset& trips);

}  // namespace reports::searching
