// SendEmail: one notification mail through the SMTP transport, with the district's settings.
#include "frame/Jaunter.h"
#include "platform/sys/mail.h"
#include "platform/vb/conversions.h"

void Jaunter::SendEmail(const std::string& EmailAddress, const std::string& Subject,
                        const std::string& Body) {
  procedure({"SendEmail"}, [&] {
    const std::string server = application_text("SmtpServer");
    const std::string from_address = application_text("EmailFromAddress");
    const std::string from_name = application_text("EmailFromName");
    if (server.empty() || from_address.empty() || from_name.empty()) {
      module_.error = "Misconfigured email options in ini file.";
      frame::exit_step();
    }
    sys::SmtpSettings settings;
    settings.host = server;
    // Ports run to 65535; a 16-bit conversion would refuse half of the valid ones.
    const std::int32_t port = vb::CLng(ctx_.application("SmtpPort"));
    if (port <= 0 || port > 65535) throw vb::err::overflow();
    settings.port = static_cast<std::uint16_t>(port);
    if (vb::CBool(ctx_.application("SmtpAuthentication"))) {
      settings.authenticate = true;
      settings.username = application_text("SmtpUsername");
      settings.password = application_text("SmtpPassword");
    }
    sys::MailMessage message;
    message.subject = Subject;
    message.body = Body;
    message.recipients = EmailAddress;
    message.from_address = from_address;
    message.from_name = from_name;
    if (!module_.services.mail) throw vb::err::object_not_set();
    module_.services.mail->send(settings, message);
  });
}
