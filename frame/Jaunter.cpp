// The page class: construction, dispatch of items and events to the handlers, and the helpers
// every handler shares.
#include "frame/Jaunter.h"

#include <stdexcept>

#include "config/ChkEligWeb.h"
#include "platform/vb/conversions.h"

namespace {

using RespondHandler = void (Jaunter::*)();
using UserEventHandler = void (Jaunter::*)(const std::string&);
using TagHandler = void (Jaunter::*)(const std::string&, std::string&, bool&);
using EventHandler = void (Jaunter::*)();

struct ItemHandlers {
  const char* name;
  const char* template_file;
  RespondHandler respond;       // nullptr: the item has no _Respond
  UserEventHandler user_event;  // nullptr: the item has no _UserEvent
  TagHandler process_tag;
  std::vector<std::pair<const char*, EventHandler>> events;
};

const std::vector<ItemHandlers>& item_table() {
  static const std::vector<ItemHandlers> items = {
      {"Login",
       "login1.htm",
       &Jaunter::Login_Respond,
       nullptr,
       &Jaunter::Login_ProcessTag,
       {{"LoginValidateUser", &Jaunter::Login_LoginValidateUser}}},
      {"Logout", "logOut1.htm", &Jaunter::Logout_Respond, nullptr, &Jaunter::Logout_ProcessTag, {}},
      {"LookupCust",
       "LookupCust1.htm",
       nullptr,
       &Jaunter::LookupCust_UserEvent,
       &Jaunter::LookupCust_ProcessTag,
       {{"FindCusts", &Jaunter::LookupCust_FindCusts},
        {"RetwSelected", &Jaunter::LookupCust_RetwSelected}}},
      {"LookupDest",
       "LookupDest1.htm",
       nullptr,
       &Jaunter::LookupDest_UserEvent,
       &Jaunter::LookupDest_ProcessTag,
       {{"FindDests", &Jaunter::LookupDest_FindDests},
        {"RetwSelected", &Jaunter::LookupDest_RetwSelected}}},
      {"LookupFund",
       "LookupFund1.htm",
       nullptr,
       &Jaunter::LookupFund_UserEvent,
       &Jaunter::LookupFund_ProcessTag,
       {{"FindFunds", &Jaunter::LookupFund_FindFunds},
        {"RetwSelected", &Jaunter::LookupFund_RetwSelected}}},
      {"PrintReport",
       "PrintReport1.htm",
       &Jaunter::PrintReport_Respond,
       nullptr,
       &Jaunter::PrintReport_ProcessTag,
       {{"PrintReport", &Jaunter::PrintReport_PrintReport}}},
      {"RequestDetail",
       "TripRequestDetail1.htm",
       &Jaunter::RequestDetail_Respond,
       &Jaunter::RequestDetail_UserEvent,
       &Jaunter::RequestDetail_ProcessTag,
       {{"TripRequestDetail", &Jaunter::RequestDetail_TripRequestDetail}}},
      {"RequestSearch",
       "TripRequestSearch1.htm",
       &Jaunter::RequestSearch_Respond,
       nullptr,
       &Jaunter::RequestSearch_ProcessTag,
       {{"Navigate", &Jaunter::RequestSearch_Navigate},
        {"TripRequests", &Jaunter::RequestSearch_TripRequests}}},
      {"TripReport1",
       "TripReport11.htm",
       &Jaunter::TripReport1_Respond,
       nullptr,
       &Jaunter::TripReport1_ProcessTag,
       {{"TripReport1", &Jaunter::TripReport1_TripReport1}}},
      {"TripReport2",
       "TripReport21.htm",
       &Jaunter::TripReport2_Respond,
       nullptr,
       &Jaunter::TripReport2_ProcessTag,
       {{"TripReport2", &Jaunter::TripReport2_TripReport2}}},
      {"TripRequestDetailPrint",
       "TripRequestDetailPrint1.htm",
       &Jaunter::TripRequestDetailPrint_Respond,
       nullptr,
       &Jaunter::TripRequestDetailPrint_ProcessTag,
       {}},
      {"TripRequestReport1",
       "TripRequestReport11.htm",
       &Jaunter::TripRequestReport1_Respond,
       nullptr,
       &Jaunter::TripRequestReport1_ProcessTag,
       {{"TripRequestReport1", &Jaunter::TripRequestReport1_TripRequestReport1}}},
      {"TripRequestReport2",
       "TripRequestReport21.htm",
       &Jaunter::TripRequestReport2_Respond,
       nullptr,
       &Jaunter::TripRequestReport2_ProcessTag,
       {{"TripRequestReport2", &Jaunter::TripRequestReport2_TripRequestReport2}}},
      {"TripSearch",
       "TripSearch1.htm",
       &Jaunter::TripSearch_Respond,
       nullptr,
       &Jaunter::TripSearch_ProcessTag,
       {{"FieldTrips", &Jaunter::TripSearch_FieldTrips}}},
      {"TripSummaryReport",
       "TripSummaryReport1.htm",
       &Jaunter::TripSummaryReport_Respond,
       nullptr,
       &Jaunter::TripSummaryReport_ProcessTag,
       {{"TripSummaryReport", &Jaunter::TripSummaryReport_TripSummaryReport}}},
  };
  return items;
}

// The runtime hands over the item name as the table spells it.
const ItemHandlers& handlers_of(const std::string& item) {
  for (const ItemHandlers& handlers : item_table()) {
    if (item == handlers.name) return handlers;
  }
  throw std::logic_error("unknown web item " + item);
}

}  // namespace

