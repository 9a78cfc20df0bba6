// A small district for the handler tests: code tables, customers, destinations, funds, chains,
// users and a few requests.
#pragma once

#include "tests/support/simulator.h"

namespace testing_support {

// Fills the district with the sample rows (District, TRIPREQ_REQUIRED and EMAIL_OPTIONS too).
void add_sample_data(const District& district);

// Signs in through the login form; returns the response.
Result sign_in(Simulator& sim, const std::string& user, const std::string& password,
               const std::string& button = "Work With Trip Requests");

}  // namespace testing_support
