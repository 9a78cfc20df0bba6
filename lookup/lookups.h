// The customer, destination and fund lookups: finding a record and returning the choice to the
// request form (or, for a fund, to the field trip search); entering a new destination.
#pragma once

#include <string>

#include "frame/context.h"
#include "platform/db/db.h"

namespace lookup {

// What the three lookups share: the result table of the last search, the search with its
// 300-row limit, and the tags every lookup page answers.
class Lookup : public frame::Subsystem {
 public:
  explicit Lookup(frame::RequestContext& context) : Subsystem(context) {}

 protected:
  using RowWriter = std::string (*)(const db::Recordset&);
  // Runs the query on the trip database and writes the item's template with the result table.
  // More than 300 rows, or connections that fail, end at the exit step with the module error
  // string set; recordset and connections are closed either way.
  void show_results(db::Recordset& rs, const std::string& sql, const std::string& table_head,
                    RowWriter row, const char* item);
  // Closes the search's recordset when open, then the connections (the handlers' cleanup).
  void close_search(db::Recordset& rs);
  // The district header, WC@TRIPREQ and WC@RESULTS; false for other tags.
  bool common_tag(const std::string& tag_name, std::string& tag_contents);
  // Back to the request form the lookup was opened from.
  void return_to_form();

  std::string results_;
};

class CustomerLookup : public Lookup {
 public:
  using Lookup::Lookup;
  void LookupCust_UserEvent(const std::string& EventName);
  void LookupCust_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void LookupCust_FindCusts();
  void LookupCust_RetwSelected();
};

class DestinationLookup : public Lookup {
 public:
  using Lookup::Lookup;
  void LookupDest_UserEvent(const std::string& EventName);
  void LookupDest_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void LookupDest_FindDests();
  void LookupDest_RetwSelected();

 private:
  // The form for a destination that is not in the table, with what the session keeps of it.
  std::string add_form();
};

class FundLookup : public Lookup {
 public:
  using Lookup::Lookup;
  void LookupFund_UserEvent(const std::string& EventName);
  void LookupFund_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void LookupFund_FindFunds();
  void LookupFund_RetwSelected();

 private:
  std::string strFundEvent_;  // the event name, shown by WC@FUND
};

}  // namespace lookup
