// The district-wide settings of the application store: trip.ini's settings, the District row and
// the TRIPREQ_REQUIRED row, and the watcher that keeps them loaded without the start page.
//
// Design note: the start page reloads every setting on each visit, but a server that has just
// started, or whose trip.ini or district rows changed since, must not serve pages with missing
// or stale settings (a save would skip the lead time and the required fields, and every mail
// would be "misconfigured"). The watcher loads them at the first request (or when the server
// starts) and then, at most once per interval, computes them again and writes the keys whose
// sources changed; a key set by hand keeps its value until its source changes. Values are
// computed before any is written, so readers never see a setting blanked for a moment.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "frame/context.h"
#include "frame/module_state.h"
#include "platform/vb/variant.h"

namespace config {

// Writes one application key.
using SettingWriter = std::function<void(std::string_view key, vb::Variant value)>;

// WebClass_Start: a request that names no item loads the settings into the application store
// and hands over to the login page.
void WebClass_Start(frame::RequestContext& context);

// Writes the settings in the start-up's order, from SESSION_TIMEOUT to the last
// TRIP_REQ_REQUIRED key. Needs the trip connection open. The readers leave their "Error reading"
// messages in module.error; a SessionTimeOut that is no whole number raises vb::RuntimeError.
void load_settings(frame::ModuleState& module, const SettingWriter& write);

class SettingsWatcher {
 public:
  SettingsWatcher(const sys::Services& services, std::chrono::milliseconds interval);

  // Loads the settings when they never were, else at most once per interval writes those whose
  // sources changed. `app_path` is the application directory ending in "/". Never throws: a
  // configuration that cannot be read leaves the store as it is (the start page reports why).
  void refresh(const std::string& app_path, const SettingWriter& write);

  // The reason the last load failed, empty when it succeeded.
  std::string last_failure() const;

 private:
  bool load(const std::string& app_path, const SettingWriter& write);

  const sys::Services& services_;
  const std::chrono::milliseconds interval_;
  mutable std::mutex mutex_;  // held while loading
  std::atomic<bool> attempted_{false};
  std::atomic<std::int64_t> next_check_{0};  // steady-clock ticks
  std::map<std::string, vb::Variant> last_values_;
  std::string last_failure_;
};

}  // namespace config
