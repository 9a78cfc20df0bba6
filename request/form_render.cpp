// The trip request form's tag handler: the HTML of every tag of the form's template.
//
// Design note: each field takes its value from one of four sources — the stored row (R), the
// field's session key (S), the posted field (F) and the empty default — in one of two orders
// (session-first or copy-first) chosen per field. A field the user may not edit shows R as text
// and mirrors it into S, so that a later Copy starts from what was shown. Every value from the
// database or the session is HTML-escaped, in text and in attributes; the template's own text
// between a tag's marks (A) is inserted as extra attributes unchanged. The tags are a table from
// name to renderer; a tag the table does not know keeps the template's text.
#include <functional>
#include <unordered_map>

#include "approval/chain_steps.h"
#include "approval/history.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"
#include "request/no_date.h"
#include "request/persistence.h"
#include "request/request_form.h"
#include "request/submission.h"

namespace request {

namespace {

using web::html_escape;

bool truthy(const vb::Variant& value) {
  if (value.is_bool()) return value.get<bool>();
  if (value.is_string()) return text::same_text(vb::Trim(value.get<std::string>()), "True");
  if (value.is_number()) return vb::CDbl(value) != 0;
  return false;
}

// The time of day a text such as "9:5AM" stands for, or the no-date marker when it stands for
// none (a tampered field must not end the page).
vb::DateTime time_of(const std::string& text) {
  const auto parsed = vb::parse_date_text(text);
  return parsed ? *parsed : kNoDate;
}

// One call of the tag handler: the flags of the form and the template's attributes.
class FormTags {
 public:
  FormTags(frame::RequestContext& context, FormState& form, std::string attributes)
      : ctx_(context),
        form_(form),
        A_(std::move(attributes)),
        load_(text::same_text(context.session_text(keys::kLoadFromSession), "True")) {}

  enum class Order { SessionFirst, CopyFirst };

  // The renderers, by tag.
  void request_number(std::string& out);
  void request_date(std::string& out);
  void stored_column(const char* column, std::string& out);
  void chain(std::string& out);
  void form_token(std::string& out);
  void new_flag(std::string& out);
  void contact(std::string& out);
  void plain_input(const char* prefix, const char* field, keys::Key key, const char* column,
                   std::string& out);
  void text_area(const char* field, keys::Key key, Order order, std::string& out);
  void customer(std::string& out);
  void code_list(const char* field, keys::Key key, keys::Key list, keys::Key count,
                 const char* column, std::string& out);
  void destination(std::string& out);
  void destination_address(std::string& out);
  void fund(std::string& out);
  void date(bool departure, std::string& out);
  void time(const std::string& prefix, const char* column, std::string& out);
  void requester_email_header(std::string& out);
  void requester_email(std::string& out);
  void status_comment(std::string& out);
  void approve(std::string& out);
  void lookup_button(const char* value, const char* label, bool allowed, bool bold,
                     std::string& out);
  void form_buttons(std::string& out);
  void print_button(std::string& out);
  void calendar_button(std::string& out);
  void dates_header(std::string& out);
  void warning(const char* flag, const char* text, const char* lead, std::string& out);
  void focus(std::string& out);
  void default_return_date(std::string& out);
  void lead_time(std::string& out);
  void lead_time_hard_warning(std::string& out);
  void required_flags(std::string& out);
  void trip_category_names(std::string& out);
  void session_minutes(std::string& out);
  void approval_steps(std::string& out);
  void history(std::string& out);

 private:
  bool stored() const { return !form_.blnNewRequest; }
  bool editable() const { return form_.blnCanEdit; }
  // Where the session-first order takes S: with the load flag, or for copies and fresh new
  // requests whose posted field is blank.
  bool takes_session_value() const {
    return load_ || form_.blnCopyRequest || (form_.blnNewRequest && posted("btnSubmit").empty());
  }

  std::string posted(const std::string& name) const { return ctx_.request().Form(name); }
  std::string session(keys::Key key) const { return ctx_.session_text(key); }
  FieldBuilders& builders() { return ctx_.get<FieldBuilders>(); }

  // R: the stored column as text; a Null is one blank.
  std::string stored_text(const char* column) const { return data::NullToStr(row().field(column)); }
  const vb::Variant& stored_value(const char* column) const { return row().field(column); }
  const db::Recordset& row() const {
    if (!form_.rsTripReq || !form_.rsTripReq->is_open()) throw vb::err::object_not_set();
    return *form_.rsTripReq;
  }

  // The value of a field by its order; R already in its final form.
  std::string value(Order order, const std::string& field, keys::Key key,
                    const std::function<std::string()>& stored_value_of,
                    bool trim_posted = false) const;
  // Read-only: R as text, mirrored into S.
  std::string mirrored(keys::Key key, const std::string& stored) {
    ctx_.set_session(key, stored);
    return html_escape(stored);
  }
  // Runs work with the trip connection open, opening and closing it when it was not.
  void with_trip_connection(const std::function<void()>& work);

