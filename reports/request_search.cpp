// The RequestSearch item: the main menu (Navigate), the approver's work list (Respond) and the
// request search built from the typed criteria (TripRequests).
//
// Typed criteria enter the SQL through the quoting helpers only; dates go in as typed once they
// are known to be dates, so a well-formed search stores the very text the report pages expect in
// TripRequestReportQuery.
#include <vector>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "reports/request_search_support.h"

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

// The request form's keys that a menu choice clears, in the order they are cleared.
constexpr const char* kFormKeys[] = {"RequestDetail.destination",
                                     "RequestDetail.contact",
                                     "RequestDetail.fund",
                                     "RequestDetail.dep_month",
                                     "RequestDetail.dep_date",
                                     "RequestDetail.dep_year",
                                     "RequestDetail.ret_month",
                                     "RequestDetail.ret_date",
                                     "RequestDetail.ret_year",
                                     "RequestDetail.dep_hour",
                                     "RequestDetail.dep_min",
                                     "RequestDetail.dep_ampm",
                                     "RequestDetail.arrive_hour",
                                     "RequestDetail.arrive_min",
                                     "RequestDetail.arrive_ampm",
                                     "RequestDetail.leave_hour",
                                     "RequestDetail.leave_min",
                                     "RequestDetail.leave_ampm",
                                     "RequestDetail.ret_hour",
                                     "RequestDetail.ret_min",
                                     "RequestDetail.ret_ampm",
                                     "RequestDetail.numadults",
                                     "RequestDetail.numstudents",
                                     "RequestDetail.numhand",
                                     "RequestDetail.esttime",
                                     "RequestDetail.estmile",
                                     "RequestDetail.purpose",
                                     "RequestDetail.custspec",
                                     "RequestDetail.destspec",
                                     "RequestDetail.tripcom",
                                     "RequestDetail.po",
                                     "RequestDetail.inttripnum",
                                     "RequestDetail.tripcat",
                                     "RequestDetail.grade",
                                     "TRIPREQ",
                                     "RequestDetail.requestoremail",
                                     "RequestDetail.New"};

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

// Stops the handler with a user message, which its exit step writes alone.
[[noreturn]] void refuse(Jaunter& page, const char* message) {
  page.module().error = message;
  frame::exit_step();
}

}  // namespace

void Jaunter::RequestSearch_Navigate() {
  procedure({"RequestSearch_Navigate", "Jaunter", false, true}, [&] {
    if (!session_check()) frame::exit_step();
    set_session("LoadRequestDetailFromSession", "False");
    for (const char* key : kFormKeys) set_session(key, "");
    const std::string button = vb::UCase(ctx_.request().Form("btnsubmit"));
    if (text::same_text(button, "WORK WITH TRIP REQUESTS")) {
      ctx_.set_next_item("RequestSearch");
    } else if (text::same_text(button, "ENTER NEW REQUEST")) {
      SetNewVars();
      ctx_.set_next_item("RequestDetail");
    } else if (text::same_text(button, "VIEW FIELD TRIPS")) {
      ctx_.set_next_item("TripSearch");
    } else if (text::same_text(button, "LOG OUT")) {
      ctx_.set_next_item("Logout");
    }
  });
}

void Jaunter::RequestSearch_Respond() {
  db::Recordset chains;
  procedure(
      {"RequestSearch_Respond"},
      [&] {
        set_session("LoadRequestDetailFromSession", "False");
        if (!session_check()) frame::exit_step();
        // A Null role reads as one blank; it holds no level of any chain.
        const std::string role = session_text("ROLE");
        if (!vb::Trim(role).empty()) {
          if (!prepare_database()) frame::exit_step();
          chains.open("Select * from CLSCC where CLSCC.Active = TRUE", module_.security_db());
          const std::vector<WorkListEntry> entries = work_list(chains, role);
          search.strSearchQuery = kWorkListQuery;
          if (entries.empty()) {
            search.strSearchQuery.clear();
          } else {
            std::string condition;
            for (const WorkListEntry& entry : entries) {
              if (!condition.empty()) condition += " OR ";
              condition += "(TRIPSREQ.CHAINID = " + db::quote_text(entry.chain) +
                           " AND TRIPSREQ.STATUS = " + db::quote_text(entry.waiting_status) + ")";
            }
            search.strSearchQuery += " WHERE (" + condition + ")";
            const std::string customer = session_text("CUSTOMER");
            if (!vb::Trim(customer).empty()) {
              search.strSearchQuery +=
                  " AND (TRIPSREQ.CUSTOMER = " + db::quote_text(customer) + ")";
              search.strSearchCust = customer;
            }
          }
          chains.close();
          ChkEligWeb::CloseTripDBConnections(module_);
        }
        search.blnReqAutofill = reports::searching::application_flag(*this, "AUTOFILL_REQUESTS");
        RequestSearch_TripRequests();
      },
      [&] {
        if (chains.is_open()) chains.close();
        ChkEligWeb::CloseTripDBConnections(module_);
      });
}

