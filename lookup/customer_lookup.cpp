// The LookupCust item: find a customer by the beginning of its name and hand the choice back to
// the request form.
#include "config/ChkEligWeb.h"
#include "frame/keys.h"
#include "lookup/lookup_support.h"
#include "lookup/lookups.h"
#include "platform/vb/conversions.h"

void lookup::CustomerLookup::LookupCust_UserEvent(const std::string& /*EventName*/) {
  ctx_.write_template("LookupCust");
}

void lookup::CustomerLookup::LookupCust_ProcessTag(const std::string& TagName,
                                                   std::string& TagContents, bool& /*SendTags*/) {
  common_tag(TagName, TagContents);
}

void lookup::CustomerLookup::LookupCust_FindCusts() {
  db::Recordset rs;
  procedure(
      {"LookupCust_FindCusts", "Jaunter", true, true, true},
      [&] {
        if (!session_check()) frame::exit_step();
        const std::string sql =
            lookup::name_search_sql("SELECT CUSTOMER.* FROM CUSTOMER", "Customer.CUSTNAME",
                                    vb::Trim(ctx_.request().Form("CUSTDESC")));
        show_results(
            rs, sql,
            "<table border='1' width='714'><thead><tr><td width='58'><b>Selected</b></td>"
            "<td width='140'><b>Customer Name</b></td><td width='88'><b>Customer</b></td>"
            "</tr></thead><tbody>",
            [](const db::Recordset& row) {
              const std::string code = lookup::cell(row.field("CUSTOMER"));
              return "<tr><td><input type='radio' name='SelCust' value='" + code + "'></td><td>" +
                     lookup::cell(row.field("custname")) + "</td><td>" + code + "</td></tr>";
            },
            "LookupCust");
      },
      [&] { close_search(rs); });
}

void lookup::CustomerLookup::LookupCust_RetwSelected() {
  procedure(
      {"LookupCust_RetwSelected"},
      [&] {
        if (!session_check()) frame::exit_step();
        const std::string chosen = ctx_.request().Form("SelCust");
        if (!chosen.empty()) {
          set_session(keys::form::kCustomer, chosen);
          if (session_text(keys::kRequestNumber).empty()) {
            ctx_.response().Write("Session Timed Out, please try again.");
          }
        }
        return_to_form();
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
}
