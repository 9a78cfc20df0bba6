// The plain messages with which the request form refuses what a user may not do, or a request
// that is not there. Each is the whole answer of its request.
#pragma once

namespace request::refusal {

inline constexpr const char* kGone =
    "<p>Sorry, this trip request does not exist any more.  It may have been deleted.  Use your "
    "browser's back button and open the request list again.</p>";
inline constexpr const char* kNotANumber =
    "<p>Sorry, this is not the number of a trip request.  Use your browser's back button and "
    "try again.</p>";
inline constexpr const char* kOpen =
    "<p>Sorry, you may not open this trip request.  It belongs to another customer.  Use your "
    "browser's back button and try again.</p>";
inline constexpr const char* kPrint =
    "<p>Sorry, you may not print this trip request.  It belongs to another customer.  Use your "
    "browser's back button and try again.</p>";
inline constexpr const char* kCopy =
    "<p>Sorry, you may not copy this trip request.  It belongs to another customer.  Use your "
    "browser's back button and try again.</p>";
inline constexpr const char* kDelete =
    "<p>Sorry, you may not delete this trip request.  Use your browser's back button and try "
    "again.</p>";
inline constexpr const char* kChange =
    "<p>Sorry, you may not change this trip request.  Use your browser's back button and try "
    "again.</p>";
inline constexpr const char* kApprove =
    "<p>Sorry, you may not approve or deny this trip request.  Use your browser's back button "
    "and try again.</p>";
inline constexpr const char* kOtherCustomer =
    "<p>Sorry, you may not save this trip request for another customer.  Use your browser's "
    "back button and choose your own customer.</p>";

}  // namespace request::refusal
