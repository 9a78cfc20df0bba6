// The post of the trip request form: a drop-down change, a lookup page, Exit, Copy, Delete,
// Print, or a save.
#include <charconv>
#include <optional>

#include "approval/mdlApproval.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"
#include "request/form_save.h"
#include "request/refusals.h"
#include "request/submission.h"

namespace {

// The fields a drop-down change or a lookup button carries into the session, in order; the form's
// return-date fields are named rtn_ but their keys ret_.
struct CarriedField {
  const char* field;
  const char* key;
};

const CarriedField kDateTimeCountTextFields[] = {
    {"dep_month", "RequestDetail.dep_month"},   {"dep_date", "RequestDetail.dep_date"},
    {"dep_year", "RequestDetail.dep_year"},     {"rtn_month", "RequestDetail.ret_month"},
    {"rtn_date", "RequestDetail.ret_date"},     {"rtn_year", "RequestDetail.ret_year"},
    {"dep_hour", "RequestDetail.dep_hour"},     {"dep_min", "RequestDetail.dep_min"},
    {"dep_ampm", "RequestDetail.dep_ampm"},     {"arrive_hour", "RequestDetail.arrive_hour"},
    {"arrive_min", "RequestDetail.arrive_min"}, {"arrive_ampm", "RequestDetail.arrive_ampm"},
    {"leave_hour", "RequestDetail.leave_hour"}, {"leave_min", "RequestDetail.leave_min"},
    {"leave_ampm", "RequestDetail.leave_ampm"}, {"ret_hour", "RequestDetail.ret_hour"},
    {"ret_min", "RequestDetail.ret_min"},       {"ret_ampm", "RequestDetail.ret_ampm"},
    {"numadults", "RequestDetail.numadults"},   {"numstudents", "RequestDetail.numstudents"},
    {"numhand", "RequestDetail.numhand"},       {"esttime", "RequestDetail.esttime"},
    {"estmile", "RequestDetail.estmile"},       {"purpose", "RequestDetail.purpose"},
    {"custspec", "RequestDetail.custspec"},
};

const CarriedField kCodeFields[] = {
    {"tripcom", "RequestDetail.tripcom"},       {"po", "RequestDetail.po"},
    {"inttripnum", "RequestDetail.inttripnum"}, {"tripcat", "RequestDetail.tripcat"},
    {"grade", "RequestDetail.grade"},
};

const char* const kDestinationDetailKeys[] = {"RequestDetail.destdesc", "RequestDetail.destcat",
                                              "RequestDetail.miles",    "RequestDetail.destadd1",
                                              "RequestDetail.destadd2", "RequestDetail.destcity",
                                              "RequestDetail.destzip",  "RequestDetail.deststate"};

std::string before_comma_or_empty(const std::string& text) {
  const std::size_t comma = text.find(',');
  return comma == std::string::npos ? std::string() : text.substr(0, comma);
}

[[noreturn]] void stop(Jaunter& page, const std::string& message) {
  page.context().response().Write(message);
  frame::exit_step();
}

// The form's state into the session, as a drop-down change or a lookup button leaves it.
void carry_form(Jaunter& page, bool with_destination) {
  const web::Request& request = page.context().request();
  page.set_session("LoadRequestDetailFromSession", "True");
  page.set_session("RequestDetail.New", request.Form("New"));
  page.set_session("RequestDetail.customer", before_comma_or_empty(request.Form("cust")));
  page.set_session("RequestDetail.requestoremail", request.Form("RequestorEmail"));
  if (with_destination) page.set_session("RequestDetail.destination", request.Form("dest"));
  page.set_session("RequestDetail.contact", request.Form("contact"));
  page.set_session("RequestDetail.fund", request.Form("fund"));
  for (const CarriedField& field : kDateTimeCountTextFields) {
    page.set_session(field.key, request.Form(field.field));
  }
  if (with_destination) page.set_session("RequestDetail.destspec", request.Form("destspec"));
  for (const CarriedField& field : kCodeFields)
    page.set_session(field.key, request.Form(field.field));
  page.set_session("TRIPREQ", request.Form("tripnum"));
}

void empty_destination_details(Jaunter& page) {
  for (const char* key : kDestinationDetailKeys) page.set_session(key, "");
}

// A drop-down changed: the form's state goes to the session and the form is drawn again.
void drop_down_change(Jaunter& page) {
  const web::Request& request = page.context().request();
  carry_form(page, false);
  const std::string dest = request.Form("dest");
  const std::string current = page.session_text("RequestDetail.destination");
  if (!text::same_text(dest, current)) {
    if (!page.prepare_database()) frame::exit_step();
    const std::string instructions = page.getdest(dest);
    ChkEligWeb::CloseTripDBConnections(page.module());
    if (dest != "0") {
      if (!vb::Trim(dest).empty()) {
        page.set_session("RequestDetail.destspec", instructions);
        page.set_session("RequestDetail.destdesc", page.destination.strDestDesc);
        page.set_session("RequestDetail.destadd1", page.destination.strDestAdd1);
        page.set_session("RequestDetail.miles", vb::CStr(page.destination.sngDestMiles));
        page.set_session("RequestDetail.destadd2", page.destination.strDestAdd2);
        for (const char* key : {"RequestDetail.destcat", "RequestDetail.destcity",
                                "RequestDetail.destzip", "RequestDetail.deststate"}) {
          page.set_session(key, "");
        }
      } else {
        page.set_session("RequestDetail.destspec", "");
        empty_destination_details(page);
      }
    }
  } else {
    if (vb::Trim(current) == "0") {
      if (vb::UCase(request.Form("New")) != "NEW" &&
          page.session_text("RequestDetail.destadd1").empty()) {
        page.SetDestFromREQ(vb::CLng(page.session_text("TRIPREQ")));
      }
    } else {
      empty_destination_details(page);
    }
    page.set_session("RequestDetail.destspec", request.Form("destspec"));
  }
  page.set_session("RequestDetail.destination", dest);
  page.context().set_next_item("RequestDetail");
}

// A lookup button: the form's state goes to the session and the lookup page is written.
void open_lookup(Jaunter& page, const std::string& button) {
  const web::Request& request = page.context().request();
  if (text::same_text(button, "Fund") &&
      text::same_text(page.application_text("DISTRICT.USECUSTFUND"), "True") &&
      request.Form("cust").empty()) {
    stop(page, "<p>Please choose a customer first.</p>");
  }
  carry_form(page, true);
  // A fund lookup once opened from the field trip search and left there must not send this
  // choice back to that search.
  page.set_session("SELTRIP", "");
  if (vb::Trim(page.session_text("RequestDetail.destination")) == "0") {
    if (page.session_text("RequestDetail.destadd1").empty() &&
        vb::UCase(request.Form("New")) != "NEW") {
      page.SetDestFromREQ(vb::CLng(page.session_text("TRIPREQ")));
    }
  } else {
    empty_destination_details(page);
  }
  page.context().write_template(text::same_text(button, "Customer")      ? "LookupCust"
                                : text::same_text(button, "Destination") ? "LookupDest"
                                                                       : "LookupFund");
}

// A request number as the form posts it: whole, positive, 32 bits; nullopt for anything else.
std::optional<std::int32_t> parse_request_number(const std::string& text) {
  const std::string digits = vb::Trim(text);
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      number <= 0) {
    return std::nullopt;
  }
  return number;
}

