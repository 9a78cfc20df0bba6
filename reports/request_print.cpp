// The printable trip request: one stored request as plain text for printing, with the user's
// rights on it, answered tag by tag from its TRIPSREQ row.
#include "reports/request_print.h"

#include "approval/history.h"
#include "approval/mdlApproval.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"
#include "request/refusals.h"

namespace {

using web::html_escape;

bool truthy(const vb::Variant& value) {
  if (value.is_bool()) return value.get<bool>();
  if (value.is_string()) return text::same_text(vb::Trim(value.get<std::string>()), "True");
  if (value.is_number()) return vb::CDbl(value) != 0;
  return false;
}

// The row of the shown request, when one is open and stands on a record.
const db::Recordset* shown_row(const request::FormState& form) {
  const auto& row = form.rsTripReq;
  if (!row || !row->is_open() || row->eof()) return nullptr;
  return row.get();
}

// R(column): the column's text, Null as one blank; empty when no request row is open.
std::string R(const request::FormState& form, const char* column) {
  const db::Recordset* row = shown_row(form);
  return row ? data::NullToStr(row->field(column)) : std::string();
}

// Tags answered with a column of the row, unformatted.
constexpr std::pair<const char*, const char*> kColumnTags[] = {
    {"WC@CONTACT", "CONTACT"},
    {"wc@FUND", "Fund"},
    {"WC@INTTRIPNUM", "INTTRIPNUM"},
    {"WC@DEPDATE", "depdate"},
    {"WC@DEPTIME", "deptime"},
    {"WC@RETDATE", "retdate"},
    {"WC@RETTIME", "rettime"},
    {"WC@STATUS", "Status"},
    {"WC@GRADE", "GRADE"},
    {"WC@CHAIN", "chainid"},
    {"WC@STATUS_DATE", "STATUS_DATE"},
    {"WC@ENTEREDBY", "ENTEREDBY"},
    {"WC@ENTERDATE", "enterdate"},
    {"WC@NUMADULTS", "NUMADULTS"},
    {"WC@NUMSTUDENTS", "NUMSTUDENTS"},
    {"WC@NUMHAND", "NUMHAND"},
    {"WC@ARRIVETIME", "arrivetime"},
    {"WC@ESTTIME", "estTime"},
    {"WC@LEAVETIME", "leavetime"},
    {"WC@ESTMILE", "ESTMILE"},
    {"WC@PURPOSE", "PURPOSE"},
    {"WC@CUSTSPEC", "CUSTSPEC"},
    {"WC@DESTSPEC", "DESTSPEC"},
    {"WC@TRIPCOM", "TRIPCOM"},
    {"WC@PO", "PO"},
    {"WC@TRIPCAT", "TRIPCAT"},
    {"WC@REQUESTOREMAIL", "REQUESTOR_EMAIL"},
};

// Tags of the request form that the printed page leaves empty.
constexpr const char* kEmptyTags[] = {
    "WC@APPROVE",
    "WC@DATESHDR",
    "WC@DEPWARN",
    "WC@RTNWARN",
    "WC@FOCUS",
    "WC@DEFAULTRETURNDATE",
    "WC@LEADTIME",
    "WC@LEADTIMEHARDWARN",
    "WC@REQUESTOREMAILHDR",
};

constexpr std::pair<const char*, const char*> kLabelTags[] = {
    {"WC@FUNDHDR", "<font class=\"label\">Fund:</font>"},
    {"WC@CUSTHDR", "<font class=\"label\">Customer:</font>"},
    {"WC@DESTHDR", "<font class=\"label\">Destination:</font>"},
};

// A destination typed in with the request (number 0) is not in DESTINATION: the row keeps its
// name and address, which the page prints instead of the blank that a lookup of 0 gives.
bool typed_destination(const request::FormState& form) {
  const std::string number = vb::Trim(R(form, "Destination"));
  return (number.empty() || number == "0") && !vb::Trim(R(form, "DESTDESC")).empty();
}

// The request's dated history as a row of the status table. A history that cannot be read
// leaves the row out, not the page.
std::string history_row(frame::RequestContext& ctx, const request::FormState& form) {
  const db::Recordset* row = shown_row(form);
  if (!row || form.blnNewRequest) return "";
  try {
    const auto entries = approval::request_timeline(ctx.module().request_db(), *row);
    if (entries.empty()) return "";
    return "<tr><td class=\"label-cell\"><span class=\"label\">History</span></td>"
           "<td colspan=\"3\">" +
           approval::timeline_html(entries) + "</td></tr>";
  } catch (const std::exception&) {
    return "";
  }
}

// Answers one tag of the printable request; a tag it does not know keeps the template's text.
void answer_tag(frame::RequestContext& ctx, request::FormState& form, const std::string& TagName,
                std::string& out, bool load) {
  request::FieldBuilders& builders = ctx.get<request::FieldBuilders>();
  auto is = [&TagName](const char* name) { return text::same_text(TagName, name); };
  if (ctx.district_header_tag(TagName, out)) return;
  if (is("WC@TRIPREQCOMMENT")) {
    out = "<b><font color='#FFFFFF'>" + html_escape(ctx.session_text(keys::kTripRequestComment)) +
          "</font></b>";
  } else if (is("WC@REQUEST")) {
    if (form.blnCanEdit) {
      out = form.blnNewRequest ? std::string()
                               : "<input type='text' name='TRIPNUM' value='" +
                                     html_escape(R(form, "TRIPNUM")) + "' readonly>";
    } else {
      out = load ? "0" : html_escape(R(form, "TRIPNUM"));
    }
  } else if (is("wc@REQUESTDT")) {
    out = form.blnNewRequest ? vb::date_text(ctx.clock().now())
                             : html_escape(vb::Trim(R(form, "REQDATE")));
  } else if (is("WC@CUSTOMER")) {
    out.clear();
    if (shown_row(form)) {
      builders.getcust(R(form, "CUSTOMER"));
      out = html_escape(builders.customer().strCustName);
    }
  } else if (is("wc@DESTINATION")) {
    out.clear();
    if (shown_row(form)) {
      if (typed_destination(form)) {
        out = html_escape(R(form, "DESTDESC"));
      } else {
        builders.getdest(R(form, "Destination"));
        out = html_escape(builders.destination().strDestDesc);
      }
    }
  } else if (is("WC@DESTINATIONADDRESS")) {
    out.clear();
    if (shown_row(form)) {
      std::string line1, line2;
      if (typed_destination(form)) {
        line1 = R(form, "DESTADD1");
        line2 = R(form, "DESTADD2");
      } else {
        builders.getdest(R(form, "Destination"));
        line1 = builders.destination().strDestAdd1;
        line2 = builders.destination().strDestAdd2;
      }
      if (!vb::Trim(line1).empty()) {
        out = "<tr><td><font class=\"label\">Destination:</font></td><td>" + html_escape(line1) +
              (vb::Trim(line2).empty() ? "" : "<br>" + html_escape(line2)) + "</td></tr>";
      }
    }
  } else if (is("WC@STATUSCOMMENT")) {
    const std::string comment =
        form.blnNewRequest ? std::string() : vb::Trim(R(form, "STATUS_COMMENT"));
    if (!comment.empty()) out = "Approve/Deny Comment:<br>" + html_escape(comment);
  } else if (is("WC@HISTORY")) {
    out = history_row(ctx, form);
  } else if (is("WC@NEW")) {
    out = form.blnNewRequest ? "<input type='text' name='New' value='NEW'>"
                             : "<input type='text' name='New' value='EXISTING'>";
  } else if (is("WC@CALENDARBUTTON")) {
    out = truthy(ctx.application("DOTNET_INSTALLED"))
              ? "<input type=\"button\" value=\"View Calendar\" name=\"btnCalendar\" "
                "onclick=\"window.open('" +
                    html_escape(ctx.application_text("CALENDAR_URL")) +
                    "', '', 'width=765,height=415');\">"
              : "";
  } else {
    for (const auto& [tag, column] : kColumnTags) {
      if (is(tag)) {
        out = html_escape(R(form, column));
        return;
      }
    }
    for (const auto& [tag, label] : kLabelTags) {
      if (is(tag)) {
        out = label;
        return;
      }
    }
    for (const char* tag : kEmptyTags) {
      if (is(tag)) {
        out.clear();
        return;
      }
    }
  }
}

}  // namespace

