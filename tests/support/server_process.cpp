// The jaunter process and the HTTP client of the socket-level tests.
#include "tests/support/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace testing_support {

namespace {

std::string read_all(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  return text;
}

pid_t spawn(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
            int out_fd, int err_fd) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::dup2(out_fd, 1);
  ::dup2(err_fd, 2);
  for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
  std::vector<std::string> copies = args;
  copies.insert(copies.begin(), JAUNTER_BINARY);
  std::vector<char*> argv;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ::execv(JAUNTER_BINARY, argv.data());
  ::_exit(127);
}

}  // namespace

CommandResult run_jaunter(const std::vector<std::string>& args,
                          const std::map<std::string, std::string>& env) {
  int out[2], err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("pipe");
  const pid_t pid = spawn(args, env, out[1], err[1]);
  ::close(out[1]);
  ::close(err[1]);
  CommandResult result;
  std::thread reader([&] { result.err = read_all(err[0]); });
  result.out = read_all(out[0]);
  reader.join();
  for (int fd : {out[0], err[0]}) ::close(fd);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

ServerProcess::ServerProcess(const std::vector<std::string>& extra_args,
                             const std::map<std::string, std::string>& env) {
  int err[2];
  if (::pipe(err) != 0) throw std::runtime_error("pipe");
  const int null_fd = ::open("/dev/null", O_WRONLY);
  std::vector<std::string> args = {"serve", "--port", "0"};
  args.insert(args.end(), extra_args.begin(), extra_args.end());
  pid_ = spawn(args, env, null_fd, err[1]);
  ::close(null_fd);
  ::close(err[1]);
  err_fd_ = err[0];
  // The start line names the bound port: "jaunter: serving http://127.0.0.1:PORT/Jaunter.ASP".
  std::string seen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (port_ == 0 && std::chrono::steady_clock::now() < deadline) {
    pollfd fd{err_fd_, POLLIN, 0};
    if (::poll(&fd, 1, 200) <= 0) continue;
    char buffer[512];
    const ssize_t n = ::read(err_fd_, buffer, sizeof buffer);
    if (n <= 0) break;
    seen.append(buffer, static_cast<std::size_t>(n));
    const std::size_t at = seen.find("serving http://");
    const std::size_t colon = seen.find(':', at + 15), slash = seen.find('/', colon);
    if (at != std::string::npos && slash != std::string::npos) {
      port_ = std::stoi(seen.substr(colon + 1, slash - colon - 1));
    }
  }
  if (port_ == 0) {
    stop();
    throw std::runtime_error("jaunter serve did not start: " + seen);
  }
  // Keep draining the log so that the server never blocks on a full pipe.
  std::thread([fd = err_fd_] { read_all(fd); }).detach();
}

int ServerProcess::stop() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  bool exited = false;
  for (int i = 0; i < 100 && !exited; ++i) {
    exited = ::waitpid(pid_, &status, WNOHANG) == pid_;
    if (!exited) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!exited) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
  }
  pid_ = -1;
  return exited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

HttpReply http_request(int port, const std::string& method, const std::string& target,
                       const std::string& body, const std::string& cookie,
                       const std::string& content_type, const std::string& extra_headers) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot connect to port " + std::to_string(port));
  }
  std::string request = method + " " + target +
                        " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                        "\r\nConnection: close\r\n" + extra_headers;
  if (!cookie.empty()) request += "Cookie: " + cookie + "\r\n";
  if (method == "POST") {
    request += "Content-Type: " + content_type +
               "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  }
  request += "\r\n" + body;
  for (std::size_t sent = 0; sent < request.size();) {
    const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  const std::string raw = read_all(fd);
  ::close(fd);
  HttpReply reply;
  const std::size_t head_end = raw.find("\r\n\r\n");
  if (head_end == std::string::npos) return reply;
  reply.status = std::stoi(raw.substr(9, 3));
  for (std::size_t line = raw.find("\r\n"); line < head_end; line = raw.find("\r\n", line + 2)) {
    const std::string header = raw.substr(line + 2, raw.find("\r\n", line + 2) - line - 2);
    const std::size_t colon = header.find(':');
    std::string name = header.substr(0, colon);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (colon != std::string::npos)
      reply.headers[name] = header.substr(header.find_first_not_of(' ', colon + 1));
  }
  reply.body = raw.substr(head_end + 4);
  return reply;
}

}  // namespace testing_support
