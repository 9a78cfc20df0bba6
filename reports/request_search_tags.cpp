// RequestSearch_ProcessTag: the tags of the request search page (district header, the criteria's
// drop-downs and typed dates, the result count and table). Every drop-down carries the
// template's own text between the tag's marks as extra attributes.
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "reports/request_search.h"
#include "reports/search_support.h"
#include "request/field_builders.h"

namespace reports {

namespace {

constexpr CodeSelectForm kCustomerSelect{"cust", std::string::npos, "'", " ", true};
constexpr CodeSelectForm kDestinationSelect{"dest", 30, "", " ", false};

}  // namespace

void RequestSearch::RequestSearch_ProcessTag(const std::string& TagName, std::string& TagContents,
                                             bool&) {
  const SearchLists lists(ctx_);
  if (district_header_tag(TagName, TagContents)) return;
  if (shared_search_tag(search_, lists, TagName, TagContents)) return;
  auto is = [&TagName](const char* name) { return text::same_text(TagName, name); };
  const std::string& A = TagContents;
  if (is("WC@Status")) {
    TagContents =
        plain_select("status", A, request::session_items(ctx_, keys::kStatuses, keys::kStatusCount),
                     search_.strReqStatus);
  } else if (is("WC@CUSTOMER")) {
    TagContents = code_select(kCustomerSelect, A, lists.customers(), search_.strSearchCust);
  } else if (is("WC@DEST")) {
    TagContents = code_select(kDestinationSelect, A, lists.destinations(), search_.strSearchDest);
  } else if (is("WC@ENTERTO")) {
    TagContents = web::html_escape(search_.strReqEnterTo);
  } else if (is("WC@ENTERFROM")) {
    TagContents = web::html_escape(search_.strReqEnterFrom);
  } else if (is("WC@WAITINGFORME")) {
    // Only a user with a role can approve anything.
    TagContents = vb::Trim(session_text(keys::kRole)).empty()
                      ? std::string()
                      : std::string("<input type='submit' name='btnsubmit' value='") +
                            kWaitingForMe + "' " + A + ">";
  }
}

}  // namespace reports
