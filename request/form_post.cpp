// The post of the trip request form: a drop-down change, a lookup page, Exit, Copy, Delete,
// Print, or a save.
#include <charconv>
#include <optional>

#include "approval/mdlApproval.h"
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"
#include "request/form_save.h"
#include "request/persistence.h"
#include "request/refusals.h"
#include "request/request_form.h"
#include "request/submission.h"

namespace request {

namespace {

// The fields a drop-down change or a lookup button carries into the session, in order; the form's
// return-date fields are named rtn_ but their keys ret_.
struct CarriedField {
  const char* field;
  keys::Key key;
};

const CarriedField kDateTimeCountTextFields[] = {
    {"dep_month", keys::form::kDepartureMonth},
    {"dep_date", keys::form::kDepartureDay},
    {"dep_year", keys::form::kDepartureYear},
    {"rtn_month", keys::form::kReturnMonth},
    {"rtn_date", keys::form::kReturnDay},
    {"rtn_year", keys::form::kReturnYear},
    {"dep_hour", keys::form::kDepartureHour},
    {"dep_min", keys::form::kDepartureMinute},
    {"dep_ampm", keys::form::kDepartureMeridian},
    {"arrive_hour", keys::form::kArriveHour},
    {"arrive_min", keys::form::kArriveMinute},
    {"arrive_ampm", keys::form::kArriveMeridian},
    {"leave_hour", keys::form::kLeaveHour},
    {"leave_min", keys::form::kLeaveMinute},
    {"leave_ampm", keys::form::kLeaveMeridian},
    {"ret_hour", keys::form::kReturnHour},
    {"ret_min", keys::form::kReturnMinute},
    {"ret_ampm", keys::form::kReturnMeridian},
    {"numadults", keys::form::kAdults},
    {"numstudents", keys::form::kStudents},
    {"numhand", keys::form::kHandicapped},
    {"esttime", keys::form::kEstimatedTime},
    {"estmile", keys::form::kEstimatedMiles},
    {"purpose", keys::form::kPurpose},
    {"custspec", keys::form::kCustomerInstructions},
};

const CarriedField kCodeFields[] = {
    {"tripcom", keys::form::kTripComment},
    {"po", keys::form::kPurchaseOrder},
    {"inttripnum", keys::form::kInternalNumber},
    {"tripcat", keys::form::kTripCategory},
    {"grade", keys::form::kGrade},
};

const keys::Key kDestinationDetailKeys[] = {
    keys::form::kDestinationName,     keys::form::kDestinationCategory,
    keys::form::kDestinationMiles,    keys::form::kDestinationAddress1,
    keys::form::kDestinationAddress2, keys::form::kDestinationCity,
    keys::form::kDestinationZip,      keys::form::kDestinationState};

[[noreturn]] void stop(frame::RequestContext& ctx, const std::string& message) {
  ctx.response().Write(message);
  frame::exit_step();
}

// The form's state into the session, as a drop-down change or a lookup button leaves it.
void carry_form(frame::RequestContext& ctx, bool with_destination) {
  const web::Request& request = ctx.request();
  ctx.set_session(keys::kLoadFromSession, "True");
  ctx.set_session(keys::form::kNew, request.Form("New"));
  ctx.set_session(keys::form::kCustomer, text::code_of_item(request.Form("cust")));
  ctx.set_session(keys::form::kRequesterEmail, request.Form("RequestorEmail"));
  if (with_destination) ctx.set_session(keys::form::kDestination, request.Form("dest"));
  ctx.set_session(keys::form::kContact, request.Form("contact"));
  ctx.set_session(keys::form::kFund, request.Form("fund"));
  for (const CarriedField& field : kDateTimeCountTextFields) {
    ctx.set_session(field.key, request.Form(field.field));
  }
  if (with_destination)
    ctx.set_session(keys::form::kDestinationInstructions, request.Form("destspec"));
  for (const CarriedField& field : kCodeFields)
    ctx.set_session(field.key, request.Form(field.field));
  ctx.set_session(keys::kRequestNumber, request.Form("tripnum"));
}

void empty_destination_details(frame::RequestContext& ctx) {
  for (keys::Key key : kDestinationDetailKeys) ctx.set_session(key, "");
}

// A drop-down changed: the form's state goes to the session and the form is drawn again.
void drop_down_change(frame::RequestContext& ctx) {
  const web::Request& request = ctx.request();
  carry_form(ctx, false);
  const std::string dest = request.Form("dest");
  const std::string current = ctx.session_text(keys::form::kDestination);
  if (!text::same_text(dest, current)) {
    if (!ChkEligWeb::PrepareDatabase(ctx)) frame::exit_step();
    FieldBuilders& builders = ctx.get<FieldBuilders>();
    const std::string instructions = builders.getdest(dest);
    ChkEligWeb::CloseTripDBConnections(ctx.module());
    if (dest != "0") {
      if (!vb::Trim(dest).empty()) {
        ctx.set_session(keys::form::kDestinationInstructions, instructions);
        ctx.set_session(keys::form::kDestinationName, builders.destination().strDestDesc);
        ctx.set_session(keys::form::kDestinationAddress1, builders.destination().strDestAdd1);
        ctx.set_session(keys::form::kDestinationMiles,
                        vb::CStr(builders.destination().sngDestMiles));
        ctx.set_session(keys::form::kDestinationAddress2, builders.destination().strDestAdd2);
        for (keys::Key key : {keys::form::kDestinationCategory, keys::form::kDestinationCity,
                              keys::form::kDestinationZip, keys::form::kDestinationState}) {
          ctx.set_session(key, "");
        }
      } else {
        ctx.set_session(keys::form::kDestinationInstructions, "");
        empty_destination_details(ctx);
      }
    }
  } else {
    if (vb::Trim(current) == "0") {
      if (vb::UCase(request.Form("New")) != "NEW" &&
          ctx.session_text(keys::form::kDestinationAddress1).empty()) {
        ctx.get<request::Persistence>().SetDestFromREQ(
            vb::CLng(ctx.session_text(keys::kRequestNumber)));
      }
    } else {
      empty_destination_details(ctx);
    }
    ctx.set_session(keys::form::kDestinationInstructions, request.Form("destspec"));
  }
  ctx.set_session(keys::form::kDestination, dest);
  ctx.set_next_item("RequestDetail");
}

// A lookup button: the form's state goes to the session and the lookup page is written.
void open_lookup(frame::RequestContext& ctx, const std::string& button) {
  const web::Request& request = ctx.request();
  if (text::same_text(button, "Fund") &&
      text::same_text(ctx.application_text("DISTRICT.USECUSTFUND"), "True") &&
      request.Form("cust").empty()) {
    stop(ctx, "<p>Please choose a customer first.</p>");
  }
  carry_form(ctx, true);
  // A fund lookup once opened from the field trip search and left there must not send this
  // choice back to that search.
  ctx.set_session(keys::kFundLookupFromTripSearch, "");
  const std::string dest = vb::Trim(ctx.session_text(keys::form::kDestination));
  if (dest == "0") {
    if (ctx.session_text(keys::form::kDestinationAddress1).empty() &&
        vb::UCase(request.Form("New")) != "NEW") {
      ctx.get<request::Persistence>().SetDestFromREQ(
          vb::CLng(ctx.session_text(keys::kRequestNumber)));
    }
  } else {
    empty_destination_details(ctx);
    // A listed destination keeps its name, as its drop-down change gave it: the mails of the
    // save name it.
    if (!dest.empty()) {
      if (!ChkEligWeb::PrepareDatabase(ctx)) frame::exit_step();
      FieldBuilders& builders = ctx.get<FieldBuilders>();
      builders.getdest(dest);
      ChkEligWeb::CloseTripDBConnections(ctx.module());
      if (!ctx.module().ok()) frame::exit_step();
      ctx.set_session(keys::form::kDestinationName, builders.destination().strDestDesc);
    }
  }
  ctx.write_template(text::same_text(button, "Customer")      ? "LookupCust"
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
SaveTarget post_target(frame::RequestContext& ctx) {
  const web::Request& request = ctx.request();
  std::string is_new = vb::Trim(request.Form("New"));
  if (is_new.empty()) is_new = ctx.session_text(keys::form::kNew);
  if (text::same_text(is_new, "NEW")) return {true, 0};
  std::string number = request.Form("tripnum");
  if (vb::Trim(number).empty()) number = ctx.session_text(keys::kRequestNumber);
  const auto parsed = parse_request_number(number);
  if (!parsed) stop(ctx, refusal::kNotANumber);
  return {false, *parsed};
}

// The stored customer of a request, with the connections open; a request that is gone ends the
// post with its message.
std::string stored_customer(frame::RequestContext& ctx, std::int32_t number) {
  db::Recordset row;
  row.open("SELECT TRIPSREQ.CUSTOMER FROM TRIPSREQ WHERE TRIPNUM = " + std::to_string(number),
           ctx.module().request_db());
  if (row.eof()) {
    ChkEligWeb::CloseTripDBConnections(ctx.module());
    stop(ctx, refusal::kGone);
  }
  return data::NullToStr(row.field("CUSTOMER"));
}

// Delete only what the user may change: the form offers Delete only then, and a forged post must
// not remove someone else's request.
bool may_change(frame::RequestContext& ctx, std::int32_t number) {
  if (!ChkEligWeb::PrepareDatabase(ctx)) frame::exit_step();
  stored_customer(ctx, number);
  const bool may_edit =
      mdlApproval::HasAuthority(ctx.module(), number, ctx.session_text(keys::kRole), "",
                                ctx.session_text(keys::kCustomer))
          .may_edit;
  ChkEligWeb::CloseTripDBConnections(ctx.module());
  if (!ctx.module().ok()) frame::exit_step();
  return may_edit;
}

// Copy reads the request: a customer-bound user copies only what he may read.
void check_copy(frame::RequestContext& ctx, std::int32_t number) {
  if (!ChkEligWeb::PrepareDatabase(ctx)) frame::exit_step();
  const std::string customer = stored_customer(ctx, number);
  ChkEligWeb::CloseTripDBConnections(ctx.module());
  if (!request::may_read_customer(ctx, customer)) stop(ctx, refusal::kCopy);
}

}  // namespace

// The form's one post event: the button decides, in the order the desktop form checks them.
// Kept whole so that the order of the checks reads as one list.
void RequestForm::RequestDetail_TripRequestDetail() {
  std::unique_ptr<db::Recordset> row;
  procedure(
      {"RequestDetail_TripRequestDetail"},
      [&] {
        if (!session_check()) frame::exit_step();
        const web::Request& request = ctx_.request();
        if (!request.Form("dropDownChange").empty()) {
          drop_down_change(ctx_);
          return;
        }
        const std::string button = request.Form("btnSubmit");
        if (text::same_text(button, "**Exit**")) {
          for (keys::Key key : {keys::form::kDestinationName, keys::form::kDestinationCategory,
                                keys::form::kDestinationMiles, keys::form::kDestinationAddress1,
                                keys::form::kDestinationAddress2, keys::form::kDestinationCity,
                                keys::form::kDestinationZip, keys::form::kDestinationInstructions,
                                keys::form::kDestinationState}) {
            set_session(key, "");
          }
          ClearRequestDetailVars();
          ctx_.set_next_item("RequestSearch");
          return;
        }
        if (text::same_text(button, "Copy")) {
          const SaveTarget source = post_target(ctx_);
          if (source.is_new) stop(ctx_, refusal::kNotANumber);
          check_copy(ctx_, source.number);
          form_.blnNewRequest = true;
          ctx_.get<Persistence>().SetDestFromREQ(source.number);
          SetNewVars();
          form_.blnCopyRequest = true;
          ctx_.set_next_item("RequestDetail");
          return;
        }
        if (text::same_text(button, "Delete")) {
          const auto number = parse_request_number(request.Form("tripnum"));
          if (!number) stop(ctx_, refusal::kNotANumber);
          if (!may_change(ctx_, *number)) stop(ctx_, refusal::kDelete);
          ctx_.get<Persistence>().DeleteTripRequest(*number);
          if (module_.ok()) {
            ctx_.set_notice("<p class='notice' role='status'>Request #" + std::to_string(*number) +
                            " deleted.</p>");
          }
          ctx_.set_next_item("RequestSearch");
          return;
        }
        if (text::same_text(button, "Destination") || text::same_text(button, "Customer") ||
            text::same_text(button, "Fund")) {
          open_lookup(ctx_, button);
          return;
        }
        const SaveTarget target = post_target(ctx_);
        if (text::same_text(button, "Print")) {
          ctx_.response().Redirect("Jaunter.ASP?WCI=TripRequestDetailPrint");
        } else if (button.empty()) {
          form_.blnNewRequest = false;
        }
        // The same form posted again (a double click, a re-post after a lost reply): show what
        // the first post saved.
        if (const auto saved = earlier_submission(ctx_)) {
          if (text::same_text(button, "Exit")) {
            ctx_.set_next_item("RequestSearch");
          } else {
            RequestDetail_UserEvent(std::to_string(*saved));
          }
          return;
        }
        save_request(ctx_, form_, target, row);
      },
      [&] {
        if (row && row->is_open()) row->close();
        ChkEligWeb::CloseTripDBConnections(module_);
      });
}

}  // namespace request
