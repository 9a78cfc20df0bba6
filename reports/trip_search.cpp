// The TripSearch item: the field trip search with its check box pairs, sort columns and billing
// totals; the query and its WHERE part stay in the session for the trip reports.
//
// The display query carries the billing sums; a second query without them counts the trips
// first, so that more than 300 are refused before the sums are computed.
#include "config/ChkEligWeb.h"
#include "frame/Jaunter.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "reports/request_search_support.h"
#include "reports/trip_search_results.h"

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
void add_pair(reports::searching::SearchCriteria& criteria, const std::string& yes,
              const std::string& no, const char* yes_clause, const char* no_clause) {
  if (ticked(yes) == ticked(no)) return;
  criteria.add(ticked(yes) ? yes_clause : no_clause);
}

void set_pairs_on(reports::TripSearchState& state) {
  for (std::string* box : {&state.strChkAssigned, &state.strChkUnassigned, &state.strChkBilled,
                           &state.strChkUnbilled, &state.strChkCancelled, &state.strChkOpen}) {
    *box = "ON";
  }
}

}  // namespace

void Jaunter::TripSearch_Respond() {
  trip_search.blnTripAutofill = reports::searching::application_flag(*this, "AUTOFILL_TRIPS");
  set_pairs_on(trip_search);
  trip_search.strChkOpenBalance.clear();
  trip_search.strSortBy1 = "DEPDATE";
  trip_search.strSortBy2.clear();
  TripSearch_FieldTrips();
}

void Jaunter::ResetTripSearch() {
  trip_search.blnTripAutofill = reports::searching::application_flag(*this, "AUTOFILL_TRIPS");
  search.strSearchGrade.clear();
  search.strSearchDest.clear();
  search.strSearchTripCat.clear();
  search.strSearchDiv.clear();
  search.strSearchDepFrom.clear();
  search.strSearchDepTo.clear();
  trip_search.strTripReqNum.clear();
  trip_search.strTripNum.clear();
  search.strSearchResults.clear();
  trip_search.strTripFund.clear();
  search.strSearchCust = session_text("CUSTOMER");
  set_pairs_on(trip_search);
  search.intSearchCount = 0;
}

