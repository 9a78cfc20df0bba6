// The trip request form (web item RequestDetail): its entry handlers, its tag handler, the post
// of the form with the save path, and the form's per-request state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "frame/context.h"
#include "platform/db/db.h"

namespace request {

// The form's state within one response.
struct FormState {
  bool blnNewRequest = false;   // the form shows a new, unsaved request
  bool blnCopyRequest = false;  // the form shows a copy of a stored request
  bool blnCanEdit = false;      // fields are inputs; otherwise plain text
  bool blnCanApprove = false;   // the approve/deny controls are offered
  std::string strApproveValue;  // the status the user's approval gives
  bool blnSaved = false;
  std::string strOldStatus;
  // The TRIPSREQ row of the shown request, open while the template is written.
  std::unique_ptr<db::Recordset> rsTripReq;
};

class RequestForm : public frame::Subsystem {
 public:
  explicit RequestForm(frame::RequestContext& context) : Subsystem(context) {}

  // The item requested without an event: the form for the current state.
  void RequestDetail_Respond();
  // The request number links: EventName is a TRIPSREQ number.
  void RequestDetail_UserEvent(const std::string& EventName);
  void RequestDetail_ProcessTag(const std::string& TagName, std::string& TagContents,
                                bool& SendTags);
  // The post of the form.
  void RequestDetail_TripRequestDetail();
  // Prepares the form for a new request.
  void SetNewVars();

  const FormState& state() const { return form_; }

 private:
  void ClearRequestDetailVars();
  // Sets the rights flags from the authority answer for a stored request; false when the answer
  // failed (the module error string holds the report).
  bool load_authority(std::int32_t request_number);
  // Opens rsTripReq; a request that is not there, or that the user may not read, ends the
  // handler with its refusal instead.
  void open_request_row(std::int32_t request_number, const char* sql_head);
  void close_request_form();

  FormState form_;
};

// Empties the form's value keys, TRIPREQ and RequestDetail.New (leaving the request form).
void clear_form_keys(frame::RequestContext& context);

// Whether the signed-in user may read a request of this customer.
bool may_read_customer(const frame::RequestContext& context, const std::string& request_customer);

}  // namespace request
