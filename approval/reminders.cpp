// Reminder digests for approvers: who waits for whom, since when, and what was already sent.
#include "approval/reminders.h"

#include <cmath>
#include <map>
#include <set>

#include "approval/mdlApproval.h"
#include "approval/request_link.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "platform/db/db.h"
#include "platform/db/jet.h"
#include "platform/sys/mail.h"
#include "platform/text/text.h"
#include "platform/vb/conversions.h"
#include "platform/vb/errors.h"

namespace approval {

namespace {

constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS JAUNTER_REMINDERS (TRIPNUM INTEGER NOT NULL, EMAIL TEXT NOT NULL, "
    "SENT_AT DATETIME NOT NULL)";

// The (request, address) pairs already reminded on today's date.
std::set<std::pair<std::int32_t, std::string>> reminded_today(db::Connection& requests,
                                                              vb::DateTime now) {
  requests.execute_native(kCreateTable);
  const double today = std::floor(now.serial);
  db::Recordset rs;
  rs.open("SELECT TRIPNUM, EMAIL, SENT_AT FROM JAUNTER_REMINDERS", requests);
  std::set<std::pair<std::int32_t, std::string>> done;
  for (; !rs.eof(); rs.move_next()) {
    if (std::floor(vb::CDate(rs.field("SENT_AT")).serial) == today) {
      done.insert({vb::CLng(rs.field("TRIPNUM")), vb::LCase(vb::CStr(rs.field("EMAIL")))});
    }
  }
  return done;
}

vb::DateTime date_or(const vb::Variant& value, vb::DateTime fallback) {
  return value.is_null() ? fallback : vb::CDate(value);
}

sys::SmtpSettings smtp_settings(frame::ModuleState& module) {
  using namespace ChkEligWeb;
  sys::SmtpSettings settings;
  settings.host = GetSmtpServer(module);
  const std::int32_t port = vb::CLng(vb::Variant(GetSmtpPort(module)));
  if (port <= 0 || port > 65535) throw vb::err::overflow();
  settings.port = static_cast<std::uint16_t>(port);
  if (GetSmtpAuthentication(module)) {
    settings.authenticate = true;
    settings.username = GetSmtpUsername(module);
    settings.password = GetSmtpPassword(module);
  }
  return settings;
}

}  // namespace

std::vector<Digest> due_reminders(frame::ModuleState& module, const ReminderOptions& options,
                                  vb::DateTime now) {
  const auto done = reminded_today(module.request_db(), now);
  db::Recordset rs;
  rs.open(
      "SELECT TRIPNUM, CUSTOMER, STATUS, STATUS_DATE, ENTERDATE, CHAINID, DEPDATE, PURPOSE FROM "
      "TRIPSREQ WHERE trim$(CHAINID) <> '' ORDER BY TRIPNUM",
      module.request_db());
  std::map<std::string, Digest> by_address;  // by the address in lower case
  for (; !rs.eof(); rs.move_next()) {
    WaitingRequest request;
    request.number = vb::CLng(rs.field("TRIPNUM"));
    request.customer = vb::Trim(data::NullToStr(rs.field("CUSTOMER")));
    request.status = vb::Trim(data::NullToStr(rs.field("STATUS")));
    request.purpose = vb::Trim(data::NullToStr(rs.field("PURPOSE")));
    request.departure = date_or(rs.field("DEPDATE"), vb::DateTime{});
    request.waiting_since = date_or(rs.field("STATUS_DATE"), date_or(rs.field("ENTERDATE"), now));
    if (now.serial - request.waiting_since.serial <= options.days) continue;
    const std::optional<std::string> role = mdlApproval::NextRole(
        module, vb::Trim(data::NullToStr(rs.field("CHAINID"))), request.status);
    if (!module.ok()) throw vb::RuntimeError(-1, module.error);
    if (!role || role->empty()) continue;
    for (const std::string& address : sys::CurlMailTransport::split_recipients(
             mdlApproval::GetApproverEmail(module, *role, request.customer))) {
      const std::string key = vb::LCase(address);
      if (done.count({request.number, key})) continue;
      Digest& digest = by_address[key];
      digest.address = address;
      digest.requests.push_back(request);
    }
    if (!module.ok()) throw vb::RuntimeError(-1, module.error);
  }
  std::vector<Digest> digests;
  for (auto& [key, digest] : by_address) digests.push_back(std::move(digest));
  return digests;
}

std::string digest_subject(const Digest& digest) {
  return digest.requests.size() == 1
             ? "Trip request #" + std::to_string(digest.requests.front().number) +
                   " is waiting for your approval"
             : std::to_string(digest.requests.size()) +
                   " trip requests are waiting for your approval";
}

std::string digest_body(const Digest& digest, const ReminderOptions& options, vb::DateTime now) {
  std::string body = "These trip requests are waiting for your approval:\r\n\r\n";
  for (const WaitingRequest& request : digest.requests) {
    const long days = static_cast<long>(now.serial - request.waiting_since.serial);
    body += "Request #" + std::to_string(request.number) + " for " + request.customer +
            ", departing " + vb::date_text(request.departure) + ": " + request.status + " since " +
            vb::date_text(request.waiting_since) + " (" + std::to_string(days) + " days)";
    if (!request.purpose.empty()) body += "\r\n  " + request.purpose;
    const std::string link = request_link(options.base_url, request.number);
    if (!link.empty()) body += "\r\n  " + link;
    body += "\r\n\r\n";
  }
  return body;
}

int remind(frame::ModuleState& module, const ReminderOptions& options, vb::DateTime now,
           std::ostream& out) {
  const std::vector<Digest> digests = due_reminders(module, options, now);
  sys::SmtpSettings settings;
  sys::MailMessage message;
  if (!options.dry_run && !digests.empty()) {
    settings = smtp_settings(module);
    message.from_address = ChkEligWeb::GetEmailFromAddress(module);
    message.from_name = ChkEligWeb::GetEmailFromName(module);
    if (!module.ok() || settings.host.empty() || message.from_address.empty() ||
        message.from_name.empty()) {
      throw vb::RuntimeError(-1, "Misconfigured email options in ini file.");
    }
    if (!module.services.mail) throw vb::err::object_not_set();
  }
  for (const Digest& digest : digests) {
    std::string numbers;
    for (const WaitingRequest& request : digest.requests) {
      numbers += (numbers.empty() ? "#" : ", #") + std::to_string(request.number);
    }
    if (options.dry_run) {
      out << "would remind " << digest.address << " of " << numbers << "\n";
      continue;
    }
    message.recipients = digest.address;
    message.subject = digest_subject(digest);
    message.body = digest_body(digest, options, now);
    module.services.mail->send(settings, message);
    db::Recordset sent;
    sent.open("SELECT * FROM JAUNTER_REMINDERS", module.request_db(), db::CursorType::Dynamic,
              db::LockType::Optimistic);
    for (const WaitingRequest& request : digest.requests) {
      sent.add_new();
      sent.set_field("TRIPNUM", request.number);
      sent.set_field("EMAIL", digest.address);
      sent.set_field("SENT_AT", now);
      sent.update();
    }
    out << "reminded " << digest.address << " of " << numbers << "\n";
  }
  return static_cast<int>(digests.size());
}

}  // namespace approval
