// The trip request form's tag handler: the HTML of every tag of the form's template.
//
// Design note: each field takes its value from one of four sources — the stored row (R), the
// field's session key (S), the posted field (F) and the empty default — in one of two orders
// (session-first or copy-first) chosen per field. A field the user may not edit shows R as text
// and mirrors it into S, so that a later Copy starts from what was shown. Every value from the
// database or the session is HTML-escaped, in text and in attributes; the template's own text
// between a tag's marks (A) is inserted as extra attributes unchanged.
#include <optional>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"
#include "request/no_date.h"
#include "request/submission.h"

namespace {

using web::html_escape;

bool truthy(const vb::Variant& value) {
  if (value.is_bool()) return value.get<bool>();
  if (value.is_string()) return text::same_text(value.get<std::string>(), "True");
  if (value.is_number()) return vb::CDbl(value) != 0;
  return false;
}

std::string before_comma(const std::string& text) {
  const std::size_t comma = text.find(',');
  return comma == std::string::npos ? std::string() : text.substr(0, comma);
}

vb::StringArray session_list(const vb::Variant& value) {
  if (const auto* items = value.get_if<vb::StringArray>()) return *items;
  return {};
}

// The time of day a text such as "9:5AM" stands for, or the no-date marker when it stands for
// none (a tampered field must not end the page).
vb::DateTime time_of(const std::string& text) {
  const auto parsed = vb::parse_date_text(text);
  return parsed ? *parsed : request::kNoDate;
}

}  // namespace

// The per-tag work of the request form, with the flags of this call.
class RequestFormTags {
 public:
  RequestFormTags(Jaunter& page, std::string& contents)
      : page_(page),
        form_(page.form),
        attributes_(contents),
        load_(text::same_text(page.session_text("LoadRequestDetailFromSession"), "True")) {}

  enum class Order { SessionFirst, CopyFirst };

  bool stored() const { return !form_.blnNewRequest; }
  bool editable() const { return form_.blnCanEdit; }
  bool load() const { return load_; }
  const std::string& attributes() const { return attributes_; }

  std::string posted(const std::string& name) const { return page_.context().request().Form(name); }
  std::string session(const std::string& key) const { return page_.session_text(key); }

  // R: the stored column as text; a Null is one blank.
  std::string stored_text(const char* column) const { return data::NullToStr(row().field(column)); }
  const vb::Variant& stored_value(const char* column) const { return row().field(column); }

