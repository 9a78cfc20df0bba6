// WebClass_Start: loads the district-wide settings into the application store and hands over to
// the login page.
#include "config/ChkEligWeb.h"
#include "frame/Jaunter.h"
#include "frame/settings.h"

void Jaunter::WebClass_Start() {
  procedure(
      {"WebClass_Start"},
      [&] {
        frame::ThreadPaths& paths = module_.paths;
        ctx_.set_application("DISTNAME", "");
        const std::string app_path = ctx_.request().ServerVariables("APPL_PHYSICAL_PATH");
        if (paths.strAppPath.empty()) paths.strAppPath = app_path;
        ctx_.set_application("APP_PATH", app_path);
        if (paths.strAppPath.empty()) paths.strAppPath = application_text("APP_PATH");
        if (paths.strTripDataPath.empty()) {
          ChkEligWeb::SetTripPaths(module_);
          if (!module_.ok()) frame::exit_step();
        }
        ChkEligWeb::SetTripDBConnections(module_);
        if (!module_.ok()) frame::exit_step();
        frame::load_settings(module_, [this](std::string_view key, vb::Variant value) {
          ctx_.set_application(key, std::move(value));
        });
        ChkEligWeb::CloseTripDBConnections(module_);
        ctx_.set_next_item("Login");
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
}
