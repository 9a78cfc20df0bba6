// ChkEligWeb: registry -> trip.ini -> data directory -> the three connections.
#include "config/ChkEligWeb.h"

#include <memory>

#include "config/mdlRegistry.h"
#include "data/schema.h"
#include "frame/procedure.h"
#include "platform/sys/ini.h"
#include "platform/vb/conversions.h"
#include "platform/vb/errors.h"

namespace ChkEligWeb {
namespace {

// The number the INI reader raises when it finds nothing; its trap turns it into the
// "Error reading " message instead of the usual report.
constexpr long kSettingNotRead = 8;

void end_with_separator(std::string& directory) {
  if (directory.empty() || directory.back() != '/') directory += '/';
}

// The INI directory steps: the registry's INIPath ("MULTIPLE" is the application directory),
// ending in "/", plus the file name. The registry is read on every call.
std::string trip_ini_file(frame::ModuleState& module) {
  std::string directory = vb::CStr(mdlRegistry::RegistryGetKeyValue(
      module, mdlRegistry::HKEY_LOCAL_MACHINE, kRegistryKey, "INIPath"));
  if (vb::UCase(directory) == "MULTIPLE") directory = module.paths.strAppPath;
  end_with_separator(directory);
  return directory + "trip.ini";
}

}  // namespace

std::string INIGetSettingString(frame::ModuleState& module, const std::string& section,
                                const std::string& key, const std::string& file,
                                const std::string& default_value) {
  std::string result;
  frame::run_module(
      module,
      {.name = "INIGetSettingString", .module = "ChkEligWeb", .style = frame::ReportStyle::Dash},
      [&] {
        try {
          std::string buffer = sys::get_private_profile_string(section, key, default_value, file,
                                                               /*buffer_size=*/256);
          if (buffer.empty()) throw vb::RuntimeError(kSettingNotRead, "Error reading " + file);
          result = std::move(buffer);
        } catch (const vb::RuntimeError& error) {
          if (error.number() != kSettingNotRead) throw;
          module.error =
              "Error in Procedure: INIGetSettingString of Module: ChkEligWeb.  Error reading " +
              file + ", " + section + " - " + key +
              ".  Please make sure the appropriate user has permissions to read this "
              "file and that the lastest version of the ini file is in the correct "
              "path.  Contact the transportation webmaster.";
        }
      });
  return result;
}

std::string GetTripSetting(frame::ModuleState& module, const std::string& key) {
  return INIGetSettingString(module, kSection, key, trip_ini_file(module), "");
}

std::int16_t GetSessionTimeOut(frame::ModuleState& module) {
  return vb::CInt(vb::Variant(GetTripSetting(module, "SessionTimeOut")));
}

bool GetDOTNETInstalled(frame::ModuleState& module) {
  return vb::UCase(GetTripSetting(module, "DOTNETInstalled")) == "TRUE";
}

std::string GetCalendarUrl(frame::ModuleState& module) {
  return GetTripSetting(module, "CalendarUrl");
}

std::string GetInquiryUrl(frame::ModuleState& module) {
  return GetTripSetting(module, "InquiryUrl");
}

std::string GetSmtpServer(frame::ModuleState& module) {
  return GetTripSetting(module, "SmtpServer");
}

std::string GetSmtpPort(frame::ModuleState& module) {
  return GetTripSetting(module, "SmtpPort");
}

bool GetSmtpAuthentication(frame::ModuleState& module) {
  return GetTripSetting(module, "SmtpAuthentication") == "True";
}

std::string GetSmtpUsername(frame::ModuleState& module) {
  return GetTripSetting(module, "SmtpUsername");
}

std::string GetSmtpPassword(frame::ModuleState& module) {
  return GetTripSetting(module, "SmtpPassword");
}

std::string GetEmailFromAddress(frame::ModuleState& module) {
  return GetTripSetting(module, "EmailFromAddress");
}

std::string GetEmailFromName(frame::ModuleState& module) {
  return GetTripSetting(module, "EmailFromName");
}

void SetTripPaths(frame::ModuleState& module) {
  frame::run_module(
      module, {.name = "SetTripPaths", .module = "SetTripPaths", .style = frame::ReportStyle::Dash},
      [&] {
        // Until the directory is known, this thread's next request must read it again rather
        // than keep the "/" a failure leaves (the frame clears the path when the flag is set).
        module.paths.data_path_failed = true;
        std::string file = trip_ini_file(module);
        std::string directory = INIGetSettingString(module, kSection, "CarlinePath", file, "");
        module.paths.data_path_failed = directory.empty();
        end_with_separator(directory);
        module.paths.strTripDataPath = directory;
      });
}

void SetTripDBConnections(frame::ModuleState& module) {
  const std::string& directory = module.paths.strTripDataPath;
  db::ConnectionPool* pool = module.services.connections;
  const auto open = [pool](db::Connection& connection, const std::string& path) {
    if (pool) {
      connection.open(path, *pool);
    } else {
      connection.open(path);
    }
  };
  frame::run_module(module,
                    {.name = "SetTripDBConnections",
                     .module = "ChkEligWeb",
                     .style = frame::ReportStyle::Dash,
                     .suffix = "; strTripDataPath=" + directory},
                    [&] {
                      // All three are replaced before any is opened, so a failure leaves the
                      // later ones existing but closed.
                      module.trip = std::make_unique<db::Connection>();
                      module.security = std::make_unique<db::Connection>();
                      module.request = std::make_unique<db::Connection>();
                      open(*module.trip, directory + "trip.db");
                      open(*module.security, directory + "qsclsc1.db");
                      open(*module.request, directory + "Tripschl.db");
                      data::add_missing_indexes(*module.trip, data::kTripDatabase);
                      data::add_missing_indexes(*module.request, data::kRequestDatabase);
                    });
}

void CloseTripDBConnections(frame::ModuleState& module) {
  frame::run_module(
      module,
      {.name = "CloseTripDBConnections", .module = "ChkEligWeb", .style = frame::ReportStyle::Dash},
      [&] {
        try {
          for (std::unique_ptr<db::Connection>* connection :
               {&module.trip, &module.security, &module.request}) {
            if (!*connection) throw vb::err::object_not_set();
            if ((*connection)->is_open()) {
              (*connection)->close();
              connection->reset();
            }
          }
        } catch (const vb::RuntimeError& error) {
          // A connection already gone ends the closing quietly, leaving the rest as they are.
          if (error.number() != vb::err::kObjectNotSet) throw;
        }
      });
}

bool OpenConnections(frame::ModuleState& module) {
  if (module.paths.strTripDataPath.empty()) SetTripPaths(module);
  if (!module.ok()) return false;
  SetTripDBConnections(module);
  return module.ok();
}

bool PreparePaths(frame::RequestContext& context) {
  frame::ModuleState& module = context.module();
  if (module.paths.strAppPath.empty()) {
    module.paths.strAppPath = context.application_text("APP_PATH");
  }
  if (module.paths.strTripDataPath.empty()) SetTripPaths(module);
  return module.ok();
}

bool PrepareDatabase(frame::RequestContext& context) {
  frame::ModuleState& module = context.module();
  if (module.paths.strAppPath.empty()) {
    module.paths.strAppPath = context.application_text("APP_PATH");
  }
  return OpenConnections(module);
}

}  // namespace ChkEligWeb
