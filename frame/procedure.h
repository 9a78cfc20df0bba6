// The error convention, once for every procedure.
//
// A procedure with a trap catches run-time failures (vb::RuntimeError) of its own work and of the
// untrapped procedures it calls, replaces the module error string with its report, runs its
// cleanup, and continues at its exit step. The exit step of a web-class procedure writes the
// module error string to the response when it is not "NA". Because the string is never reset
// within a request, every later exit step writes it again; that is the convention, not a fault.
//
// Work returns normally to reach the exit step, or calls exit_step() from anywhere inside it
// (the C++ form of "go to the exit step"). Procedures without a trap let failures pass to their
// caller; a failure that reaches the runtime ends the request with the platform's error page.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "frame/module_state.h"
#include "platform/vb/errors.h"
#include "platform/web/runtime.h"

namespace frame {

enum class ReportStyle {
  Standard,  // "Error: " + number + ".  " + description + "."
  Dash,      // "Error: " + number + " - " + description + "."
};

// Continue at the current procedure's exit step, without a report.
struct ExitStep {};
[[noreturn]] inline void exit_step() {
  throw ExitStep{};
}

struct Procedure {
  const char* name;
  const char* module = "Jaunter";
  bool has_trap = true;
  bool has_exit = true;
  // On error 91 while the module error string already holds a message: no report, the earlier
  // message stays.
  bool keep_earlier_on_91 = false;
  ReportStyle style = ReportStyle::Standard;
  // Text inserted before the final "." of the report ("; strTripDataPath=...").
  std::string suffix = {};
};

// "Error in Procedure: <name> of Module: <module>.  Error: <number>.  <description>." (or the
// " - " form). A description carrying outside text is HTML-escaped.
std::string error_report(const Procedure& procedure, const vb::RuntimeError& error);

// Writes the module error string to the response when it is not "NA" (compared without regard
// to case).
void write_exit(const ModuleState& module, web::Response* response);

// Applies the trap to a caught failure: sets the report (or keeps the earlier message).
void apply_trap(ModuleState& module, const Procedure& procedure, const vb::RuntimeError& error);

template <class Work>
void run(ModuleState& module, web::Response* response, const Procedure& procedure, Work&& work,
         const std::function<void()>& cleanup = {}) {
  try {
    work();
  } catch (const ExitStep&) {
  } catch (const vb::RuntimeError& error) {
    if (!procedure.has_trap) throw;
    apply_trap(module, procedure, error);
    if (cleanup) cleanup();
  }
  if (procedure.has_exit) write_exit(module, response);
}

// A module procedure (ChkEligWeb, mdlApproval, mdlRegistry): a trap and no exit step.
template <class Work>
void run_module(ModuleState& module, Procedure procedure, Work&& work,
                const std::function<void()>& cleanup = {}) {
  procedure.has_exit = false;
  run(module, nullptr, procedure, std::forward<Work>(work), cleanup);
}

}  // namespace frame
