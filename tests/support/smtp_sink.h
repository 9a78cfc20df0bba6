// A local SMTP server for the tests: accepts every message and keeps it.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

struct ReceivedMail {
  std::string from;
  std::vector<std::string> recipients;
  std::string data;  // headers and body as sent, dot-unstuffed
};

class SmtpSink {
 public:
  SmtpSink();  // listens on a free loopback port
  ~SmtpSink();
  SmtpSink(const SmtpSink&) = delete;
  SmtpSink& operator=(const SmtpSink&) = delete;

  int port() const { return port_; }
  std::vector<ReceivedMail> messages() const;
  // Waits up to a few seconds for at least n messages.
  std::vector<ReceivedMail> wait_for(std::size_t n) const;

 private:
  void serve();
  void session(int fd);

  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<ReceivedMail> messages_;
  std::thread thread_;
};

}  // namespace testing_support
