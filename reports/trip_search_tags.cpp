// TripSearch_ProcessTag: the tags of the field trip search page (district header, criteria,
// check boxes, sort choices, the Fund button, the result table and its totals). Every generated
// control carries the template's own text between the tag's marks as extra attributes.
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"
#include "reports/request_search_support.h"

namespace {

using reports::searching::SessionList;
using web::html_escape;

// The customer and destination drop-downs post the code; the destination name is cut to 30.
std::string code_select(const char* name, const std::string& attributes, const SessionList& list,
                        const std::string& selected, std::size_t name_length) {
  std::string html = std::string("<select name='") + name + "' " + attributes + ">";
  for (const std::string& item : list.items) {
    if (item.empty()) {
      html += "<option></option>";
      continue;
    }
    const reports::searching::CodeAndName parts = reports::searching::split_item(item);
    const std::string code = html_escape(parts.code);
    const std::string shown = html_escape(reports::searching::first_chars(parts.name, name_length));
    if (text::same_text(vb::Trim(parts.code), vb::Trim(selected))) {
      html += "<option value='" + code + "' selected>" + shown + "</option>";
    } else {
      html += "<option value='" + code + "'>" + shown + "</option>";
    }
  }
  return html + "</select>";
}

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
    html += text::same_text(choice.value, selected) ? "<option selected value='" : "<option value='";
    html += std::string(choice.value) + "'>" + choice.label + "</option>";
  }
  return html;
}

}  // namespace

void Jaunter::TripSearch_ProcessTag(const std::string& TagName, std::string& TagContents, bool&) {
  const SessionList grades = reports::searching::session_list(*this, "Grades", "numGrades");
  const SessionList customers =
      reports::searching::session_list(*this, "CustomersDD", "numCustomers");
  const SessionList destinations =
      reports::searching::session_list(*this, "Destinations", "numDestinations");
  const SessionList categories = reports::searching::session_list(*this, "TripCat", "numTripCat");
  const SessionList divisions =
      reports::searching::session_list(*this, "Divisions", "numDivisions");

  auto is = [&TagName](const char* name) { return text::same_text(TagName, name); };
  const std::string A = TagContents;
  const reports::TripSearchState& state = trip_search;
  if (district_header_tag(TagName, TagContents)) return;
  if (is("WC@Grade")) {
    TagContents = reports::searching::plain_select("grade", A, grades, search.strSearchGrade);
  } else if (is("WC@CUST")) {
    TagContents = code_select("cust", A, customers, search.strSearchCust, std::string::npos);
  } else if (is("WC@DEST")) {
    TagContents = code_select("dest", A, destinations, search.strSearchDest, 30);
  } else if (is("WC@CATEGORY")) {
    TagContents = reports::searching::category_select(A, categories, search.strSearchTripCat);
  } else if (is("WC@DIV")) {
    TagContents = reports::searching::division_select(A, divisions, search.strSearchDiv);
  } else if (is("WC@RESULTS")) {
    TagContents = search.strSearchResults;
  } else if (is("WC@DEPFROM")) {
    TagContents = html_escape(search.strSearchDepFrom);
  } else if (is("WC@DEPTO")) {
    TagContents = html_escape(search.strSearchDepTo);
  } else if (is("WC@NUM")) {
    TagContents = std::to_string(search.intSearchCount);
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
    for (const std::string& item : customers.items) {
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
