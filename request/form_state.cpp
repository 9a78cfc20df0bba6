// The request form's entry handlers and its state between pages: preparing a new request,
// clearing the form, opening a stored request with the user's rights on it.
#include "approval/customer_rights.h"
#include "approval/mdlApproval.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "request/refusals.h"
#include "request/request_form.h"

namespace request {

void RequestForm::SetNewVars() {
  procedure({"SetNewVars"}, [&] {
    set_session(keys::form::kNew, "NEW");
    form_.blnNewRequest = true;
    set_session(keys::kRequestNumber, "");
    set_session(keys::kDepartureWarned, false);
    set_session(keys::kReturnWarned, false);
    form_.blnCanEdit = true;
  });
}

void clear_form_keys(frame::RequestContext& context) {
  static const keys::Key keys[] = {keys::form::kDestination,
                                   keys::form::kContact,
                                   keys::form::kFund,
                                   keys::form::kDepartureMonth,
                                   keys::form::kDepartureDay,
                                   keys::form::kDepartureYear,
                                   keys::form::kReturnMonth,
                                   keys::form::kReturnDay,
                                   keys::form::kReturnYear,
                                   keys::form::kDepartureHour,
                                   keys::form::kDepartureMinute,
                                   keys::form::kDepartureMeridian,
                                   keys::form::kArriveHour,
                                   keys::form::kArriveMinute,
                                   keys::form::kArriveMeridian,
                                   keys::form::kLeaveHour,
                                   keys::form::kLeaveMinute,
                                   keys::form::kLeaveMeridian,
                                   keys::form::kReturnHour,
                                   keys::form::kReturnMinute,
                                   keys::form::kReturnMeridian,
                                   keys::form::kAdults,
                                   keys::form::kStudents,
                                   keys::form::kHandicapped,
                                   keys::form::kEstimatedTime,
                                   keys::form::kEstimatedMiles,
                                   keys::form::kPurpose,
                                   keys::form::kCustomerInstructions,
                                   keys::form::kDestinationInstructions,
                                   keys::form::kTripComment,
                                   keys::form::kPurchaseOrder,
                                   keys::form::kInternalNumber,
                                   keys::form::kTripCategory,
                                   keys::form::kGrade,
                                   "TRIPREQ",
                                   keys::form::kRequesterEmail,
                                   keys::form::kNew};
  for (keys::Key key : keys) context.set_session(key, "");
}

void RequestForm::ClearRequestDetailVars() {
  clear_form_keys(ctx_);
}

// ---- Entry handlers -------------------------------------------------------------------------

bool RequestForm::load_authority(std::int32_t request_number) {
  const mdlApproval::Authority authority = mdlApproval::HasAuthority(
      module_, request_number, session_text(keys::kRole), "", session_text(keys::kCustomer));
  if (!module_.ok()) return false;
  form_.blnCanEdit = authority.may_edit;
  form_.blnCanApprove = authority.may_approve;
  form_.strApproveValue = authority.approval.value_or("NA");
  return true;
}

void RequestForm::open_request_row(std::int32_t request_number, const char* sql_head) {
  form_.rsTripReq = std::make_unique<db::Recordset>();
  form_.rsTripReq->open(sql_head + std::to_string(request_number) + ")", module_.request_db());
  const char* message = nullptr;
  if (form_.rsTripReq->eof()) {
    message = refusal::kGone;
  } else if (!may_read_customer(ctx_, data::NullToStr(form_.rsTripReq->field("CUSTOMER")))) {
    message = refusal::kOpen;
  }
  if (!message) return;
  close_request_form();
  ctx_.response().Write(message);
  frame::exit_step();
}

bool may_read_customer(const frame::RequestContext& context, const std::string& request_customer) {
  return approval::may_read_request(context.session_text(keys::kCustomer),
                                    context.application_flag("VIEW_OTHER_SCHOOLS"),
                                    request_customer);
}

void RequestForm::close_request_form() {
  if (form_.rsTripReq && form_.rsTripReq->is_open()) form_.rsTripReq->close();
  form_.rsTripReq.reset();
  ChkEligWeb::CloseTripDBConnections(module_);
}

void RequestForm::RequestDetail_Respond() {
  procedure(
      {"RequestDetail_Respond"},
      [&] {
        if (!session_check()) frame::exit_step();
        if (text::same_text(session_text(keys::kLoadFromSession), "True") || form_.blnCopyRequest) {
          form_.blnCanEdit = true;
        }
        if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
        if (text::same_text(session_text(keys::form::kNew), "EXISTING")) {
          // The number comes from the session, which a posted form may have set: it enters the
          // SQL text only as a number.
          const std::int32_t number = vb::CLng(session_text(keys::kRequestNumber));
          // A request that is gone, or another customer's, is refused before anything is read.
          open_request_row(number, "SELECT TRIPSREQ.* FROM TRIPSREQ WHERE TRIPNUM = CLNG(");
          if (!load_authority(number)) frame::exit_step();
        }
        ctx_.write_template("RequestDetail");
        close_request_form();
      },
      [&] { close_request_form(); });
}

void RequestForm::RequestDetail_UserEvent(const std::string& EventName) {
  procedure(
      {"RequestDetail_UserEvent", "Jaunter", true, true, true},
      [&] {
        if (!session_check()) frame::exit_step();
        const bool load = text::same_text(session_text(keys::kLoadFromSession), "True");
        if (load) form_.blnCanEdit = true;
        if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
        if (!EventName.empty()) {
          const std::int32_t number = vb::CLng(EventName);
          set_session(keys::kRequestNumber, EventName);
          // A stored request opened by its number is never shown as the new request that an
          // abandoned form may have left in the session.
          set_session(keys::form::kNew, "EXISTING");
          open_request_row(number, "SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = clng(");
          if (!load_authority(number)) frame::exit_step();
          // Returning from a lookup keeps the customer the user just chose.
          if (!load) {
            set_session(keys::form::kCustomer,
                        vb::Trim(data::NullToStr(form_.rsTripReq->field("CUSTOMER"))));
          }
        }
        ctx_.write_template("RequestDetail");
        close_request_form();
      },
      [&] { close_request_form(); });
}

}  // namespace request
