// `jaunter check`: the district's configuration walked link by link the way serve reads it,
// registry → trip.ini → data directory → the three databases, the settings, the mail server and
// the templates, with one line per link: what was found, or the problem and how to fix it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/sys/mail.h"
#include "platform/sys/services.h"

namespace config {

enum class CheckStatus { Ok, Warning, Failed };

struct CheckLine {
  CheckStatus status;
  std::string subject;  // "registry", "trip.ini", "trip.db", "mail server", ...
  std::string detail;   // what was found, or the problem and its fix
};

struct CheckOptions {
  std::string app_dir;                      // the templates and static files
  std::vector<std::string> template_files;  // the item templates serve writes
  // How the mail server is reached; tests replace it.
  std::function<void(const sys::SmtpSettings&)> probe_smtp = sys::probe_smtp;
};

// Every check, in the order serve meets them. A link that fails stops the checks that depend on
// it (no data directory, no database checks) but not the others.
std::vector<CheckLine> check_configuration(const sys::Services& services,
                                           const std::string& registry_path,
                                           const CheckOptions& options);

// For /healthz: "" when the data directory is found and each database opens and answers a
// trivial query; else the first reason it does not.
std::string health_problem(const sys::Services& services);

// "OK      registry: ..." / "WARNING ..." / "FAILED  ...".
std::string format_line(const CheckLine& line);

// The checks serve cannot run without: the templates.
std::vector<CheckLine> check_templates(const CheckOptions& options);

}  // namespace config
