// The LookupDest item: find a destination by the beginning of its description, or type in one
// that is not in the table, and hand it back to the request form.
#include <array>
#include <utility>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "lookup/lookup_support.h"
#include "lookup/lookups.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"

namespace {

using web::html_escape;

// The categories of the session's list; no option is selected.
std::string category_select(const frame::RequestContext& ctx) {
  std::string html = "<select name='DESTCAT'>";
  if (request::session_count(ctx, keys::kDestinationCategoryCount) == 0) {
    html += "<option> </option>";
  } else {
    for (const std::string& item : request::session_list(ctx, keys::kDestinationCategories,
                                                         keys::kDestinationCategoryCount)) {
      html += "<option>" + html_escape(item) + "</option>";
    }
  }
  return html + "</select>";
}

}  // namespace

// The add form, prefilled with the typed-in destination the session holds.
std::string lookup::DestinationLookup::add_form() {
  auto row = [&](const char* label, const char* input_attributes, keys::Key key) {
    return std::string("<tr><td>") + label + "</td><td><input type='text' " + input_attributes +
           " value='" + html_escape(session_text(key)) + "'></td></tr>";
  };
  return "<table border='1'><tr><td colspan='3'><h1>Add a Destination</h1></td></tr>" +
         row("Description:", "name='DESTDESC' size='50' maxlength='75'",
             keys::form::kDestinationName) +
         "<tr><td>Category:</td><td>" + category_select(ctx_) + "</td></tr>" +
         row("Average Miles:", "name='MILES' size='4'", keys::form::kDestinationMiles) +
         row("Address:", "name='DESTADD1' size='30' maxlength='30'",
             keys::form::kDestinationAddress1) +
         row("&nbsp;", "name='DESTADD2' size='30' maxlength='30'",
             keys::form::kDestinationAddress2) +
         row("City:", "name='DESTCITY'  size='15' maxlength='15'", keys::form::kDestinationCity) +
         row("State:", "name='DESTSTATE'  size='2' maxlength='2'", keys::form::kDestinationState) +
         row("Zip/Postal Code:", "name='DESTZIP' size='10' maxlength='10'",
             keys::form::kDestinationZip) +
         "<tr><td>Special Instructions:</td><td><textarea rows='3' cols='60' name='DESTSPEC'>" +
         html_escape(session_text(keys::form::kDestinationInstructions)) +
         "</TEXTAREA></td></tr></table><span style='visibility: hidden'><input type='text' "
         "name='SelDest' value='0'></SPAN><p align='center'><input type='submit' "
         "value='Return' name='btnSubmit2'></p><p>&nbsp;</p>";
}

namespace {

// The first refusal of a typed-in destination, or "" when it may be taken.
std::string new_destination_refusal(const web::Request& request) {
  const std::string miles = vb::Trim(request.Form("MILES"));
  if (!miles.empty() && !vb::IsNumeric(miles)) {
    return "<p>Please enter a valid number of miles (or 0) in the Average Miles field.</p>";
  }
  // Deliberately the untrimmed text: a description of blanks passes and is kept as entered.
  if (request.Form("DESTDESC").empty()) {
    return "<p align='center'>When entering in a new destination, a destination description is "
           "required.</p><p>Please use your browser's back button and enter a description with 75 "
           "characters or less.</p>";
  }
  struct Limit {
    const char* field;
    std::size_t most;
    const char* message;
  };
  static const Limit limits[] = {
      {"DESTDESC", 75,
       "<p>The destination description you have entered is too long, please use your browser's "
       "back button and enter a description with 75 characters or less.</p>"},
      {"DESTADD1", 30,
       "<p>The destination address you have entered is too long, please use your browser's back "
       "button and enter an address with 30 characters or less.</p>"},
      {"DESTADD2", 30,
       "<p>The second line of the destination address you have entered is too long, please use "
       "your browser's back button and enter an address with 30 characters or less.</p>"},
      {"DESTCITY", 15,
       "<p>The destination city you have entered is too long, please use your browser's back "
       "button and enter a city with 15 characters or less.</p>"},
      {"DESTSTATE", 2,
       "<p>The destination state you have entered is too long, please use your browser's back "
       "button and enter a state code with 2 characters.</p>"},
      {"DESTZIP", 10,
       "<p>The destination zip/postal code you have entered is too long, please use your "
       "browser's back button and enter a zip or postal code with 10 characters or less.</p>"},
  };
  for (const Limit& limit : limits) {
    if (text::utf8_length(vb::Trim(request.Form(limit.field))) > limit.most) {
      return limit.message;
    }
  }
  return {};
}

}  // namespace

