// The save path of the trip request form.
//
// Design note: the checks run in a fixed order and the first that fails is the whole answer
// (nothing is written); warnings go to the session for the form to show. Then the row is
// written, its chain chosen, a user who is himself an approver of a new chain gives his level's
// approval at once, and the requester and the next approvers are told by mail. The form shows
// only what the user may do; the same rights are enforced here, so that a forged post cannot
// change, approve or wipe a request the user may only read.
#include "request/form_save.h"

#include <cmath>
#include <vector>

#include "approval/chain_steps.h"
#include "approval/customer_rights.h"
#include "approval/history.h"
#include "approval/mdlApproval.h"
#include "approval/request_link.h"
#include "approval/send_email.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/sys/trip_counter.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"
#include "request/history_notes.h"
#include "request/no_date.h"
#include "request/persistence.h"
#include "request/refusals.h"
#include "request/request_form.h"
#include "request/submission.h"

namespace request {

namespace {

using web::html_escape;

struct PostedRequest {
  vb::DateTime departure{}, return_date{};
  double departure_time = 0, return_time = 0, arrive_time = 0, leave_time = 0;  // 0: no time
  std::int16_t adults = 0, students = 0, handicapped = 0;
  float estimated_time = 0, estimated_miles = 0;
  std::string customer_number, fund_code;
};

[[noreturn]] void stop(frame::RequestContext& ctx, const std::string& message) {
  ctx.response().Write(message);
  frame::exit_step();
}

bool required(frame::RequestContext& ctx, const char* flag) {
  return text::same_text(ctx.application_text(std::string("TRIP_REQ_REQUIRED.") + flag), "True");
}

std::string posted(frame::RequestContext& ctx, const char* name) {
  return ctx.request().Form(name);
}

vb::DateTime posted_date(const std::string& month, const std::string& day, const std::string& year,
                         const char* message, frame::RequestContext& ctx) {
  const auto date = vb::parse_date_text(month + "/" + day + "/" + year);
  if (!date) stop(ctx, message);
  return *date;
}

void check_dates(frame::RequestContext& ctx, PostedRequest& values) {
  const char* departure_message = "<p>Please enter a valid departure date.</p>";
  const std::string month = vb::Trim(posted(ctx, "dep_month"));
  const std::string day = vb::Trim(posted(ctx, "dep_date"));
  const std::string year = vb::Trim(posted(ctx, "dep_year"));
  if (month.empty() || day.empty() || year.empty()) stop(ctx, departure_message);
  values.departure = posted_date(month, day, year, departure_message, ctx);

  if (vb::UCase(posted(ctx, "chkDefaultReturnDate")) == "ON") {
    values.return_date = values.departure;
    return;
  }
  const char* return_message = "<p>Please enter a valid return date.</p>";
  const std::string rtn_month = vb::Trim(posted(ctx, "rtn_month"));
  const std::string rtn_day = vb::Trim(posted(ctx, "rtn_date"));
  std::string rtn_year = vb::Trim(posted(ctx, "rtn_year"));
  if (rtn_month.empty() || rtn_day.empty()) stop(ctx, return_message);
  if (rtn_year.empty()) rtn_year = posted(ctx, "dep_year");
  values.return_date = posted_date(rtn_month, rtn_day, rtn_year, return_message, ctx);
}

// The calendar note of a day: a warning, or the day is closed.
void check_calendar(frame::RequestContext& ctx, vb::DateTime day, bool departure) {
  frame::ModuleState& module = ctx.module();
  const std::string text = vb::date_text(day);
  const auto severity = mdlApproval::Check_calNotes(module, vb::Trim(text), true, false);
  const std::string note =
      html_escape(module.strNoteText) + ".  " + html_escape(module.strNoteLongText);
  if (severity == mdlApproval::Severity::Warning) {
    ctx.set_session(departure ? "blnDepDtWarn" : "blnRtnDtWarn", true);
    ctx.set_session(departure ? "strDepDtWarn" : "strRtnDtWarn",
                    "WARNING - " + module.strNoteText + ".  " + module.strNoteLongText);
  } else if (severity == mdlApproval::Severity::DayClosed) {
    stop(ctx, (departure ? "<p>Departure Date, " : "<p>Return Date,  ") + text + ", DAY CLOSED - " +
                  note + "</p>");
  }
}

struct TimeField {
  const char* prefix;
  const char* flag;
  const char* message;
  bool always_seconds;  // arrive and leave carry one second always
};

const TimeField kTimes[] = {
    {"DEP", "DEPTIME_REQ", "<p>Departure Time is required.</p>", false},
    {"RET", "RETTIME_REQ", "<p>Return Time is required.</p>", false},
    {"ARRIVE", "ARRIVETIME_REQ", "<p>Arrive Time is required.</p>", true},
    {"LEAVE", "LEAVETIME_REQ", "<p>Leave Time is required.</p>", true},
};

double posted_time(frame::RequestContext& ctx, const TimeField& field) {
  const std::string prefix = field.prefix;
  const std::string hour = vb::Trim(posted(ctx, (prefix + "_HOUR").c_str()));
  if (hour.empty()) {
    if (required(ctx, field.flag)) stop(ctx, field.message);
    return 0;
  }
  const std::string minute_text = vb::Trim(posted(ctx, (prefix + "_MIN").c_str()));
  const std::int16_t minute = minute_text.empty() ? 0 : vb::CInt(minute_text);
  const std::string meridian = vb::Trim(posted(ctx, (prefix + "_AMPM").c_str()));
  // Midnight is held as one second past it, so that it differs from "no time".
  const bool seconds =
      field.always_seconds || (hour == "12" && minute == 0 && text::same_text(meridian, "AM"));
  return vb::CDate(hour + ":" + std::to_string(minute) + (seconds ? ":01" : "") + meridian).serial;
}

void check_times(frame::RequestContext& ctx, PostedRequest& values) {
  double* targets[] = {&values.departure_time, &values.return_time, &values.arrive_time,
                       &values.leave_time};
  for (int i = 0; i < 4; ++i) *targets[i] = posted_time(ctx, kTimes[i]);
  if (vb::Trim(posted(ctx, "DEP_HOUR")).empty()) return;
  // Later than 23:00 or earlier than 05:00 is most likely the wrong half of the day.
  const long seconds = std::lround(values.departure_time * 86400.0);
  if (seconds <= 23 * 3600 && seconds >= 5 * 3600) return;
  const std::string shown = vb::date_text(vb::DateTime{values.departure_time});
  ctx.set_session(keys::kReturnWarned, true);
  const std::string earlier = ctx.session_text(keys::kReturnWarning);
  ctx.set_session(
      "strRtnDtWarn",
      earlier.empty()
          ? "WARNING - Are you sure you have the AM/PM correct? Departure time is scheduled for " +
                shown
          : earlier +
                ".  AM/PM WARNING - Are you sure you have the AM/PM correct? Departure time "
                "is scheduled for " +
                shown);
}

void check_counts(frame::RequestContext& ctx, PostedRequest& values) {
  struct Count {
    const char* field;
    const char* invalid;
    const char* missing;
    const char* flag;
  };
  const Count counts[] = {
      {"NUMADULTS", "<p>Please enter a valid number of adults (or 0) in the # of Adults field.</p>",
       "<p>Number of adults is required.</p>", "NUMADULTS_REQ"},
      {"NUMSTUDENTS",
       "<p>Please enter a valid number of adults (or 0) in the # of Students field.</p>",
       "<p>Number of students is required.</p>", "NUMSTUDENTS_REQ"},
      {"NUMHAND",
       "<p>Please enter a valid number of handicapped students (or 0) in the # of Handicap.</p>",
       "<p>Number of wheel chairs is required.</p>", "NUMWHEEL_REQ"},
      {"ESTTIME", "<p>Please enter a valid number of hours (or 0) in the Estimated Time.</p>",
       "<p>Estimated Time is required.</p>", "ESTTIME_REQ"},
      {"ESTMILE", "<p>Please enter a valid number of miles (or 0) in the Estimated Miles.</p>",
       "<p>Estimated Miles is required.</p>", "ESTMILE_REQ"},
  };
  std::string texts[5];
  for (int i = 0; i < 5; ++i) {
    texts[i] = vb::Trim(posted(ctx, counts[i].field));
    if (!texts[i].empty() && !vb::IsNumeric(texts[i])) stop(ctx, counts[i].invalid);
    if (texts[i].empty() && required(ctx, counts[i].flag)) stop(ctx, counts[i].missing);
  }
  auto whole = [](const std::string& text) -> std::int16_t {
    return text.empty() ? 0 : vb::CInt(text);
  };
  auto real = [](const std::string& text) -> float { return text.empty() ? 0.0f : vb::CSng(text); };
  values.adults = whole(texts[0]);
  values.students = whole(texts[1]);
  values.handicapped = whole(texts[2]);
  values.estimated_time = real(texts[3]);
  values.estimated_miles = real(texts[4]);
}

void check_required_texts(frame::RequestContext& ctx) {
  const std::pair<const char*, const char*> fields[] = {
      {"DEST", "DESTINATION_REQ"},  {"CONTACT", "CONTACT_REQ"},       {"CUST", "CUSTOMER_REQ"},
      {"FUND", "FUND_REQ"},         {"PURPOSE", "PURPOSE_REQ"},       {"DESTSPEC", "DESTSPEC_REQ"},
      {"CUSTSPEC", "CUSTSPEC_REQ"}, {"TRIPCOM", "TRIPCOM_REQ"},       {"PO", "PO_REQ"},
      {"TRIPCAT", "TRIPCAT_REQ"},   {"INTTRIPNUM", "INTTRIPNUM_REQ"}, {"GRADE", "GRADE_REQ"},
  };
  const char* messages[] = {"<p>Destination is required.</p>",
                            "<p>Contact is required.</p>",
                            "<p>Customer is required.</p>",
                            "<p>Fund is required.</p>",
                            "<p>Purpose is required.</p>",
                            "<p>Destination Special Instructions are required.</p>",
                            "<p>Customer Special Instructions are required.</p>",
                            "<p>Trip Comment is required.</p>",
                            "<p>PO required.</p>",
                            "<p>Trip Category is required.</p>",
                            "<p>Internal Trip Number is required.</p>",
                            "<p>Grade is required.</p>"};
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    if (vb::Trim(posted(ctx, fields[i].first)).empty() && required(ctx, fields[i].second)) {
      stop(ctx, messages[i]);
    }
  }
}

void choose_customer(frame::RequestContext& ctx, PostedRequest& values) {
  std::string chosen = posted(ctx, "Cust");
  const vb::Variant stored = ctx.session(keys::kCustomers);
  if (const auto* items = stored.get_if<vb::StringArray>()) {
    const int count = request::session_count(ctx, keys::kCustomerCount);
    for (int i = 0; i <= count && i < static_cast<int>(items->size()); ++i) {
      if (text::same_text(vb::Trim((*items)[i]), vb::Trim(chosen))) {
        chosen = (*items)[i];
        break;
      }
    }
  }
  const std::size_t comma = chosen.find(',');
  values.customer_number = comma == std::string::npos ? std::string() : chosen.substr(0, comma);
  if (values.customer_number.empty()) {
    values.customer_number = " ";
  } else {
    ctx.get<request::FieldBuilders>().getcust(values.customer_number);
  }
}

void check_fund(frame::RequestContext& ctx, PostedRequest& values) {
  values.fund_code = text::before_first_comma(vb::Trim(posted(ctx, "FUND")));
  if (values.fund_code.empty() ||
      text::same_text(ctx.application_text("DISTRICT.FUND_DD"), "True")) {
    return;
  }
  if (!ctx.get<request::FieldBuilders>().getFundDesc(values.fund_code,
                                                     vb::Trim(values.customer_number))) {
    ctx.module().error =
        "Fund is invalid,  Please select a valid fund.  Use your browser's back button and try "
        "again.  ";
    frame::exit_step();
  }
}

// A customer-bound user enters requests for his own customer only.
void check_customer(frame::RequestContext& ctx, const PostedRequest& values) {
  if (!approval::may_enter_for(ctx.session_text(keys::kCustomer), values.customer_number)) {
    stop(ctx, refusal::kOtherCustomer);
  }
}

// The stored request must still be there; the session's destination details are its own.
void check_stored(frame::RequestContext& ctx, std::int32_t number) {
  db::Recordset row;
  row.open("SELECT TRIPSREQ.TRIPNUM FROM TRIPSREQ WHERE TRIPNUM = " + std::to_string(number),
           ctx.module().request_db());
  if (row.eof()) stop(ctx, refusal::kGone);
  row.close();
  // The details of a typed-in destination were left in the session by the last request this
  // session showed; when that was another one (another tab), take this request's own.
  const std::string shown = vb::Trim(ctx.session_text(keys::kRequestNumber));
  if (shown == std::to_string(number)) return;
  ctx.get<request::Persistence>().SetDestFromREQ(number);  // closes the connections when done
  if (!ctx.module().ok() || !ChkEligWeb::PrepareDatabase(ctx)) frame::exit_step();
}

// The user's rights over the stored request: the same the form showed him. Answers the status
// his approval gives ("" when none), which names the level of a denial.
std::string check_rights(frame::RequestContext& ctx, std::int32_t number, bool is_new) {
  const std::string approve = posted(ctx, "Approve");
  const char* not_approver = refusal::kApprove;
  if (is_new) {
    if (!approve.empty()) stop(ctx, not_approver);
    return "";
  }
  const mdlApproval::Authority authority = mdlApproval::HasAuthority(
      ctx.module(), number, ctx.session_text(keys::kRole), "", ctx.session_text(keys::kCustomer));
  if (!ctx.module().ok()) frame::exit_step();
  if (!authority.may_edit) stop(ctx, refusal::kChange);
  if (!approve.empty() &&
      !(authority.may_approve && (approve == "Deny" || approve == authority.approval))) {
    stop(ctx, not_approver);
  }
  return authority.approval.value_or("");
}

vb::DateTime stored_departure(db::Recordset& row, bool is_new) {
  if (is_new) return kNoDate;
  const vb::Variant& value = row.field("depdate");
  if (value.is_date()) return value.get<vb::DateTime>();
  if (value.is_null() || !vb::IsDate(value)) return kNoDate;
  return vb::CDate(value);
}

void check_lead_time(frame::RequestContext& ctx, const PostedRequest& values, vb::DateTime stored) {
  const vb::Variant lead_value = ctx.application("DISTRICT.DEPDT_LEADTIME");
  const std::int32_t lead = lead_value.is_empty() ? 0 : vb::CLng(lead_value);
  if (lead <= 0 || stored == values.departure) return;
  const double limit = std::floor(ctx.clock().now().serial) + lead;
  if (values.departure.serial > limit) return;
  const std::string days = ctx.application_text("DISTRICT.DEPDT_LEADTIME");
  const std::string notice = "Transportation needs to have " + days +
                             " days advance notice of all trip requests. The departure date on "
                             "this request does not provide for adequate notice. ";
  const bool hard =
      text::same_text(ctx.application_text("DISTRICT.DEPDT_LEADTIME_HARDWARN"), "True");
  if (hard && text::same_text(ctx.session_text(keys::kCanOverrideDepartureDate), "True")) {
    ctx.set_session(keys::kDepartureWarned, true);
    ctx.set_session(keys::kDepartureWarning,
                    "WARNING - " + notice +
                        "You have been given special authority to enter a late trip.  Your trip "
                        "will be saved but may not be accepted by transportation because it was "
                        "submitted too late.");
  } else if (hard) {
    stop(ctx, "<p>Sorry, transportation needs to have " + days +
                  " days advance notice of all trip requests. The departure date on this request "
                  "does not provide for adequate notice. Your trip will not be saved. Please use "
                  "your browser's back button, change the departure date and try again.</p>");
  } else {
    ctx.set_session(keys::kDepartureWarned, true);
    ctx.set_session(keys::kDepartureWarning,
                    "WARNING - " + notice +
                        "Your trip will be saved, but may not be accepted by transportation "
                        "because it was submitted too late.");
  }
}

void check_trip_limit(frame::RequestContext& ctx, const PostedRequest& values,
                      vb::DateTime stored) {
  const vb::Variant limit_value = ctx.application("DISTRICT.TOTAL_TRIPS_LIMIT");
  const std::int16_t limit = limit_value.is_empty() ? 0 : vb::CInt(limit_value);
  if (limit <= 0 || stored == values.departure) return;
  const sys::TripCounter counter(ctx.module().paths.strTripDataPath + "trip.db");
  if (!counter.Ready()) return;
  if (counter.CountTrips(values.departure) < limit) return;
  const std::string message = ctx.application_text("DISTRICT.TOTAL_TRIPS_LIMIT_MESSAGE");
  if (text::same_text(ctx.application_text("DISTRICT.TOTAL_TRIPS_HARDWARN"), "True")) {
    stop(ctx,
         "<p>WARNING - Your Trip Request will not be saved.  " + html_escape(message) + "</p>");
  }
  ctx.set_session(keys::kDepartureWarned, true);
  ctx.set_session(keys::kDepartureWarning, "WARNING - " + message);
}

vb::Variant text_or_null(const std::string& text, bool trim_test = true) {
  if ((trim_test ? vb::Trim(text) : text).empty()) return vb::Variant::null();
  return text;
}

vb::Variant time_or_null(double serial) {
  if (serial == 0) return vb::Variant::null();
  return vb::DateTime{serial};
}

std::string blank_when_empty(const std::string& text) {
  return text.empty() ? " " : text;
}

// CUSTOMER, BILLCUST, the bill rate and the customer's defaults, when the customer changed.
void write_customer_columns(frame::RequestContext& ctx, db::Recordset& row,
                            const PostedRequest& values) {
  using data::NullToStr;
  const vb::Variant stored_customer = row.field("CUSTOMER");
  if (text::same_text(vb::Trim(NullToStr(stored_customer)), vb::Trim(values.customer_number))) {
    if (stored_customer.is_null()) row.set_field("CUSTOMER", " ");
    return;
  }
  const CustomerRecord& customer = ctx.get<FieldBuilders>().customer();
  row.set_field("CUSTOMER", values.customer_number);
  row.set_field("BILLCUST", values.customer_number);
  row.set_field("BILLRATE", customer.intCustBillRate);
  Persistence& persistence = ctx.get<Persistence>();
  persistence.getBILLRATEFlat(customer.intCustBillRate);
  for (int k = 1; k <= 5; ++k) {
    row.set_field("AMOUNT" + std::to_string(k), persistence.bill_rate().sngBillAmount[k]);
  }
  for (int k = 1; k <= 5; ++k) {
    row.set_field("AMOUNTTXT" + std::to_string(k), persistence.bill_rate().strBillAmountTxt[k]);
  }
  row.set_field("CAPACITY", text_or_null(customer.strDefaultCap));
  if (!vb::Trim(customer.strCustDefaultFormat).empty()) {
    row.set_field("INVOICE_FORMAT", customer.strCustDefaultFormat);
  }
}

// The destination and the details of a typed-in one, from the session's destination keys.
void write_destination_columns(frame::RequestContext& ctx, db::Recordset& row) {
  const std::string dest = posted(ctx, "DEST");
  if (vb::Trim(dest).empty()) {
    row.set_field("Destination", std::int32_t{0});
    row.set_field("MILES", std::int16_t{0});
    return;
  }
  auto detail = [&](keys::Key key, const char* when_empty) {
    const std::string value = ctx.session_text(key);
    return value.empty() ? std::string(when_empty) : value;
  };
  row.set_field("Destination", vb::CLng(dest));
  row.set_field("DESTDESC", detail(keys::form::kDestinationName, " "));
  row.set_field("DESTCAT", detail(keys::form::kDestinationCategory, "0"));
  const std::string miles = ctx.session_text(keys::form::kDestinationMiles);
  row.set_field("MILES", miles.empty() ? std::int16_t{0} : vb::CInt(miles));
  row.set_field("DESTADD1", detail(keys::form::kDestinationAddress1, " "));
  row.set_field("DESTADD2", detail(keys::form::kDestinationAddress2, " "));
  row.set_field("DESTCITY", detail(keys::form::kDestinationCity, " "));
  row.set_field("DESTZIP", detail(keys::form::kDestinationZip, " "));
  row.set_field("DESTSTATE", detail(keys::form::kDestinationState, " "));
}

// The columns of the row, in order.
void write_columns(frame::RequestContext& ctx, FormState& form, db::Recordset& row,
                   const PostedRequest& values) {
  row.set_field("REQUESTOR_EMAIL", blank_when_empty(posted(ctx, "RequestorEmail")));
  const std::string stored_status = data::NullToStr(row.field("Status"));
  form.strOldStatus = !vb::Trim(stored_status).empty() && !form.blnNewRequest ? stored_status : "";
  write_customer_columns(ctx, row, values);
  row.set_field("CUSTSPEC", text_or_null(vb::Trim(posted(ctx, "CUSTSPEC"))));
  if (!ctx.application_text("DEFAULT_CALCNUMDRIVER").empty()) {
    row.set_field("CALCNUMDRIVERS", vb::CBool(ctx.application("DEFAULT_CALCNUMDRIVER")));
  }
  if (!ctx.application_text("DEFAULTVTYPE").empty()) {
    row.set_field("Type", ctx.application_text("DEFAULTVTYPE"));
  }
  row.set_field("CONTACT", text_or_null(posted(ctx, "CONTACT")));
  write_destination_columns(ctx, row);
  row.set_field("DESTSPEC", text_or_null(posted(ctx, "DESTSPEC"), false));
  row.set_field("Fund", text_or_null(values.fund_code, false));
  row.set_field("INTTRIPNUM", text_or_null(posted(ctx, "INTTRIPNUM")));
  row.set_field("depdate", values.departure);
  row.set_field("deptime", time_or_null(values.departure_time));
  row.set_field("retdate", values.return_date);
  row.set_field("rettime", time_or_null(values.return_time));
  const std::string approve = posted(ctx, "Approve");
  if (!approve.empty()) {
    row.set_field("Status", approve == "Deny" ? std::string("Denied") : approve);
    row.set_field("STATUS_DATE", ctx.clock().now());
  }
  const std::string comment = posted(ctx, "STATUS_COMMENT");
  if (!comment.empty()) row.set_field("STATUS_COMMENT", comment);
  const std::string grade = vb::Trim(posted(ctx, "GRADE"));
  row.set_field("GRADE", grade.empty() || text::same_text(grade, "selected") ? vb::Variant::null()
                                                                             : vb::Variant(grade));
  row.set_field("NUMADULTS", values.adults);
  row.set_field("NUMSTUDENTS", values.students);
  row.set_field("NUMHAND", values.handicapped);
  row.set_field("arrivetime", time_or_null(values.arrive_time));
  row.set_field("estTime", values.estimated_time);
  row.set_field("ESTMILE", values.estimated_miles);
  row.set_field("leavetime", time_or_null(values.leave_time));
  for (const char* column : {"PURPOSE", "TRIPCOM", "PO", "TRIPCAT"}) {
    row.set_field(column, text_or_null(posted(ctx, column), false));
  }
}

// Who was told, and whom the mail did not reach, for the notice after the save.
struct Mailed {
  std::vector<std::string> sent, failed;
  std::string failure;  // the report of the first failure
};

// One mail. The request is stored by now, so a mail that cannot go out is noted for the notice
// instead of ending the save with the transport's report.
void send_mail(frame::RequestContext& ctx, const std::string& address, const std::string& subject,
               const std::string& body, Mailed& mailed) {
  frame::ModuleState& module = ctx.module();
  const std::size_t written = ctx.response().body().size();
  approval::SendEmail(ctx, address, subject, body);
  if (module.ok()) {
    mailed.sent.push_back(address);
    return;
  }
  mailed.failed.push_back(address);
  if (mailed.failure.empty()) mailed.failure = module.error;
  module.error = "NA";
  ctx.response().truncate(written);
}

std::string joined(const std::vector<std::string>& addresses) {
  std::string text;
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    if (i > 0) text += i + 1 == addresses.size() ? " and " : ", ";
    text += html_escape(addresses[i]);
  }
  return text;
}

