// The application's web class: its items with their handlers, and the start-up.
#pragma once

#include <memory>

#include "config/settings.h"
#include "platform/sys/services.h"
#include "platform/web/runtime.h"

namespace frame {

// `settings`, when given, is shared with the server, which loads them as it starts; without it
// the web class keeps its own, looked at every two seconds.
web::WebClassDef web_class(const sys::Services& services,
                           std::shared_ptr<config::SettingsWatcher> settings = nullptr);

}  // namespace frame
