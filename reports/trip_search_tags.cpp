// TripSearch_ProcessTag: the tags of the field trip search page (district header, criteria,
// check boxes, sort choices, the Fund button, the result table and its totals). Every generated
// control carries the template's own text between the tag's marks as extra attributes.
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "reports/search_support.h"
#include "reports/trip_search.h"
#include "request/field_builders.h"

namespace reports {

namespace {

using web::html_escape;

constexpr CodeSelectForm kCustomerSelect{"cust", std::string::npos, "'", "", false};
constexpr CodeSelectForm kDestinationSelect{"dest", 30, "'", "", false};

struct PairBox {
  const char* name;
  std::string reports::TripSearchState::*field;
  const char* label;
};

const PairBox kPairBoxes[] = {
    {"chkASSIGNED", &reports::TripSearchState::strChkAssigned, ">Assigned&nbsp;"},
    {"chkUnassigned", &reports::TripSearchState::strChkUnassigned,
     ">Unassigned&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"},
    {"chkBILLED", &reports::TripSearchState::strChkBilled, ">Billed&nbsp;"},
    {"chkUnbilled", &reports::TripSearchState::strChkUnbilled,
     ">Unbilled&nbsp;&nbsp&nbsp;&nbsp;&nbsp;&nbsp;"},
    {"chkCANCELLED", &reports::TripSearchState::strChkCancelled, ">Cancelled&nbsp;"},
    {"chkOPEN", &reports::TripSearchState::strChkOpen, ">Open"},
};

struct SortChoice {
  const char* value;
  const char* label;
};

const SortChoice kSortChoices[] = {
    {"TRIPS.TRIPNUM", "Trip #"},
    {"CUSTOMER.CUSTNAME", "Customer"},
    {"DESTINATION.DESTDESC", "Destination"},
    {"TRIPS.NUMSTUDENTS", "# Students"},
    {"TRIPS.DEPDATE", "Depart Date"},
    {"TRIPS.TRIPREQNUM", "Request #"},
};

std::string sort_options(const std::string& selected) {
  std::string html;
  for (const SortChoice& choice : kSortChoices) {
    html +=
        text::same_text(choice.value, selected) ? "<option selected value='" : "<option value='";
    html += std::string(choice.value) + "'>" + choice.label + "</option>";
  }
  return html;
}

}  // namespace

void TripSearch::TripSearch_ProcessTag(const std::string& TagName, std::string& TagContents,
                                       bool&) {
  const SearchLists lists(ctx_);
  if (district_header_tag(TagName, TagContents)) return;
  if (shared_search_tag(search_, lists, TagName, TagContents)) return;
  auto is = [&TagName](const char* name) { return text::same_text(TagName, name); };
  const std::string A = TagContents;
  const TripSearchState& state = trips_;
  if (is("WC@CUST")) {
    TagContents = code_select(kCustomerSelect, A, lists.customers(), search_.strSearchCust);
  } else if (is("WC@DEST")) {
    TagContents = code_select(kDestinationSelect, A, lists.destinations(), search_.strSearchDest);
  } else if (is("WC@CHKBOX")) {
    std::string html;
    for (const PairBox& box : kPairBoxes) {
      html += std::string("<input type='checkbox' name='") + box.name + "' value='ON' ";
      if (text::same_text(state.*box.field, "ON")) html += "checked ";
      html += A + box.label;
    }
    TagContents = html;
  } else if (is("WC@CHKBOX2")) {
    TagContents = std::string("<input type='checkbox' name='chkOPENBALANCE' value='ON' ") +
                  (text::same_text(state.strChkOpenBalance, "ON") ? "checked " : "") + A +
                  ">Show only Trips with an Open Balance";
  } else if (is("WC@TRIPREQNUM")) {
    TagContents = "<input name='TRIPREQNUM' size='21' VALUE='" + html_escape(state.strTripReqNum) +
                  "' " + A + ">";
  } else if (is("WC@TRIPNUM")) {
    TagContents =
        "<input name='TRIPNUM' size='21' VALUE='" + html_escape(state.strTripNum) + "' " + A + ">";
  } else if (is("WC@FUNDHDR")) {
    TagContents = "<b><input type='submit' value='Fund' name='btnSubmit' " + A + "></b>";
  } else if (is("WC@FUND")) {
    if (!state.strTripFund.empty()) {
      TagContents =
          "<input name='fund' size='21' value='" + html_escape(state.strTripFund) + "' " + A + ">";
    }
  } else if (is("WC@BILLCUST")) {
    std::string html = "<select name='billcust' " + A + ">";
    for (const std::string& item : lists.customers()) {
      html += "<option>" + html_escape(item) + "</option>";
    }
    TagContents = html + "</select>";
  } else if (is("WC@TOTALBILLED")) {
    TagContents = html_escape(vb::Format(vb::Variant(state.curTotalBilled), "$###,##0.00"));
  } else if (is("WC@AMOUNTDUE")) {
    TagContents = html_escape(vb::Format(vb::Variant(state.curTotalDue), "$###,##0.00"));
  } else if (is("WC@SORTBY")) {
    TagContents = "Sort By:&nbsp;<select name='sortBy1' " + A + ">" +
                  sort_options(state.strSortBy1) +
                  "</select>&nbsp;then by:&nbsp;<select name='sortBy2' " + A + ">" +
                  (state.strSortBy2.empty() ? "<option selected></option>" : "<option></option>") +
                  sort_options(state.strSortBy2) + "</select>";
  }
}

}  // namespace reports
