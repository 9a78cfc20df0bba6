// Customer-bound users: reading and entering requests of their own customer only.
#include "approval/customer_rights.h"

#include "platform/vb/conversions.h"

namespace approval {

bool may_enter_for(std::string_view user_customer, std::string_view customer) {
  const std::string own = vb::Trim(user_customer);
  return own.empty() || text::same_text(own, vb::Trim(customer));
}

bool may_read_request(std::string_view user_customer, bool view_other_schools,
                      std::string_view request_customer) {
  return view_other_schools || may_enter_for(user_customer, request_customer);
}

}  // namespace approval
