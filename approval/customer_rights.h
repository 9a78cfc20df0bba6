// Which customers' requests a customer-bound user may read and enter. A user whose customer is
// blank serves every customer.
#pragma once

#include <string_view>

namespace approval {

// A request of `request_customer` may be read by a user of `user_customer` when the user serves
// every customer, the request is his customer's, or the district lets schools see each other's
// requests (`view_other_schools`).
bool may_read_request(std::string_view user_customer, bool view_other_schools,
                      std::string_view request_customer);

// A request may be entered or saved for `customer` by a user of `user_customer` only when the
// user serves every customer or it is his own customer (whatever the district lets him read).
bool may_enter_for(std::string_view user_customer, std::string_view customer);

}  // namespace approval