// "Request #1062 saved and sent to ...", or that it was saved and the mail was not.
std::string save_notice(const std::string& number, const std::string& approve,
                        const Mailed& mailed) {
  const std::string done = approve.empty() ? "saved" : approve == "Deny" ? "denied" : "approved";
  std::string notice = "Request #" + html_escape(number) + " " + done;
  if (!mailed.sent.empty()) notice += " and sent to " + joined(mailed.sent);
  notice += ".";
  if (mailed.failed.empty()) return "<p class='notice' role='status'>" + notice + "</p>";
  return "<p class='notice failed' role='alert'>" + notice + " The request <strong>was " + done +
         "</strong>, but the e-mail to " + joined(mailed.failed) +
         " could not be sent; please tell them yourself.<br><small>" + mailed.failure +
         "</small></p>";
}

// The destination the mails name. A listed one is named by its own row: the form keeps its name
// only after the user changed the drop-down, so an approver's post would name none (or the one
// of another request he opened before). A typed-in one has no row but the name the form keeps.
std::string mail_destination(frame::RequestContext& ctx) {
  const std::string kept = ctx.session_text(keys::form::kDestinationName);
  const std::string dest = vb::Trim(posted(ctx, "DEST"));
  if (dest.empty() || dest == "0") return kept;
  FieldBuilders& builders = ctx.get<FieldBuilders>();
  builders.getdest(dest);
  const std::string listed = builders.destination().strDestDesc;
  return vb::Trim(listed).empty() ? kept : listed;
}