namespace reports {

void RequestPrint::close_request() {
  if (form_.rsTripReq && form_.rsTripReq->is_open()) form_.rsTripReq->close();
  form_.rsTripReq.reset();
  ChkEligWeb::CloseTripDBConnections(module_);
}

void RequestPrint::TripRequestDetailPrint_Respond() {
  procedure(
      {"TripRequestDetailPrint_Respond", "Jaunter", true, true, true},
      [&] {
        if (!session_check()) frame::exit_step();
        form_.rsTripReq = std::make_unique<db::Recordset>();
        if (text::same_text(session_text(keys::kLoadFromSession), "True")) {
          form_.blnCanEdit = true;
        }
        const std::string request_number = session_text(keys::kRequestNumber);
        if (!request_number.empty()) {
          if (!ChkEligWeb::PrepareDatabase(ctx_)) {
            close_request();
            frame::exit_step();
          }
          // The number enters the statement only as a number.
          form_.rsTripReq->open("SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = clng(" +
                                    std::to_string(vb::CLng(vb::Variant(request_number))) + ")",
                                module_.request_db());
          // A request that is gone, or another customer's, is refused before anything is shown.
          const char* refusal = nullptr;
          if (form_.rsTripReq->eof()) {
            refusal = request::refusal::kGone;
          } else if (!request::may_read_customer(
                         ctx_, data::NullToStr(form_.rsTripReq->field("CUSTOMER")))) {
            refusal = request::refusal::kPrint;
          }
          if (refusal) {
            close_request();
            ctx_.response().Write(refusal);
            frame::exit_step();
          }
          const mdlApproval::Authority authority = mdlApproval::HasAuthority(
              module_, vb::CLng(form_.rsTripReq->field("TRIPNUM")), session_text(keys::kRole), "",
              session_text(keys::kCustomer));
          if (!module_.ok()) {
            close_request();
            frame::exit_step();
          }
          if (authority.may_edit) form_.blnCanEdit = true;
          if (authority.may_approve) form_.blnCanApprove = true;
          form_.strApproveValue = authority.approval.value_or("NA");
        }
        ctx_.write_template("TripRequestDetailPrint");
        close_request();
      },
      [&] { close_request(); });
}

void RequestPrint::TripRequestDetailPrint_ProcessTag(const std::string& TagName,
                                                     std::string& TagContents, bool&) {
  if (!session_check()) {
    TagContents.clear();
    frame::write_exit(module_, &ctx_.response());
    return;
  }
  const bool load = text::same_text(session_text(keys::kLoadFromSession), "True");
  if (load) {
    if (text::same_text(session_text(keys::form::kNew), "NEW")) {
      form_.blnNewRequest = true;
    } else {
      const std::string request_number = session_text(keys::kRequestNumber);
      // Without a request number there is no row to open; the row's tags stay empty.
      if ((!form_.rsTripReq || !form_.rsTripReq->is_open()) &&
          vb::IsNumeric(vb::Variant(request_number)) && ChkEligWeb::PrepareDatabase(ctx_)) {
        form_.rsTripReq = std::make_unique<db::Recordset>();
        form_.rsTripReq->open("SELECT TRIPSREQ.* FROM TRIPSREQ WHERE TRIPNUM = CLNG(" +
                                  std::to_string(vb::CLng(vb::Variant(request_number))) + ")",
                              module_.request_db());
      }
      form_.blnNewRequest = false;
    }
  }
  answer_tag(ctx_, form_, TagName, TagContents, load);
  frame::write_exit(module_, &ctx_.response());
}

}  // namespace reports
