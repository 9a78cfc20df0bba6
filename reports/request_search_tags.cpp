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

using web::html_escape;

std::string customer_select(const std::string& attributes, const vb::StringArray& items,
                            const std::string& selected) {
  std::string html = "<select name='cust' " + attributes + ">";
  for (const std::string& item : items) {
    const CodeAndName parts = split_item(item);
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

std::string destination_select(const std::string& attributes, const vb::StringArray& items,
                               const std::string& selected) {
  std::string html = "<select name='dest' " + attributes + ">";
  for (const std::string& item : items) {
    const CodeAndName parts = split_item(item);
    const std::string code = html_escape(parts.code);
    const std::string name = html_escape(text::utf8_prefix(parts.name, 30));
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

void RequestSearch::RequestSearch_ProcessTag(const std::string& TagName, std::string& TagContents,
                                             bool&) {
  const vb::StringArray grades = request::session_list(ctx_, keys::kGrades, keys::kGradeCount);
  const vb::StringArray statuses = request::session_list(ctx_, keys::kStatuses, keys::kStatusCount);
  const vb::StringArray customers =
      request::session_list(ctx_, keys::kCustomers, keys::kCustomerCount);
  const vb::StringArray destinations =
      request::session_list(ctx_, keys::kDestinations, keys::kDestinationCount);
  const vb::StringArray categories =
      request::session_list(ctx_, keys::kTripCategories, keys::kTripCategoryCount);
  const vb::StringArray divisions =
      request::session_list(ctx_, keys::kDivisions, keys::kDivisionCount);

  auto is = [&TagName](const char* name) { return text::same_text(TagName, name); };
  const std::string& A = TagContents;
  if (district_header_tag(TagName, TagContents)) return;
  if (is("WC@Grade")) {
    TagContents = plain_select("grade", A, grades, search_.strSearchGrade);
  } else if (is("WC@Status")) {
    TagContents = plain_select("status", A, statuses, search_.strReqStatus);
  } else if (is("WC@CUSTOMER")) {
    TagContents = customer_select(A, customers, search_.strSearchCust);
  } else if (is("WC@DEST")) {
    TagContents = destination_select(A, destinations, search_.strSearchDest);
  } else if (is("WC@CATEGORY")) {
    TagContents = category_select(A, categories, search_.strSearchTripCat);
  } else if (is("WC@DIV")) {
    TagContents = division_select(A, divisions, search_.strSearchDiv);
  } else if (is("WC@RESULTS")) {
    TagContents = search_.strSearchResults;
  } else if (is("WC@ENTERTO")) {
    TagContents = html_escape(search_.strReqEnterTo);
  } else if (is("WC@ENTERFROM")) {
    TagContents = html_escape(search_.strReqEnterFrom);
  } else if (is("WC@DEPFROM")) {
    TagContents = html_escape(search_.strSearchDepFrom);
  } else if (is("WC@DEPTO")) {
    TagContents = html_escape(search_.strSearchDepTo);
  } else if (is("WC@NUM")) {
    TagContents = std::to_string(search_.intSearchCount);
  }
}

}  // namespace reports