void Jaunter::TripSearch_FieldTrips() {
  db::Recordset trips;
  procedure(
      {"TripSearch_FieldTrips"},
      [&] {
        set_session("LoadRequestDetailFromSession", "False");
        if (!session_check()) frame::exit_step();
        const web::Request& request = ctx_.request();
        reports::TripSearchState& state = trip_search;
        const std::string button = request.Form("btnsubmit");
        std::string internal_number, billing_customer, purchase_order;

        if (text::same_text(button, "Reset")) {
          ResetTripSearch();
        } else {
          if (text::same_text(button, "Fund")) {
            set_session("SELTRIP", "Y");
            const std::string customer = session_text("CUSTOMER");
            set_session("RequestDetail.customer",
                        vb::Trim(customer).empty() ? request.Form("cust") : customer);
            ctx_.write_template("LookupFund");
            frame::exit_step();
          }
          const std::pair<const char*, std::string*> boxes[] = {
              {"chkASSIGNED", &state.strChkAssigned},
              {"chkUnassigned", &state.strChkUnassigned},
              {"chkBILLED", &state.strChkBilled},
              {"chkUnbilled", &state.strChkUnbilled},
              {"chkCANCELLED", &state.strChkCancelled},
              {"chkOPEN", &state.strChkOpen},
              {"chkOpenBalance", &state.strChkOpenBalance}};
          for (const auto& [name, field] : boxes) {
            const std::string value = request.Form(name);
            if (!value.empty()) *field = value;
          }
          state.strSortBy1 = sort_column(request.Form("sortBy1"));
          state.strSortBy2 = sort_column(request.Form("sortBy2"));
          search.strSearchGrade = request.Form("grade");
          const std::string customer = session_text("CUSTOMER");
          if (!reports::searching::application_flag(*this, "VIEW_OTHER_SCHOOLS") &&
              !vb::Trim(customer).empty()) {
            search.strSearchCust = customer;
          } else {
            search.strSearchCust = request.Form("cust");
          }
          search.strSearchDest = request.Form("dest");
          search.strSearchDiv = request.Form("div");
          internal_number = request.Form("IntNum");
          state.strTripReqNum = request.Form("TRIPREQNUM");
          state.strTripNum = request.Form("TRIPNUM");
          search.strSearchDepFrom = request.Form("DepFrom");
          search.strSearchDepTo = request.Form("DepTo");
          search.strSearchTripCat = request.Form("tripcat");
          if (state.strTripFund.empty()) state.strTripFund = request.Form("fund");
          purchase_order = request.Form("PO");
          billing_customer = request.Form("BILLCUST");
          billing_customer = reports::searching::code_of_item(billing_customer);
          search.strSearchDiv = reports::searching::code_of_item(search.strSearchDiv);
        }

        std::string count_query;
        search.strSearchQuery.clear();
        if (state.blnTripAutofill) {
          search.strSearchQuery = std::string(kColumns) + kSums + kFrom;
          count_query = std::string(kColumns) + kFrom;
          reports::searching::SearchCriteria criteria;
          if (!search.strSearchDepFrom.empty()) {
            if (!reports::searching::typed_date(search.strSearchDepFrom)) {
              module_.error = "Please enter a valid departure from date.";
              frame::exit_step();
            }
            if (vb::Trim(search.strSearchDepTo).empty()) {
              search.strSearchDepTo = search.strSearchDepFrom;
            } else if (!reports::searching::typed_date(search.strSearchDepTo)) {
              module_.error = "Please enter a valid departure to date.";
              frame::exit_step();
            }
            criteria.add(" TRIPS.DEPDATE >= #" + search.strSearchDepFrom +
                         "# and TRIPS.DEPDATE <= #" + search.strSearchDepTo + "#");
          }
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
          if (!state.strTripNum.empty()) {
            criteria.add(" TRIPS.TRIPNUM = " + db::quote_long(state.strTripNum));
          }
          add_pair(criteria, state.strChkAssigned, state.strChkUnassigned, " TRIPS.ASSIGNED = TRUE",
                   " TRIPS.ASSIGNED = FALSE");
          add_pair(criteria, state.strChkBilled, state.strChkUnbilled, " TRIPS.BILLED = TRUE",
                   " TRIPS.BILLED = FALSE");
          add_pair(criteria, state.strChkCancelled, state.strChkOpen, " TRIPS.CANCELED = TRUE",
                   " TRIPS.CANCELED = FALSE");
          if (ticked(state.strChkOpenBalance)) {
            criteria.add(
                " (TRIPS.AMOUNT1 > 0 OR TRIPS.AMOUNT2 > 0 OR TRIPS.AMOUNT3 > 0 OR TRIPS.AMOUNT4 > "
                "0 OR TRIPS.AMOUNT5 > 0)");
          }
          if (!billing_customer.empty()) {
            criteria.add(" TRIPS.BILLCUST = " + db::quote_text(billing_customer));
          }
          if (!purchase_order.empty()) {
            criteria.add(" TRIPS.PO = " + db::quote_text(purchase_order));
          }
          if (!state.strTripFund.empty()) {
            criteria.add(" TRIPS.FUND = " + db::quote_text(state.strTripFund));
          }

          set_session("TripReportSummaryCondition", criteria.text());
          search.strSearchQuery += criteria.text();
          if (!state.strSortBy1.empty()) {
            search.strSearchQuery += " ORDER BY " + state.strSortBy1;
            if (!state.strSortBy2.empty()) search.strSearchQuery += ", " + state.strSortBy2;
          } else {
            search.strSearchQuery += " ORDER BY TRIPS.DEPDATE";
          }
          count_query += criteria.text();
        }

        if (!prepare_database()) frame::exit_step();
        bool listed = true;
        if (!count_query.empty()) {
          trips.open(count_query, module_.trip_db());
          search.intSearchCount =
              reports::searching::search_count(trips.eof() ? 0 : trips.record_count());
          const bool too_many = trips.record_count() > 300;
          trips.close();
          if (too_many) {
            search.strSearchResults =
                "<table width='100%' border='1'><tr>&nbsp;</tr><tr><p align='center'><b><font "
                "color='#0000ff'>&nbsp;&nbsp;Sorry, your search has returned more than 300 trip "
                "requests. Please refine your search and try again.</font></b></p></tr></table>";
            listed = false;
          }
        }
        if (listed && !search.strSearchQuery.empty()) {
          trips.open(search.strSearchQuery, module_.trip_db());
          if (trips.eof()) search.intSearchCount = 0;
          search.strSearchResults = reports::searching::trip_results_table(*this, trips);
          trips.close();
        }
        ChkEligWeb::CloseTripDBConnections(module_);
        set_session("TripReportQuery", search.strSearchQuery);
        ctx_.write_template("TripSearch");
      },
      [&] {
        if (trips.is_open()) trips.close();
        ChkEligWeb::CloseTripDBConnections(module_);
      });
}
