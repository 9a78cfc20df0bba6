// The RequestSearch item: the main menu (Navigate), the approver's work list (Respond) and the
// request search built from the typed criteria (TripRequests).
//
// Typed criteria enter the SQL through the quoting helpers only; dates go in as typed once they
// are known to be dates, so a well-formed search stores the very text the report pages expect in
// TripRequestReportQuery.
#include "reports/request_search.h"

#include <vector>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "reports/search_support.h"
#include "request/field_builders.h"
#include "request/request_form.h"

namespace reports {

namespace {

constexpr const char* kWorkListQuery =
    "SELECT TRIPSREQ.TRIPNUM, TRIPSREQ.ENTERDATE, TRIPSREQ.CONTACT, TRIPSREQ.INTTRIPNUM, "
    "TRIPSREQ.CUSTOMER, TRIPSREQ.DESTINATION, tripsreq.destdesc as trDESTDESC, TRIPSREQ.DEPDATE, "
    "TRIPSREQ.DEPTIME, TRIPSREQ.STATUS, DateValue(TRIPSREQ.STATUS_DATE) AS Expr1, "
    "TRIPSREQ.STATUS_COMMENT, TRIPSREQ.GRADE, TRIPSREQ.RETDATE, TRIPSREQ.RETTIME, "
    "TRIPSREQ.ARRIVETIME, TRIPSREQ.LEAVETIME, TRIPSREQ.FUND, TRIPSREQ.REQDATE, TRIPSREQ.CHAINID, "
    "TRIPSREQ.TRIPCAT, TRIPSREQ.FIELDTRIP_NUM, TRIPSREQ.NUMSTUDENTS, TRIPSREQ.NUMADULTS, "
    "TRIPSREQ.PURPOSE FROM TRIPSREQ";

constexpr const char* kSearchQuery =
    "SELECT TRIPSREQ.TRIPNUM, TRIPSREQ.ENTERDATE, TRIPSREQ.CONTACT, TRIPSREQ.INTTRIPNUM, "
    "TRIPSREQ.CUSTOMER, TRIPSREQ.DESTINATION, tripsreq.destdesc as trDESTDESC, TRIPSREQ.DEPDATE, "
    "TRIPSREQ.DEPTIME, TRIPSREQ.STATUS, DateValue(TRIPSREQ.STATUS_DATE) AS Expr1, "
    "TRIPSREQ.STATUS_COMMENT, TRIPSREQ.GRADE, TRIPSREQ.RETDATE, TRIPSREQ.RETTIME, "
    "TRIPSREQ.ARRIVETIME, TRIPSREQ.LEAVETIME, TRIPSREQ.FUND, TRIPSREQ.REQDATE, TRIPSREQ.CHAINID, "
    "TRIPSREQ.FIELDTRIP_NUM, TRIPSREQ.TRIPCAT, TRIPSREQ.NUMSTUDENTS, TRIPSREQ.NUMADULTS, "
    "TRIPSREQ.PURPOSE FROM TRIPSREQ";

struct WorkListEntry {
  std::string chain;
  std::string waiting_status;
};

// One entry per chain level whose approver is the role: the status a request has while it waits
// there ("UNAPPROVED" at level 1, else what the level before sets when it approves).
std::vector<WorkListEntry> work_list(db::Recordset& chains, const std::string& role) {
  std::vector<WorkListEntry> entries;
  for (; !chains.eof(); chains.move_next()) {
    for (int level = 1; level <= 8; ++level) {
      const vb::Variant& approver = chains.field("Level" + std::to_string(level) + "Approver");
      // An unused level (Null) is nobody's, whatever blank a role may read as.
      if (approver.is_null() || !text::same_text(data::NullToStr(approver), role)) continue;
      entries.push_back({data::NullToStr(chains.field("chainid")),
                         level == 1 ? std::string("UNAPPROVED")
                                    : data::NullToStr(chains.field(
                                          "Level" + std::to_string(level - 1) + "Status"))});
    }
  }
  return entries;
}

}  // namespace

void RequestSearch::RequestSearch_Navigate() {
  procedure({"RequestSearch_Navigate", "Jaunter", false, true}, [&] {
    if (!session_check()) frame::exit_step();
    set_session(keys::kLoadFromSession, "False");
    request::clear_form_keys(ctx_);
    const std::string button = vb::UCase(ctx_.request().Form("btnsubmit"));
    if (text::same_text(button, "WORK WITH TRIP REQUESTS")) {
      ctx_.set_next_item("RequestSearch");
    } else if (text::same_text(button, "ENTER NEW REQUEST")) {
      ctx_.get<request::RequestForm>().SetNewVars();
      ctx_.set_next_item("RequestDetail");
    } else if (text::same_text(button, "VIEW FIELD TRIPS")) {
      ctx_.set_next_item("TripSearch");
    } else if (text::same_text(button, "LOG OUT")) {
      ctx_.set_next_item("Logout");
    }
  });
}

std::string RequestSearch::work_list_query(const std::string& role) {
  db::Recordset chains;
  chains.open("Select * from CLSCC where CLSCC.Active = TRUE", module_.security_db());
  const std::vector<WorkListEntry> entries = work_list(chains, role);
  chains.close();
  if (entries.empty()) return {};
  std::string condition;
  for (const WorkListEntry& entry : entries) {
    if (!condition.empty()) condition += " OR ";
    condition += "(TRIPSREQ.CHAINID = " + db::quote_text(entry.chain) +
                 " AND TRIPSREQ.STATUS = " + db::quote_text(entry.waiting_status) + ")";
  }
  std::string query = std::string(kWorkListQuery) + " WHERE (" + condition + ")";
  const std::string customer = session_text(keys::kCustomer);
  if (!vb::Trim(customer).empty()) {
    query += " AND (TRIPSREQ.CUSTOMER = " + db::quote_text(customer) + ")";
    search_.strSearchCust = customer;
  }
  return query;
}

void RequestSearch::RequestSearch_Respond() {
  procedure(
      {"RequestSearch_Respond"},
      [&] {
        set_session(keys::kLoadFromSession, "False");
        if (!session_check()) frame::exit_step();
        // A Null role reads as one blank; it holds no level of any chain.
        const std::string role = session_text(keys::kRole);
        if (!vb::Trim(role).empty()) {
          if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
          search_.strSearchQuery = work_list_query(role);
          ChkEligWeb::CloseTripDBConnections(module_);
        }
        search_.blnReqAutofill = ctx_.application_flag("AUTOFILL_REQUESTS");
        RequestSearch_TripRequests();
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
}

void RequestSearch::waiting_for_me() {
  const std::string role = session_text(keys::kRole);
  search_.strSearchQuery.clear();
  if (!vb::Trim(role).empty()) {
    if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
    search_.strSearchQuery = work_list_query(role);
  }
  search_.intSearchCount = 0;
  search_.strSearchResults = "<p class='empty'>No trip requests are waiting for your approval.</p>";
}

void RequestSearch::read_criteria() {
  const web::Request& request = ctx_.request();
  search_.strReqStatus = request.Form("Status");
  search_.strSearchGrade = request.Form("grade");
  const std::string customer = session_text(keys::kCustomer);
  if (!ctx_.application_flag("VIEW_OTHER_SCHOOLS") && !vb::Trim(customer).empty()) {
    // The user may only search his own customer.
    search_.strSearchCust = customer;
  } else {
    search_.strSearchCust = request.Form("cust");
    for (const std::string& item :
         request::session_list(ctx_, keys::kCustomers, keys::kCustomerCount)) {
      if (text::same_text(vb::Trim(item), vb::Trim(search_.strSearchCust))) {
        search_.strSearchCust = item;
        break;
      }
    }
  }
  search_.strSearchCust = text::before_first_comma(search_.strSearchCust);
  search_.strSearchDest = request.Form("dest");
  search_.strSearchDiv = text::before_first_comma(request.Form("div"));
  search_.strReqIntNum = request.Form("IntNum");
  search_.strSearchDepFrom = request.Form("DepFrom");
  search_.strSearchDepTo = request.Form("DepTo");
  search_.strReqEnterFrom = request.Form("EnterFrom");
  search_.strReqEnterTo = request.Form("EnterTo");
  search_.strSearchTripCat = request.Form("tripcat");
}

void RequestSearch::build_query() {
  search_.strSearchQuery = kSearchQuery;
  SearchCriteria criteria;
  add_date_range(module_, criteria, "TRIPSREQ.DEPDATE", search_.strSearchDepFrom,
                 search_.strSearchDepTo, "Please enter a valid departure from date.",
                 "Please enter a valid departure to date.");
  add_date_range(module_, criteria, "datevalue(TRIPSREQ.REQDATE)", search_.strReqEnterFrom,
                 search_.strReqEnterTo, "Please enter a valid enter from date.",
                 "Please enter a valid enter to date.");
  const std::pair<const char*, const std::string*> texts[] = {
      {" TRIPSREQ.STATUS = ", &search_.strReqStatus},
      {" TRIPSREQ.GRADE = ", &search_.strSearchGrade}};
  for (const auto& [clause, value] : texts) {
    if (!value->empty()) criteria.add(clause + db::quote_text(*value));
  }
  if (!vb::Trim(search_.strSearchCust).empty()) {
    criteria.add(" TRIPSREQ.CUSTOMER = " + db::quote_text(search_.strSearchCust));
  }
  if (!search_.strSearchDest.empty()) {
    criteria.add(" TRIPSREQ.DESTINATION = " + db::quote_double(search_.strSearchDest));
  }
  if (!search_.strSearchTripCat.empty()) {
    criteria.add(" TRIPSREQ.TRIPCAT = " + db::quote_text(search_.strSearchTripCat));
  }
  if (!search_.strReqIntNum.empty()) {
    criteria.add(" TRIPSREQ.INTTRIPNUM = " + db::quote_text(search_.strReqIntNum));
  }
  // The division filters the result table, not the query.
  if (!search_.strSearchDiv.empty()) search_.strReqDivFilter = search_.strSearchDiv;
  search_.strSearchQuery += criteria.text();
}

void RequestSearch::RequestSearch_TripRequests() {
  procedure(
      {"RequestSearch_TripRequests"},
      [&] {
        if (!session_check()) frame::exit_step();
        set_session(keys::kDepartureWarned, false);
        set_session(keys::kReturnWarned, false);
        const std::string button = ctx_.request().Form("btnsubmit");
        const bool waiting = text::same_text(button, kWaitingForMe);
        if (text::same_text(button, "Reset") || text::same_text(button, "**Exit**")) {
          ResetRequestSearch();
        } else if (waiting) {
          waiting_for_me();
        } else {
          read_criteria();
        }
        if (!waiting && search_.strSearchQuery.empty() && search_.blnReqAutofill) build_query();
        if (!vb::Trim(search_.strSearchQuery).empty()) {
          search_.strSearchQuery +=
              " ORDER BY TRIPSREQ.DEPDATE, TRIPSREQ.DEPTIME, TRIPSREQ.DESTINATION";
        }
        set_session(keys::kRequestReportQuery, search_.strSearchQuery);
        BuildRequestResultsTable(search_.strSearchQuery);
        ChkEligWeb::CloseTripDBConnections(module_);
        ctx_.write_template("RequestSearch");
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
}

void RequestSearch::ResetRequestSearch() {
  search_.blnReqAutofill = ctx_.application_flag("AUTOFILL_REQUESTS");
  for (std::string* field :
       {&search_.strSearchQuery, &search_.strReqStatus, &search_.strSearchGrade,
        &search_.strSearchDest, &search_.strSearchDiv, &search_.strReqIntNum,
        &search_.strSearchDepFrom, &search_.strSearchDepTo, &search_.strReqEnterFrom,
        &search_.strReqEnterTo, &search_.strSearchResults}) {
    field->clear();
  }
  search_.strSearchCust = session_text(keys::kCustomer);
  search_.intSearchCount = 0;
}

}  // namespace reports
