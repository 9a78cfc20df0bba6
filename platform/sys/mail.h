// Sending one notification mail over SMTP (libcurl's SMTP client).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sys {

struct SmtpSettings {
  std::string host;
  std::uint16_t port = 25;
  bool authenticate = false;
  std::string username, password;
};

struct MailMessage {
  std::string from_address, from_name;
  // Addresses as the application joins them ("a@x; b@y"); the transport splits the list.
  std::string recipients;
  std::string subject;
  std::string body;  // plain text, lines separated by CR LF
};

class MailTransport {
 public:
  virtual ~MailTransport() = default;
  // Delivers the message to the SMTP server synchronously. Throws vb::RuntimeError when the
  // server cannot be reached or refuses the message. Safe for concurrent use.
  virtual void send(const SmtpSettings& settings, const MailMessage& message) const = 0;
};

// Connects to the SMTP server, greets it (EHLO), sends NOOP and QUIT: nothing is mailed. Throws
// vb::RuntimeError saying why when the server cannot be reached or does not answer as one.
void probe_smtp(const SmtpSettings& settings);

class CurlMailTransport : public MailTransport {
 public:
  CurlMailTransport();
  void send(const SmtpSettings& settings, const MailMessage& message) const override;
  // The message as it goes over the wire (headers and body), for the given date header.
  static std::string wire_text(const MailMessage& message, const std::string& date_header);
  // The addresses of a "; "-joined list, blanks removed, empty entries skipped.
  static std::vector<std::string> split_recipients(const std::string& recipients);
};

}  // namespace sys