// The request the post acts on: the form's own New and tripnum, so that a form left open in one
// tab never saves over the request another tab opened since. A post without New (or a stored
// request's form without its number) falls back to what the session opened last.
request::SaveTarget post_target(Jaunter& page) {
  const web::Request& request = page.context().request();
  std::string is_new = vb::Trim(request.Form("New"));
  if (is_new.empty()) is_new = page.session_text("RequestDetail.New");
  if (text::same_text(is_new, "NEW")) return {true, 0};
  std::string number = request.Form("tripnum");
  if (vb::Trim(number).empty()) number = page.session_text("TRIPREQ");
  const auto parsed = parse_request_number(number);
  if (!parsed) stop(page, request::refusal::kNotANumber);
  return {false, *parsed};
}

// The stored customer of a request, with the connections open; a request that is gone ends the
// post with its message.
std::string stored_customer(Jaunter& page, std::int32_t number) {
  db::Recordset row;
  row.open("SELECT TRIPSREQ.CUSTOMER FROM TRIPSREQ WHERE TRIPNUM = " + std::to_string(number),
           page.module().request_db());
  if (row.eof()) {
    ChkEligWeb::CloseTripDBConnections(page.module());
    stop(page, request::refusal::kGone);
  }
  return data::NullToStr(row.field("CUSTOMER"));
}