// The mail's lines after its first: the request's customer, destination, departure, students and
// status, then the denial comment of a denied request and the link to the request when the
// district's public address is known.
std::string mail_lines(frame::RequestContext& ctx, db::Recordset& row, const std::string& status) {
  using data::NullToStr;
  const std::string customer_name = ctx.get<FieldBuilders>().customer().strCustName;
  std::string lines =
      "\r\nCustomer: " + customer_name + "\r\nDestination: " + mail_destination(ctx) +
      "\r\nDep Dt: " + NullToStr(row.field("depdate")) +
      "\r\n# Students: " + NullToStr(row.field("NUMSTUDENTS")) + "\r\nNew Status: " + status;
  const std::string comment = vb::Trim(NullToStr(row.field("STATUS_COMMENT")));
  if (text::same_text(vb::Trim(status), "Denied") && !comment.empty()) {
    lines += "\r\nDenial comment: " + comment;
  }
  const std::string link = approval::request_link(ctx.application_text(keys::app::kPublicUrl),
                                                  vb::CLng(row.field("TRIPNUM")));
  if (!link.empty()) lines += "\r\n" + link;
  return lines;
}

// The requester and the next approvers hear of a status change.
void send_notifications(frame::RequestContext& ctx, const FormState& form, db::Recordset& row) {
  using data::NullToStr;
  frame::ModuleState& module = ctx.module();
  const std::string status = NullToStr(row.field("Status"));
  const bool changed = !text::same_text(status, form.strOldStatus);
  const std::string number = NullToStr(row.field("TRIPNUM"));
  Mailed mailed;
  const auto notice = [&] { ctx.set_notice(save_notice(number, posted(ctx, "Approve"), mailed)); };
  // The lines after the first, made once a mail goes out: naming the destination may need its
  // row, whose failure is reported like the other look-ups of the mails.
  std::string rest;
  const auto body = [&](const std::string& first) {
    if (rest.empty()) {
      rest = mail_lines(ctx, row, status);
      if (!module.ok()) frame::exit_step();
    }
    return first + rest;
  };
  auto mailable = [](const std::string& address) {
    return !vb::Trim(address).empty() && address.find('@') != std::string::npos;
  };
  std::string address, first;
  if (changed && text::same_text(ctx.session_text(keys::kMailRequester), "True")) {
    address = NullToStr(row.field("REQUESTOR_EMAIL"));
    first = form.blnNewRequest ? "A New Trip Request, Request #" + number + " has been entered."
                               : "Trip Request #" + number + " has changed.";
  }
  if (!module.ok()) frame::exit_step();
  if (mailable(address)) {
    send_mail(ctx, address, "Jaunter - Trip Request #" + number, body(first), mailed);
  }
  if (!changed || !text::same_text(ctx.session_text(keys::kMailApprover), "True")) {
    notice();
    return;
  }
  const auto role =
      mdlApproval::NextRole(module, vb::Trim(NullToStr(row.field("chainid"))), status);
  if (!module.ok()) frame::exit_step();
  address = role ? mdlApproval::GetApproverEmail(module, *role, NullToStr(row.field("CUSTOMER")))
                 : std::string();
  if (!module.ok()) frame::exit_step();
  first = "Trip Request #" + number + " needs your approval (in the Jaunter software).";
  if (mailable(address)) {
    send_mail(ctx, address, "Jaunter - Trip Request Request #" + number + " needs your approval",
              body(first), mailed);
  }
  notice();
}

