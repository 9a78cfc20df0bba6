// The LookupFund item: find an active fund by the beginning of its code or description (only the
// customer's own funds where the district says so) and hand it back to the request form or to
// the field trip search.
#include "config/ChkEligWeb.h"
#include "frame/keys.h"
#include "lookup/lookup_support.h"
#include "lookup/lookups.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "platform/vb/errors.h"
#include "reports/trip_search.h"

void lookup::FundLookup::LookupFund_UserEvent(const std::string& EventName) {
  strFundEvent_ = EventName;
  ctx_.write_template("LookupFund");
}

void lookup::FundLookup::LookupFund_ProcessTag(const std::string& TagName, std::string& TagContents,
                                               bool& /*SendTags*/) {
  if (common_tag(TagName, TagContents)) return;
  if (text::same_text(TagName, "WC@FUND")) {
    TagContents = web::html_escape(strFundEvent_);
  }
}

void lookup::FundLookup::LookupFund_FindFunds() {
  db::Recordset rs;
  procedure(
      {"LookupFund_FindFunds", "Jaunter", true, true, true},
      [&] {
        if (!session_check()) frame::exit_step();
        const bool customer_funds =
            text::same_text(application_text("DISTRICT.USECUSTFUND"), "True") &&
            text::same_text(session_text(keys::kCanOverrideFund), "False");
        const std::string code = vb::Trim(ctx_.request().Form("FUND"));
        const std::string description = vb::Trim(ctx_.request().Form("DESC"));
        std::string conditions;
        auto add = [&](const std::string& clause) {
          conditions += (conditions.empty() ? " WHERE" : " AND") + clause;
        };
        if (!code.empty()) add(" ucase$(FUND.FUND) like " + lookup::upper_prefix_pattern(code));
        if (!description.empty()) add(" FUND.FUNDDESC like " + lookup::prefix_pattern(description));
        std::string sql;
        if (customer_funds) {
          const std::string customer = session_text(keys::form::kCustomer);
          if (customer.empty()) {
            module_.error = "Please select a customer first.";
            frame::exit_step();
          }
          add(" CUSTOMER_FUND.CUSTOMER=" + db::quote_text(customer) + " AND FUND.ACTIVE = TRUE");
          sql =
              "SELECT FUND.* FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND = "
              "CUSTOMER_FUND.FUND" +
              conditions + " ORDER BY FUND.FUND";
        } else {
          if (code.empty() && description.empty()) {
            module_.error =
                "Sorry, you need to either enter a fund number or a description before searching "
                "for funds.  Please use your browser's back button and try again.";
            frame::exit_step();
          }
          add(" FUND.ACTIVE = TRUE");
          sql = "SELECT FUND.* FROM FUND" + conditions + " ORDER BY FUND.FUND";
        }
        show_results(
            rs, sql,
            "<table width='737' border='1'><thead><tr><td><b>Selected</b></td>"
            "<td><b>Fund</b></td><td><b>Description</b></td></tr></thead><tbody>",
            [](const db::Recordset& row) {
              const std::string fund = lookup::cell(row.field("Fund"));
              return "<tr><td><input type='radio' name='SelFund' value='" + fund + "'></td><td>" +
                     fund + "</td><td>" + lookup::cell(row.field("FUNDDESC")) + "</td></tr>";
            },
            "LookupFund");
      },
      [&] { close_search(rs); });
}

void lookup::FundLookup::LookupFund_RetwSelected() {
  procedure(
      {"LookupFund_RetwSelected"},
      [&] {
        if (!session_check()) frame::exit_step();
        const std::string chosen = ctx_.request().Form("SelFund");
        set_session(keys::form::kFund, chosen);
        if (text::same_text(session_text(keys::kFundLookupFromTripSearch), "Y")) {
          set_session(keys::kFundLookupFromTripSearch, "");
          ctx_.get<reports::TripSearch>().FieldTripsOfFund(chosen);
          frame::exit_step();
        }
        return_to_form();
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
}
