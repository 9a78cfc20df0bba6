// The module state: what the application's modules share within one request.
//
// The module error string and the three connections belong to the request; the data and
// application directories are computed once per worker thread and reused by its later requests.
#pragma once

#include <memory>
#include <string>

#include "platform/db/db.h"
#include "platform/sys/services.h"

namespace frame {

// Per worker thread, across requests.
struct ThreadPaths {
  std::string strTripDataPath;  // directory of the three databases, ending in "/"
  std::string strAppPath;       // the application directory
  // The data directory could not be read: the next request on this thread reads it again
  // instead of keeping the "/" that the failure left.
  bool data_path_failed = false;
};
ThreadPaths& thread_paths();

struct ModuleState {
  explicit ModuleState(const sys::Services& services_in)
      : paths(thread_paths()), services(services_in) {}

  std::string error = "NA";  // the module error string
  ThreadPaths& paths;
  // A connection that is nullptr does not exist: using it is error 91.
  std::unique_ptr<db::Connection> trip, security, request;
  // Texts of the last calendar note read.
  std::string strNoteText, strNoteLongText;
  const sys::Services& services;

  bool ok() const { return error == "NA"; }

  // The open connection, or error 91 when its object does not exist.
  db::Connection& trip_db() const;
  db::Connection& security_db() const;
  db::Connection& request_db() const;
};

}  // namespace frame
