// `jaunter remind`: one digest mail per approver of the requests that have waited at his level
// for more than N days, each request reminded to an address at most once a calendar day.
// Reminders sent are kept in JAUNTER_REMINDERS of the request database, a table of our own.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "frame/module_state.h"
#include "platform/vb/variant.h"

namespace approval {

struct WaitingRequest {
  std::int32_t number = 0;
  std::string customer;
  std::string status;
  std::string purpose;
  vb::DateTime departure;
  vb::DateTime waiting_since;
};

struct Digest {
  std::string address;
  std::vector<WaitingRequest> requests;  // by request number
};

struct ReminderOptions {
  double days = 2;
  bool dry_run = false;
  // The address of the host page ("https://trips.example.org/Jaunter.ASP"); links are left out
  // without it.
  std::string base_url;
};

// The digests due now: per approver address, the requests waiting at the level his role
// approves next for more than `days`, less those already reminded to him today. Needs the
// request and security connections of `module` open.
std::vector<Digest> due_reminders(frame::ModuleState& module, const ReminderOptions& options,
                                  vb::DateTime now);

// The digest's subject and plain-text body (lines joined by CR LF, as the other mails).
std::string digest_subject(const Digest& digest);
std::string digest_body(const Digest& digest, const ReminderOptions& options, vb::DateTime now);

// Finds the digests and, unless a dry run, mails each and records its requests; writes one line
// per digest to `out`. Returns the number of digests. Throws vb::RuntimeError when the mail
// settings are missing or a mail cannot be sent (those sent before it stay recorded).
int remind(frame::ModuleState& module, const ReminderOptions& options, vb::DateTime now,
           std::ostream& out);

}  // namespace approval
