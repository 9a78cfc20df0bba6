// SendEmail: one notification mail through the SMTP transport, with the district's settings.
#include "approval/send_email.h"

#include "platform/sys/mail.h"
#include "platform/vb/conversions.h"

void approval::SendEmail(frame::RequestContext& context, const std::string& EmailAddress,
                         const std::string& Subject, const std::string& Body) {
  frame::ModuleState& module = context.module();
  context.procedure({"SendEmail"}, [&] {
    const std::string server = context.application_text("SmtpServer");
    const std::string from_address = context.application_text("EmailFromAddress");
    const std::string from_name = context.application_text("EmailFromName");
    if (server.empty() || from_address.empty() || from_name.empty()) {
      module.error = "Misconfigured email options in ini file.";
      frame::exit_step();
    }
    sys::SmtpSettings settings;
    settings.host = server;
    // Ports run to 65535; a 16-bit conversion would refuse half of the valid ones.
    const std::int32_t port = vb::CLng(context.application("SmtpPort"));
    if (port <= 0 || port > 65535) throw vb::err::overflow();
    settings.port = static_cast<std::uint16_t>(port);
    if (vb::CBool(context.application("SmtpAuthentication"))) {
      settings.authenticate = true;
      settings.username = context.application_text("SmtpUsername");
      settings.password = context.application_text("SmtpPassword");
    }
    sys::MailMessage message;
    message.subject = Subject;
    message.body = Body;
    message.recipients = EmailAddress;
    message.from_address = from_address;
    message.from_name = from_name;
    if (!module.services.mail) throw vb::err::object_not_set();
    module.services.mail->send(settings, message);
  });
}
