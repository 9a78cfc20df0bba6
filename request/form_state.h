// Page-object state of the trip request form; lives for one response.
#pragma once

#include <memory>
#include <string>

#include "platform/db/db.h"

namespace request {

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

}  // namespace request
