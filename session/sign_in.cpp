// The Login and Logout items: the sign-in against the security database and the sign-out.
#include "session/sign_in.h"

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"
#include "request/request_form.h"

namespace {

bool application_true(const vb::Variant& value) {
  if (value.is_bool()) return value.get<bool>();
  if (value.is_string()) return text::same_text(value.get<std::string>(), "True");
  return false;
}

}  // namespace

void session::SignIn::Login_Respond() {
  ctx_.write_template("Login");
}

void session::SignIn::Login_ProcessTag(const std::string& TagName, std::string& TagContents,
                                       bool&) {
  if (district_header_tag(TagName, TagContents)) return;
  if (text::same_text(TagName, "WC@TRIPREQUESTINQUIRY")) {
    TagContents = application_true(ctx_.application("DOTNET_INSTALLED"))
                      ? "<a href=\"" + web::html_escape(application_text("INQUIRY_URL")) +
                            "\">Trip Request Inquiry</a>"
                      : "";
  }
}

void session::SignIn::Login_LoginValidateUser() {
  db::Recordset user;
  procedure(
      {"LoginValidateUser"},
      [&] {
        using data::NullToStr;
        ctx_.web().set_session_timeout(vb::CInt(ctx_.application("SESSION_TIMEOUT")));

        reset_session_keys();

        if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();

        const std::string typed_user = vb::Trim(ctx_.request().Form("user"));
        user.open("Select * from CLSCU where trim$(CLSCU.CLSC1) = " + db::quote_text(typed_user),
                  module_.security_db());
        auto finish = [&] {
          user.close();
          ChkEligWeb::CloseTripDBConnections(module_);
          frame::exit_step();
        };
        if (user.eof()) {
          ctx_.response().Write(
              "Sorry, invalid user id.  Use your browser's back button and please try again.");
          finish();
        }
        if (!text::same_text(vb::Trim(NullToStr(user.field("CLSC2"))),
                             vb::Trim(ctx_.request().Form("password")))) {
          ctx_.response().Write(
              "Sorry, invalid password.  Use your browser's back button and please try again.");
          finish();
        }
        // A new identifier for the signed-in session, so that one planted before sign-in is
        // worthless.
        ctx_.web().renew_session_id();
        fill_session(user, typed_user);
        finish();
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
}

void session::SignIn::reset_session_keys() {
  set_session(keys::kLoadFromSession, "False");
  set_session(keys::kFunds, "");
  set_session(keys::kFundCount, "0");
  set_session(keys::kUser, "");
  set_session(keys::kCustomer, "");
  set_session(keys::kRole, "");
  set_session(keys::kCanOverrideFund, "False");
  set_session(keys::kCanOverrideDepartureDate, "False");
  set_session(keys::kCustomerCount, std::int16_t{0});
  set_session(keys::kCustomers, "");
  set_session(keys::kDestinationCount, std::int16_t{0});
  set_session(keys::kDestinations, "");
}

void session::SignIn::fill_session(const db::Recordset& user, const std::string& typed_user) {
  using data::NullToStr;
  auto right = [&](const char* column) {
    return text::same_text(vb::Trim(NullToStr(user.field(column))), "True") ? "True" : "False";
  };
  set_session(keys::kUser, typed_user);
  set_session(keys::kCustomer, NullToStr(user.field("CUSTOMER")));
  set_session(keys::kRole, NullToStr(user.field("ROLE")));
  set_session(keys::kCanOverrideFund, right("SCJRFOVD"));
  set_session(keys::kCanOverrideDepartureDate, right("SCJRDDFT"));

  {
    db::Recordset district;
    district.open("select * from District", module_.trip_db());
    set_session(keys::kTripRequestComment,
                district.eof() ? std::string() : NullToStr(district.field("TRIPREQ_COMMENT")));
  }
  {
    db::Recordset options;
    options.open(
        "SELECT REQ_JAUNTER_CHANGE, ADM_JAUNTER_CHANGE, APP_JAUNTER_CHANGE FROM "
        "EMAIL_OPTIONS",
        module_.trip_db());
    set_session(keys::kMailRequester,
                options.eof() ? std::string() : NullToStr(options.field("REQ_JAUNTER_CHANGE")));
    set_session(keys::kMailApprover,
                options.eof() ? std::string() : NullToStr(options.field("APP_JAUNTER_CHANGE")));
  }

  request::FieldBuilders& builders = ctx_.get<request::FieldBuilders>();
  builders.PopulateDD();
  auto copy = [&](const char* count_key, const char* list_key, const request::LookupList& list) {
    set_session(count_key, list.count);
    set_session(list_key, list.items);
  };
  copy("numCustomers", "CustomersDD", builders.lists().customers);
  copy("numDestinations", "Destinations", builders.lists().destinations);
  copy("numTripCat", "TripCat", builders.lists().tripcats);
  copy("numStatusVals", "StatusVals", builders.lists().statuses);
  copy("numDivisions", "Divisions", builders.lists().divisions);
  copy("numGrades", "Grades", builders.lists().grades);
  builders.PopulateDESTCATDD();
  copy("numDESTCATs", "DESTCATS", builders.lists().destcats);

  if (text::same_text(application_text("DISTRICT.FUND_DD"), "True") &&
      !text::same_text(application_text("DISTRICT.USECUSTFUND"), "True")) {
    builders.PopulateFundDD("");
  }
  set_session(keys::kFundCount, builders.lists().numFunds);
  set_session(keys::kFunds, builders.lists().funds);

  const std::string button = ctx_.request().Form("btnsubmit");
  if (text::same_text(button, "Work With Trip Requests")) {
    ctx_.set_next_item("RequestSearch");
  } else if (text::same_text(button, "Enter a New Trip Request")) {
    ctx_.get<request::RequestForm>().SetNewVars();
    ctx_.set_next_item("RequestDetail");
  }
  set_session(keys::kLoadFromSession, "False");
}

void session::SignIn::Logout_Respond() {
  ChkEligWeb::CloseTripDBConnections(module_);
  ctx_.web().abandon_session();
  ctx_.write_template("Logout");
}

void session::SignIn::Logout_ProcessTag(const std::string& TagName, std::string& TagContents,
                                        bool&) {
  if (district_header_tag(TagName, TagContents)) return;
  if (text::same_text(TagName, "WC@TIMEOUT")) {
    if (!ctx_.timeout_message().empty()) {
      TagContents = "<p align='center'>" + ctx_.timeout_message() + "</p><p>&nbsp;</p>";
    }
  } else if (text::same_text(TagName, "WC@LOGIN")) {
    TagContents =
        "<p align='center'><a href='jaunter.asp'>Carline Jaunter Login</a></p><p>&nbsp;</p>";
  }
}
