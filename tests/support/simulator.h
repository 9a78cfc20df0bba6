// The in-process request simulator: whole requests through the runtime and the page class, with
// a browser's cookie, a settable clock and a district on disk (databases, trip.ini, registry).
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frame/context.h"
#include "platform/db/db.h"
#include "platform/sys/event_log.h"
#include "platform/sys/mail.h"
#include "platform/sys/registry.h"
#include "platform/web/runtime.h"
#include "tests/support/temp_dir.h"
#include "tests/support/text_checks.h"

namespace testing_support {

// A district on disk: empty databases (every table), a trip.ini and a registry file pointing at
// them. Tests fill the tables through sql().
class District {
 public:
  District();
  const std::string& dir() const { return dir_; }
  std::string registry_path() const { return dir_ + "/jaunter.reg"; }
  // The settings of trip.ini, written again by write_ini().
  std::vector<std::pair<std::string, std::string>> ini = {
      {"CarlinePath", ""},  // filled with dir() unless set
      {"SessionTimeOut", "20"},
      {"DOTNETInstalled", "False"},
      {"CalendarUrl", "http://calendar.example.org/"},
      {"InquiryUrl", "http://inquiry.example.org/"},
      {"SmtpServer", "127.0.0.1"},
      {"SmtpPort", "2525"},
      {"SmtpAuthentication", "False"},
      {"EmailFromAddress", "trips@example.org"},
      {"EmailFromName", "Field Trips"},
  };
  void set_ini(const std::string& key, const std::string& value);
  void remove_ini(const std::string& key);
  void write_ini() const;
  void write_registry(const std::string& ini_dir) const;

  // Runs SQLite statements on "trip", "security" or "request".
  void sql(const std::string& database, const std::string& statements) const;
  void add_district_rows() const;  // District, TRIPREQ_REQUIRED and EMAIL_OPTIONS rows

 private:
  TempDir temp_;
  std::string dir_;
};

struct Result {
  int status = 0;
  std::string body;
  std::string location;  // the Location header of a redirect
};

class Simulator {
 public:
  // Serves the given district with the application directory of the source tree. The district
  // settings load at the first request and are looked at again once per `settings_check`.
  explicit Simulator(const District& district,
                     std::chrono::milliseconds settings_check = std::chrono::hours(24));

  Result get(const std::string& query);
  Result post(const std::string& query,
              const std::vector<std::pair<std::string, std::string>>& form);

  vb::Variant session(const std::string& key) const;
  std::string session_text(const std::string& key) const;
  void set_session(const std::string& key, vb::Variant value);
  bool has_session() const;
  void forget_cookie() { cookie_.clear(); }
  void idle(std::chrono::minutes minutes) { idle_now_ += minutes; }

  vb::Variant application(const std::string& key) const;
  std::string application_text(const std::string& key) const;
  void set_application(const std::string& key, vb::Variant value);

  sys::FixedClock& clock() { return clock_; }
  const sys::Services& services() const { return services_; }
  sys::MemoryEventLog& event_log() { return event_log_; }
  web::Runtime& runtime() { return *runtime_; }
  const std::string& cookie() const { return cookie_; }

 private:
  Result send(web::HttpRequest request);

  sys::FixedClock clock_;
  sys::RegistryFile registry_;
  sys::MemoryEventLog event_log_;
  sys::CurlMailTransport mail_;
  db::ConnectionPool connections_;
  sys::Services services_;
  std::chrono::steady_clock::time_point idle_now_ = std::chrono::steady_clock::now();
  std::unique_ptr<web::Runtime> runtime_;
  std::string cookie_;
};

// Runs a body with a page object of its own, outside any request cycle, for unit tests of
// operations (builders, look-ups): the page sees the simulator's stores.
class PageHarness {
 public:
  explicit PageHarness(Simulator& simulator);
  template <class T>
  T& get() {
    return request_context_->get<T>();
  }
  frame::RequestContext& context() { return *request_context_; }
  std::string output() const { return response_.body(); }

 private:
  Simulator& simulator_;
  web::Request request_;
  web::Response response_;
  std::unique_ptr<web::Context> context_;
  std::unique_ptr<frame::RequestContext> request_context_;
};

// Resets the per-thread paths, as a fresh worker thread would have them.
void reset_thread_paths();

}  // namespace testing_support
