// The approval history of the form's saves and deletes: each change with who made it and when,
// written once the change itself is stored.
#pragma once

#include "approval/history.h"
#include "frame/context.h"

namespace request {

// Records `entry` as the signed-in user's change made now. A failure goes to the event log and
// never undoes or stops the change it describes.
void note_change(frame::RequestContext& context, approval::HistoryEntry entry);

}  // namespace request
