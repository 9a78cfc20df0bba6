// Recording and reading the approval history, and its timeline.
#include "approval/history.h"

#include "data/null_conversions.h"
#include "platform/db/jet.h"
#include "platform/text/text.h"
#include "platform/vb/conversions.h"
#include "platform/web/runtime.h"

namespace approval {

namespace {

constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS JAUNTER_HISTORY (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
    "TRIPNUM INTEGER NOT NULL, ACTION TEXT NOT NULL, OLD_STATUS TEXT, NEW_STATUS TEXT, "
    "LEVEL INTEGER, USERID TEXT, CHANGED_AT DATETIME NOT NULL, STATUS_COMMENT TEXT, "
    "FIELDTRIP_NUM INTEGER);"
    "CREATE INDEX IF NOT EXISTS JAUNTER_HISTORY_TRIPNUM ON JAUNTER_HISTORY (TRIPNUM, ID)";

struct ActionName {
  HistoryAction action;
  const char* stored;  // the ACTION column
  const char* shown;   // the timeline's verb
};
constexpr ActionName kActions[] = {
    {HistoryAction::Created, "CREATED", "Entered"},
    {HistoryAction::Saved, "SAVED", "Saved"},
    {HistoryAction::Approved, "APPROVED", "Approved"},
    {HistoryAction::Denied, "DENIED", "Denied"},
    {HistoryAction::Accepted, "ACCEPTED", "Final approval"},
    {HistoryAction::Deleted, "DELETED", "Deleted"},
    {HistoryAction::Known, "KNOWN", "Status"},
};

const ActionName& name_of(HistoryAction action) {
  for (const ActionName& name : kActions) {
    if (name.action == action) return name;
  }
  return kActions[1];
}

HistoryAction action_of(const std::string& stored) {
  for (const ActionName& name : kActions) {
    if (text::same_text(stored, name.stored)) return name.action;
  }
  return HistoryAction::Saved;
}

vb::Variant text_or_null(const std::string& text) {
  return text.empty() ? vb::Variant::null() : vb::Variant(text);
}

}  // namespace

void record_history(db::Connection& requests, const HistoryEntry& entry) {
  requests.execute_native(kCreateTable);
  db::Recordset rs;
  rs.open("SELECT * FROM JAUNTER_HISTORY", requests, db::CursorType::Dynamic,
          db::LockType::Optimistic);
  rs.add_new();
  rs.set_field("TRIPNUM", entry.request);
  rs.set_field("ACTION", std::string(name_of(entry.action).stored));
  rs.set_field("OLD_STATUS", text_or_null(entry.old_status));
  rs.set_field("NEW_STATUS", text_or_null(entry.new_status));
  rs.set_field("LEVEL", static_cast<std::int32_t>(entry.level));
  rs.set_field("USERID", text_or_null(entry.user));
  rs.set_field("CHANGED_AT", entry.at);
  rs.set_field("STATUS_COMMENT", text_or_null(entry.comment));
  rs.set_field("FIELDTRIP_NUM", entry.trip ? vb::Variant(*entry.trip) : vb::Variant::null());
  rs.update();
}

std::vector<HistoryEntry> read_history(db::Connection& requests, std::int32_t request) {
  requests.execute_native(kCreateTable);
  db::Recordset rs;
  rs.open(
      "SELECT * FROM JAUNTER_HISTORY WHERE TRIPNUM = " + std::to_string(request) + " ORDER BY ID",
      requests);
  std::vector<HistoryEntry> entries;
  for (; !rs.eof(); rs.move_next()) {
    HistoryEntry entry;
    entry.request = request;
    entry.action = action_of(vb::CStr(rs.field("ACTION")));
    entry.old_status = vb::Trim(data::NullToStr(rs.field("OLD_STATUS")));
    entry.new_status = vb::Trim(data::NullToStr(rs.field("NEW_STATUS")));
    entry.level = data::NullToZero(rs.field("LEVEL"));
    entry.user = vb::Trim(data::NullToStr(rs.field("USERID")));
    entry.at = vb::CDate(rs.field("CHANGED_AT"));
    entry.comment = vb::Trim(data::NullToStr(rs.field("STATUS_COMMENT")));
    if (!rs.field("FIELDTRIP_NUM").is_null()) entry.trip = vb::CLng(rs.field("FIELDTRIP_NUM"));
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<HistoryEntry> stored_dates(const db::Recordset& row) {
  std::vector<HistoryEntry> entries;
  const std::int32_t number = vb::CLng(row.field("TRIPNUM"));
  const vb::Variant& entered = row.field("ENTERDATE");
  if (!entered.is_null()) {
    HistoryEntry entry;
    entry.request = number;
    entry.action = HistoryAction::Created;
    entry.user = vb::Trim(data::NullToStr(row.field("ENTEREDBY")));
    entry.at = vb::CDate(entered);
    entries.push_back(entry);
  }
  const vb::Variant& changed = row.field("STATUS_DATE");
  if (!changed.is_null()) {
    HistoryEntry entry;
    entry.request = number;
    entry.action = HistoryAction::Known;
    entry.new_status = vb::Trim(data::NullToStr(row.field("STATUS")));
    entry.at = vb::CDate(changed);
    entry.comment = vb::Trim(data::NullToStr(row.field("STATUS_COMMENT")));
    entries.push_back(entry);
  }
  return entries;
}

std::vector<HistoryEntry> request_timeline(db::Connection& requests, const db::Recordset& row) {
  std::vector<HistoryEntry> recorded = read_history(requests, vb::CLng(row.field("TRIPNUM")));
  std::vector<HistoryEntry> known = stored_dates(row);
  if (recorded.empty()) return known;
  if (recorded.front().action != HistoryAction::Created && !known.empty() &&
      known.front().action == HistoryAction::Created) {
    recorded.insert(recorded.begin(), known.front());
  }
  return recorded;
}

std::string timeline_html(const std::vector<HistoryEntry>& entries) {
  using web::html_escape;
  std::string out = "<ol class='history'>";
  for (const HistoryEntry& entry : entries) {
    std::string line = "<li><time>" + html_escape(vb::CStr(vb::Variant(entry.at))) + "</time> " +
                       name_of(entry.action).shown;
    if (entry.level > 0) line += " at level " + std::to_string(entry.level);
    if (!entry.user.empty()) line += " by " + html_escape(entry.user);
    if (!entry.new_status.empty()) {
      // A save that kept the status shows it once.
      const bool moved =
          !entry.old_status.empty() && !text::same_text(entry.old_status, entry.new_status);
      line += ": " + (moved ? html_escape(entry.old_status) + " &rarr; " : std::string()) +
              html_escape(entry.new_status);
    }
    if (entry.trip) line += " (trip #" + std::to_string(*entry.trip) + ")";
    if (!entry.comment.empty()) line += "<br><q>" + html_escape(entry.comment) + "</q>";
    out += line + "</li>";
  }
  return out + "</ol>";
}

}  // namespace approval
