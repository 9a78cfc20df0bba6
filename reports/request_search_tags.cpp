// RequestSearch_ProcessTag: the tags of the request search page (district header, the criteria's
// drop-downs and typed dates, the result count and table). Every drop-down carries the
// template's own text between the tag's marks as extra attributes.
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"
#include "reports/request_search_support.h"

namespace {

using reports::searching::SessionList;
using web::html_escape;

std::string customer_select(const std::string& attributes, const SessionList& list,
                            const std::string& selected) {
  std::string html = "<select name='cust' " + attributes + ">";
  for (const std::string& item : list.items) {
    const reports::searching::CodeAndName parts = reports::searching::split_item(item);
    const std::string code = html_escape(parts.code);
    const std::string name = html_escape(parts.name);
    if (item.empty()) {
      html += "<option value= >" + name + "</option>";
    } else if (text::same_text(vb::Trim(parts.code), vb::Trim(selected))) {
      html += "<option value='" + code + "' selected>" + name + "</option>";
    } else {
      html += "<option value='" + code + "' >" + name + "</option>";
    }
  }
  return html + "</select>";
}

std::string destination_select(const std::string& attributes, const SessionList& list,
                               const std::string& selected) {
  std::string html = "<select name='dest' " + attributes + ">";
  for (const std::string& item : list.items) {
    const reports::searching::CodeAndName parts = reports::searching::split_item(item);
    const std::string code = html_escape(parts.code);
    const std::string name = html_escape(reports::searching::first_chars(parts.name, 30));
    if (item.empty()) {
      html += "<option></option>";
    } else if (text::same_text(vb::Trim(parts.code), vb::Trim(selected))) {
      html += "<option value=" + code + " selected>" + name + "</option>";
    } else {
      html += "<option value=" + code + " >" + name + "</option>";
    }
  }
  return html + "</select>";
}

}  // namespace

void Jaunter::RequestSearch_ProcessTag(const std::string& TagName, std::string& TagContents,
                                       bool&) {
  const SessionList grades = reports::searching::session_list(*this, "Grades", "numGrades");
  const SessionList statuses =
      reports::searching::session_list(*this, "StatusVals", "numStatusVals");
  const SessionList customers =
      reports::searching::session_list(*this, "CustomersDD", "numCustomers");
  const SessionList destinations =
      reports::searching::session_list(*this, "Destinations", "numDestinations");
  const SessionList categories = reports::searching::session_list(*this, "TripCat", "numTripCat");
  const SessionList divisions =
      reports::searching::session_list(*this, "Divisions", "numDivisions");

  auto is = [&TagName](const char* name) { return text::same_text(TagName, name); };
  const std::string& A = TagContents;
  if (district_header_tag(TagName, TagContents)) return;
  if (is("WC@Grade")) {
    TagContents = reports::searching::plain_select("grade", A, grades, search.strSearchGrade);
  } else if (is("WC@Status")) {
    TagContents = reports::searching::plain_select("status", A, statuses, search.strReqStatus);
  } else if (is("WC@CUSTOMER")) {
    TagContents = customer_select(A, customers, search.strSearchCust);
  } else if (is("WC@DEST")) {
    TagContents = destination_select(A, destinations, search.strSearchDest);
  } else if (is("WC@CATEGORY")) {
    TagContents = reports::searching::category_select(A, categories, search.strSearchTripCat);
  } else if (is("WC@DIV")) {
    TagContents = reports::searching::division_select(A, divisions, search.strSearchDiv);
  } else if (is("WC@RESULTS")) {
    TagContents = search.strSearchResults;
  } else if (is("WC@ENTERTO")) {
    TagContents = html_escape(search.strReqEnterTo);
  } else if (is("WC@ENTERFROM")) {
    TagContents = html_escape(search.strReqEnterFrom);
  } else if (is("WC@DEPFROM")) {
    TagContents = html_escape(search.strSearchDepFrom);
  } else if (is("WC@DEPTO")) {
    TagContents = html_escape(search.strSearchDepTo);
  } else if (is("WC@NUM")) {
    TagContents = std::to_string(search.intSearchCount);
  }
}
