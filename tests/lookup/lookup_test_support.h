// What the lookup tests share: the sample district, a signed-in browser and a few page probes.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/sample_data.h"

namespace lookup_tests {

using namespace testing_support;

inline constexpr const char* kTooManyRows =
    "Sorry, your search returned more than 300 rows.  Please be more specific with your "
    "selection criteria.  Use your browser's back button and try again.";
inline constexpr const char* kTimedOut =
    "Sorry, your session has timed out please log in again and retry.";
inline constexpr const char* kResultsEnd =
    "</tbody></table><p align='center'><input type='submit' value='Return' "
    "name='btnSubmit2'></p></td></tr>";

// The request form as the lookups hand it back (its form post's address).
inline bool shows_request_form(const std::string& page) {
  return contains(page, "WCI=RequestDetail&amp;WCE=TripRequestDetail");
}

class LookupTest : public ::testing::Test {
 protected:
  LookupTest() { add_sample_data(district_); }

  // Signs in and leaves the session as the request form does before it opens a lookup page.
  void open_lookup_as(const std::string& user, const std::string& password,
                      const std::string& request_number = "") {
    sign_in(sim_, user, password,
            request_number.empty() ? "Enter a New Trip Request" : "Work With Trip Requests");
    sim_.set_session("LoadRequestDetailFromSession", "True");
    sim_.set_session("TRIPREQ", request_number);
    if (!request_number.empty()) sim_.set_session("RequestDetail.New", "EXISTING");
  }

  District district_;
  Simulator sim_{district_};
};

}  // namespace lookup_tests
