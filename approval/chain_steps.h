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

// A level of a chain that names an approver: its number (1..8), role and the status it gives.
struct ChainLevel {
  int number = 0;
  std::string role, status;
};

// The levels of `chain` that name an approver, in order; none without a chain row.
std::vector<ChainLevel> chain_levels(db::Connection& security, const std::string& chain);

// The level whose approval gives `status`; 0 when none does.
int level_of(const std::vector<ChainLevel>& levels, const std::string& status);
int level_of(db::Connection& security, const std::string& chain, const std::string& status);

// The highest level of the chain that names an approver; 0 without a chain row.
int last_level(db::Connection& security, const std::string& chain);

// The steps as an ordered list, everything escaped; empty without steps.
std::string chain_steps_html(const std::vector<ChainStep>& steps);

}  // namespace approval
