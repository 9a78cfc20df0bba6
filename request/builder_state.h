// Page-object state of the form field builders: lookup lists and the record look-ups' fields.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/vb/variant.h"

namespace request {

// An array of texts indexed 0 .. count, element 0 empty. `filled` is false until a loader ran.
struct LookupList {
  vb::StringArray items;
  std::int16_t count = 0;
  bool filled = false;
};

struct LookupLists {
  LookupList statuses, divisions, grades, customers, destinations, tripcats, destcats;
  LookupList schedules, vehtypes, tickettemplates;
  // The fund list: rows 0 .. numFunds of code and description; row 0 empty.
  vb::StringTable funds;
  std::int16_t numFunds = 0;
  bool funds_filled = false;
};

// Fields set by getcust.
struct CustomerRecord {
  std::string strCustName;
  std::int16_t intCustBillRate = 0;
  std::string strCustSpec;
  std::string strDefaultCap;
  std::string strCustDefaultFormat;
  std::string strChainID;
  std::string strCustDiv;
  std::string strRequestorEmail;
  std::string strCustomer;  // the page object's current customer code (AddNewTRIPREQ)
};

// Fields set by getdest.
struct DestinationRecord {
  std::string strDestDesc;
  float sngDestMiles = 0;
  std::string strDestAdd1;
  std::string strDestAdd2;
};

// Fields set by getBILLRATEFlat; indices 1 .. 5.
struct BillRateAmounts {
  std::array<float, 6> sngBillAmount{};
  std::array<std::string, 6> strBillAmountTxt{};
};

}  // namespace request