// The checks before the row is opened, in their order; the first that fails ends the post.
// Answers the status the user's own approval gives.
std::string check_post(frame::RequestContext& ctx, const SaveTarget& target,
                       PostedRequest& values) {
  ctx.set_session(keys::kDepartureWarned, false);
  ctx.set_session(keys::kDepartureWarning, "");
  // A post without a button value is checked like any save: a request is never stored without
  // its dates.
  check_dates(ctx, values);
  check_calendar(ctx, values.departure, true);
  ctx.set_session(keys::kReturnWarned, false);
  ctx.set_session(keys::kReturnWarning, "");
  check_calendar(ctx, values.return_date, false);
  check_times(ctx, values);
  check_counts(ctx, values);
  check_required_texts(ctx);
  if (!ChkEligWeb::PrepareDatabase(ctx)) frame::exit_step();
  choose_customer(ctx, values);
  check_customer(ctx, values);
  check_fund(ctx, values);
  if (!target.is_new) check_stored(ctx, target.number);
  return check_rights(ctx, target.number, target.is_new);
}

// The row the save writes: a new one added, or the stored one.
std::unique_ptr<db::Recordset> open_row(frame::RequestContext& ctx, const SaveTarget& target) {
  auto row = std::make_unique<db::Recordset>();
  if (!target.is_new) {
    row->open("SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = " + std::to_string(target.number),
              ctx.module().request_db(), db::CursorType::ForwardOnly, db::LockType::Optimistic);
    return row;
  }
  const vb::DateTime now = ctx.clock().now();
  const CustomerRecord& customer = ctx.get<FieldBuilders>().customer();
  row->open("Select * from TRIPSREQ", ctx.module().request_db(), db::CursorType::Dynamic,
            db::LockType::Optimistic);
  row->add_new();
  row->set_field("ENTEREDBY", ctx.session_text(keys::kUser));
  row->set_field("enterdate", now);
  row->set_field("REQDATE", now);
  row->set_field("REQUESTOR_EMAIL", customer.strRequestorEmail);
  row->set_field("Status", vb::Trim(customer.strChainID).empty() ? "Pending" : "UNAPPROVED");
  row->set_field("STATUS_DATE", now);
  return row;
}

