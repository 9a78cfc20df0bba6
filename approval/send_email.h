// SendEmail: one notification mail through the SMTP transport, with the district's settings.
#pragma once

#include <string>

#include "frame/context.h"

namespace approval {

// `EmailAddress` may hold several addresses joined by "; ". A missing server, sender address or
// sender name, and any failure of the transport, are reported through the module error string.
void SendEmail(frame::RequestContext& context, const std::string& EmailAddress,
               const std::string& Subject, const std::string& Body);

}  // namespace approval
