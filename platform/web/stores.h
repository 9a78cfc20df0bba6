// The session and application stores of the web-item runtime.
//
// Design: a store maps keys, matched without regard to case, to variants; an absent key reads as
// Empty. The application store is one map behind a mutex, each read or write one operation.
// Sessions live in the server's memory: a random 128-bit identifier names each one, an idle
// time-out drops it, a bound on the number of live sessions evicts timed-out ones first, then the
// longest idle without a signed-in user, and only then the longest idle signed-in one; a
// per-session mutex lets the runtime serve the requests of one session one at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/text/text.h"
#include "platform/vb/variant.h"

namespace web {

using text::NoCaseLess;

// Keys without regard to case; not synchronised (the owner locks).
class KeyedValues {
 public:
  const vb::Variant& get(std::string_view key) const;  // Empty when absent
  void set(std::string_view key, vb::Variant value);
  bool empty() const { return values_.empty(); }
  void clear() { values_.clear(); }
  const std::map<std::string, vb::Variant, NoCaseLess>& all() const { return values_; }

 private:
  std::map<std::string, vb::Variant, NoCaseLess> values_;
};

class ApplicationStore {
 public:
  vb::Variant get(std::string_view key) const;
  void set(std::string_view key, vb::Variant value);
  std::map<std::string, vb::Variant, NoCaseLess> snapshot() const;

 private:
  mutable std::mutex mutex_;
  KeyedValues values_;
};

// One user's session. The runtime holds `request_mutex` for the whole of a request, so handlers
// read and write `values` without further locking. The store reads the atomics under its own
// lock while a request of the session may be changing them.
struct Session {
  std::string id;
  KeyedValues values;
  std::atomic<int> timeout_minutes{20};
  std::chrono::steady_clock::time_point last_access;
  // A user is signed in, as of the end of the last request; such sessions are evicted last.
  std::atomic<bool> signed_in{false};
  bool abandoned = false;        // drop at the end of the current request
  bool renew_requested = false;  // issue a new identifier at the end of the current request
  std::mutex request_mutex;
};

class SessionStore {
 public:
  using TimeSource = std::function<std::chrono::steady_clock::time_point()>;

  explicit SessionStore(std::size_t max_sessions = 10000, TimeSource now = {});

  // The live session of an identifier, or nullptr when unknown or timed out (a timed-out session
  // is dropped here). Marks it as used now.
  std::shared_ptr<Session> find(std::string_view id);
  // A new session with a fresh identifier; not registered until commit().
  std::shared_ptr<Session> create();
  // Registers a session created by create(), after a request wrote into it.
  void commit(const std::shared_ptr<Session>& session);
  // Gives a registered session a fresh identifier (sign-in); returns the new identifier.
  std::string renew(const std::shared_ptr<Session>& session);
  void remove(std::string_view id);
  // Drops every timed-out session.
  void sweep();
  std::size_t size() const;

  // Tests: the session of an identifier without touching its access time.
  std::shared_ptr<Session> peek(std::string_view id) const;

  static std::string new_identifier();  // 32 hex digits from a random 128-bit value

 private:
  bool expired(const Session& session, std::chrono::steady_clock::time_point now) const;
  void evict_one_locked();

  std::size_t max_sessions_;
  TimeSource now_;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<Session>> sessions_;
};

}  // namespace web