// The chain of the customer and trip category; a change restarts the approval. True when it
// changed.
bool choose_chain(frame::RequestContext& ctx, db::Recordset& row, const PostedRequest& values,
                  std::string& chain) {
  FieldBuilders& builders = ctx.get<FieldBuilders>();
  const std::string category = posted(ctx, "TRIPCAT");
  chain = category.empty() ? "" : builders.getCHAIN(values.customer_number, category);
  if (chain.empty()) chain = builders.customer().strChainID;
  const vb::Variant stored_chain = row.field("chainid");
  const std::string old_chain = stored_chain.is_null() ? "" : vb::CStr(stored_chain);
  if (text::same_text(old_chain, chain)) return false;
  row.set_field("chainid", chain);
  row.set_field("Status", chain.empty() ? "Pending" : "UNAPPROVED");
  row.set_field("STATUS_DATE", ctx.clock().now());
  return true;
}

// The history entry of an approval to `status`: its level, and whether it ends the chain. The
// level stays 0 when the chain cannot be read (the history then says less, the save goes on).
approval::HistoryEntry approval_entry(frame::RequestContext& ctx, const std::string& chain,
                                      const std::string& status) {
  approval::HistoryEntry entry;
  entry.action = approval::HistoryAction::Approved;
  bool final = text::same_text(vb::Trim(status), "ACCEPTED");
  try {
    const auto levels = approval::chain_levels(ctx.module().security_db(), chain);
    entry.level = approval::level_of(levels, status);
    if (entry.level > 0 && entry.level == levels.back().number) final = true;
  } catch (const std::exception&) {
  }
  if (final) entry.action = approval::HistoryAction::Accepted;
  return entry;
}

