// The approval chain of a request as steps.
#include "approval/chain_steps.h"

#include "data/null_conversions.h"
#include "platform/db/jet.h"
#include "platform/text/text.h"
#include "platform/vb/conversions.h"
#include "platform/web/runtime.h"

namespace approval {

namespace {

std::vector<std::string> users_with_role(db::Connection& security, const std::string& role,
                                         const std::string& customer) {
  db::Recordset users;
  users.open("SELECT CLSCU.CLSC1 FROM CLSCU WHERE (CLSCU.ROLE=" + db::quote_text(role) +
                 ") AND (CLSCU.CUSTOMER=" + db::quote_text(customer) +
                 " OR CLSCU.CUSTOMER='' or isnull(CLSCU.CUSTOMER)) ORDER BY CLSCU.CLSC1",
             security);
  std::vector<std::string> names;
  for (; !users.eof(); users.move_next()) {
    const std::string name = vb::Trim(data::NullToStr(users.field("CLSC1")));
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

bool is(const std::string& status, const char* text) {
  return text::same_text(vb::Trim(status), text);
}

}  // namespace

std::vector<ChainLevel> chain_levels(db::Connection& security, const std::string& chain) {
  std::vector<ChainLevel> levels;
  if (vb::Trim(chain).empty()) return levels;
  db::Recordset rs;
  rs.open("Select * from CLSCC where CLSCC.CHAINID = " + db::quote_text(chain), security);
  if (rs.eof()) return levels;
  for (int k = 1; k <= 8; ++k) {
    const std::string n = std::to_string(k);
    std::string role = vb::Trim(data::NullToStr(rs.field("Level" + n + "Approver")));
    if (role.empty()) continue;
    levels.push_back(
        {k, std::move(role), vb::Trim(data::NullToStr(rs.field("Level" + n + "Status")))});
  }
  return levels;
}

int level_of(const std::vector<ChainLevel>& levels, const std::string& status) {
  if (vb::Trim(status).empty()) return 0;
  for (const ChainLevel& level : levels) {
    if (text::same_text(level.status, vb::Trim(status))) return level.number;
  }
  return 0;
}

int level_of(db::Connection& security, const std::string& chain, const std::string& status) {
  return level_of(chain_levels(security, chain), status);
}

int last_level(db::Connection& security, const std::string& chain) {
  const std::vector<ChainLevel> levels = chain_levels(security, chain);
  return levels.empty() ? 0 : levels.back().number;
}

std::vector<ChainStep> chain_steps(db::Connection& security, const std::string& chain,
                                   const std::string& status, const std::string& customer,
                                   const std::vector<HistoryEntry>& history) {
  if (vb::Trim(chain).empty()) return {};
  const std::vector<ChainLevel> levels = chain_levels(security, chain);
  // Only what happened since the request last entered the chain counts.
  std::size_t since = 0;
  for (std::size_t i = 0; i < history.size(); ++i) {
    if (is(history[i].new_status, "UNAPPROVED")) since = i;
  }
  // The last denial or approval of a level; for a request older than the history, the stored
  // date of its status stands for the approval that gave it.
  auto last_act = [&](const ChainLevel& level, bool denied) -> const HistoryEntry* {
    const HistoryEntry* found = nullptr;
    for (std::size_t i = since; i < history.size(); ++i) {
      const HistoryEntry& entry = history[i];
      const HistoryAction action = entry.action;
      bool matches = false;
      if (denied) {
        matches = action == HistoryAction::Denied && entry.level == level.number;
      } else if (action == HistoryAction::Approved || action == HistoryAction::Accepted) {
        matches = entry.level == level.number;
      } else if (action == HistoryAction::Known) {
        matches = text::same_text(entry.new_status, level.status);
      }
      if (matches) found = &entry;
    }
    return found;
  };

  int done_through = -1;  // levels up to this one have approved; -1: nobody waits
  int denied_at = 0;
  if (is(status, "UNAPPROVED")) {
    done_through = 0;
  } else if (is(status, "Denied")) {
    for (std::size_t i = since; i < history.size(); ++i) {
      if (history[i].action == HistoryAction::Denied) denied_at = history[i].level;
    }
    done_through = denied_at > 0 ? denied_at - 1 : -1;
  } else if (const int level = level_of(levels, status); level > 0) {
    done_through = level;
  }

  std::vector<ChainStep> steps;
  bool waiting_given = denied_at > 0 || done_through < 0;
  for (const ChainLevel& level : levels) {
    ChainStep step;
    step.level = level.number;
    step.role = level.role;
    const HistoryEntry* act = nullptr;
    if (level.number == denied_at) {
      step.state = StepState::Denied;
      act = last_act(level, true);
    } else if (done_through >= 0 && level.number <= done_through) {
      step.state = StepState::Done;
      act = last_act(level, false);
    } else if (!waiting_given) {
      step.state = StepState::Waiting;
      step.approvers = users_with_role(security, level.role, customer);
      waiting_given = true;
    }
    if (act) {
      step.who = act->user;
      step.when = act->at;
    }
    steps.push_back(std::move(step));
  }
  return steps;
}

std::string chain_steps_html(const std::vector<ChainStep>& steps) {
  using web::html_escape;
  if (steps.empty()) return "";
  std::string out = "<ol class='chain-steps'>";
  for (const ChainStep& step : steps) {
    static const char* const kClasses[] = {"done", "waiting", "denied", "to-come"};
    static const char* const kWords[] = {"done", "waiting", "denied", "still to come"};
    const auto state = static_cast<std::size_t>(step.state);
    std::string line = "<li class='" + std::string(kClasses[state]) + "'>Level " +
                       std::to_string(step.level) + ", " + html_escape(step.role) + ": " +
                       kWords[state];
    if (!step.who.empty()) line += " by " + html_escape(step.who);
    if (step.when) line += " <time>" + html_escape(vb::CStr(vb::Variant(*step.when))) + "</time>";
    if (step.state == StepState::Waiting) {
      std::string names;
      for (const std::string& name : step.approvers) {
        names += (names.empty() ? "" : ", ") + html_escape(name);
      }
      line += names.empty() ? " (nobody holds this role)" : " for " + names;
    }
    out += line + "</li>";
  }
  return out + "</ol>";
}

}  // namespace approval