void lookup::DestinationLookup::LookupDest_UserEvent(const std::string& /*EventName*/) {
  ctx_.write_template("LookupDest");
}

void lookup::DestinationLookup::LookupDest_ProcessTag(const std::string& TagName,
                                                      std::string& TagContents,
                                                      bool& /*SendTags*/) {
  common_tag(TagName, TagContents);
}

void lookup::DestinationLookup::LookupDest_FindDests() {
  db::Recordset rs;
  procedure(
      {"LookupDest_FindDests", "Jaunter", true, true, true},
      [&] {
        if (!session_check()) frame::exit_step();
        if (text::same_text(ctx_.request().Form("btnsubmit"), "New")) {
          results_ = add_form();
          ctx_.write_template("LookupDest");
          frame::exit_step();
        }
        const std::string sql =
            lookup::name_search_sql("SELECT DESTINATION.* FROM DESTINATION", "DESTINATION.DESTDESC",
                                    vb::Trim(ctx_.request().Form("DESTDESC")));
        show_results(
            rs, sql,
            "<table border='1' width='714'><thead><tr><td width='50'><b>Selected</b></td>"
            "<td width='88'><b>Description</b></td><td width='50'><b>Destination</b></td>"
            "<td width='88'><b>Address</b></td><td width='88'><b>Address#2</b></td>"
            "</tr></thead><tbody>",
            [](const db::Recordset& row) {
              const std::string number = lookup::cell(row.field("Destination"));
              return "<tr><td><input type='radio' name='SelDest' value='" + number + "'></td><td>" +
                     lookup::cell(row.field("DESTDESC")) + "</td><td>" + number + "</td><td>" +
                     html_escape(data::NullToStr(row.field("DESTADD1"))) + "</td><td>" +
                     html_escape(data::NullToStr(row.field("DESTADD2"))) + "</td></tr>";
            },
            "LookupDest");
      },
      [&] { close_search(rs); });
}

void lookup::DestinationLookup::LookupDest_RetwSelected() {
  procedure(
      {"LookupDest_RetwSelected"},
      [&] {
        if (!session_check()) frame::exit_step();
        const web::Request& request = ctx_.request();
        const std::string chosen = request.Form("SelDest");
        if (!chosen.empty()) {
          // A value that is no number is refused by the conversion (error 13) before anything
          // changes.
          if (vb::CDbl(chosen) == 0) {
            const std::string refusal = new_destination_refusal(request);
            if (!refusal.empty()) {
              ctx_.response().Write(refusal);
              frame::exit_step();
            }
            set_session(keys::form::kDestination, "0");
            static const std::pair<keys::Key, const char*> typed_in[] = {
                {keys::form::kDestinationName, "DESTDESC"},
                {keys::form::kDestinationCategory, "DESTCAT"},
                {keys::form::kDestinationMiles, "MILES"},
                {keys::form::kDestinationAddress1, "DESTADD1"},
                {keys::form::kDestinationAddress2, "DESTADD2"},
                {keys::form::kDestinationCity, "DESTCITY"},
                {keys::form::kDestinationZip, "DESTZIP"},
                {keys::form::kDestinationInstructions, "DESTSPEC"},
                {keys::form::kDestinationState, "DESTSTATE"}};
            for (const auto& [key, field] : typed_in) set_session(key, request.Form(field));
          } else {
            // A number the request row cannot hold is refused here, before anything changes.
            static_cast<void>(vb::CLng(chosen));
            if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
            request::FieldBuilders& builders = ctx_.get<request::FieldBuilders>();
            const std::string instructions = builders.getdest(chosen);
            ChkEligWeb::CloseTripDBConnections(module_);
            // A failed look-up leaves the form's destination as it was.
            if (!module_.ok()) frame::exit_step();
            set_session(keys::form::kDestination, chosen);
            set_session(keys::form::kDestinationInstructions, instructions);
            set_session(keys::form::kDestinationName, builders.destination().strDestDesc);
            set_session(keys::form::kDestinationAddress1, builders.destination().strDestAdd1);
            set_session(keys::form::kDestinationMiles,
                        vb::CStr(builders.destination().sngDestMiles));
            set_session(keys::form::kDestinationCategory, "");
            set_session(keys::form::kDestinationAddress2, builders.destination().strDestAdd2);
            set_session(keys::form::kDestinationCity, "");
            set_session(keys::form::kDestinationZip, "");
            set_session(keys::form::kDestinationState, "");
          }
        }
        return_to_form();
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
}
