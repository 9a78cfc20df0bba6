// The form field builders: the lookup lists of the code tables, the drop-downs and the date and
// time selectors of the request form, and the record look-ups (customer, destination, fund,
// chain) with the fields they fill.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "frame/context.h"
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
};

// Fields set by getdest.
struct DestinationRecord {
  std::string strDestDesc;
  float sngDestMiles = 0;
  std::string strDestAdd1;
  std::string strDestAdd2;
};

// A lookup list the login left in the session: items 0 .. its count key, as far as it has them.
// The span reads the session in place: valid until the session's list is written again.
std::span<const std::string> session_items(const frame::RequestContext& context,
                                           std::string_view list_key, std::string_view count_key);
vb::StringArray session_list(const frame::RequestContext& context, std::string_view list_key,
                             std::string_view count_key);
// A count key as a number; a value that is none counts 0.
int session_count(const frame::RequestContext& context, std::string_view count_key);

class FieldBuilders : public frame::Subsystem {
 public:
  explicit FieldBuilders(frame::RequestContext& context) : Subsystem(context) {}

  // The list loaders: the code tables into the lookup lists (the trip connection open).
  void PopulateDD();
  void PopulateGradeDD();
  void PopulateCustDD();
  void PopulateDestDD();
  void PopulateCatDD();
  void PopulateDESTCATDD();
  // Opens and closes the connections itself; an empty filter loads every active fund.
  void PopulateFundDD(const std::string& CustomerFilter);

  // The drop-downs of the request form.
  std::string BuildFundDD(const std::string& Attributes, const std::string& Fund);
  std::string BuildDestinationDD(const std::string& Attributes, const std::string& Destination,
                                 bool DestinationIsNew);
  std::string BuildMonthDD(vb::DateTime date, const std::string& prefix,
                           const std::string& attributes);
  std::string BuildDayDD(vb::DateTime date, const std::string& prefix,
                         const std::string& attributes);
  std::string BuildYearDD(vb::DateTime date, const std::string& prefix,
                          const std::string& attributes);
  std::string BuildTimeDD(vb::DateTime time, const std::string& prefix,
                          const std::string& attributes);

  // The record look-ups.
  void getcust(const std::string& custnum);
  std::string getdest(const std::string& dest);
  // The fund's description ("No Description" when it has none); none when the fund is unknown,
  // inactive or not the customer's.
  std::optional<std::string> getFundDesc(const std::string& fundnum, const std::string& customer);
  std::string getCHAIN(const std::string& strCustNum, const std::string& strTripCat);
  std::string getTIME(const std::string& strTIME);
  std::string getDATE(vb::DateTime dtDATE);

  const LookupLists& lists() const { return lists_; }
  const CustomerRecord& customer() const { return customer_; }
  const DestinationRecord& destination() const { return destination_; }

 private:
  LookupLists lists_;
  CustomerRecord customer_;
  DestinationRecord destination_;
};

}  // namespace request
