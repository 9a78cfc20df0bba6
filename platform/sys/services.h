// The platform services the application reaches besides the web runtime and the databases.
// The server builds the production set; tests build their own.
#pragma once

#include "platform/sys/clock.h"
#include "platform/sys/event_log.h"
#include "platform/sys/mail.h"
#include "platform/sys/registry.h"

namespace db {
class ConnectionPool;
}

namespace sys {

struct Services {
  const Clock* clock = nullptr;
  const Registry* registry = nullptr;
  EventLog* event_log = nullptr;
  const MailTransport* mail = nullptr;
  // Where requests leave their database handles for the next ones; none: each opens afresh.
  db::ConnectionPool* connections = nullptr;
};

}  // namespace sys