// The history entry of the save: the decision it carried, else a plain save (a new chain
// restarts the approval, whatever the post decided).
void note_save(frame::RequestContext& ctx, const FormState& form, db::Recordset& row,
               const std::string& chain, bool chain_changed, const std::string& own_approval) {
  const std::string status = vb::Trim(data::NullToStr(row.field("Status")));
  const std::string approve = posted(ctx, "Approve");
  approval::HistoryEntry entry;
  if (form.blnNewRequest) {
    entry.action = approval::HistoryAction::Created;
  } else if (approve.empty() || chain_changed) {
    entry.action = approval::HistoryAction::Saved;
  } else if (approve == "Deny") {
    entry.action = approval::HistoryAction::Denied;
    entry.level = approval_entry(ctx, chain, own_approval).level;
  } else {
    entry = approval_entry(ctx, chain, status);
  }
  entry.request = vb::CLng(row.field("TRIPNUM"));
  entry.old_status = vb::Trim(form.strOldStatus);
  entry.new_status = status;
  entry.comment = vb::Trim(posted(ctx, "STATUS_COMMENT"));
  note_change(ctx, entry);
}

// A user who is himself an approver of the new chain gives his level's approval at once.
void approve_in_new_chain(frame::RequestContext& ctx, FormState& form, db::Recordset& row,
                          const std::string& chain) {
  const std::string role = ctx.session_text(keys::kRole);
  if (role.empty()) return;
  frame::ModuleState& module = ctx.module();
  const mdlApproval::Authority authority =
      mdlApproval::HasAuthority(module, vb::CLng(ctx.session_text(keys::kRequestNumber)), role,
                                chain, ctx.session_text(keys::kCustomer));
  // A failed answer must not become the request's status.
  if (!module.ok()) return;
  if (authority.may_edit) form.blnCanEdit = true;
  if (authority.may_approve) form.blnCanApprove = true;
  form.strApproveValue = authority.approval.value_or("NA");
  if (!authority.approval) return;
  const std::string before = vb::Trim(data::NullToStr(row.field("Status")));
  row.set_field("Status", *authority.approval);
  row.set_field("STATUS_DATE", ctx.clock().now());
  row.update();
  approval::HistoryEntry entry = approval_entry(ctx, chain, *authority.approval);
  entry.request = vb::CLng(row.field("TRIPNUM"));
  entry.old_status = before;
  entry.new_status = vb::Trim(*authority.approval);
  note_change(ctx, entry);
}

}  // namespace

