// The address of a request's form in mail: the host page's link with the request as its event.
#pragma once

#include <cstdint>
#include <string>

namespace approval {

// "<base>?WCI=RequestDetail&WCE=<number>&WCU"; a base ending in "/" gets the host page's name.
// Empty when the base is blank, so that mail leaves the link out.
std::string request_link(const std::string& base_url, std::int32_t number);

}  // namespace approval
