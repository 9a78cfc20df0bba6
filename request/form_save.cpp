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

#include "approval/customer_rights.h"
#include "approval/mdlApproval.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/sys/trip_counter.h"
#include "platform/vb/conversions.h"
#include "request/no_date.h"
#include "request/refusals.h"
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

[[noreturn]] void stop(Jaunter& page, const std::string& message) {
  page.context().response().Write(message);
  frame::exit_step();
}

bool required(Jaunter& page, const char* flag) {
  return text::same_text(page.application_text(std::string("TRIP_REQ_REQUIRED.") + flag), "True");
}

std::string posted(Jaunter& page, const char* name) {
  return page.context().request().Form(name);
}

std::string before_comma(const std::string& text) {
  const std::size_t comma = text.find(',');
  return comma == std::string::npos ? text : text.substr(0, comma);
}

vb::DateTime posted_date(const std::string& month, const std::string& day, const std::string& year,
                         const char* message, Jaunter& page) {
  const auto date = vb::parse_date_text(month + "/" + day + "/" + year);
  if (!date) stop(page, message);
  return *date;
}

void check_dates(Jaunter& page, PostedRequest& values) {
  const char* departure_message = "<p>Please enter a valid departure date.</p>";
  const std::string month = vb::Trim(posted(page, "dep_month"));
  const std::string day = vb::Trim(posted(page, "dep_date"));
  const std::string year = vb::Trim(posted(page, "dep_year"));
  if (month.empty() || day.empty() || year.empty()) stop(page, departure_message);
  values.departure = posted_date(month, day, year, departure_message, page);

  if (vb::UCase(posted(page, "chkDefaultReturnDate")) == "ON") {
    values.return_date = values.departure;
    return;
  }
  const char* return_message = "<p>Please enter a valid return date.</p>";
  const std::string rtn_month = vb::Trim(posted(page, "rtn_month"));
  const std::string rtn_day = vb::Trim(posted(page, "rtn_date"));
  std::string rtn_year = vb::Trim(posted(page, "rtn_year"));
  if (rtn_month.empty() || rtn_day.empty()) stop(page, return_message);
  if (rtn_year.empty()) rtn_year = posted(page, "dep_year");
  values.return_date = posted_date(rtn_month, rtn_day, rtn_year, return_message, page);
}

