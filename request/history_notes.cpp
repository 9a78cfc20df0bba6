// The approval history of the form's saves and deletes.
#include "request/history_notes.h"

#include <exception>

#include "frame/keys.h"

namespace request {

void note_change(frame::RequestContext& ctx, approval::HistoryEntry entry) {
  entry.user = ctx.session_text(keys::kUser);
  entry.at = ctx.clock().now();
  frame::ModuleState& module = ctx.module();
  std::string failure;
  try {
    approval::record_history(module.request_db(), entry);
    return;
  } catch (const std::exception& error) {
    failure = error.what();
  }
  if (module.services.event_log) {
    module.services.event_log->write("note_change", "The history of trip request #" +
                                                        std::to_string(entry.request) +
                                                        " was not recorded: " + failure);
  }
}

}  // namespace request