// Delete only what the user may change: the form offers Delete only then, and a forged post must
// not remove someone else's request.
bool may_change(Jaunter& page, std::int32_t number) {
  if (!page.prepare_database()) frame::exit_step();
  stored_customer(page, number);
  const std::string answer = mdlApproval::HasAuthority(
      page.module(), number, page.session_text("ROLE"), "", page.session_text("Customer"));
  ChkEligWeb::CloseTripDBConnections(page.module());
  if (!page.module().ok()) frame::exit_step();
  return text::same_text(answer.substr(0, answer.find(',')), "Y");
}

// Copy reads the request: a customer-bound user copies only what he may read.
void check_copy(Jaunter& page, std::int32_t number) {
  if (!page.prepare_database()) frame::exit_step();
  const std::string customer = stored_customer(page, number);
  ChkEligWeb::CloseTripDBConnections(page.module());
  if (!page.may_read_customer(customer)) stop(page, request::refusal::kCopy);
}

}  // namespace

void Jaunter::RequestDetail_TripRequestDetail() {
  std::unique_ptr<db::Recordset> row;
  procedure(
      {"RequestDetail_TripRequestDetail"},
      [&] {
        if (!session_check()) frame::exit_step();
        const web::Request& request = ctx_.request();
        if (!request.Form("dropDownChange").empty()) {
          drop_down_change(*this);
          return;
        }
        const std::string button = request.Form("btnSubmit");
        if (text::same_text(button, "**Exit**")) {
          for (const char* key :
               {"RequestDetail.destdesc", "RequestDetail.destcat", "RequestDetail.miles",
                "RequestDetail.destadd1", "RequestDetail.destadd2", "RequestDetail.destcity",
                "RequestDetail.destzip", "RequestDetail.destspec", "RequestDetail.deststate"}) {
            set_session(key, "");
          }
          ClearRequestDetailVars();
          ctx_.set_next_item("RequestSearch");
          return;
        }
        if (text::same_text(button, "Copy")) {
          const request::SaveTarget source = post_target(*this);
          if (source.is_new) stop(*this, request::refusal::kNotANumber);
          check_copy(*this, source.number);
          form.blnNewRequest = true;
          SetDestFromREQ(source.number);
          SetNewVars();
          form.blnCopyRequest = true;
          ctx_.set_next_item("RequestDetail");
          return;
        }
        if (text::same_text(button, "Delete")) {
          const auto number = parse_request_number(request.Form("tripnum"));
          if (!number) stop(*this, request::refusal::kNotANumber);
          if (!may_change(*this, *number)) stop(*this, request::refusal::kDelete);
          DeleteTripRequest(*number);
          ctx_.set_next_item("RequestSearch");
          return;
        }
        if (text::same_text(button, "Destination") || text::same_text(button, "Customer") ||
            text::same_text(button, "Fund")) {
          open_lookup(*this, button);
          return;
        }
        const request::SaveTarget target = post_target(*this);
        if (text::same_text(button, "Print")) {
          ctx_.response().Redirect("Jaunter.ASP?WCI=TripRequestDetailPrint");
        } else if (button.empty()) {
          form.blnNewRequest = false;
        }
        // The same form posted again (a double click, a re-post after a lost reply): show what
        // the first post saved.
        if (const auto saved = request::earlier_submission(*this)) {
          if (text::same_text(button, "Exit")) {
            ctx_.set_next_item("RequestSearch");
          } else {
            RequestDetail_UserEvent(std::to_string(*saved));
          }
          return;
        }
        request::save_request(*this, target, row);
      },
      [&] {
        if (row && row->is_open()) row->close();
        ChkEligWeb::CloseTripDBConnections(module_);
      });
}
