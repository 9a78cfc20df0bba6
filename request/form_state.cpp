// The request form's state between pages: preparing a new request and clearing the form.
#include "approval/customer_rights.h"
#include "approval/mdlApproval.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"
#include "request/refusals.h"

void Jaunter::SetNewVars() {
  procedure({"SetNewVars"}, [&] {
    set_session("RequestDetail.New", "NEW");
    form.blnNewRequest = true;
    set_session("TRIPREQ", "");
    set_session("blnDepDtWarn", false);
    set_session("blnRtnDtWarn", false);
    form.blnCanEdit = true;
  });
}

void Jaunter::ClearRequestDetailVars() {
  static const char* const keys[] = {"RequestDetail.New",
                                     "RequestDetail.inttripnum",
                                     "TRIPREQ",
                                     "RequestDetail.requestoremail",
                                     "RequestDetail.contact",
                                     "RequestDetail.destination",
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
                                     "RequestDetail.grade"};
  for (const char* key : keys) set_session(key, "");
}

// ---- Entry handlers -------------------------------------------------------------------------

namespace {

// Splits the authority answer "E,A,S" into the form's flags; the rest stays the approve value.
void apply_authority(request::FormState& form, const std::string& answer) {
  form.blnCanEdit = false;
  form.blnCanApprove = false;
  std::string rest = answer;
  auto take = [&rest] {
    const std::size_t comma = rest.find(',');
    std::string item = rest.substr(0, comma);
    rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
    return item;
  };
  if (text::same_text(take(), "Y")) form.blnCanEdit = true;
  if (text::same_text(take(), "Y")) form.blnCanApprove = true;
  form.strApproveValue = rest;
}

}  // namespace

bool Jaunter::load_authority(std::int32_t request_number) {
  const std::string answer = mdlApproval::HasAuthority(
      module_, request_number, session_text("ROLE"), "", session_text("Customer"));
  if (!module_.ok()) return false;
  apply_authority(form, answer);
  return true;
}

void Jaunter::open_request_row(std::int32_t request_number, const char* sql_head,
                               const char* refusal) {
  form.rsTripReq = std::make_unique<db::Recordset>();
  form.rsTripReq->open(sql_head + std::to_string(request_number) + ")", module_.request_db());
  const char* message = nullptr;
  if (form.rsTripReq->eof()) {
    message = request::refusal::kGone;
  } else if (!may_read_customer(data::NullToStr(form.rsTripReq->field("CUSTOMER")))) {
    message = refusal;
  }
  if (!message) return;
  close_request_form();
  ctx_.response().Write(message);
  frame::exit_step();
}

bool Jaunter::may_read_customer(const std::string& request_customer) const {
  return approval::may_read_request(session_text("CUSTOMER"),
                                    text::same_text(application_text("VIEW_OTHER_SCHOOLS"), "True"),
                                    request_customer);
}

void Jaunter::close_request_form() {
  if (form.rsTripReq && form.rsTripReq->is_open()) form.rsTripReq->close();
  form.rsTripReq.reset();
  ChkEligWeb::CloseTripDBConnections(module_);
}

void Jaunter::RequestDetail_Respond() {
  procedure(
      {"RequestDetail_Respond"},
      [&] {
        if (!session_check()) frame::exit_step();
        if (text::same_text(session_text("LoadRequestDetailFromSession"), "True") ||
            form.blnCopyRequest) {
          form.blnCanEdit = true;
        }
        if (!prepare_database()) frame::exit_step();
        if (text::same_text(session_text("RequestDetail.New"), "EXISTING")) {
          // The number comes from the session, which a posted form may have set: it enters the
          // SQL text only as a number.
          const std::int32_t number = vb::CLng(session_text("TRIPREQ"));
          // A request that is gone, or another customer's, is refused before anything is read.
          open_request_row(number, "SELECT TRIPSREQ.* FROM TRIPSREQ WHERE TRIPNUM = CLNG(",
                           request::refusal::kOpen);
          if (!load_authority(number)) frame::exit_step();
        }
        ctx_.write_template("RequestDetail");
        close_request_form();
      },
      [&] { close_request_form(); });
}

void Jaunter::RequestDetail_UserEvent(const std::string& EventName) {
  procedure(
      {"RequestDetail_UserEvent", "Jaunter", true, true, true},
      [&] {
        if (!session_check()) frame::exit_step();
        const bool load = text::same_text(session_text("LoadRequestDetailFromSession"), "True");
        if (load) form.blnCanEdit = true;
        if (!prepare_database()) frame::exit_step();
        if (!EventName.empty()) {
          const std::int32_t number = vb::CLng(EventName);
          set_session("TRIPREQ", EventName);
          // A stored request opened by its number is never shown as the new request that an
          // abandoned form may have left in the session.
          set_session("RequestDetail.New", "EXISTING");
          open_request_row(number, "SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = clng(",
                           request::refusal::kOpen);
          if (!load_authority(number)) frame::exit_step();
          // Returning from a lookup keeps the customer the user just chose.
          if (!load) {
            set_session("RequestDetail.Customer",
                        vb::Trim(data::NullToStr(form.rsTripReq->field("CUSTOMER"))));
          }
        }
        ctx_.write_template("RequestDetail");
        close_request_form();
      },
      [&] { close_request_form(); });
}
