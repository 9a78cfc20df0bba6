// The operating system's application event log: the system log, identity "jaunter".
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

class EventLog {
 public:
  virtual ~EventLog() = default;
  virtual void write(std::string_view caption, std::string_view text) = 0;
};

class SysLog : public EventLog {
 public:
  void write(std::string_view caption, std::string_view text) override;
};

// Keeps what was written; for tests.
class MemoryEventLog : public EventLog {
 public:
  void write(std::string_view caption, std::string_view text) override {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::string(caption) + ": " + std::string(text));
  }
  std::vector<std::string> entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> entries_;
};

}  // namespace sys