// The calendar note of a day: a warning, or the day is closed.
void check_calendar(Jaunter& page, vb::DateTime day, bool departure) {
  frame::ModuleState& module = page.module();
  const std::string text = vb::date_text(day);
  const std::int16_t severity = mdlApproval::Check_calNotes(module, vb::Trim(text), true, false);
  const std::string note =
      html_escape(module.strNoteText) + ".  " + html_escape(module.strNoteLongText);
  if (severity == 2) {
    page.set_session(departure ? "blnDepDtWarn" : "blnRtnDtWarn", true);
    page.set_session(departure ? "strDepDtWarn" : "strRtnDtWarn",
                     "WARNING - " + module.strNoteText + ".  " + module.strNoteLongText);
  } else if (severity == 3) {
    stop(page, (departure ? "<p>Departure Date, " : "<p>Return Date,  ") + text +
                   ", DAY CLOSED - " + note + "</p>");
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

double posted_time(Jaunter& page, const TimeField& field) {
  const std::string prefix = field.prefix;
  const std::string hour = vb::Trim(posted(page, (prefix + "_HOUR").c_str()));
  if (hour.empty()) {
    if (required(page, field.flag)) stop(page, field.message);
    return 0;
  }
  const std::string minute_text = vb::Trim(posted(page, (prefix + "_MIN").c_str()));
  const std::int16_t minute = minute_text.empty() ? 0 : vb::CInt(minute_text);
  const std::string meridian = vb::Trim(posted(page, (prefix + "_AMPM").c_str()));
  // Midnight is held as one second past it, so that it differs from "no time".
  const bool seconds =
      field.always_seconds || (hour == "12" && minute == 0 && text::same_text(meridian, "AM"));
  return vb::CDate(hour + ":" + std::to_string(minute) + (seconds ? ":01" : "") + meridian).serial;
}

void check_times(Jaunter& page, PostedRequest& values) {
  double* targets[] = {&values.departure_time, &values.return_time, &values.arrive_time,
                       &values.leave_time};
  for (int i = 0; i < 4; ++i) *targets[i] = posted_time(page, kTimes[i]);
  if (vb::Trim(posted(page, "DEP_HOUR")).empty()) return;
  // Later than 23:00 or earlier than 05:00 is most likely the wrong half of the day.
  const long seconds = std::lround(values.departure_time * 86400.0);
  if (seconds <= 23 * 3600 && seconds >= 5 * 3600) return;
  const std::string shown = vb::date_text(vb::DateTime{values.departure_time});
  page.set_session("blnRtnDtWarn", true);
  const std::string earlier = page.session_text("strRtnDtWarn");
  page.set_session(
      "strRtnDtWarn",
      earlier.empty()
          ? "WARNING - Are you sure you have the AM/PM correct? Departure time is scheduled for " +
                shown
          : earlier +
                ".  AM/PM WARNING - Are you sure you have the AM/PM correct? Departure time "
                "is scheduled for " +
                shown);
}

void check_counts(Jaunter& page, PostedRequest& values) {
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
    texts[i] = vb::Trim(posted(page, counts[i].field));
    if (!texts[i].empty() && !vb::IsNumeric(texts[i])) stop(page, counts[i].invalid);
    if (texts[i].empty() && required(page, counts[i].flag)) stop(page, counts[i].missing);
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

void check_required_texts(Jaunter& page) {
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
    if (vb::Trim(posted(page, fields[i].first)).empty() && required(page, fields[i].second)) {
      stop(page, messages[i]);
    }
  }
}

void choose_customer(Jaunter& page, PostedRequest& values) {
  std::string chosen = posted(page, "Cust");
  const vb::Variant stored = page.context().session("CustomersDD");
  if (const auto* items = stored.get_if<vb::StringArray>()) {
    const int count = page.session_count("numCustomers");
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
    page.getcust(values.customer_number);
  }
}

void check_fund(Jaunter& page, PostedRequest& values) {
  values.fund_code = before_comma(vb::Trim(posted(page, "FUND")));
  if (values.fund_code.empty() ||
      text::same_text(page.application_text("DISTRICT.FUND_DD"), "True")) {
    return;
  }
  if (page.getFundDesc(values.fund_code, vb::Trim(values.customer_number)) == "NOFUND") {
    page.module().error =
        "Fund is invalid,  Please select a valid fund.  Use your browser's back button and try "
        "again.  ";
    frame::exit_step();
  }
}

// A customer-bound user enters requests for his own customer only.
void check_customer(Jaunter& page, const PostedRequest& values) {
  if (!approval::may_enter_for(page.session_text("CUSTOMER"), values.customer_number)) {
    stop(page, refusal::kOtherCustomer);
  }
}

// The stored request must still be there; the session's destination details are its own.
void check_stored(Jaunter& page, std::int32_t number) {
  db::Recordset row;
  row.open("SELECT TRIPSREQ.TRIPNUM FROM TRIPSREQ WHERE TRIPNUM = " + std::to_string(number),
           page.module().request_db());
  if (row.eof()) stop(page, refusal::kGone);
  row.close();
  // The details of a typed-in destination were left in the session by the last request this
  // session showed; when that was another one (another tab), take this request's own.
  const std::string shown = vb::Trim(page.session_text("TRIPREQ"));
  if (shown == std::to_string(number)) return;
  page.SetDestFromREQ(number);  // closes the connections when done
  if (!page.module().ok() || !page.prepare_database()) frame::exit_step();
}

// The user's rights over the stored request: the same the form showed him.
void check_rights(Jaunter& page, std::int32_t number, bool is_new) {
  const std::string approve = posted(page, "Approve");
  const char* not_approver = refusal::kApprove;
  if (is_new) {
    if (!approve.empty()) stop(page, not_approver);
    return;
  }
  const std::string answer = mdlApproval::HasAuthority(
      page.module(), number, page.session_text("ROLE"), "", page.session_text("Customer"));
  if (!page.module().ok()) frame::exit_step();
  const std::size_t first = answer.find(','), second = answer.find(',', first + 1);
  const bool may_edit = text::same_text(answer.substr(0, first), "Y");
  const bool may_approve = text::same_text(answer.substr(first + 1, second - first - 1), "Y");
  const std::string approval = second == std::string::npos ? "" : answer.substr(second + 1);
  if (!may_edit) stop(page, refusal::kChange);
  if (!approve.empty() && !(may_approve && (approve == "Deny" || approve == approval))) {
    stop(page, not_approver);
  }
}

vb::DateTime stored_departure(db::Recordset& row, bool is_new) {
  if (is_new) return kNoDate;
  const vb::Variant& value = row.field("depdate");
  if (value.is_date()) return value.get<vb::DateTime>();
  if (value.is_null() || !vb::IsDate(value)) return kNoDate;
  return vb::CDate(value);
}

void check_lead_time(Jaunter& page, const PostedRequest& values, vb::DateTime stored) {
  const vb::Variant lead_value = page.context().application("DISTRICT.DEPDT_LEADTIME");
  const std::int32_t lead = lead_value.is_empty() ? 0 : vb::CLng(lead_value);
  if (lead <= 0 || stored == values.departure) return;
  const double limit = std::floor(page.context().clock().now().serial) + lead;
  if (values.departure.serial > limit) return;
  const std::string days = page.application_text("DISTRICT.DEPDT_LEADTIME");
  const std::string notice = "Transportation needs to have " + days +
                             " days advance notice of all trip requests. The departure date on "
                             "this request does not provide for adequate notice. ";
  const bool hard =
      text::same_text(page.application_text("DISTRICT.DEPDT_LEADTIME_HARDWARN"), "True");
  if (hard && text::same_text(page.session_text("CANOVERRIDEDEPARTUREDATE"), "True")) {
    page.set_session("blnDepDtWarn", true);
    page.set_session("strDepDtWarn",
                     "WARNING - " + notice +
                         "You have been given special authority to enter a late trip.  Your trip "
                         "will be saved but may not be accepted by transportation because it was "
                         "submitted too late.");
  } else if (hard) {
    stop(page, "<p>Sorry, transportation needs to have " + days +
                   " days advance notice of all trip requests. The departure date on this request "
                   "does not provide for adequate notice. Your trip will not be saved. Please use "
                   "your browser's back button, change the departure date and try again.</p>");
  } else {
    page.set_session("blnDepDtWarn", true);
    page.set_session("strDepDtWarn",
                     "WARNING - " + notice +
                         "Your trip will be saved, but may not be accepted by transportation "
                         "because it was submitted too late.");
  }
}

void check_trip_limit(Jaunter& page, const PostedRequest& values, vb::DateTime stored) {
  const vb::Variant limit_value = page.context().application("DISTRICT.TOTAL_TRIPS_LIMIT");
  const std::int16_t limit = limit_value.is_empty() ? 0 : vb::CInt(limit_value);
  if (limit <= 0 || stored == values.departure) return;
  const sys::TripCounter counter(page.module().paths.strTripDataPath + "trip.db");
  if (!counter.Ready()) return;
  if (counter.CountTrips(values.departure) < limit) return;
  const std::string message = page.application_text("DISTRICT.TOTAL_TRIPS_LIMIT_MESSAGE");
  if (text::same_text(page.application_text("DISTRICT.TOTAL_TRIPS_HARDWARN"), "True")) {
    stop(page,
         "<p>WARNING - Your Trip Request will not be saved.  " + html_escape(message) + "</p>");
  }
  page.set_session("blnDepDtWarn", true);
  page.set_session("strDepDtWarn", "WARNING - " + message);
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

// The columns of the row, in order.
void write_columns(Jaunter& page, db::Recordset& row, const PostedRequest& values) {
  using data::NullToStr;
  const vb::DateTime now = page.context().clock().now();
  row.set_field("REQUESTOR_EMAIL", blank_when_empty(posted(page, "RequestorEmail")));
  const std::string stored_status = NullToStr(row.field("Status"));
  page.form.strOldStatus =
      !vb::Trim(stored_status).empty() && !page.form.blnNewRequest ? stored_status : "";

  const vb::Variant stored_customer = row.field("CUSTOMER");
  if (!text::same_text(vb::Trim(NullToStr(stored_customer)), vb::Trim(values.customer_number))) {
    const request::CustomerRecord& customer = page.customer;
    row.set_field("CUSTOMER", values.customer_number);
    row.set_field("BILLCUST", values.customer_number);
    row.set_field("BILLRATE", customer.intCustBillRate);
    page.getBILLRATEFlat(customer.intCustBillRate);
    for (int k = 1; k <= 5; ++k) {
      row.set_field("AMOUNT" + std::to_string(k), page.bill_rate.sngBillAmount[k]);
    }
    for (int k = 1; k <= 5; ++k) {
      row.set_field("AMOUNTTXT" + std::to_string(k), page.bill_rate.strBillAmountTxt[k]);
    }
    row.set_field("CAPACITY", text_or_null(customer.strDefaultCap));
    if (!vb::Trim(customer.strCustDefaultFormat).empty()) {
      row.set_field("INVOICE_FORMAT", customer.strCustDefaultFormat);
    }
  } else if (stored_customer.is_null()) {
    row.set_field("CUSTOMER", " ");
  }
  row.set_field("CUSTSPEC", text_or_null(vb::Trim(posted(page, "CUSTSPEC"))));
  const vb::Variant calc_drivers = page.context().application("DEFAULT_CALCNUMDRIVER");
  if (!page.application_text("DEFAULT_CALCNUMDRIVER").empty()) {
    row.set_field("CALCNUMDRIVERS", vb::CBool(calc_drivers));
  }
  if (!page.application_text("DEFAULTVTYPE").empty()) {
    row.set_field("Type", page.application_text("DEFAULTVTYPE"));
  }
  row.set_field("CONTACT", text_or_null(posted(page, "CONTACT")));

  const std::string dest = posted(page, "DEST");
  if (!vb::Trim(dest).empty()) {
    auto detail = [&](const char* key, const char* when_empty) {
      const std::string value = page.session_text(key);
      return value.empty() ? std::string(when_empty) : value;
    };
    row.set_field("Destination", vb::CLng(dest));
    row.set_field("DESTDESC", detail("RequestDetail.destdesc", " "));
    row.set_field("DESTCAT", detail("RequestDetail.destcat", "0"));
    const std::string miles = page.session_text("RequestDetail.miles");
    row.set_field("MILES", miles.empty() ? std::int16_t{0} : vb::CInt(miles));
    row.set_field("DESTADD1", detail("RequestDetail.destadd1", " "));
    row.set_field("DESTADD2", detail("RequestDetail.destadd2", " "));
    row.set_field("DESTCITY", detail("RequestDetail.destcity", " "));
    row.set_field("DESTZIP", detail("RequestDetail.destzip", " "));
    row.set_field("DESTSTATE", detail("RequestDetail.deststate", " "));
  } else {
    row.set_field("Destination", std::int32_t{0});
    row.set_field("MILES", std::int16_t{0});
  }
  row.set_field("DESTSPEC", text_or_null(posted(page, "DESTSPEC"), false));
  row.set_field("Fund", text_or_null(values.fund_code, false));
  row.set_field("INTTRIPNUM", text_or_null(posted(page, "INTTRIPNUM")));
  row.set_field("depdate", values.departure);
  row.set_field("deptime", time_or_null(values.departure_time));
  row.set_field("retdate", values.return_date);
  row.set_field("rettime", time_or_null(values.return_time));
  const std::string approve = posted(page, "Approve");
  if (!approve.empty()) {
    row.set_field("Status", approve == "Deny" ? std::string("Denied") : approve);
    row.set_field("STATUS_DATE", now);
  }
  const std::string comment = posted(page, "STATUS_COMMENT");
  if (!comment.empty()) row.set_field("STATUS_COMMENT", comment);
  const std::string grade = vb::Trim(posted(page, "GRADE"));
  row.set_field("GRADE", grade.empty() || text::same_text(grade, "selected") ? vb::Variant::null()
                                                                           : vb::Variant(grade));
  row.set_field("NUMADULTS", values.adults);
  row.set_field("NUMSTUDENTS", values.students);
  row.set_field("NUMHAND", values.handicapped);
  row.set_field("arrivetime", time_or_null(values.arrive_time));
  row.set_field("estTime", values.estimated_time);
  row.set_field("ESTMILE", values.estimated_miles);
  row.set_field("leavetime", time_or_null(values.leave_time));
  row.set_field("PURPOSE", text_or_null(posted(page, "PURPOSE"), false));
  row.set_field("TRIPCOM", text_or_null(posted(page, "TRIPCOM"), false));
  row.set_field("PO", text_or_null(posted(page, "PO"), false));
  row.set_field("TRIPCAT", text_or_null(posted(page, "TRIPCAT"), false));
}

void send_notifications(Jaunter& page, db::Recordset& row) {
  using data::NullToStr;
  frame::ModuleState& module = page.module();
  const std::string status = NullToStr(row.field("Status"));
  const bool changed = !text::same_text(status, page.form.strOldStatus);
  const std::string number = NullToStr(row.field("TRIPNUM"));
  const std::string rest = "\r\nCustomer: " + page.customer.strCustName +
                           "\r\nDestination: " + page.session_text("RequestDetail.destdesc") +
                           "\r\nDep Dt: " + NullToStr(row.field("depdate")) +
                           "\r\n# Students: " + NullToStr(row.field("NUMSTUDENTS")) +
                           "\r\nNew Status: " + status;
  std::string address, first;
  if (changed && text::same_text(page.session_text("EMAIL_OPTIONS.REQ_JAUNTER_CHANGE"), "True")) {
    address = NullToStr(row.field("REQUESTOR_EMAIL"));
    first = page.form.blnNewRequest
                ? "A New Trip Request, Request #" + number + " has been entered."
                : "Trip Request #" + number + " has changed.";
  }
  if (!module.ok()) frame::exit_step();
  if (!vb::Trim(address).empty() && address.find('@') != std::string::npos) {
    page.SendEmail(address, "Jaunter - Trip Request #" + number, first + rest);
  }
  if (!changed || !text::same_text(page.session_text("EMAIL_OPTIONS.APP_JAUNTER_CHANGE"), "True")) {
    return;
  }
  const std::string role =
      mdlApproval::NextRole(module, vb::Trim(NullToStr(row.field("chainid"))), status);
  if (!module.ok()) frame::exit_step();
  address.clear();
  if (role != "NA") {
    address = mdlApproval::GetApproverEmail(module, role, NullToStr(row.field("CUSTOMER")));
    if (!module.ok()) frame::exit_step();
    if (address == "NA") address.clear();
  }
  first = "Trip Request #" + number + " needs your approval (in the Jaunter software).";
  if (!address.empty() && address.find('@') != std::string::npos) {
    page.SendEmail(address, "Jaunter - Trip Request Request #" + number + " needs your approval",
                   first + rest);
  }
}

}  // namespace

void save_request(Jaunter& page, const SaveTarget& target, std::unique_ptr<db::Recordset>& row) {
  using data::NullToStr;
  frame::ModuleState& module = page.module();
  const vb::DateTime now = page.context().clock().now();
  PostedRequest values;

  page.set_session("blnDepDtWarn", false);
  page.set_session("strDepDtWarn", "");
  // A post without a button value is checked like any save: a request is never stored without
  // its dates.
  check_dates(page, values);
  check_calendar(page, values.departure, true);
  page.set_session("blnRtnDtWarn", false);
  page.set_session("strRtnDtWarn", "");
  check_calendar(page, values.return_date, false);
  check_times(page, values);
  check_counts(page, values);
  check_required_texts(page);

  if (!page.prepare_database()) frame::exit_step();
  choose_customer(page, values);
  check_customer(page, values);
  check_fund(page, values);

  page.form.blnNewRequest = target.is_new;
  const bool is_new = target.is_new;
  const std::int32_t number = target.number;
  if (!is_new) check_stored(page, number);
  check_rights(page, number, is_new);
  row = std::make_unique<db::Recordset>();
  if (is_new) {
    row->open("Select * from TRIPSREQ", module.request_db(), db::CursorType::Dynamic,
              db::LockType::Optimistic);
    row->add_new();
    row->set_field("ENTEREDBY", page.session_text("USER"));
    row->set_field("enterdate", now);
    row->set_field("REQDATE", now);
    row->set_field("REQUESTOR_EMAIL", page.customer.strRequestorEmail);
    row->set_field("Status", vb::Trim(page.customer.strChainID).empty() ? "Pending" : "UNAPPROVED");
    row->set_field("STATUS_DATE", now);
  } else {
    row->open("SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = " + std::to_string(number),
              module.request_db(), db::CursorType::ForwardOnly, db::LockType::Optimistic);
  }
  const vb::DateTime stored = stored_departure(*row, is_new);
  check_lead_time(page, values, stored);
  check_trip_limit(page, values, stored);

  write_columns(page, *row, values);

  // The chain of the customer and trip category; a change restarts the approval.
  const std::string category = posted(page, "TRIPCAT");
  std::string chain = category.empty() ? "" : page.getCHAIN(values.customer_number, category);
  if (chain.empty()) chain = page.customer.strChainID;
  const vb::Variant stored_chain = row->field("chainid");
  const std::string old_chain = stored_chain.is_null() ? "" : vb::CStr(stored_chain);
  const bool chain_changed = !text::same_text(old_chain, chain);
  if (chain_changed) {
    row->set_field("chainid", chain);
    row->set_field("Status", chain.empty() ? "Pending" : "UNAPPROVED");
    row->set_field("STATUS_DATE", now);
  }

  row->update();
  remember_submission(page, vb::CLng(row->field("TRIPNUM")));
  page.set_session("TRIPREQ", NullToStr(row->field("TRIPNUM")));
  page.form.blnSaved = true;
  page.form.blnCopyRequest = false;
  page.set_session("RequestDetail.New", "");
  page.set_session("LoadRequestDetailFromSession", "False");

  const std::string role = page.session_text("ROLE");
  if (chain_changed && !role.empty()) {
    const std::string answer = mdlApproval::HasAuthority(
        module, vb::CLng(page.session_text("TRIPREQ")), role, chain, page.session_text("CUSTOMER"));
    // A failed answer must not become the request's status.
    if (module.ok()) {
      const std::size_t first = answer.find(','), second = answer.find(',', first + 1);
      if (text::same_text(answer.substr(0, first), "Y")) page.form.blnCanEdit = true;
      if (text::same_text(answer.substr(first + 1, second - first - 1), "Y")) {
        page.form.blnCanApprove = true;
      }
      page.form.strApproveValue = answer.substr(second + 1);
      if (vb::UCase(page.form.strApproveValue) != "NA") {
        row->set_field("Status", page.form.strApproveValue);
        row->set_field("STATUS_DATE", now);
        row->update();
      }
    }
  }

  send_notifications(page, *row);

  page.form.blnNewRequest = false;
  row->close();
  ChkEligWeb::CloseTripDBConnections(module);
  if (text::same_text(posted(page, "btnSubmit"), "Exit")) {
    page.context().set_next_item("RequestSearch");
  } else {
    page.RequestDetail_UserEvent(page.session_text("TRIPREQ"));
  }
}

}  // namespace request
