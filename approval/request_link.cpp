// The address of a request's form in mail.
#include "approval/request_link.h"

#include "platform/vb/conversions.h"

namespace approval {

std::string request_link(const std::string& base_url, std::int32_t number) {
  std::string base = vb::Trim(base_url);
  if (base.empty()) return "";
  if (base.ends_with('/')) base += "Jaunter.ASP";
  return base + "?WCI=RequestDetail&WCE=" + std::to_string(number) + "&WCU";
}

}  // namespace approval
