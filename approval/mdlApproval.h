// The approval chain: who may edit or approve a request, who approves next, whom to mail, and
// what the district calendar says about a day.
#pragma once

#include <cstdint>
#include <string>

#include "data/null_conversions.h"
#include "frame/module_state.h"

namespace mdlApproval {

// "E,A,S": may edit ("Y"/"N"), may approve ("Y"/"N"), the status the user's approval gives
// ("NA" when none). An empty chain reads the chain, status and customer of the stored request.
std::string HasAuthority(frame::ModuleState& module, std::int32_t trip_request_number,
                         const std::string& role, const std::string& chain_id,
                         const std::string& user_customer);

// The role that approves next, or "NA".
std::string NextRole(frame::ModuleState& module, const std::string& chain_id,
                     const std::string& status);

// The addresses of the users holding the role for the customer, joined by "; "; "NA" when none;
// "" for an empty role.
std::string GetApproverEmail(frame::ModuleState& module, const std::string& role,
                             const std::string& customer);

// The calendar note of a day: its severity (or, with closed_only, -1 when the school is closed
// that day, else 0). With fetch_texts, the note's texts go to module.strNoteText and
// module.strNoteLongText.
std::int16_t Check_calNotes(frame::ModuleState& module, const std::string& date_text,
                            bool fetch_texts, bool closed_only);

}  // namespace mdlApproval
