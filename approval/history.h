// The approval history of a request: every status change with who made it, when, at which
// level and with which comment, kept in JAUNTER_HISTORY of the request database (a table of our
// own; the desktop system's tables keep only the latest status and comment).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/db.h"
#include "platform/vb/variant.h"

namespace approval {

enum class HistoryAction { Created, Saved, Approved, Denied, Accepted, Deleted, Known };

struct HistoryEntry {
  std::int32_t request = 0;
  HistoryAction action = HistoryAction::Saved;
  std::string old_status, new_status;
  int level = 0;  // the chain level that approved or denied; 0 for others
  std::string user;
  vb::DateTime at;
  std::string comment;
  std::optional<std::int32_t> trip;  // the trip the final approval made
};

// Adds one change; makes the table when it is missing.
void record_history(db::Connection& requests, const HistoryEntry& entry);

// The request's recorded changes, oldest first.
std::vector<HistoryEntry> read_history(db::Connection& requests, std::int32_t request);

// What is known of a request from before the history was kept: its entry and its last status
// change, from the dates stored in its row (none when the row holds no dates).
std::vector<HistoryEntry> stored_dates(const db::Recordset& request_row);

// What the pages show of a request: its recorded changes, led by its entry from the row when
// the record began after it was entered; only the stored dates for a request never recorded.
std::vector<HistoryEntry> request_timeline(db::Connection& requests,
                                           const db::Recordset& request_row);

// The timeline as HTML: one dated line per change, everything escaped.
std::string timeline_html(const std::vector<HistoryEntry>& entries);

}  // namespace approval
