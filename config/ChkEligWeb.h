// ChkEligWeb: the settings of trip.ini, the data directory and the three database connections.
// Its procedures report through the module error string and never write to the response.
#pragma once

#include <cstdint>
#include <string>

#include "frame/context.h"
#include "frame/module_state.h"

namespace ChkEligWeb {

// The registry key whose value "INIPath" names the directory of trip.ini, and the file's section.
inline constexpr const char* kRegistryKey =
    "Software\\Quillmark Software, Inc.\\Carline Transport Manager - Field Trip";
inline constexpr const char* kSection = "Carline Options";

// The text of `key` in `section` of the INI file `file` (a full path), at most 255 characters.
// A missing file, section or key, or an empty value, leaves the "Error reading " message in the
// module error string and gives the empty text.
std::string INIGetSettingString(frame::ModuleState& module, const std::string& section,
                                const std::string& key, const std::string& file,
                                const std::string& default_value);

// `key` of section "Carline Options" of trip.ini in the directory that the registry names.
std::string GetTripSetting(frame::ModuleState& module, const std::string& key);

// The start-up's settings. GetSessionTimeOut raises (vb::RuntimeError) when the text is not a
// whole number in range; the failure belongs to the caller's trap.
std::int16_t GetSessionTimeOut(frame::ModuleState& module);
bool GetDOTNETInstalled(frame::ModuleState& module);  // "TRUE" in any letter case
std::string GetCalendarUrl(frame::ModuleState& module);
std::string GetInquiryUrl(frame::ModuleState& module);
std::string GetSmtpServer(frame::ModuleState& module);
std::string GetSmtpPort(frame::ModuleState& module);
bool GetSmtpAuthentication(frame::ModuleState& module);  // exactly "True"
std::string GetSmtpUsername(frame::ModuleState& module);
std::string GetSmtpPassword(frame::ModuleState& module);
std::string GetEmailFromAddress(frame::ModuleState& module);
std::string GetEmailFromName(frame::ModuleState& module);

// Sets module.paths.strTripDataPath from CarlinePath, ending in "/".
void SetTripPaths(frame::ModuleState& module);
// Opens trip.db, qsclsc1.db and Tripschl.db of the data directory into module.trip, security and
// request, stopping at the first that fails.
void SetTripDBConnections(frame::ModuleState& module);
// Closes and releases the open connections; a connection that no longer exists ends it quietly.
void CloseTripDBConnections(frame::ModuleState& module);

// The data directory when not yet known, then the three connections. False when the module
// error string is set afterwards.
bool OpenConnections(frame::ModuleState& module);
// The paths of the database preparation: the application path from the application key APP_PATH
// and the data directory, each when not yet known. False when the module error string is set.
bool PreparePaths(frame::RequestContext& context);
// The database preparation of a handler: the paths, then the three connections. False when the
// module error string is set afterwards.
bool PrepareDatabase(frame::RequestContext& context);

}  // namespace ChkEligWeb