  // The value of a field by its order; R already in its final form.
  std::string value(Order order, const std::string& field, const std::string& key,
                    const std::function<std::string()>& stored_value_of,
                    bool trim_posted = false) const {
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

  // Read-only: R as text, mirrored into S.
  std::string mirrored(const std::string& key, const std::string& stored) {
    page_.set_session(key, stored);
    return html_escape(stored);
  }

 private:
  const db::Recordset& row() const {
    if (!form_.rsTripReq || !form_.rsTripReq->is_open()) throw vb::err::object_not_set();
    return *form_.rsTripReq;
  }

  Jaunter& page_;
  request::FormState& form_;
  std::string attributes_;
  bool load_;
};

namespace {

struct PlainInput {
  const char* tag;
  const char* prefix;
  const char* field;
  const char* key;
  const char* column;
};

const PlainInput kPlainInputs[] = {
    {"WC@INTTRIPNUM", "<input type='text' name='INTTRIPNUM' size='30' maxlength='30' value='",
     "INTTRIPNUM", "RequestDetail.INTTRIPNUM", "INTTRIPNUM"},
    {"WC@NUMADULTS", "<input type='text' name='NUMADULTS' size='10' value='", "NUMADULTS",
     "RequestDetail.NUMADULTS", "NUMADULTS"},
    {"WC@NUMSTUDENTS", "<input type='text' name='NUMSTUDENTS' size='10' value='", "NUMSTUDENTS",
     "RequestDetail.NUMSTUDENTS", "NUMSTUDENTS"},
    {"WC@NUMHAND", "<input type='text' name='NUMHAND' size='10' value='", "NUMHAND",
     "RequestDetail.NUMHAND", "NUMHAND"},
    {"WC@ESTTIME", "<input type='text' name='ESTTIME' size='10' value='", "ESTTIME",
     "RequestDetail.ESTTIME", "estTime"},
    {"WC@ESTMILE", "<input type='text' name='ESTMILE' size='10' value='", "ESTMILE",
     "RequestDetail.ESTMILE", "ESTMILE"},
    {"WC@PURPOSE", "<input type='text' name='PURPOSE' size='10' maxlength='25' value='", "PURPOSE",
     "RequestDetail.PURPOSE", "PURPOSE"},
    {"WC@PO", "<input type='text' name='PO' size='15' maxlength='15' value='", "PO",
     "RequestDetail.PO", "PO"},
};

struct TimeTag {
  const char* tag;
  const char* prefix;
  const char* column;
};

const TimeTag kTimeTags[] = {{"WC@DEPTIME", "DEP", "deptime"},
                             {"WC@RETTIME", "RET", "rettime"},
                             {"WC@ARRIVETIME", "ARRIVE", "arrivetime"},
                             {"WC@LEAVETIME", "LEAVE", "leavetime"}};

}  // namespace

void Jaunter::RequestDetail_ProcessTag(const std::string& TagName, std::string& TagContents,
                                       bool&) {
  if (!session_check()) {
    TagContents.clear();
    frame::write_exit(module_, &ctx_.response());
    return;
  }
  if (text::same_text(session_text("RequestDetail.New"), "NEW")) {
    form.blnNewRequest = true;
    form.blnCanEdit = true;
  } else {
    form.blnNewRequest = false;
  }
  RequestFormTags tags(*this, TagContents);
  render_request_tag(tags, TagName, TagContents);
  frame::write_exit(module_, &ctx_.response());
}

void Jaunter::render_request_tag(RequestFormTags& tags, const std::string& tag, std::string& out) {
  using Order = RequestFormTags::Order;
  const std::string& A = tags.attributes();
  const bool edit = tags.editable();
  const bool stored = tags.stored();
  auto is = [&tag](const char* name) { return text::same_text(tag, name); };

  if (district_header_tag(tag, out)) return;
  if (is("WC@TRIPREQCOMMENT")) {
    out =
        "<b><font color='#FFFFFF'>" + html_escape(session_text("TRIPREQ_COMMENT")) + "</font></b>";
    return;
  }

  // ---- Request identity
  if (is("WC@REQUEST")) {
    if (!stored) {
      out.clear();
    } else if (edit) {
      const std::string number =
          tags.load() ? session_text("TRIPREQ") : tags.stored_text("TRIPNUM");
      out = "<input type='text' name='TRIPNUM' value='" + html_escape(number) + "' readonly>";
    } else {
      out = tags.load() ? "0" : html_escape(tags.stored_text("TRIPNUM"));
    }
    return;
  }
  if (is("wc@REQUESTDT")) {
    out = stored ? html_escape(vb::Trim(tags.stored_text("REQDATE")))
                 : vb::date_text(ctx_.clock().now());
    return;
  }
  for (const auto& [name, column] :
       {std::pair{"WC@STATUS", "Status"}, std::pair{"WC@STATUS_DATE", "STATUS_DATE"},
        std::pair{"WC@ENTEREDBY", "ENTEREDBY"}, std::pair{"WC@ENTERDATE", "enterdate"}}) {
    if (is(name)) {
      out = stored ? html_escape(tags.stored_text(column)) : std::string();
      return;
    }
  }
  if (is("WC@CHAIN")) {
    const std::string chain = stored ? tags.stored_text("chainid") : std::string();
    out = edit ? "<input type='text' name='CHAINID' value='" + html_escape(chain) + "'>"
               : html_escape(chain);
    return;
  }
  if (is("WC@FORMTOKEN")) {
    out = std::string("<input type='hidden' name='") + request::kFormTokenField + "' value='" +
          request::new_form_token() + "'>";
    return;
  }
  if (is("WC@NEW")) {
    out = form.blnNewRequest ? "<input type='text' name='New' value='NEW'>"
                             : "<input type='text' name='New' value='EXISTING'>";
    return;
  }

  // ---- Plain inputs
  if (is("WC@CONTACT")) {
    if (!edit) {
      out = tags.mirrored("RequestDetail.contact", vb::Trim(tags.stored_text("CONTACT")));
      return;
    }
    const std::string value = tags.value(
        Order::SessionFirst, "Contact", "RequestDetail.contact",
        [&] { return vb::Trim(tags.stored_text("CONTACT")); }, true);
    out = "<input type='text' name='Contact' size='25' maxlength='25' value='" +
          html_escape(value) + "' " + A + ">";
    return;
  }
  for (const PlainInput& input : kPlainInputs) {
    if (!is(input.tag)) continue;
    if (!edit) {
      out = tags.mirrored(input.key, tags.stored_text(input.column));
      return;
    }
    const std::string value = tags.value(Order::CopyFirst, input.field, input.key,
                                         [&] { return tags.stored_text(input.column); });
    out = std::string(input.prefix) + html_escape(value) + "' " + A + ">";
    return;
  }

  // ---- Text areas
  for (const auto& [name, field, key, order] :
       {std::tuple{"WC@CUSTSPEC", "CUSTSPEC", "RequestDetail.custspec", Order::SessionFirst},
        std::tuple{"WC@DESTSPEC", "DESTSPEC", "RequestDetail.destspec", Order::CopyFirst},
        std::tuple{"WC@TRIPCOM", "TRIPCOM", "RequestDetail.TRIPCOM", Order::CopyFirst}}) {
    if (!is(name)) continue;
    const std::string open = "<textarea rows='3' cols='60' name='" + std::string(field) + "' ";
    if (!edit) {
      out = open + "readonly='yes' " + A + ">" + tags.mirrored(key, tags.stored_text(field)) +
            "</TEXTAREA>";
      return;
    }
    std::string value = tags.value(order, field, key, [&] { return tags.stored_text(field); });
    if (order == Order::SessionFirst && value.empty() && value == session_text(key) &&
        takes_session_value(tags)) {
      // The customer's standing instructions are proposed for an empty field.
      const std::string chosen = session_text("RequestDetail.customer");
      if (!chosen.empty()) {
        with_trip_connection([&] { getcust(chosen); });
        value = customer.strCustSpec;
      }
    }
    out = open + A + ">" + html_escape(value) + "</TEXTAREA>";
    return;
  }

  // ---- Code lists
  if (is("WC@CUSTOMER")) {
    render_customer(tags, out);
    return;
  }
  for (const auto& [name, field, key, list, count, column] :
       {std::tuple{"WC@GRADE", "grade", "RequestDetail.grade", "Grades", "numGrades", "GRADE"},
        std::tuple{"WC@TRIPCAT", "tripcat", "RequestDetail.tripcat", "TripCat", "numTripCat",
                   "TRIPCAT"}}) {
    if (!is(name)) continue;
    if (!edit) {
      out = tags.mirrored(key, vb::Trim(tags.stored_text(column)));
      return;
    }
    const std::string value = tags.value(Order::CopyFirst, field, key,
                                         [&] { return vb::Trim(tags.stored_text(column)); });
    const vb::StringArray items = session_list(ctx_.session(list));
    const int last = session_count(count);
    std::string html = "<select name='" + std::string(field) + "' " + A + ">";
    for (int i = 0; i <= last && i < static_cast<int>(items.size()); ++i) {
      html += (text::same_text(items[i], value) ? "<option selected>" : "<option>") +
              html_escape(items[i]) + "</option>";
    }
    out = html + "</select>";
    return;
  }
  if (is("wc@DESTINATION")) {
    render_destination(tags, out);
    return;
  }
  if (is("WC@DESTINATIONADDRESS")) {
    render_destination_address(tags, out);
    return;
  }
  if (is("wc@FUND")) {
    render_fund(tags, out);
    return;
  }

  // ---- Dates and times
  if (is("WC@DEPDATE") || is("WC@RETDATE")) {
    const bool departure = is("WC@DEPDATE");
    const char* column = departure ? "depdate" : "retdate";
    if (!edit) {
      out = html_escape(tags.stored_text(column));
      return;
    }
    const std::string key = departure ? "RequestDetail.dep_" : "RequestDetail.ret_";
    auto from_session = [&] {
      if (departure && session_text(key + "year").empty()) {
        set_session(key + "year", std::to_string(vb::Year(ctx_.clock().now())));
      }
      const auto parsed =
          vb::parse_date_text(session_text(key + "month") + "/" + session_text(key + "date") + "/" +
                              session_text(key + "year"));
      return parsed ? *parsed : request::kNoDate;
    };
    auto from_row = [&] {
      const vb::Variant& value = tags.stored_value(column);
      return vb::Trim(data::NullToStr(value)).empty() ? request::kNoDate : vb::CDate(value);
    };
    vb::DateTime date;
    if (departure) {
      date = tags.load()                                   ? from_session()
             : (form.blnCopyRequest || form.blnNewRequest) ? request::kNoDate
                                                           : from_row();
    } else {
      date = form.blnCopyRequest  ? request::kNoDate
             : tags.load()        ? from_session()
             : form.blnNewRequest ? request::kNoDate
                                  : from_row();
    }
    const std::string prefix = departure ? "Dep" : "Rtn";
    out =
        BuildMonthDD(date, prefix, A) + BuildDayDD(date, prefix, A) + BuildYearDD(date, prefix, A);
    return;
  }
  for (const TimeTag& time : kTimeTags) {
    if (!is(time.tag)) continue;
    render_time(tags, time.prefix, time.column, out);
    return;
  }

  // ---- Requester e-mail
  if (is("WC@REQUESTOREMAILHDR")) {
    if (!stored) out.clear();
    return;
  }
  if (is("WC@REQUESTOREMAIL")) {
    const std::string key = "RequestDetail.requestoremail";
    if (!edit) {
      out = tags.mirrored(key, tags.stored_text("REQUESTOR_EMAIL"));
    } else if (tags.load() || form.blnCopyRequest) {
      std::string email = tags.posted("REQUESTOREMAIL");
      if (email.empty()) email = session_text(key);
      const std::string chosen = session_text("RequestDetail.customer");
      if (vb::Trim(email).empty() && !chosen.empty()) {
        with_trip_connection([&] { getcust(chosen); });
        email = customer.strRequestorEmail;
      }
      out =
          "<input type='text' name='RequestorEmail' value='" + html_escape(email) + "' " + A + ">";
    } else if (form.blnNewRequest) {
      out = "<input type='text' name='RequestorEmail' value='' " + A + ">";
    } else {
      out = "<input type='text' name='RequestorEmail' value='" +
            html_escape(tags.stored_text("REQUESTOR_EMAIL")) + "'" + A + ">";
    }
    return;
  }

  // ---- Approval
  if (is("WC@STATUSCOMMENT")) {
    const std::string comment = stored ? vb::Trim(tags.stored_text("STATUS_COMMENT")) : "";
    if (form.blnCanApprove && edit) {
      out = "Approve/Deny Comment:<BR><textarea rows='4' cols='20' name='STATUS_COMMENT'>" +
            html_escape(comment) + "</TEXTAREA>";
    } else if (!comment.empty()) {
      out = "Approve/Deny Comment:<br>" + html_escape(comment);
    }
    return;
  }
  if (is("WC@APPROVE")) {
    // The value is quoted: a status with a blank ("PRINCIPAL APPROVED") must post whole.
    out = stored && form.blnCanApprove && edit
              ? "<p align='left'><input type='radio' name='Approve' value='" +
                    html_escape(form.strApproveValue) +
                    "'> Approve<br><input type='radio' name='Approve' value='Deny'> Deny</p>"
              : "";
    return;
  }

  // ---- Buttons
  if (is("WC@FUNDHDR")) {
    out = edit ? "<b><input type='submit' value='Fund' name='btnSubmit' " + A + "></b>"
               : "<font class=\"label\">Fund:</font>";
    return;
  }
  if (is("WC@DESTHDR")) {
    out = edit ? "<input type='submit' value='Destination' name='btnSubmit' " + A + ">"
               : "<font class=\"label\">Destination:</font>";
    return;
  }
  if (is("WC@CUSTHDR")) {
    out = edit && vb::Trim(session_text("CUSTOMER")).empty()
              ? "<input type='submit' value='Customer' name='btnSubmit' " + A + ">"
              : "<font class=\"label\">Customer:</font>";
    return;
  }
  if (is("WC@FORMBUTTONS")) {
    const bool copy_and_delete = stored && !tags.load();
    const std::string copy =
        "<input type='submit' value='Copy' name='btnSubmit' onclick='return confirmCopy();' " + A +
        ">";
    const std::string exit = "<input type='submit' value='**Exit**' name='btnSubmit' " + A + ">";
    std::string html;
    if (edit) {
      html =
          "<input type='submit' value='Save' name='btnSubmit' onclick='return "
          "validateDepartureDate();' " +
          A + ">";
      if (copy_and_delete) html += copy;
      html += "<input type='reset' value='Reset' name='btnRESET' " + A + ">" + exit;
      if (copy_and_delete) {
        html +=
            "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<input "
            "type='submit' value='Delete' name='btnSubmit' onclick='return confirmDelete();'" +
            A + ">";
      }
    } else {
      if (copy_and_delete) html += copy;
      html += exit;
    }
    out = html;
    return;
  }
  if (is("WC@PRINT")) {
    out = stored ? "<input type=\"submit\" value=\"Print\" name=\"btnSubmit\">" : "";
    return;
  }
  if (is("WC@CALENDARBUTTON")) {
    out = truthy(ctx_.application("DOTNET_INSTALLED"))
              ? "<input type=\"button\" value=\"View Calendar\" name=\"btnCalendar\" "
                "onclick=\"window.open('" +
                    html_escape(application_text("CALENDAR_URL")) +
                    "', '', 'width=765,height=415');\">"
              : "";
    return;
  }

  // ---- Warnings and script values
  if (is("WC@DATESHDR")) {
    if (truthy(ctx_.session("blnDepDtWarn")) || truthy(ctx_.session("blnRtnDtWarn"))) {
      out = "*DATES/TIMES - <font color='FF0000'>WARNING</font>*";
    }
    return;
  }
  if (is("WC@DEPWARN")) {
    if (truthy(ctx_.session("blnDepDtWarn"))) {
      out =
          "<tr valign='top'><td align='left' colspan='3' bgcolor='#ffff99'><font "
          "color='FF0000'>Departure -" +
          html_escape(session_text("strDepDtWarn")) + "</font></td></tr>";
    }
    return;
  }
  if (is("WC@RTNWARN")) {
    if (truthy(ctx_.session("blnRtnDtWarn"))) {
      out =
          "<tr valign='top'><td align='left' colspan='3' bgcolor='#ffff99'><font "
          "color='FF0000'>" +
          html_escape(session_text("strRtnDtWarn")) + "</font></td></tr>";
    }
    return;
  }
  if (is("WC@FOCUS")) {
    out = edit ? "document.TripRequestDetail.Dep_month.focus();" : "";
    return;
  }
  if (is("WC@DEFAULTRETURNDATE")) {
    out = std::string(form.blnNewRequest
                          ? "<input type='checkbox' name='chkDefaultReturnDate' value='ON' checked "
                          : "<input type='checkbox' name='chkDefaultReturnDate' value='ON' ") +
          A + " />Use the departure date as the return date.";
    return;
  }
  if (is("WC@LEADTIME")) {
    const vb::Variant lead = ctx_.application("DISTRICT.DEPDT_LEADTIME");
    out = std::to_string(lead.is_empty() ? 0 : vb::CLng(lead));
    return;
  }
  if (is("WC@LEADTIMEHARDWARN")) {
    out = text::same_text(session_text("CANOVERRIDEDEPARTUREDATE"), "False")
              ? html_escape(application_text("DISTRICT.DEPDT_LEADTIME_HARDWARN"))
              : "False";
    return;
  }
}

bool Jaunter::takes_session_value(const RequestFormTags& tags) const {
  // Where the session-first order takes S: with the load flag, or for copies and fresh new
  // requests whose posted field is blank.
  return tags.load() || form.blnCopyRequest ||
         (form.blnNewRequest && tags.posted("btnSubmit").empty());
}

int Jaunter::session_count(const char* key) const {
  const vb::Variant value = ctx_.session(key);
  return value.is_empty() ? 0 : vb::CInt(value);
}

void Jaunter::with_trip_connection(const std::function<void()>& work) {
  const bool open = module_.trip && module_.trip->state() == 1;
  if (!open && !prepare_database()) return;
  work();
  if (!open) ChkEligWeb::CloseTripDBConnections(module_);
}

void Jaunter::render_customer(RequestFormTags& tags, std::string& out) {
  const std::string key = "RequestDetail.customer";
  if (!tags.editable()) {
    const std::string code = tags.stored_text("CUSTOMER");
    set_session(key, code);
    getcust(code);
    out = html_escape(customer.strCustName);
    return;
  }
  std::string code;
  if (form.blnCopyRequest) {
    code = before_comma(tags.posted("cust"));
    if (code.empty()) code = session_text(key);
  } else if (tags.load()) {
    code = session_text(key);
  } else if (form.blnNewRequest) {
    code.clear();
  } else {
    code = tags.stored_text("CUSTOMER");
    if (session_text(key).empty()) set_session(key, code);
  }
  const vb::StringArray items = session_list(ctx_.session("CustomersDD"));
  const int count = session_count("numCustomers");
  const std::string wanted = vb::Trim(code);
  std::string html = "<select name='cust' width='100' " + tags.attributes() + ">";
  for (int i = 0; i <= count && i < static_cast<int>(items.size()); ++i) {
    const std::string item_code = vb::Trim(before_comma(items[i]));
    const bool selected = text::same_text(item_code, wanted) || (!item_code.empty() && count == 1);
    html += (selected ? "<option selected>" : "<option>") + html_escape(items[i]) + "</option>";
  }
  out = html + "</select>";
}

void Jaunter::render_destination(RequestFormTags& tags, std::string& out) {
  const std::string& A = tags.attributes();
  if (!tags.editable()) {
    const std::string number = tags.stored_text("Destination");
    set_session("RequestDetail.destination", number);
    const std::string typed = vb::Trim(tags.stored_text("DESTDESC"));
    if (vb::Trim(number) == "0" && !typed.empty()) {
      out = html_escape(tags.stored_text("DESTDESC"));
      SetDestFromREQ(vb::CLng(tags.stored_value("TRIPNUM")));
    } else {
      getdest(number);
      out = html_escape(destination.strDestDesc);
    }
    return;
  }
  auto typed_or_code = [&](const std::string& d) {
    if (d == "0") return BuildDestinationDD(A, session_text("RequestDetail.destdesc"), true);
    if (d.rfind("0,", 0) == 0) return BuildDestinationDD(A, d.substr(2), true);
    return BuildDestinationDD(A, d, false);
  };
  if (tags.load()) {
    out = typed_or_code(session_text("RequestDetail.destination"));
  } else if (form.blnCopyRequest || (form.blnNewRequest && tags.posted("btnSubmit").empty())) {
    std::string d = tags.posted("dest");
    if (vb::Trim(d).empty()) d = session_text("RequestDetail.destination");
    out = d == "0" ? BuildDestinationDD(A, session_text("RequestDetail.destdesc"), true)
                   : BuildDestinationDD(A, d, false);
  } else if (form.blnNewRequest) {
    out = BuildDestinationDD(A, "", false);
  } else {
    const std::string number = vb::Trim(tags.stored_text("Destination"));
    const std::string typed = vb::Trim(tags.stored_text("DESTDESC"));
    if (number == "0" && !typed.empty()) {
      out = BuildDestinationDD(A, tags.stored_text("DESTDESC"), true);
      SetDestFromREQ(vb::CLng(tags.stored_value("TRIPNUM")));
    } else {
      out = BuildDestinationDD(A, number, false);
    }
  }
}

void Jaunter::render_destination_address(RequestFormTags& tags, std::string& out) {
  std::string label, line1, line2;
  auto from_session = [&] {
    line1 = session_text("RequestDetail.destadd1");
    line2 = session_text("RequestDetail.destadd2");
  };
  auto from_destination = [&](const std::string& number, bool open_connection) {
    if (open_connection) {
      with_trip_connection([&] { getdest(number); });
    } else {
      getdest(number);
    }
    line1 = destination.strDestAdd1;
    line2 = destination.strDestAdd2;
  };
  const bool typed = session_text("RequestDetail.destination").rfind('0', 0) == 0;
  if (tags.load() || form.blnCopyRequest) {
    from_session();
    if (typed) label = "** New **";
  } else if (form.blnNewRequest && tags.posted("btnSubmit").empty()) {
    if (!typed) {
      from_destination(tags.posted("dest"), true);
    } else {
      label = "** New **";
      from_session();
    }
  } else if (form.blnNewRequest) {
    out.clear();
    return;
  } else if (vb::Trim(tags.stored_text("Destination")) == "0") {
    label = "** New **";
    line1 = tags.stored_text("DESTADD1");
    line2 = tags.stored_text("DESTADD2");
  } else {
    from_destination(tags.stored_text("Destination"), tags.editable());
  }
  std::string address = html_escape(line1);
  if (!vb::Trim(line2).empty()) address += "<br>" + html_escape(line2);
  out = vb::Trim(line1 + line2).empty()
            ? std::string()
            : "<tr><td><font class='label'>" + label + "</font></td><td>" + address + "</td></tr>";
}

void Jaunter::render_fund(RequestFormTags& tags, std::string& out) {
  const std::string key = "RequestDetail.Fund";
  if (!tags.editable()) {
    out = tags.mirrored(key, vb::Trim(tags.stored_text("Fund")));
    return;
  }
  const std::string value = tags.value(RequestFormTags::Order::CopyFirst, "Fund", key,
                                       [&] { return vb::Trim(tags.stored_text("Fund")); });
  if (!text::same_text(application_text("DISTRICT.FUND_DD"), "True")) {
    out = "<input type='text' name='fund' size='25' value='" + html_escape(value) + "'" +
          tags.attributes() + ">";
    return;
  }
  std::string filter;
  if (text::same_text(application_text("DISTRICT.USECUSTFUND"), "True") &&
      text::same_text(session_text("CANOVERRIDEFUND"), "False")) {
    if (form.blnCopyRequest || (!tags.load() && form.blnNewRequest)) {
      filter = before_comma(tags.posted("cust"));
      if (filter.empty()) filter = vb::Trim(session_text("CUSTOMER"));
      if (filter.empty()) filter = "0";
    } else {
      filter = session_text("RequestDetail.Customer");
    }
  }
  PopulateFundDD(filter);
  out = BuildFundDD(tags.attributes(), value);
}

void Jaunter::render_time(RequestFormTags& tags, const std::string& prefix, const char* column,
                          std::string& out) {
  const std::string key = "RequestDetail." + prefix;
  if (!tags.editable()) {
    const vb::Variant& stored = tags.stored_value(column);
    const std::string text = data::NullToStr(stored);
    out = html_escape(text);
    if (vb::Trim(text).empty()) {
      set_session(key + "_HOUR", "");
      set_session(key + "_MIN", "");
      set_session(key + "_AMPM", "");
    } else {
      const vb::DateTime time = vb::CDate(stored);
      int hour = vb::Hour(time);
      const bool pm = hour >= 12;
      hour = hour % 12 == 0 ? 12 : hour % 12;
      set_session(key + "_HOUR", std::to_string(hour));
      set_session(key + "_MIN", std::to_string(vb::Minute(time)));
      set_session(key + "_AMPM", pm ? "PM" : "AM");
    }
    return;
  }
  // Hour, minute and meridian as the selectors post them, into a time of day. Midnight is held
  // as one second past midnight for departure and return; arrive and leave always carry it.
  auto time_from = [&](const std::string& hour, const std::string& minute,
                       const std::string& meridian) {
    if (vb::Trim(hour).empty()) return request::kNoDate;
    int m = 0;
    if (!vb::Trim(minute).empty()) {
      if (!vb::IsNumeric(minute)) return request::kNoDate;
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
    return time_from(session_text(key + "_HOUR"), session_text(key + "_MIN"),
                     session_text(key + "_AMPM"));
  };
  vb::DateTime time = request::kNoDate;
  if (form.blnCopyRequest) {
    const std::string hour = tags.posted(prefix + "_HOUR");
    time = vb::Trim(hour).empty()
               ? from_session()
               : time_from(hour, tags.posted(prefix + "_MIN"), tags.posted(prefix + "_AMPM"));
  } else if (tags.load()) {
    time = from_session();
  } else if (form.blnNewRequest) {
    time = request::kNoDate;
  } else {
    const vb::Variant& stored = tags.stored_value(column);
    time = vb::Trim(data::NullToStr(stored)).empty() ? request::kNoDate : vb::TimeValue(stored);
  }
  out = BuildTimeDD(time, prefix, tags.attributes());
}
