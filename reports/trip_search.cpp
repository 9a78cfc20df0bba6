// The TripSearch item: the field trip search with its check box pairs, sort columns and billing
// totals; the query and its WHERE part stay in the session for the trip reports.
//
// The display query carries the billing sums; the engine counts the trips first, so that more
// than 300 are refused before any row is read.
#include "reports/trip_search.h"

#include "config/ChkEligWeb.h"
#include "frame/keys.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "reports/search_support.h"
#include "reports/trip_search_results.h"

namespace reports {

namespace {

constexpr const char* kColumns =
    "SELECT TRIPS.TRIPNUM, TRIPS.ESTTIME, TRIPS.ESTMILE, TRIPS.INTTRIPNUM, TRIPS.CUSTOMER, "
    "CUSTOMER.CUSTNAME, TRIPS.DESTINATION, DESTINATION.DESTDESC, TRIPS.DEPDATE, TRIPS.DEPTIME, "
    "TRIPS.ASSIGNED, TRIPS.BILLED, DateValue(TRIPS.BILLDATE) AS BILLDATE, TRIPS.CANCELED, "
    "DATEVALUE(TRIPS.CANDATE) AS CANDATE, TRIPS.GRADE, CUSTOMER.CUSTDIV, TRIPS.RETDATE, "
    "TRIPS.RETTIME, TRIPS.FUND, TRIPS.TRIPREQNUM, TRIPS.PO, TRIPS.TRIPCAT, TRIPS.SCHEDULE, "
    "TRIPS.NUMSTUDENTS, TRIPS.NUMADULTS, TRIPS.CONTACT, TRIPS.ARRIVETIME, TRIPS.LEAVETIME, "
    "TRIPS.PURPOSE, TRIPS.SHUTTLE, CUSTOMER_1.CUSTNAME as BILLCUSTNAME, TRIPS.BILLCUST";

constexpr const char* kSums =
    ", (SELECT SUM(TRANAMT) FROM ARDETAIL WHERE TRANCODE='BIL' AND TRIPNUM=TRIPS.TRIPNUM) AS "
    "TOTALBILLED, (SELECT SUM(TRANAMT) FROM ARDETAIL WHERE TRIPNUM=TRIPS.TRIPNUM) AS TOTALDUE";

constexpr const char* kFrom =
    " FROM (((TRIPS LEFT JOIN CUSTOMER ON TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) LEFT JOIN "
    "DESTINATION ON TRIPS.DESTINATION = DESTINATION.DESTINATION) LEFT JOIN CUSTOMER AS "
    "CUSTOMER_1 ON TRIPS.BILLCUST = CUSTOMER_1.CUSTOMER) ";

// A sort column goes into the SQL as it stands, so only the columns the page offers (and the
// first visit's DEPDATE) are taken; anything else sorts by departure date.
std::string sort_column(const std::string& posted) {
  static const char* const allowed[] = {"TRIPS.TRIPNUM",
                                        "CUSTOMER.CUSTNAME",
                                        "DESTINATION.DESTDESC",
                                        "TRIPS.NUMSTUDENTS",
                                        "TRIPS.DEPDATE",
                                        "TRIPS.TRIPREQNUM",
                                        "DEPDATE"};
  for (const char* column : allowed) {
    if (text::same_text(posted, column)) return posted;
  }
  return {};
}

bool ticked(const std::string& box) {
  return text::same_text(box, "ON");
}

// A pair of boxes filters only when exactly one of them is ticked.
void add_pair(SearchCriteria& criteria, const std::string& yes, const std::string& no,
              const char* yes_clause, const char* no_clause) {
  if (ticked(yes) == ticked(no)) return;
  criteria.add(ticked(yes) ? yes_clause : no_clause);
}

void set_pairs_on(TripSearchState& state) {
  for (std::string* box : {&state.strChkAssigned, &state.strChkUnassigned, &state.strChkBilled,
                           &state.strChkUnbilled, &state.strChkCancelled, &state.strChkOpen}) {
    *box = "ON";
  }
}

}  // namespace

void TripSearch::TripSearch_Respond() {
  trips_.blnTripAutofill = ctx_.application_flag("AUTOFILL_TRIPS");
  set_pairs_on(trips_);
  trips_.strChkOpenBalance.clear();
  trips_.strSortBy1 = "DEPDATE";
  trips_.strSortBy2.clear();
  TripSearch_FieldTrips();
}

void TripSearch::FieldTripsOfFund(const std::string& fund) {
  trips_.strTripFund = fund;
  trips_.blnTripAutofill = ctx_.application_flag("AUTOFILL_TRIPS");
  set_pairs_on(trips_);
  TripSearch_FieldTrips();
}

void TripSearch::ResetTripSearch() {
  trips_.blnTripAutofill = ctx_.application_flag("AUTOFILL_TRIPS");
  for (std::string* field :
       {&search_.strSearchGrade, &search_.strSearchDest, &search_.strSearchTripCat,
        &search_.strSearchDiv, &search_.strSearchDepFrom, &search_.strSearchDepTo,
        &trips_.strTripReqNum, &trips_.strTripNum, &search_.strSearchResults,
        &trips_.strTripFund}) {
    field->clear();
  }
  search_.strSearchCust = session_text(keys::kCustomer);
  set_pairs_on(trips_);
  search_.intSearchCount = 0;
}

void TripSearch::read_criteria(std::string& internal_number, std::string& purchase_order,
                               std::string& billing_customer) {
  const web::Request& request = ctx_.request();
  const std::pair<const char*, std::string*> boxes[] = {
      {"chkASSIGNED", &trips_.strChkAssigned},      {"chkUnassigned", &trips_.strChkUnassigned},
      {"chkBILLED", &trips_.strChkBilled},          {"chkUnbilled", &trips_.strChkUnbilled},
      {"chkCANCELLED", &trips_.strChkCancelled},    {"chkOPEN", &trips_.strChkOpen},
      {"chkOpenBalance", &trips_.strChkOpenBalance}};
  // An unticked box sends nothing and leaves its field as it was.
  for (const auto& [name, field] : boxes) {
    const std::string value = request.Form(name);
    if (!value.empty()) *field = value;
  }
  trips_.strSortBy1 = sort_column(request.Form("sortBy1"));
  trips_.strSortBy2 = sort_column(request.Form("sortBy2"));
  search_.strSearchGrade = request.Form("grade");
  const std::string customer = session_text(keys::kCustomer);
  const bool own_only = !ctx_.application_flag("VIEW_OTHER_SCHOOLS") && !vb::Trim(customer).empty();
  search_.strSearchCust = own_only ? customer : request.Form("cust");
  search_.strSearchDest = request.Form("dest");
  search_.strSearchDiv = text::before_first_comma(request.Form("div"));
  internal_number = request.Form("IntNum");
  trips_.strTripReqNum = request.Form("TRIPREQNUM");
  trips_.strTripNum = request.Form("TRIPNUM");
  search_.strSearchDepFrom = request.Form("DepFrom");
  search_.strSearchDepTo = request.Form("DepTo");
  search_.strSearchTripCat = request.Form("tripcat");
  if (trips_.strTripFund.empty()) trips_.strTripFund = request.Form("fund");
  purchase_order = request.Form("PO");
  billing_customer = text::before_first_comma(request.Form("BILLCUST"));
}

namespace {

// The WHERE part of the field trip search, clause by clause in their order.
SearchCriteria trip_criteria(frame::ModuleState& module, SearchState& search,
                             const TripSearchState& state, const std::string& internal_number,
                             const std::string& purchase_order,
                             const std::string& billing_customer) {
  SearchCriteria criteria;
  add_date_range(module, criteria, "TRIPS.DEPDATE", search.strSearchDepFrom, search.strSearchDepTo,
                 "Please enter a valid departure from date.",
                 "Please enter a valid departure to date.");
  if (!search.strSearchGrade.empty()) {
    criteria.add(" TRIPS.GRADE = " + db::quote_text(search.strSearchGrade));
  }
  // A blank customer (a user without one, after Reset) is no customer.
  if (!vb::Trim(search.strSearchCust).empty()) {
    criteria.add(" TRIPS.CUSTOMER = " + db::quote_text(search.strSearchCust));
  }
  if (!search.strSearchDest.empty()) {
    criteria.add(" TRIPS.DESTINATION = " + db::quote_double(search.strSearchDest));
  }
  if (!search.strSearchTripCat.empty()) {
    criteria.add(" TRIPS.TRIPCAT = " + db::quote_text(search.strSearchTripCat));
  }
  if (!search.strSearchDiv.empty()) {
    criteria.add(" CUSTOMER.CUSTDIV = " + db::quote_text(search.strSearchDiv));
  }
  if (!internal_number.empty()) {
    criteria.add(" TRIPS.INTTRIPNUM = " + db::quote_text(internal_number));
  }
  if (!state.strTripReqNum.empty()) {
    criteria.add(" TRIPS.TRIPREQNUM = " + db::quote_long(state.strTripReqNum));
  }
  if (!state.strTripNum.empty())
    criteria.add(" TRIPS.TRIPNUM = " + db::quote_long(state.strTripNum));
  add_pair(criteria, state.strChkAssigned, state.strChkUnassigned, " TRIPS.ASSIGNED = TRUE",
           " TRIPS.ASSIGNED = FALSE");
  add_pair(criteria, state.strChkBilled, state.strChkUnbilled, " TRIPS.BILLED = TRUE",
           " TRIPS.BILLED = FALSE");
  add_pair(criteria, state.strChkCancelled, state.strChkOpen, " TRIPS.CANCELED = TRUE",
           " TRIPS.CANCELED = FALSE");
  if (ticked(state.strChkOpenBalance)) {
    criteria.add(
        " (TRIPS.AMOUNT1 > 0 OR TRIPS.AMOUNT2 > 0 OR TRIPS.AMOUNT3 > 0 OR TRIPS.AMOUNT4 > 0 OR "
        "TRIPS.AMOUNT5 > 0)");
  }
  if (!billing_customer.empty()) {
    criteria.add(" TRIPS.BILLCUST = " + db::quote_text(billing_customer));
  }
  if (!purchase_order.empty()) criteria.add(" TRIPS.PO = " + db::quote_text(purchase_order));
  if (!state.strTripFund.empty())
    criteria.add(" TRIPS.FUND = " + db::quote_text(state.strTripFund));
  return criteria;
}

std::string order_of(const TripSearchState& state) {
  if (state.strSortBy1.empty()) return " ORDER BY TRIPS.DEPDATE";
  std::string order = " ORDER BY " + state.strSortBy1;
  if (!state.strSortBy2.empty()) order += ", " + state.strSortBy2;
  return order;
}

constexpr const char* kTooMany =
    "<table width='100%' border='1'><tr>&nbsp;</tr><tr><p align='center'><b><font "
    "color='#0000ff'>&nbsp;&nbsp;Sorry, your search has returned more than 300 trip requests. "
    "Please refine your search and try again.</font></b></p></tr></table>";

}  // namespace

void TripSearch::TripSearch_FieldTrips() {
  db::Recordset trips;
  procedure(
      {"TripSearch_FieldTrips"},
      [&] {
        set_session(keys::kLoadFromSession, "False");
        if (!session_check()) frame::exit_step();
        const web::Request& request = ctx_.request();
        const std::string button = request.Form("btnsubmit");
        std::string internal_number, billing_customer, purchase_order;
        if (text::same_text(button, "Reset")) {
          ResetTripSearch();
        } else if (text::same_text(button, "Fund")) {
          set_session(keys::kFundLookupFromTripSearch, "Y");
          const std::string customer = session_text(keys::kCustomer);
          set_session(keys::form::kCustomer,
                      vb::Trim(customer).empty() ? request.Form("cust") : customer);
          ctx_.write_template("LookupFund");
          frame::exit_step();
        } else {
          read_criteria(internal_number, purchase_order, billing_customer);
        }

        std::string count_query;
        search_.strSearchQuery.clear();
        if (trips_.blnTripAutofill) {
          const SearchCriteria criteria = trip_criteria(module_, search_, trips_, internal_number,
                                                        purchase_order, billing_customer);
          set_session(keys::kTripSummaryCondition, criteria.text());
          search_.strSearchQuery =
              std::string(kColumns) + kSums + kFrom + criteria.text() + order_of(trips_);
          count_query = std::string(kColumns) + kFrom + criteria.text();
        }

        if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
        bool listed = true;
        if (!count_query.empty()) {
          const long count = module_.trip_db().count_rows(count_query);
          search_.intSearchCount = search_count(count);
          listed = count <= 300;
          if (!listed) search_.strSearchResults = kTooMany;
        }
        if (listed && !search_.strSearchQuery.empty()) {
          trips.open(search_.strSearchQuery, module_.trip_db());
          if (trips.eof()) search_.intSearchCount = 0;
          search_.strSearchResults = trip_results_table(ctx_, trips_, trips);
          trips.close();
        }
        ChkEligWeb::CloseTripDBConnections(module_);
        set_session(keys::kTripReportQuery, search_.strSearchQuery);
        ctx_.write_template("TripSearch");
      },
      [&] {
        if (trips.is_open()) trips.close();
        ChkEligWeb::CloseTripDBConnections(module_);
      });
}

}  // namespace reports