void save_request(frame::RequestContext& ctx, FormState& form, const SaveTarget& target,
                  std::unique_ptr<db::Recordset>& row) {
  PostedRequest values;
  const std::string own_approval = check_post(ctx, target, values);
  form.blnNewRequest = target.is_new;
  row = open_row(ctx, target);
  const vb::DateTime stored = stored_departure(*row, target.is_new);
  check_lead_time(ctx, values, stored);
  check_trip_limit(ctx, values, stored);

  write_columns(ctx, form, *row, values);
  std::string chain;
  const bool chain_changed = choose_chain(ctx, *row, values, chain);
  row->update();
  note_save(ctx, form, *row, chain, chain_changed, own_approval);
  remember_submission(ctx, vb::CLng(row->field("TRIPNUM")));
  ctx.set_session(keys::kRequestNumber, data::NullToStr(row->field("TRIPNUM")));
  form.blnSaved = true;
  form.blnCopyRequest = false;
  ctx.set_session(keys::form::kNew, "");
  ctx.set_session(keys::kLoadFromSession, "False");
  if (chain_changed) approve_in_new_chain(ctx, form, *row, chain);

  send_notifications(ctx, form, *row);

  form.blnNewRequest = false;
  row->close();
  ChkEligWeb::CloseTripDBConnections(ctx.module());
  if (text::same_text(posted(ctx, "btnSubmit"), "Exit")) {
    ctx.set_next_item("RequestSearch");
  } else {
    ctx.get<RequestForm>().RequestDetail_UserEvent(ctx.session_text(keys::kRequestNumber));
  }
}

}  // namespace request
