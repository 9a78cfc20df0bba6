// Per-thread paths and the connections of the module state.
#include "frame/module_state.h"

#include "platform/vb/errors.h"

namespace frame {

ThreadPaths& thread_paths() {
  thread_local ThreadPaths paths;
  // A data directory that could not be read is read again by the next request.
  if (paths.data_path_failed) {
    paths.data_path_failed = false;
    paths.strTripDataPath.clear();
  }
  return paths;
}

namespace {
db::Connection& existing(const std::unique_ptr<db::Connection>& connection) {
  if (!connection) throw vb::err::object_not_set();
  return *connection;
}
}  // namespace

db::Connection& ModuleState::trip_db() const {
  return existing(trip);
}
db::Connection& ModuleState::security_db() const {
  return existing(security);
}
db::Connection& ModuleState::request_db() const {
  return existing(request);
}

}  // namespace frame
