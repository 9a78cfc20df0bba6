// Requests in and out of the request database outside the form post: deleting one, bringing a
// stored request's typed-in destination back into the form state, the flat bill-rate amounts of
// a customer's rate, and the breaking of long texts for the report tables.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "frame/context.h"

namespace request {

// Fields set by getBILLRATEFlat; indices 1 .. 5.
struct BillRateAmounts {
  std::array<float, 6> sngBillAmount{};
  std::array<std::string, 6> strBillAmountTxt{};
};

class Persistence : public frame::Subsystem {
 public:
  explicit Persistence(frame::RequestContext& context) : Subsystem(context) {}

  // Opens and closes the connections itself; a number without a row deletes nothing.
  void DeleteTripRequest(std::int32_t TripRequestNumber);
  // The destination keys of the form state from the stored request (empty when none).
  void SetDestFromREQ(std::int32_t lngTRIPNUM);
  // The trip connection must be open. A rate without a row leaves the defaults.
  void getBILLRATEFlat(std::int16_t BILLRATE);

  const BillRateAmounts& bill_rate() const { return bill_rate_; }

 private:
  BillRateAmounts bill_rate_;
};

// A text longer than `length` characters broken once after its 30th character ("<br>" after a
// blank, else "-<br>"); the argument becomes the result.
std::string BreakString(std::string& str, std::int16_t length);

}  // namespace request
