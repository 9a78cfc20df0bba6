// The save path of the trip request form: the checks of a posted request, then writing the row,
// moving it along its approval chain, the notifications, and showing the request again.
#pragma once

#include <memory>

#include "platform/db/db.h"

class Jaunter;

namespace request {

// Runs the save path for the current post. `row` receives the opened TRIPSREQ row so that the
// caller's trap can close it. A failed check writes its message and continues at the exit step.
void save_request(Jaunter& page, std::unique_ptr<db::Recordset>& row);

}  // namespace request
