// The save path of the trip request form: the checks of a posted request, then writing the row,
// moving it along its approval chain, the notifications, and showing the request again.
#pragma once

#include <cstdint>
#include <memory>

#include "frame/context.h"
#include "platform/db/db.h"

namespace request {

struct FormState;

// The request a saving post acts on: a new one, or the stored request of that number.
struct SaveTarget {
  bool is_new = true;
  std::int32_t number = 0;
};

// Runs the save path for the current post. `row` receives the opened TRIPSREQ row so that the
// caller's trap can close it. A failed check writes its message and continues at the exit step.
void save_request(frame::RequestContext& context, FormState& form, const SaveTarget& target,
                  std::unique_ptr<db::Recordset>& row);

}  // namespace request
