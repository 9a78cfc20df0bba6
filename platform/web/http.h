// Plain HTTP requests and responses as the web-item runtime sees them, and the server that carries
// them (a thin wrapper of libmicrohttpd).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace web {

struct HttpRequest {
  std::string method;           // "GET", "POST", ...
  std::string path;             // decoded path, without the query ("/Jaunter.ASP")
  std::string query;            // raw query string after "?", still URL-encoded ("WCI=Login&WCE=")
  std::string content_type;     // the Content-Type header, or ""
  std::string cookie;           // the Cookie header, or ""
  std::string body;             // the request body (bounded by the server's body cap)
  std::string remote;           // client address, for the log
  std::string host;             // the Host header, or ""
  std::string origin;           // the Origin header, or ""
  std::string referer;          // the Referer header, or ""
  std::string accept;           // the Accept header, or ""
  std::string forwarded_proto;  // the X-Forwarded-Proto header, or ""
};

struct HttpResponse {
  int status = 200;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;

  void set_header(std::string name, std::string value);
  const std::string* header(std::string_view name) const;  // first header of that name
};

// A numeric IPv4 or IPv6 address (brackets allowed) in one spelling, so that two spellings of
// one address compare equal; an IPv4 address mapped into IPv6 reads as the IPv4 one. Empty when
// the text is not such an address.
std::string canonical_address(std::string_view text);

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

struct HttpServerOptions {
  std::string bind = "127.0.0.1";
  std::uint16_t port = 8080;  // 0 picks a free port
  // Connections served at once, in all.
  unsigned max_connections = 256;
  // 0: `max_running` polling threads read and write the connections, and as many threads make
  // the pages in the order they came, a page that waited `longest_turn_wait` getting a thread of
  // its own (so that a slow page never stops anyone else). N: N polling threads and N page
  // threads, and a page waits for one however long. Either way reading pages learnt to be quick
  // are made on the polling thread at once (see request_queue.h).
  unsigned worker_threads = 0;
  // With `worker_threads` 0. 0 here: default_max_running() threads, and a page that finds
  // them all busy gets a thread of its own at once.
  unsigned max_running = 0;
  std::chrono::milliseconds longest_turn_wait{250};
  // As many as in all: behind a proxy every connection comes from the proxy's one address.
  unsigned max_connections_per_ip = 256;
  unsigned connection_timeout_seconds = 30;
  std::size_t max_body_bytes = 1 << 20;  // larger bodies are refused with 413
  bool access_log = true;                // one line per request on stderr
};

// The page threads `serve` runs: twice as many as there are cores, four at least, so that every
// core stays busy while a page waits for the disk.
unsigned default_max_running();

class HttpServer {
 public:
  HttpServer(HttpServerOptions options, HttpHandler handler);
  ~HttpServer();  // stops the server
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Starts listening; throws std::runtime_error with a clear message when it cannot.
  void start();
  // Stops accepting, lets the requests in flight finish, and returns.
  void stop();
  std::uint16_t port() const;  // the bound port (useful with port 0)

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace web