  frame::RequestContext& ctx_;
  FormState& form_;
  const std::string A_;
  const bool load_;
};

std::string FormTags::value(Order order, const std::string& field, keys::Key key,
                            const std::function<std::string()>& stored_value_of,
                            bool trim_posted) const {
  std::string from_form = posted(field);
  if (trim_posted) from_form = vb::Trim(from_form);
  if (order == Order::SessionFirst) {
    if (load_) return session(key);
    if (form_.blnCopyRequest || (form_.blnNewRequest && posted("btnSubmit").empty())) {
      return vb::Trim(from_form).empty() ? session(key) : from_form;
    }
    if (form_.blnNewRequest) return {};
    return stored_value_of();
  }
  if (form_.blnCopyRequest) return from_form.empty() ? session(key) : from_form;
  if (load_) return session(key);
  if (form_.blnNewRequest) return {};
  return stored_value_of();
}

void FormTags::with_trip_connection(const std::function<void()>& work) {
  frame::ModuleState& module = ctx_.module();
  const bool open = module.trip && module.trip->state() == 1;
  if (!open && !ChkEligWeb::PrepareDatabase(ctx_)) return;
  work();
  if (!open) ChkEligWeb::CloseTripDBConnections(module);
}

// ---- Request identity ------------------------------------------------------------------------

void FormTags::request_number(std::string& out) {
  if (!stored()) {
    out.clear();
  } else if (editable()) {
    const std::string number = load_ ? session(keys::kRequestNumber) : stored_text("TRIPNUM");
    out = "<input type='text' name='TRIPNUM' value='" + html_escape(number) + "' readonly>";
  } else {
    out = load_ ? "0" : html_escape(stored_text("TRIPNUM"));
  }
}

void FormTags::request_date(std::string& out) {
  out =
      stored() ? html_escape(vb::Trim(stored_text("REQDATE"))) : vb::date_text(ctx_.clock().now());
}

void FormTags::stored_column(const char* column, std::string& out) {
  out = stored() ? html_escape(stored_text(column)) : std::string();
}

void FormTags::chain(std::string& out) {
  const std::string chain = stored() ? stored_text("chainid") : std::string();
  out = editable() ? "<input type='text' name='CHAINID' value='" + html_escape(chain) + "'>"
                   : html_escape(chain);
}

void FormTags::form_token(std::string& out) {
  out = std::string("<input type='hidden' name='") + kFormTokenField + "' value='" +
        new_form_token() + "'>";
}

void FormTags::new_flag(std::string& out) {
  out = form_.blnNewRequest ? "<input type='text' name='New' value='NEW'>"
                            : "<input type='text' name='New' value='EXISTING'>";
}

// ---- Where the request stands -----------------------------------------------------------------

// The chain as steps and the dated history, each a row of the status table, for a stored
// request only. Read-only additions: a history that cannot be read leaves its row out rather
// than the form.
void FormTags::approval_steps(std::string& out) {
  out.clear();
  if (!stored() || !form_.rsTripReq || !form_.rsTripReq->is_open() || form_.rsTripReq->eof()) {
    return;
  }
  try {
    frame::ModuleState& module = ctx_.module();
    const std::string steps = approval::chain_steps_html(
        approval::chain_steps(module.security_db(), vb::Trim(stored_text("chainid")),
                              stored_text("Status"), data::NullToStr(stored_value("CUSTOMER")),
                              approval::request_timeline(module.request_db(), row())));
    if (steps.empty()) return;
    out =
        "<tr><td class='label-cell'><span class='label'>Approval steps</span></td>"
        "<td colspan='3'>" +
        steps + "</td></tr>";
  } catch (const std::exception&) {
    out.clear();
  }
}

void FormTags::history(std::string& out) {
  out.clear();
  if (!stored() || !form_.rsTripReq || !form_.rsTripReq->is_open() || form_.rsTripReq->eof()) {
    return;
  }
  try {
    const auto entries = approval::request_timeline(ctx_.module().request_db(), row());
    if (entries.empty()) return;
    out = "<tr><td class='label-cell'><span class='label'>History</span></td><td colspan='3'>" +
          approval::timeline_html(entries) + "</td></tr>";
  } catch (const std::exception&) {
    out.clear();
  }
}

// ---- Inputs and text areas -------------------------------------------------------------------

void FormTags::contact(std::string& out) {
  if (!editable()) {
    out = mirrored(keys::form::kContact, vb::Trim(stored_text("CONTACT")));
    return;
  }
  const std::string value = this->value(
      Order::SessionFirst, "Contact", keys::form::kContact,
      [&] { return vb::Trim(stored_text("CONTACT")); }, true);
  out = "<input type='text' name='Contact' size='25' maxlength='25' value='" + html_escape(value) +
        "' " + A_ + ">";
}

void FormTags::plain_input(const char* prefix, const char* field, keys::Key key, const char* column,
                           std::string& out) {
  if (!editable()) {
    out = mirrored(key, stored_text(column));
    return;
  }
  const std::string value =
      this->value(Order::CopyFirst, field, key, [&] { return stored_text(column); });
  out = std::string(prefix) + html_escape(value) + "' " + A_ + ">";
}

void FormTags::text_area(const char* field, keys::Key key, Order order, std::string& out) {
  const std::string open = "<textarea rows='3' cols='60' name='" + std::string(field) + "' ";
  if (!editable()) {
    out = open + "readonly='yes' " + A_ + ">" + mirrored(key, stored_text(field)) + "</TEXTAREA>";
    return;
  }
  std::string value = this->value(order, field, key, [&] { return stored_text(field); });
  if (order == Order::SessionFirst && value.empty() && value == session(key) &&
      takes_session_value()) {
    // The customer's standing instructions are proposed for an empty field.
    const std::string chosen = session(keys::form::kCustomer);
    if (!chosen.empty()) {
      with_trip_connection([&] { builders().getcust(chosen); });
      value = builders().customer().strCustSpec;
    }
  }
  out = open + A_ + ">" + html_escape(value) + "</TEXTAREA>";
}

// ---- Code lists ------------------------------------------------------------------------------

void FormTags::customer(std::string& out) {
  const keys::Key key = keys::form::kCustomer;
  if (!editable()) {
    const std::string code = stored_text("CUSTOMER");
    ctx_.set_session(key, code);
    builders().getcust(code);
    out = html_escape(builders().customer().strCustName);
    return;
  }
  std::string code;
  if (form_.blnCopyRequest) {
    code = text::code_of_item(posted("cust"));
    if (code.empty()) code = session(key);
  } else if (load_) {
    code = session(key);
  } else if (form_.blnNewRequest) {
    code.clear();
  } else {
    code = stored_text("CUSTOMER");
    if (session(key).empty()) ctx_.set_session(key, code);
  }
  const vb::StringArray items = session_list(ctx_, keys::kCustomers, keys::kCustomerCount);
  const bool only_one = session_count(ctx_, keys::kCustomerCount) == 1;
  const std::string wanted = vb::Trim(code);
  std::string html = "<select name='cust' width='100' " + A_ + ">";
  for (const std::string& item : items) {
    const std::string item_code = vb::Trim(text::code_of_item(item));
    const bool selected = text::same_text(item_code, wanted) || (!item_code.empty() && only_one);
    html += (selected ? "<option selected>" : "<option>") + html_escape(item) + "</option>";
  }
  out = html + "</select>";
}

void FormTags::code_list(const char* field, keys::Key key, keys::Key list, keys::Key count,
                         const char* column, std::string& out) {
  if (!editable()) {
    out = mirrored(key, vb::Trim(stored_text(column)));
    return;
  }
  const std::string value =
      this->value(Order::CopyFirst, field, key, [&] { return vb::Trim(stored_text(column)); });
  std::string html = "<select name='" + std::string(field) + "' " + A_ + ">";
  for (const std::string& item : session_list(ctx_, list, count)) {
    html += (text::same_text(item, value) ? "<option selected>" : "<option>") + html_escape(item) +
            "</option>";
  }
  out = html + "</select>";
}

// The trip categories' descriptions, for the page to show beside the codes: "ATH=Athletic
// Event|CMP=...".
void FormTags::trip_category_names(std::string& out) {
  out.clear();
  with_trip_connection([&] {
    db::Recordset rs;
    rs.open("SELECT TRIPCAT.TRIPCAT, TRIPCAT.DESCRIPTION FROM TRIPCAT", ctx_.module().trip_db());
    for (; !rs.eof(); rs.move_next()) {
      const std::string code = vb::Trim(data::NullToStr(rs.field("TRIPCAT")));
      const std::string description = vb::Trim(data::NullToStr(rs.field("DESCRIPTION")));
      if (code.empty() || description.empty()) continue;
      if (!out.empty()) out += "|";
      out += html_escape(code + "=" + description);
    }
  });
}

// The session's time-out in minutes, for the page's warning before it runs out.
void FormTags::session_minutes(std::string& out) {
  const vb::Variant minutes = ctx_.application("SESSION_TIMEOUT");
  out = std::to_string(minutes.is_empty() || !vb::IsNumeric(minutes) ? 0 : vb::CLng(minutes));
}

// ---- Destination and fund --------------------------------------------------------------------

void FormTags::destination(std::string& out) {
  if (!editable()) {
    const std::string number = stored_text("Destination");
    ctx_.set_session(keys::form::kDestination, number);
    const std::string typed = vb::Trim(stored_text("DESTDESC"));
    if (vb::Trim(number) == "0" && !typed.empty()) {
      out = html_escape(stored_text("DESTDESC"));
      ctx_.get<Persistence>().SetDestFromREQ(vb::CLng(stored_value("TRIPNUM")));
    } else {
      builders().getdest(number);
      out = html_escape(builders().destination().strDestDesc);
    }
    return;
  }
  auto typed_or_code = [&](const std::string& d) {
    if (d == "0")
      return builders().BuildDestinationDD(A_, session(keys::form::kDestinationName), true);
    if (d.rfind("0,", 0) == 0) return builders().BuildDestinationDD(A_, d.substr(2), true);
    return builders().BuildDestinationDD(A_, d, false);
  };
  if (load_) {
    out = typed_or_code(session(keys::form::kDestination));
  } else if (form_.blnCopyRequest || (form_.blnNewRequest && posted("btnSubmit").empty())) {
    std::string d = posted("dest");
    if (vb::Trim(d).empty()) d = session(keys::form::kDestination);
    out = d == "0" ? builders().BuildDestinationDD(A_, session(keys::form::kDestinationName), true)
                   : builders().BuildDestinationDD(A_, d, false);
  } else if (form_.blnNewRequest) {
    out = builders().BuildDestinationDD(A_, "", false);
  } else {
    const std::string number = vb::Trim(stored_text("Destination"));
    const std::string typed = vb::Trim(stored_text("DESTDESC"));
    if (number == "0" && !typed.empty()) {
      out = builders().BuildDestinationDD(A_, stored_text("DESTDESC"), true);
      ctx_.get<Persistence>().SetDestFromREQ(vb::CLng(stored_value("TRIPNUM")));
    } else {
      out = builders().BuildDestinationDD(A_, number, false);
    }
  }
}

void FormTags::destination_address(std::string& out) {
  std::string label, line1, line2;
  auto from_session = [&] {
    line1 = session(keys::form::kDestinationAddress1);
    line2 = session(keys::form::kDestinationAddress2);
  };
  auto from_destination = [&](const std::string& number, bool open_connection) {
    if (open_connection) {
      with_trip_connection([&] { builders().getdest(number); });
    } else {
      builders().getdest(number);
    }
    line1 = builders().destination().strDestAdd1;
    line2 = builders().destination().strDestAdd2;
  };
  const bool typed = session(keys::form::kDestination).rfind('0', 0) == 0;
  if (load_ || form_.blnCopyRequest) {
    from_session();
    if (typed) label = "** New **";
  } else if (form_.blnNewRequest && posted("btnSubmit").empty()) {
    if (!typed) {
      from_destination(posted("dest"), true);
    } else {
      label = "** New **";
      from_session();
    }
  } else if (form_.blnNewRequest) {
    out.clear();
    return;
  } else if (vb::Trim(stored_text("Destination")) == "0") {
    label = "** New **";
    line1 = stored_text("DESTADD1");
    line2 = stored_text("DESTADD2");
  } else {
    from_destination(stored_text("Destination"), editable());
  }
  std::string address = html_escape(line1);
  if (!vb::Trim(line2).empty()) address += "<br>" + html_escape(line2);
  out = vb::Trim(line1 + line2).empty()
            ? std::string()
            : "<tr><td><font class='label'>" + label + "</font></td><td>" + address + "</td></tr>";
}

void FormTags::fund(std::string& out) {
  const keys::Key key = keys::form::kFund;
  if (!editable()) {
    out = mirrored(key, vb::Trim(stored_text("Fund")));
    return;
  }
  const std::string value =
      this->value(Order::CopyFirst, "Fund", key, [&] { return vb::Trim(stored_text("Fund")); });
  if (!text::same_text(ctx_.application_text("DISTRICT.FUND_DD"), "True")) {
    out = "<input type='text' name='fund' size='25' value='" + html_escape(value) + "'" + A_ + ">";
    return;
  }
  std::string filter;
  if (text::same_text(ctx_.application_text("DISTRICT.USECUSTFUND"), "True") &&
      text::same_text(session(keys::kCanOverrideFund), "False")) {
    if (form_.blnCopyRequest || (!load_ && form_.blnNewRequest)) {
      filter = text::code_of_item(posted("cust"));
      if (filter.empty()) filter = vb::Trim(session(keys::kCustomer));
      if (filter.empty()) filter = "0";
    } else {
      filter = session(keys::form::kCustomer);
    }
  }
  builders().PopulateFundDD(filter);
  out = builders().BuildFundDD(A_, value);
}

// ---- Dates and times -------------------------------------------------------------------------

void FormTags::date(bool departure, std::string& out) {
  const char* column = departure ? "depdate" : "retdate";
  if (!editable()) {
    out = html_escape(stored_text(column));
    return;
  }
  const std::string key(departure ? keys::form::kDeparturePrefix : keys::form::kReturnPrefix);
  auto from_session = [&] {
    if (departure && session(key + "year").empty()) {
      ctx_.set_session(key + "year", std::to_string(vb::Year(ctx_.clock().now())));
    }
    const auto parsed = vb::parse_date_text(session(key + "month") + "/" + session(key + "date") +
                                            "/" + session(key + "year"));
    return parsed ? *parsed : kNoDate;
  };
  auto from_row = [&] {
    const vb::Variant& value = stored_value(column);
    return vb::Trim(data::NullToStr(value)).empty() ? kNoDate : vb::CDate(value);
  };
  // The departure tests the load flag first, the return the copy flag first.
  vb::DateTime date;
  if (departure) {
    date = load_                                           ? from_session()
           : (form_.blnCopyRequest || form_.blnNewRequest) ? kNoDate
                                                           : from_row();
  } else {
    date = form_.blnCopyRequest  ? kNoDate
           : load_               ? from_session()
           : form_.blnNewRequest ? kNoDate
                                 : from_row();
  }
  const std::string prefix = departure ? "Dep" : "Rtn";
  out = builders().BuildMonthDD(date, prefix, A_) + builders().BuildDayDD(date, prefix, A_) +
        builders().BuildYearDD(date, prefix, A_);
}

void FormTags::time(const std::string& prefix, const char* column, std::string& out) {
  const std::string key = std::string(keys::form::kPrefix) + prefix;
  if (!editable()) {
    const vb::Variant& stored = stored_value(column);
    const std::string text = data::NullToStr(stored);
    out = html_escape(text);
    if (vb::Trim(text).empty()) {
      for (const char* part : {"_HOUR", "_MIN", "_AMPM"}) ctx_.set_session(key + part, "");
    } else {
      const vb::DateTime time = vb::CDate(stored);
      const int hour = vb::Hour(time);
      ctx_.set_session(key + "_HOUR", std::to_string(hour % 12 == 0 ? 12 : hour % 12));
      ctx_.set_session(key + "_MIN", std::to_string(vb::Minute(time)));
      ctx_.set_session(key + "_AMPM", hour >= 12 ? "PM" : "AM");
    }
    return;
  }
  // Hour, minute and meridian as the selectors post them, into a time of day. Midnight is held
  // as one second past midnight for departure and return; arrive and leave always carry it.
  auto time_from = [&](const std::string& hour, const std::string& minute,
                       const std::string& meridian) {
    if (vb::Trim(hour).empty()) return kNoDate;
    int m = 0;
    if (!vb::Trim(minute).empty()) {
      if (!vb::IsNumeric(minute)) return kNoDate;
      m = vb::CInt(minute);
    }
    std::string seconds;
    if (prefix == "DEP" || prefix == "RET") {
      if (vb::Trim(hour) == "12" && m == 0 && text::same_text(vb::Trim(meridian), "AM")) {
        seconds = ":01";
      }
    } else {
      seconds = ":01";
    }
    return time_of(vb::Trim(hour) + ":" + std::to_string(m) + seconds + vb::Trim(meridian));
  };
  auto from_session = [&] {
    return time_from(session(key + "_HOUR"), session(key + "_MIN"), session(key + "_AMPM"));
  };
  vb::DateTime time = kNoDate;
  if (form_.blnCopyRequest) {
    const std::string hour = posted(prefix + "_HOUR");
    time = vb::Trim(hour).empty()
               ? from_session()
               : time_from(hour, posted(prefix + "_MIN"), posted(prefix + "_AMPM"));
  } else if (load_) {
    time = from_session();
  } else if (!form_.blnNewRequest) {
    const vb::Variant& stored = stored_value(column);
    time = vb::Trim(data::NullToStr(stored)).empty() ? kNoDate : vb::TimeValue(stored);
  }
  out = builders().BuildTimeDD(time, prefix, A_);
}

// ---- Requester e-mail ------------------------------------------------------------------------

void FormTags::requester_email_header(std::string& out) {
  if (!stored()) out.clear();
}

void FormTags::requester_email(std::string& out) {
  const keys::Key key = keys::form::kRequesterEmail;
  if (!editable()) {
    out = mirrored(key, stored_text("REQUESTOR_EMAIL"));
  } else if (load_ || form_.blnCopyRequest) {
    std::string email = posted("REQUESTOREMAIL");
    if (email.empty()) email = session(key);
    const std::string chosen = session(keys::form::kCustomer);
    if (vb::Trim(email).empty() && !chosen.empty()) {
      with_trip_connection([&] { builders().getcust(chosen); });
      email = builders().customer().strRequestorEmail;
    }
    out = "<input type='text' name='RequestorEmail' value='" + html_escape(email) + "' " + A_ + ">";
  } else if (form_.blnNewRequest) {
    out = "<input type='text' name='RequestorEmail' value='' " + A_ + ">";
  } else {
    out = "<input type='text' name='RequestorEmail' value='" +
          html_escape(stored_text("REQUESTOR_EMAIL")) + "'" + A_ + ">";
  }
}

// ---- Approval --------------------------------------------------------------------------------

void FormTags::status_comment(std::string& out) {
  const std::string comment = stored() ? vb::Trim(stored_text("STATUS_COMMENT")) : "";
  if (form_.blnCanApprove && editable()) {
    out = "Approve/Deny Comment:<BR><textarea rows='4' cols='20' name='STATUS_COMMENT'>" +
          html_escape(comment) + "</TEXTAREA>";
  } else if (!comment.empty()) {
    out = "Approve/Deny Comment:<br>" + html_escape(comment);
  }
}

void FormTags::approve(std::string& out) {
  // The value is quoted: a status with a blank ("PRINCIPAL APPROVED") must post whole.
  out = stored() && form_.blnCanApprove && editable()
            ? "<p align='left'><input type='radio' name='Approve' value='" +
                  html_escape(form_.strApproveValue) +
                  "'> Approve<br><input type='radio' name='Approve' value='Deny'> Deny</p>"
            : "";
}

// ---- Buttons ---------------------------------------------------------------------------------

void FormTags::lookup_button(const char* value, const char* label, bool allowed, bool bold,
                             std::string& out) {
  if (!editable() || !allowed) {
    out = "<font class=\"label\">" + std::string(label) + "</font>";
    return;
  }
  out = "<input type='submit' value='" + std::string(value) + "' name='btnSubmit' " + A_ + ">";
  if (bold) out = "<b>" + out + "</b>";
}

void FormTags::form_buttons(std::string& out) {
  const bool copy_and_delete = stored() && !load_;
  const std::string copy =
      "<input type='submit' value='Copy' name='btnSubmit' onclick='return confirmCopy();' " + A_ +
      ">";
  const std::string exit = "<input type='submit' value='**Exit**' name='btnSubmit' " + A_ + ">";
  std::string html;
  if (editable()) {
    html =
        "<input type='submit' value='Save' name='btnSubmit' onclick='return "
        "validateDepartureDate();' " +
        A_ + ">";
    if (copy_and_delete) html += copy;
    html += "<input type='reset' value='Reset' name='btnRESET' " + A_ + ">" + exit;
    if (copy_and_delete) {
      html +=
          "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<input "
          "type='submit' value='Delete' name='btnSubmit' onclick='return confirmDelete();'" +
          A_ + ">";
    }
  } else {
    if (copy_and_delete) html += copy;
    html += exit;
  }
  out = html;
}

void FormTags::print_button(std::string& out) {
  out = stored() ? "<input type=\"submit\" value=\"Print\" name=\"btnSubmit\">" : "";
}

void FormTags::calendar_button(std::string& out) {
  out = truthy(ctx_.application("DOTNET_INSTALLED"))
            ? "<input type=\"button\" value=\"View Calendar\" name=\"btnCalendar\" "
              "onclick=\"window.open('" +
                  html_escape(ctx_.application_text("CALENDAR_URL")) +
                  "', '', 'width=765,height=415');\">"
            : "";
}

// ---- Warnings and script values --------------------------------------------------------------

void FormTags::dates_header(std::string& out) {
  if (truthy(ctx_.session(keys::kDepartureWarned)) || truthy(ctx_.session(keys::kReturnWarned))) {
    out = "*DATES/TIMES - <font color='FF0000'>WARNING</font>*";
  }
}

void FormTags::warning(const char* flag, const char* text, const char* lead, std::string& out) {
  if (!truthy(ctx_.session(flag))) return;
  out = std::string(
            "<tr valign='top'><td align='left' colspan='3' bgcolor='#ffff99'><font "
            "color='FF0000'>") +
        lead + html_escape(session(text)) + "</font></td></tr>";
}

void FormTags::focus(std::string& out) {
  out = editable() ? "document.TripRequestDetail.Dep_month.focus();" : "";
}

void FormTags::default_return_date(std::string& out) {
  out = std::string(form_.blnNewRequest
                        ? "<input type='checkbox' name='chkDefaultReturnDate' value='ON' checked "
                        : "<input type='checkbox' name='chkDefaultReturnDate' value='ON' ") +
        A_ + " />Use the departure date as the return date.";
}

void FormTags::lead_time(std::string& out) {
  const vb::Variant lead = ctx_.application("DISTRICT.DEPDT_LEADTIME");
  out = std::to_string(lead.is_empty() ? 0 : vb::CLng(lead));
}

void FormTags::lead_time_hard_warning(std::string& out) {
  out = text::same_text(session(keys::kCanOverrideDepartureDate), "False")
            ? html_escape(ctx_.application_text("DISTRICT.DEPDT_LEADTIME_HARDWARN"))
            : "False";
}

// The district's required fields, for the page's own check before the post ("CONTACT_REQ,...").
void FormTags::required_flags(std::string& out) {
  static const char* const flags[] = {
      "DEPTIME_REQ",     "RETTIME_REQ",  "ARRIVETIME_REQ", "LEAVETIME_REQ", "NUMADULTS_REQ",
      "NUMSTUDENTS_REQ", "NUMWHEEL_REQ", "ESTTIME_REQ",    "ESTMILE_REQ",   "DESTINATION_REQ",
      "CONTACT_REQ",     "CUSTOMER_REQ", "FUND_REQ",       "PURPOSE_REQ",   "DESTSPEC_REQ",
      "CUSTSPEC_REQ",    "TRIPCOM_REQ",  "PO_REQ",         "TRIPCAT_REQ",   "INTTRIPNUM_REQ",
      "GRADE_REQ"};
  out.clear();
  for (const char* flag : flags) {
    if (!text::same_text(ctx_.application_text(std::string("TRIP_REQ_REQUIRED.") + flag), "True")) {
      continue;
    }
    if (!out.empty()) out += ",";
    out += flag;
  }
}

// ---- The table -------------------------------------------------------------------------------

using Renderer = std::function<void(FormTags&, std::string& out)>;
using TagTable = std::unordered_map<std::string, Renderer, text::NoCaseHash, text::NoCaseEqual>;

// The tag table of the form's fields: one line per tag, long because the form has that many.
void add_field_tags(TagTable& table) {
  using Order = FormTags::Order;
  struct Plain {
    const char *tag, *prefix, *field;
    keys::Key key;
    const char* column;
  };
  static const Plain plain[] = {
      {"WC@INTTRIPNUM", "<input type='text' name='INTTRIPNUM' size='30' maxlength='30' value='",
       "INTTRIPNUM", keys::form::kInternalNumber, "INTTRIPNUM"},
      {"WC@NUMADULTS", "<input type='text' name='NUMADULTS' size='10' value='", "NUMADULTS",
       keys::form::kAdults, "NUMADULTS"},
      {"WC@NUMSTUDENTS", "<input type='text' name='NUMSTUDENTS' size='10' value='", "NUMSTUDENTS",
       keys::form::kStudents, "NUMSTUDENTS"},
      {"WC@NUMHAND", "<input type='text' name='NUMHAND' size='10' value='", "NUMHAND",
       keys::form::kHandicapped, "NUMHAND"},
      {"WC@ESTTIME", "<input type='text' name='ESTTIME' size='10' value='", "ESTTIME",
       keys::form::kEstimatedTime, "estTime"},
      {"WC@ESTMILE", "<input type='text' name='ESTMILE' size='10' value='", "ESTMILE",
       keys::form::kEstimatedMiles, "ESTMILE"},
      {"WC@PURPOSE", "<input type='text' name='PURPOSE' size='10' maxlength='25' value='",
       "PURPOSE", keys::form::kPurpose, "PURPOSE"},
      {"WC@PO", "<input type='text' name='PO' size='15' maxlength='15' value='", "PO",
       keys::form::kPurchaseOrder, "PO"},
  };
  for (const Plain& p : plain) {
    table[p.tag] = [p](FormTags& t, std::string& out) {
      t.plain_input(p.prefix, p.field, p.key, p.column, out);
    };
  }
  struct Area {
    const char *tag, *field;
    keys::Key key;
    Order order;
  };
  static const Area areas[] = {
      {"WC@CUSTSPEC", "CUSTSPEC", keys::form::kCustomerInstructions, Order::SessionFirst},
      {"WC@DESTSPEC", "DESTSPEC", keys::form::kDestinationInstructions, Order::CopyFirst},
      {"WC@TRIPCOM", "TRIPCOM", keys::form::kTripComment, Order::CopyFirst},
  };
  for (const Area& a : areas) {
    table[a.tag] = [a](FormTags& t, std::string& out) {
      t.text_area(a.field, a.key, a.order, out);
    };
  }
  table["WC@GRADE"] = [](FormTags& t, std::string& out) {
    t.code_list("grade", keys::form::kGrade, "Grades", "numGrades", "GRADE", out);
  };
  table["WC@TRIPCAT"] = [](FormTags& t, std::string& out) {
    t.code_list("tripcat", keys::form::kTripCategory, "TripCat", "numTripCat", "TRIPCAT", out);
  };
  struct Time {
    const char *tag, *prefix, *column;
  };
  static const Time times[] = {{"WC@DEPTIME", "DEP", "deptime"},
                               {"WC@RETTIME", "RET", "rettime"},
                               {"WC@ARRIVETIME", "ARRIVE", "arrivetime"},
                               {"WC@LEAVETIME", "LEAVE", "leavetime"}};
  for (const Time& time : times) {
    table[time.tag] = [time](FormTags& t, std::string& out) {
      t.time(time.prefix, time.column, out);
    };
  }
  for (const auto& [tag, column] :
       {std::pair{"WC@STATUS", "Status"}, std::pair{"WC@STATUS_DATE", "STATUS_DATE"},
        std::pair{"WC@ENTEREDBY", "ENTEREDBY"}, std::pair{"WC@ENTERDATE", "enterdate"}}) {
    const char* c = column;
    table[tag] = [c](FormTags& t, std::string& out) { t.stored_column(c, out); };
  }
}

const TagTable& tag_table() {
  static const TagTable table = [] {
    TagTable t;
    auto bind = [](void (FormTags::*render)(std::string&)) {
      return [render](FormTags& tags, std::string& out) { (tags.*render)(out); };
    };
    t["WC@REQUEST"] = bind(&FormTags::request_number);
    t["WC@REQUESTDT"] = bind(&FormTags::request_date);
    t["WC@CHAIN"] = bind(&FormTags::chain);
    t["WC@FORMTOKEN"] = bind(&FormTags::form_token);
    t["WC@NEW"] = bind(&FormTags::new_flag);
    t["WC@CONTACT"] = bind(&FormTags::contact);
    t["WC@CUSTOMER"] = bind(&FormTags::customer);
    t["WC@DESTINATION"] = bind(&FormTags::destination);
    t["WC@DESTINATIONADDRESS"] = bind(&FormTags::destination_address);
    t["WC@FUND"] = bind(&FormTags::fund);
    t["WC@DEPDATE"] = [](FormTags& tags, std::string& out) { tags.date(true, out); };
    t["WC@RETDATE"] = [](FormTags& tags, std::string& out) { tags.date(false, out); };
    t["WC@REQUESTOREMAILHDR"] = bind(&FormTags::requester_email_header);
    t["WC@REQUESTOREMAIL"] = bind(&FormTags::requester_email);
    t["WC@STATUSCOMMENT"] = bind(&FormTags::status_comment);
    t["WC@APPROVE"] = bind(&FormTags::approve);
    t["WC@FUNDHDR"] = [](FormTags& tags, std::string& out) {
      tags.lookup_button("Fund", "Fund:", true, true, out);
    };
    t["WC@DESTHDR"] = [](FormTags& tags, std::string& out) {
      tags.lookup_button("Destination", "Destination:", true, false, out);
    };
    t["WC@FORMBUTTONS"] = bind(&FormTags::form_buttons);
    t["WC@PRINT"] = bind(&FormTags::print_button);
    t["WC@CALENDARBUTTON"] = bind(&FormTags::calendar_button);
    t["WC@DATESHDR"] = bind(&FormTags::dates_header);
    t["WC@DEPWARN"] = [](FormTags& tags, std::string& out) {
      tags.warning("blnDepDtWarn", "strDepDtWarn", "Departure -", out);
    };
    t["WC@RTNWARN"] = [](FormTags& tags, std::string& out) {
      tags.warning("blnRtnDtWarn", "strRtnDtWarn", "", out);
    };
    t["WC@FOCUS"] = bind(&FormTags::focus);
    t["WC@DEFAULTRETURNDATE"] = bind(&FormTags::default_return_date);
    t["WC@LEADTIME"] = bind(&FormTags::lead_time);
    t["WC@LEADTIMEHARDWARN"] = bind(&FormTags::lead_time_hard_warning);
    t["WC@REQUIRED"] = bind(&FormTags::required_flags);
    t["WC@TRIPCATNAMES"] = bind(&FormTags::trip_category_names);
    t["WC@SESSIONMINUTES"] = [](FormTags& tags, std::string& out) { tags.session_minutes(out); };
    t["WC@APPROVALSTEPS"] = bind(&FormTags::approval_steps);
    t["WC@HISTORY"] = bind(&FormTags::history);
    add_field_tags(t);
    return t;
  }();
  return table;
}

}  // namespace

void RequestForm::RequestDetail_ProcessTag(const std::string& TagName, std::string& TagContents,
                                           bool&) {
  if (!session_check()) {
    TagContents.clear();
    frame::write_exit(module_, &ctx_.response());
    return;
  }
  if (text::same_text(session_text(keys::form::kNew), "NEW")) {
    form_.blnNewRequest = true;
    form_.blnCanEdit = true;
  } else {
    form_.blnNewRequest = false;
  }
  if (district_header_tag(TagName, TagContents)) {
  } else if (text::same_text(TagName, "WC@TRIPREQCOMMENT")) {
    TagContents = "<b><font color='#FFFFFF'>" +
                  html_escape(session_text(keys::kTripRequestComment)) + "</font></b>";
  } else if (text::same_text(TagName, "WC@CUSTHDR")) {
    FormTags tags(ctx_, form_, TagContents);
    // A user tied to one customer cannot change it.
    tags.lookup_button("Customer", "Customer:", vb::Trim(session_text(keys::kCustomer)).empty(),
                       false, TagContents);
  } else {
    const TagTable& table = tag_table();
    if (auto found = table.find(TagName); found != table.end()) {
      FormTags tags(ctx_, form_, TagContents);
      found->second(tags, TagContents);
    }
  }
  frame::write_exit(module_, &ctx_.response());
}

}  // namespace request
