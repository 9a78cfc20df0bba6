// The error reports, the trap and the exit step.
#include "frame/procedure.h"

#include "platform/vb/conversions.h"

namespace frame {

std::string error_report(const Procedure& procedure, const vb::RuntimeError& error) {
  const std::string description =
      error.outside_text() ? web::html_escape(error.description()) : error.description();
  std::string report = "Error in Procedure: ";
  report += procedure.name;
  report += " of Module: ";
  report += procedure.module;
  report += ".  Error: ";
  report += std::to_string(error.number());
  report += procedure.style == ReportStyle::Dash ? " - " : ".  ";
  report += description;
  report += procedure.suffix;
  report += ".";
  return report;
}

void apply_trap(ModuleState& module, const Procedure& procedure, const vb::RuntimeError& error) {
  if (procedure.keep_earlier_on_91 && error.number() == vb::err::kObjectNotSet &&
      !text::same_text(module.error, "NA")) {
    return;
  }
  module.error = error_report(procedure, error);
}

void write_exit(const ModuleState& module, web::Response* response) {
  if (response && !text::same_text(module.error, "NA")) response->Write(module.error);
}

}  // namespace frame
