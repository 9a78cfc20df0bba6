// A real `jaunter` process for the socket-level tests, and a small HTTP client to talk to it.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct CommandResult {
  int exit_code = -1;
  std::string out, err;
};

// Runs the jaunter program with the arguments and environment additions; waits for it.
CommandResult run_jaunter(const std::vector<std::string>& args,
                          const std::map<std::string, std::string>& env = {});

// `jaunter serve --port 0 ...` in the background; the port is read from its start line.
class ServerProcess {
 public:
  ServerProcess(const std::vector<std::string>& extra_args,
                const std::map<std::string, std::string>& env);
  ~ServerProcess() { stop(); }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  int port() const { return port_; }
  // Sends SIGTERM, waits (then SIGKILL if it does not stop); returns the exit code.
  int stop();

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  int err_fd_ = -1;
};

struct HttpReply {
  int status = 0;
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
};

// One request on a new connection (Connection: close); `extra_headers` are whole lines, each
// ending in "\r\n".
HttpReply http_request(int port, const std::string& method, const std::string& target,
                       const std::string& body = "", const std::string& cookie = "",
                       const std::string& content_type = "application/x-www-form-urlencoded",
                       const std::string& extra_headers = "");

}  // namespace testing_support
