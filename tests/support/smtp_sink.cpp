// The SMTP sink: each connection on a thread of its own, the few commands a client needs.
#include "tests/support/smtp_sink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <vector>

#include "platform/text/text.h"

namespace testing_support {

namespace {

bool send_line(int fd, const std::string& line) {
  const std::string text = line + "\r\n";
  return ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
}

// Reads one CRLF line; false at the end of the connection or after 5 s of silence (a client gone
// silent cannot hold the sink's end).
bool read_line(int fd, std::string& buffer, std::string& line) {
  for (;;) {
    const std::size_t end = buffer.find("\r\n");
    if (end != std::string::npos) {
      line = buffer.substr(0, end);
      buffer.erase(0, end + 2);
      return true;
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) return false;
    char chunk[4096];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    buffer.append(chunk, static_cast<std::size_t>(n));
  }
}

std::string between_brackets(const std::string& text) {
  const std::size_t open = text.find('<'), close = text.find('>');
  if (open == std::string::npos || close == std::string::npos || close < open) return text;
  return text.substr(open + 1, close - open - 1);
}

}  // namespace

SmtpSink::SmtpSink() {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  int yes = 1;
  ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listen_fd_, 8) != 0) {
    throw std::runtime_error("the SMTP sink cannot listen");
  }
  socklen_t length = sizeof address;
  ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { serve(); });
}

SmtpSink::~SmtpSink() {
  stopping_ = true;
  ::shutdown(listen_fd_, SHUT_RDWR);
  ::close(listen_fd_);
  thread_.join();
}

void SmtpSink::serve() {
  // Sessions run side by side: taken one after another, twenty servers mailing at once would
  // wait past their mail time-out for the greeting on a busy machine.
  std::vector<std::thread> sessions;
  while (!stopping_) {
    pollfd p{listen_fd_, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    const int fd = ::accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) continue;
    sessions.emplace_back([this, fd] {
      session(fd);
      ::close(fd);
    });
  }
  for (std::thread& session : sessions) session.join();
}

void SmtpSink::session(int fd) {
  std::string buffer, line;
  ReceivedMail mail;
  send_line(fd, "220 sink ready");
  while (read_line(fd, buffer, line)) {
    const std::string command = text::upper_ascii(line.substr(0, line.find(' ')));
    if (command == "EHLO") {
      send_line(fd, "250-sink");
      send_line(fd, "250 AUTH PLAIN LOGIN");
    } else if (command == "HELO") {
      send_line(fd, "250 sink");
    } else if (command == "AUTH") {  // any credentials will do
      send_line(fd, "235 accepted");
    } else if (command == "MAIL") {
      mail = ReceivedMail{};
      mail.from = between_brackets(line);
      send_line(fd, "250 OK");
    } else if (command == "RCPT") {
      mail.recipients.push_back(between_brackets(line));
      send_line(fd, "250 OK");
    } else if (command == "DATA") {
      send_line(fd, "354 go ahead");
      while (read_line(fd, buffer, line) && line != ".") {
        mail.data += (line.rfind("..", 0) == 0 ? line.substr(1) : line) + "\r\n";
      }
      {
        std::lock_guard lock(mutex_);
        messages_.push_back(mail);
      }
      send_line(fd, "250 queued");
    } else if (command == "QUIT") {
      send_line(fd, "221 bye");
      return;
    } else {
      send_line(fd, "250 OK");
    }
  }
}

std::vector<ReceivedMail> SmtpSink::messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

std::vector<ReceivedMail> SmtpSink::wait_for(std::size_t n) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    std::vector<ReceivedMail> got = messages();
    if (got.size() >= n || std::chrono::steady_clock::now() > deadline) return got;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace testing_support
