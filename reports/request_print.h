// The printable trip request: one stored request as plain text for printing.
#pragma once

#include <string>

#include "frame/context.h"
#include "request/request_form.h"

namespace reports {

class RequestPrint : public frame::Subsystem {
 public:
  explicit RequestPrint(frame::RequestContext& context) : Subsystem(context) {}

  void TripRequestDetailPrint_Respond();
  void TripRequestDetailPrint_ProcessTag(const std::string& TagName, std::string& TagContents,
                                         bool& SendTags);

 private:
  void close_request();

  request::FormState form_;
};

}  // namespace reports
