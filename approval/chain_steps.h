// Where a request stands in its approval chain, level by level: which levels have approved (who,
// when), which one it waits for (and who may give that approval), which are still to come.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "approval/history.h"
#include "platform/db/db.h"

namespace approval {

enum class StepState { Done, Waiting, Denied, ToCome };

struct ChainStep {
  int level = 0;
  std::string role;
  StepState state = StepState::ToCome;
  std::string who;                     // Done or Denied, when the history knows
  std::optional<vb::DateTime> when;    // likewise
  std::vector<std::string> approvers;  // Waiting: the users holding the role for the customer
};

// The steps of `chain` for a request in `status` of `customer`; `history` (oldest first) names
// who acted. No steps for a request without a chain row.
std::vector<ChainStep> chain_steps(db::Connection& security, const std::string& chain,
                                   const std::string& status, const std::string& customer,
                                   const std::vector<HistoryEntry>& history);

// The highest level of the chain that names an approver; 0 without a chain row.
int last_level(db::Connection& security, const std::string& chain);

// The steps as an ordered list, everything escaped; empty without steps.
std::string chain_steps_html(const std::vector<ChainStep>& steps);

}  // namespace approval