void Jaunter::RequestSearch_TripRequests() {
  procedure(
      {"RequestSearch_TripRequests"},
      [&] {
        if (!session_check()) frame::exit_step();
        set_session("blnDepDtWarn", false);
        set_session("blnRtnDtWarn", false);
        const web::Request& request = ctx_.request();
        const std::string button = request.Form("btnsubmit");
        if (text::same_text(button, "Reset") || text::same_text(button, "**Exit**")) {
          ResetRequestSearch();
        } else {
          search.strReqStatus = request.Form("Status");
          search.strSearchGrade = request.Form("grade");
          const std::string customer = session_text("CUSTOMER");
          if (!reports::searching::application_flag(*this, "VIEW_OTHER_SCHOOLS") &&
              !vb::Trim(customer).empty()) {
            search.strSearchCust = customer;
          } else {
            search.strSearchCust = request.Form("cust");
            const reports::searching::SessionList customers =
                reports::searching::session_list(*this, "CustomersDD", "numCustomers");
            lists.customers.items = customers.items;
            lists.customers.count = customers.count;
            for (const std::string& item : customers.items) {
              if (text::same_text(vb::Trim(item), vb::Trim(search.strSearchCust))) {
                search.strSearchCust = item;
                break;
              }
            }
          }
          search.strSearchCust = reports::searching::code_of_item(search.strSearchCust);
          search.strSearchDest = request.Form("dest");
          search.strSearchDiv = reports::searching::code_of_item(request.Form("div"));
          search.strReqIntNum = request.Form("IntNum");
          search.strSearchDepFrom = request.Form("DepFrom");
          search.strSearchDepTo = request.Form("DepTo");
          search.strReqEnterFrom = request.Form("EnterFrom");
          search.strReqEnterTo = request.Form("EnterTo");
          search.strSearchTripCat = request.Form("tripcat");
        }

        if (search.strSearchQuery.empty() && search.blnReqAutofill) {
          search.strSearchQuery = kSearchQuery;
          reports::searching::SearchCriteria criteria;
          if (!search.strSearchDepFrom.empty()) {
            if (!reports::searching::typed_date(search.strSearchDepFrom)) {
              refuse(*this, "Please enter a valid departure from date.");
            }
            if (vb::Trim(search.strSearchDepTo).empty()) {
              search.strSearchDepTo = search.strSearchDepFrom;
            } else if (!reports::searching::typed_date(search.strSearchDepTo)) {
              refuse(*this, "Please enter a valid departure to date.");
            }
            criteria.add(" TRIPSREQ.DEPDATE >= #" + search.strSearchDepFrom +
                         "# and TRIPSREQ.DEPDATE <= #" + search.strSearchDepTo + "#");
          }
          if (!search.strReqEnterFrom.empty()) {
            if (!reports::searching::typed_date(search.strReqEnterFrom)) {
              refuse(*this, "Please enter a valid enter from date.");
            }
            if (vb::Trim(search.strReqEnterTo).empty()) {
              search.strReqEnterTo = search.strReqEnterFrom;
            } else if (!reports::searching::typed_date(search.strReqEnterTo)) {
              refuse(*this, "Please enter a valid enter to date.");
            }
            criteria.add(" datevalue(TRIPSREQ.REQDATE) >= #" + search.strReqEnterFrom +
                         "# and datevalue(TRIPSREQ.REQDATE) <= #" + search.strReqEnterTo + "#");
          }
          if (!search.strReqStatus.empty()) {
            criteria.add(" TRIPSREQ.STATUS = " + db::quote_text(search.strReqStatus));
          }
          if (!search.strSearchGrade.empty()) {
            criteria.add(" TRIPSREQ.GRADE = " + db::quote_text(search.strSearchGrade));
          }
          if (!vb::Trim(search.strSearchCust).empty()) {
            criteria.add(" TRIPSREQ.CUSTOMER = " + db::quote_text(search.strSearchCust));
          }
          if (!search.strSearchDest.empty()) {
            criteria.add(" TRIPSREQ.DESTINATION = " + db::quote_double(search.strSearchDest));
          }
          if (!search.strSearchTripCat.empty()) {
            criteria.add(" TRIPSREQ.TRIPCAT = " + db::quote_text(search.strSearchTripCat));
          }
          if (!search.strReqIntNum.empty()) {
            criteria.add(" TRIPSREQ.INTTRIPNUM = " + db::quote_text(search.strReqIntNum));
          }
          if (!search.strSearchDiv.empty()) search.strReqDivFilter = search.strSearchDiv;
          search.strSearchQuery += criteria.text();
        }
        if (!vb::Trim(search.strSearchQuery).empty()) {
          search.strSearchQuery +=
              " ORDER BY TRIPSREQ.DEPDATE, TRIPSREQ.DEPTIME, TRIPSREQ.DESTINATION";
        }
        set_session("TripRequestReportQuery", search.strSearchQuery);
        BuildRequestResultsTable(search.strSearchQuery);
        ChkEligWeb::CloseTripDBConnections(module_);
        ctx_.write_template("RequestSearch");
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
}

void Jaunter::ResetRequestSearch() {
  search.blnReqAutofill = reports::searching::application_flag(*this, "AUTOFILL_REQUESTS");
  search.strSearchQuery.clear();
  search.strReqStatus.clear();
  search.strSearchGrade.clear();
  search.strSearchDest.clear();
  search.strSearchDiv.clear();
  search.strReqIntNum.clear();
  search.strSearchDepFrom.clear();
  search.strSearchDepTo.clear();
  search.strReqEnterFrom.clear();
  search.strReqEnterTo.clear();
  search.strSearchResults.clear();
  search.strSearchCust = session_text("CUSTOMER");
  search.intSearchCount = 0;
}