Jaunter::Jaunter(web::Context& context, const sys::Services& services,
                 frame::SettingsWatcher* settings)
    : ctx_(context), module_(services), settings_(settings) {}

void Jaunter::initialize() {
  if (settings_) {
    settings_->refresh(ctx_.request().ServerVariables("APPL_PHYSICAL_PATH"),
                       [this](std::string_view key, vb::Variant value) {
                         ctx_.set_application(key, std::move(value));
                       });
  }
  WebClass_Initialize();
}

web::WebClassDef Jaunter::web_class(const sys::Services& services,
                                    std::shared_ptr<frame::SettingsWatcher> settings) {
  if (!settings) {
    settings = std::make_shared<frame::SettingsWatcher>(services, std::chrono::seconds(2));
  }
  web::WebClassDef def;
  def.host_page = "Jaunter.ASP";
  def.user_key = "USER";
  for (const ItemHandlers& handlers : item_table()) {
    web::ItemDef item;
    item.name = handlers.name;
    item.template_file = handlers.template_file;
    item.has_respond = handlers.respond != nullptr;
    for (const auto& event : handlers.events) item.custom_events.emplace_back(event.first);
    def.items.push_back(std::move(item));
  }
  def.make_page = [&services, settings](web::Context& context) {
    return std::make_unique<Jaunter>(context, services, settings.get());
  };
  return def;
}

void Jaunter::respond(const std::string& item) {
  const ItemHandlers& handlers = handlers_of(item);
  if (handlers.respond) (this->*handlers.respond)();
}

void Jaunter::custom_event(const std::string& item, const std::string& event) {
  for (const auto& [name, handler] : handlers_of(item).events) {
    if (event == name) return (this->*handler)();
  }
}

void Jaunter::user_event(const std::string& item, const std::string& event_name) {
  const ItemHandlers& handlers = handlers_of(item);
  if (handlers.user_event) (this->*handlers.user_event)(event_name);
}

void Jaunter::process_tag(const std::string& item, const std::string& tag_name,
                          std::string& tag_contents, bool& send_tags) {
  (this->*handlers_of(item).process_tag)(tag_name, tag_contents, send_tags);
}

// ---- Web class events ------------------------------------------------------------------------

void Jaunter::WebClass_Initialize() {
  module_.error = "NA";
  search.blnReqAutofill = true;
  trip_search.blnTripAutofill = true;
  session_check_state.strTimeoutMessage.clear();
}

// ---- Shared helpers ------------------------------------------------------------------------

void Jaunter::procedure(const frame::Procedure& definition, const std::function<void()>& work,
                        const std::function<void()>& cleanup) {
  frame::run(module_, &ctx_.response(), definition, work, cleanup);
}

bool Jaunter::session_check() {
  if (!session_text("USER").empty()) return true;
  session_check_state.strTimeoutMessage = session::kTimeoutMessage;
  ctx_.set_next_item("Logout");
  return false;
}

bool Jaunter::prepare_database() {
  if (module_.paths.strAppPath.empty()) module_.paths.strAppPath = application_text("APP_PATH");
  if (module_.paths.strTripDataPath.empty()) ChkEligWeb::SetTripPaths(module_);
  if (!module_.ok()) return false;
  ChkEligWeb::SetTripDBConnections(module_);
  return module_.ok();
}

std::string Jaunter::session_text(std::string_view key) const {
  const vb::Variant value = ctx_.session(key);
  if (value.is_null()) return {};
  return vb::CStr(value);
}

std::string Jaunter::application_text(std::string_view key) const {
  const vb::Variant value = ctx_.application(key);
  if (value.is_null()) return {};
  return vb::CStr(value);
}

bool Jaunter::district_header_tag(const std::string& tag_name, std::string& tag_contents) const {
  static const std::pair<const char*, const char*> tags[] = {{"WC@NAME", "DISTNAME"},
                                                             {"WC@ADDR1", "DISTADDR1"},
                                                             {"WC@CITYSTZIP", "DISTCITYSTZIP"},
                                                             {"WC@PHONE", "DISTPHONE"}};
  for (const auto& [tag, key] : tags) {
    if (text::same_text(tag_name, tag)) {
      tag_contents = web::html_escape(application_text(key));
      return true;
    }
  }
  return false;
}

void Jaunter::not_yet_available(std::string_view what) {
  ctx_.response().Write(
      "<!DOCTYPE html><html lang='en'><head><meta charset='utf-8'>"
      "<meta name='viewport' content='width=device-width, initial-scale=1'>"
      "<title>Not yet available</title><link rel='stylesheet' href='jaunter.css'></head>"
      "<body><main class='page'><h1>Not yet available</h1><p>");
  ctx_.response().Write(web::html_escape(what));
  ctx_.response().Write(
      " is not yet available in this version of Jaunter.</p>"
      "<p><a href='Jaunter.ASP'>Back to the start</a></p></main></body></html>");
}
