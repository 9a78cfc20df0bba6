// Handlers and operations still to come; each answers a short "not yet available" page.
#include "frame/Jaunter.h"

void Jaunter::SendEmail(const std::string& /*EmailAddress*/, const std::string& /*Subject*/,
                        const std::string& /*Body*/) {
  not_yet_available("SendEmail");
}
