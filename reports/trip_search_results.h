// The field trip search's result table.
#pragma once

#include <string>

#include "frame/context.h"
#include "platform/db/db.h"
#include "reports/search_state.h"

namespace reports {

// The table of the trips in `trips` (the display query, open at its first row), two lines per
// trip; adds each trip's billed and due sums to the page's totals, which it zeroes first.
std::string trip_results_table(frame::RequestContext& context, TripSearchState& state,
                               db::Recordset& trips);

}  // namespace reports
