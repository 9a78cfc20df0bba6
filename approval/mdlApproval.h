// The approval chain: who may edit or approve a request, who approves next, whom to mail, and
// what the district calendar says about a day.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/null_conversions.h"
#include "frame/module_state.h"

namespace mdlApproval {

// What a user may do with a request.
struct Authority {
  bool may_edit = false;
  bool may_approve = false;
  // The status the user's approval gives; none when his role holds no level of the chain.
  std::optional<std::string> approval;
};

// An empty chain reads the chain, status and customer of the stored request. A failure leaves
// its report in the module error string and answers no rights.
Authority HasAuthority(frame::ModuleState& module, std::int32_t trip_request_number,
                       const std::string& role, const std::string& chain_id,
                       const std::string& user_customer);

// The role that approves next (empty when the chain names none there); none when the chain is
// complete, the status foreign, or the request not in a chain.
std::optional<std::string> NextRole(frame::ModuleState& module, const std::string& chain_id,
                                    const std::string& status);

// The addresses of the users holding the role for the customer, joined by "; "; "" when none.
std::string GetApproverEmail(frame::ModuleState& module, const std::string& role,
                             const std::string& customer);

// A calendar note's severity; other numbers mean nothing to the application.
enum class Severity : std::int16_t { None = 0, Warning = 2, DayClosed = 3 };

// The calendar note of a day: its severity (or, with closed_only, -1 when the school is closed
// that day, else 0). With fetch_texts, the note's texts go to module.strNoteText and
// module.strNoteLongText.
Severity Check_calNotes(frame::ModuleState& module, const std::string& date_text, bool fetch_texts,
                        bool closed_only);

}  // namespace mdlApproval
