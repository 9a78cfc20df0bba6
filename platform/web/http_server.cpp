// web::HttpServer on libmicrohttpd: polling threads, a queue of pages, a body cap, an access log.
//
// Design: MHD calls the access handler several times per request: once when the headers are in,
// once per piece of body, once more when the request is complete, and, for a request handed to
// the page threads, once again when its connection resumes. We answer only on the last call
// (answering earlier makes MHD close the connection instead of keeping it alive) and
// collect the body ourselves, refusing it with 413 as soon as it is known to be too large. The
// per-request state is made in the URI callback, the only place that still sees the raw query,
// and freed in the completion callback, which also writes the access log line. stop() quiesces
// the listener and waits for the requests in flight before stopping the daemon, because
// MHD_stop_daemon alone cuts every open connection.
//
// Only quick pages are made on libmicrohttpd's threads. Its pool ties each connection
// to the thread that accepted it, and the threads accept in a race, so one may hold twice the
// connections of another and its requests queue behind each other while another thread idles; a
// thread per connection has the kernel switch between a hundred of them. Instead a few polling
// threads read and write every connection, suspend each complete request and hand it to the
// RequestQueue, whose threads take the requests in the order they came and resume the
// connection with the answer. Reading pages seen to be quick are made on the polling thread at
// once, as a hand-over would cost more than the page.
#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "platform/text/text.h"
#include "platform/web/http.h"
#include "platform/web/request_queue.h"

namespace web {
namespace {

constexpr std::string_view kHtml = "text/html; charset=utf-8";
constexpr std::string_view kTooLargeBody = "<p>The request is too large.</p>";
constexpr std::string_view kFailedBody = "<p>The server could not answer this request.</p>";

// The server's own short answers (413, 500).
HttpResponse short_answer(int status, std::string_view body) {
  return HttpResponse{status, {{"Content-Type", std::string(kHtml)}}, std::string(body)};
}

struct DaemonStopper {
  void operator()(MHD_Daemon* daemon) const { MHD_stop_daemon(daemon); }
};
using DaemonPtr = std::unique_ptr<MHD_Daemon, DaemonStopper>;

struct ResponseDestroyer {
  void operator()(MHD_Response* response) const { MHD_destroy_response(response); }
};
using ResponsePtr = std::unique_ptr<MHD_Response, ResponseDestroyer>;

class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() { reset(); }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

// One request, from its request line to the end of its response.
struct Exchange {
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
  std::string target;  // the request target as sent, for the log
  HttpRequest request;
  bool headers_read = false;
  bool too_large = false;
  int status = 0;  // 0 until we queue a response
  // The answer a queue thread made, for the polling thread to send once the connection resumes.
  std::optional<HttpResponse> answer;
  MHD_Connection* connection = nullptr;  // set when handed over to the queue
  std::string kind;                      // as its time is learnt; empty when it is not to be learnt
};

// Splits a request target into decoded path and raw query; an absolute-form target
// ("http://host/path") keeps only its path. Decoded here from the raw target rather than taken
// from MHD, whose decoding ends the path at a %00: the runtime must see the whole path to refuse
// it.
void split_target(std::string_view target, HttpRequest& request) {
  if (auto hash = target.find('#'); hash != std::string_view::npos) target = target.substr(0, hash);
  std::string_view query;
  if (auto mark = target.find('?'); mark != std::string_view::npos) {
    query = target.substr(mark + 1);
    target = target.substr(0, mark);
  }
  if (auto scheme = target.find("://"); scheme != std::string_view::npos && target[0] != '/') {
    auto slash = target.find('/', scheme + 3);
    target = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
  }
  request.path = text::decode_path(target);
  request.query = std::string(query);
}

std::string client_address(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  if (info == nullptr || info->client_addr == nullptr) return "";
  const sockaddr* address = info->client_addr;
  if (address->sa_family == AF_INET) {
    // By hand: inet_ntop formats through sprintf, a noticeable cost on every request.
    const auto* bytes = reinterpret_cast<const unsigned char*>(
        &reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
    std::string text;
    text.reserve(15);
    for (int i = 0; i < 4; ++i) {
      if (i > 0) text += '.';
      text += std::to_string(bytes[i]);
    }
    return text;
  }
  if (address->sa_family == AF_INET6) {
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text,
              sizeof text);
    return text;
  }
  return "";
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool contains_no_case(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (same_name(text.substr(i, part.size()), part)) return true;
  }
  return false;
}

MHD_Result join_cookies(void* cls, MHD_ValueKind, const char* key, const char* value) {
  if (key != nullptr && value != nullptr && same_name(key, "Cookie")) {
    auto& cookies = *static_cast<std::string*>(cls);
    if (!cookies.empty()) cookies += "; ";
    cookies += value;
  }
  return MHD_YES;
}

// Whether the value of a query field must stay out of the log: a password (a sign-in form sent
// by GET would put it there) or a session identifier. The name is judged as the runtime reads
// it, decoded, so that "p%61ss" hides its value too.
bool secret_field(std::string_view raw_name) {
  const std::string name = text::decode_form_component(raw_name);
  return contains_no_case(name, "pass") || contains_no_case(name, "pwd") ||
         contains_no_case(name, "session");
}

// The target as it goes into the log: control bytes escaped, the values of secret query fields
// hidden, and the user and password of an absolute-form target left out.
std::string loggable_target(std::string_view target) {
  std::string out;
  out.reserve(target.size());
  auto mark = target.find('?');
  std::string_view path = target.substr(0, mark);
  std::string_view scheme_part;
  if (const auto scheme = path.find("://"); scheme != std::string_view::npos && path[0] != '/') {
    const auto at = path.substr(0, path.find('/', scheme + 3)).rfind('@');
    if (at != std::string_view::npos && at > scheme) {
      scheme_part = path.substr(0, scheme + 3);
      path.remove_prefix(at + 1);
    }
  }
  auto escape_into = [&out](std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : text) {
      if (c <= 0x20 || c >= 0x7f) {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 15];
      } else {
        out += static_cast<char>(c);
      }
    }
  };
  escape_into(scheme_part);
  escape_into(path);
  if (mark == std::string_view::npos) return out;
  out += '?';
  std::string_view query = target.substr(mark + 1);
  bool first = true;
  while (true) {
    auto amp = query.find('&');
    std::string_view field = query.substr(0, amp);
    if (!first) out += '&';
    first = false;
    auto equals = field.find('=');
    std::string_view name = field.substr(0, equals);
    if (equals != std::string_view::npos && secret_field(name)) {
      escape_into(name);
      out += "=***";
    } else {
      escape_into(field);
    }
    if (amp == std::string_view::npos) break;
    query = query.substr(amp + 1);
  }
  return out;
}

void write_stderr(std::string_view line) {
  // One write per line keeps the lines of concurrent requests whole.
  while (!line.empty()) {
    ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    line.remove_prefix(static_cast<std::size_t>(written));
  }
}

std::string local_time_now() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
  return text;
}

void free_body(void* body) {
  delete static_cast<std::string*>(body);
}

// The kind of a request, as its time is learnt: method, path and the query's first
// two parameters (the page and the event, in the links the runtime writes), bounded in length.
std::string request_kind(const HttpRequest& request) {
  std::string_view query = request.query;
  std::size_t end = query.find('&');
  if (end != std::string_view::npos) end = query.find('&', end + 1);
  std::string kind = request.method + " " + request.path + "?";
  kind += query.substr(0, end);
  if (kind.size() > 120) kind.resize(120);
  return kind;
}

}  // namespace

unsigned default_max_running() {
  return std::max(4u, 2 * std::thread::hardware_concurrency());
}

namespace {

unsigned page_threads(const HttpServerOptions& options) {
  if (options.worker_threads > 0) return options.worker_threads;
  return options.max_running > 0 ? options.max_running : default_max_running();
}

std::optional<std::chrono::milliseconds> longest_wait(const HttpServerOptions& options) {
  if (options.worker_threads > 0) return std::nullopt;
  if (options.max_running == 0) return std::chrono::milliseconds(0);
  return options.longest_turn_wait;
}

}  // namespace

struct HttpServer::Impl {
  Impl(HttpServerOptions options_in, HttpHandler handler_in)
      : options(std::move(options_in)), handler(std::move(handler_in)) {}

  void start();
  void stop();

  static void* on_uri(void* cls, const char* uri, MHD_Connection* connection);
  static MHD_Result on_access(void* cls, MHD_Connection* connection, const char* url,
                              const char* method, const char* version, const char* upload_data,
                              std::size_t* upload_data_size, void** con_cls);
  static void on_completed(void* cls, MHD_Connection* connection, void** con_cls,
                           MHD_RequestTerminationCode code);
  static void on_mhd_log(void* cls, const char* format, va_list arguments);

  Exchange* begin(const char* uri);
  MHD_Result access(MHD_Connection* connection, const char* method, const char* upload_data,
                    std::size_t* upload_data_size, Exchange& exchange);
  void read_headers(MHD_Connection* connection, const char* method, Exchange& exchange);
  HttpResponse run_handler(const Exchange& exchange);
  HttpResponse run_timed(Exchange& exchange);
  MHD_Result hand_over(MHD_Connection* connection, Exchange& exchange);
  void run_queued(Exchange& exchange);
  MHD_Result queue(MHD_Connection* connection, Exchange& exchange, HttpResponse response);
  void finish(Exchange* exchange);

  HttpServerOptions options;
  HttpHandler handler;
  std::uint16_t port = 0;
  QuickKinds quick_kinds;  // pages answered on the polling thread

  // Every request touches these two, so they are atomics; the mutex only pairs with `idle`
  // and guards the start-up messages.
  std::atomic<std::size_t> in_flight{0};
  std::atomic<bool> stopping{false};
  std::mutex mutex;
  std::condition_variable idle;
  bool capturing_start_errors = false;
  std::string start_errors;

  // Declared before the daemon: the quiesced socket may only close after the daemon stops, and
  // the queue's threads only once no connection waits for them.
  RequestQueue pages{page_threads(options), longest_wait(options)};
  Socket quiesced_listener;
  DaemonPtr daemon;
};

void* HttpServer::Impl::on_uri(void* cls, const char* uri, MHD_Connection*) {
  try {
    return static_cast<Impl*>(cls)->begin(uri);
  } catch (...) {
    return nullptr;  // the access handler refuses the request
  }
}

Exchange* HttpServer::Impl::begin(const char* uri) {
  auto exchange = std::make_unique<Exchange>();
  exchange->target = uri != nullptr ? uri : "";
  in_flight.fetch_add(1);
  return exchange.release();
}

MHD_Result HttpServer::Impl::on_access(void* cls, MHD_Connection* connection, const char*,
                                       const char* method, const char*, const char* upload_data,
                                       std::size_t* upload_data_size, void** con_cls) {
  auto* exchange = static_cast<Exchange*>(*con_cls);
  if (exchange == nullptr) return MHD_NO;
  try {
    return static_cast<Impl*>(cls)->access(connection, method, upload_data, upload_data_size,
                                           *exchange);
  } catch (...) {
    return MHD_NO;  // out of memory: drop the connection rather than the process
  }
}

void HttpServer::Impl::read_headers(MHD_Connection* connection, const char* method,
                                    Exchange& exchange) {
  HttpRequest& request = exchange.request;
  request.method = method != nullptr ? method : "";
  split_target(exchange.target, request);
  auto header = [connection](const char* name) {
    const char* value = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
    return std::string(value != nullptr ? value : "");
  };
  request.content_type = header("Content-Type");
  request.host = header("Host");
  request.origin = header("Origin");
  request.referer = header("Referer");
  request.accept = header("Accept");
  request.forwarded_proto = header("X-Forwarded-Proto");
  MHD_get_connection_values(connection, MHD_HEADER_KIND, &join_cookies, &request.cookie);
  request.remote = client_address(connection);

  const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
  if (length != nullptr) {
    std::uint64_t declared = 0;
    std::string_view text(length);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), declared);
    if (error == std::errc::result_out_of_range ||
        (error == std::errc() && declared > options.max_body_bytes)) {
      exchange.too_large = true;
    } else if (error == std::errc() && end == text.data() + text.size()) {
      // Only a little up front: a client may declare a large body and never send it.
      request.body.reserve(std::min<std::size_t>(declared, 64 * 1024));
    }
  }
}

MHD_Result HttpServer::Impl::access(MHD_Connection* connection, const char* method,
                                    const char* upload_data, std::size_t* upload_data_size,
                                    Exchange& exchange) {
  if (!exchange.headers_read) {
    exchange.headers_read = true;
    read_headers(connection, method, exchange);
    // Refusing now, before any of the body is read, costs the client its connection (MHD cannot
    // skip the unread body), which is what we want from someone sending too much.
    if (exchange.too_large) {
      return queue(connection, exchange, short_answer(413, kTooLargeBody));
    }
    return MHD_YES;
  }
  if (*upload_data_size != 0) {
    std::string& body = exchange.request.body;
    if (exchange.too_large || *upload_data_size > options.max_body_bytes - body.size()) {
      // A body without a declared length outgrew the cap. MHD does not let us answer while it
      // is delivering body data, so close the connection instead of reading on.
      exchange.too_large = true;
      exchange.status = 413;
      return MHD_NO;
    }
    body.append(upload_data, *upload_data_size);
    *upload_data_size = 0;
    return MHD_YES;
  }
  if (exchange.connection == nullptr) {
    // Only reading pages: a form's post writes, and a write may wait for another's lock.
    const std::string& method = exchange.request.method;
    if (method == "GET" || method == "HEAD") {
      exchange.kind = request_kind(exchange.request);
      if (quick_kinds.quick(exchange.kind)) return queue(connection, exchange, run_timed(exchange));
    }
    return hand_over(connection, exchange);
  }
  if (!exchange.answer) {
    // The queue could not take it (out of memory): an answer, rather than a hung connection.
    return queue(connection, exchange, short_answer(500, kFailedBody));
  }
  HttpResponse answer = std::move(*exchange.answer);
  exchange.answer.reset();
  return queue(connection, exchange, std::move(answer));
}

// Called on the polling thread, which must not wait for a page: the connection rests until a
// queue thread has the answer and resumes it, and libmicrohttpd then calls the access handler
// again to send it.
MHD_Result HttpServer::Impl::hand_over(MHD_Connection* connection, Exchange& exchange) {
  exchange.connection = connection;
  MHD_suspend_connection(connection);
  try {
    pages.push([this, &exchange] { run_queued(exchange); });
  } catch (...) {
    MHD_resume_connection(connection);
  }
  return MHD_YES;
}

HttpResponse HttpServer::Impl::run_timed(Exchange& exchange) {
  const auto started = std::chrono::steady_clock::now();
  HttpResponse response = run_handler(exchange);
  quick_kinds.learn(exchange.kind, std::chrono::steady_clock::now() - started);
  return response;
}

void HttpServer::Impl::run_queued(Exchange& exchange) {
  try {
    exchange.answer = run_timed(exchange);
  } catch (...) {
    // Out of memory: the polling thread answers 500 on finding no answer.
  }
  // The exchange belongs to the polling thread again from here on.
  MHD_resume_connection(exchange.connection);
}

HttpResponse HttpServer::Impl::run_handler(const Exchange& exchange) {
  try {
    return handler(exchange.request);
  } catch (...) {
    // The message may hold request data, so it stays out of the log.
    write_stderr("http: the handler failed on " + exchange.request.method + " " +
                 loggable_target(exchange.target) + "\n");
    return short_answer(500, kFailedBody);
  }
}

MHD_Result HttpServer::Impl::queue(MHD_Connection* connection, Exchange& exchange,
                                   HttpResponse response) {
  int status = response.status;
  if (status < 100 || status > 599) status = 500;

  auto body = std::make_unique<std::string>(std::move(response.body));
  ResponsePtr reply(MHD_create_response_from_buffer_with_free_callback_cls(
      body->size(), body->data(), &free_body, body.get()));
  if (!reply) return MHD_NO;
  body.release();  // the response frees it

  bool headers_ok = true;
  for (const auto& [name, value] : response.headers) {
    if (same_name(name, "Content-Length")) continue;  // MHD computes it
    if (MHD_add_response_header(reply.get(), name.c_str(), value.c_str()) != MHD_YES) {
      headers_ok = false;
      break;
    }
  }
  if (!headers_ok) {
    // A header MHD refuses (a line break in a value, say) must not be sent half-built.
    write_stderr("http: refused a response header on " + exchange.request.method + " " +
                 loggable_target(exchange.target) + "\n");
    return queue(connection, exchange, short_answer(500, kFailedBody));
  }
  // While stopping, clients are told to go, so that their connections end with this request.
  if (stopping.load()) MHD_add_response_header(reply.get(), MHD_HTTP_HEADER_CONNECTION, "close");

  exchange.status = status;
  return MHD_queue_response(connection, static_cast<unsigned>(status), reply.get());
}

void HttpServer::Impl::on_completed(void* cls, MHD_Connection*, void** con_cls,
                                    MHD_RequestTerminationCode) {
  auto* exchange = static_cast<Exchange*>(*con_cls);
  *con_cls = nullptr;
  if (exchange != nullptr) static_cast<Impl*>(cls)->finish(exchange);
}

void HttpServer::Impl::finish(Exchange* exchange) {
  std::unique_ptr<Exchange> owned(exchange);
  if (options.access_log && owned->headers_read) {
    try {
      auto elapsed = std::chrono::steady_clock::now() - owned->started;
      double milliseconds = std::chrono::duration<double, std::milli>(elapsed).count();
      char figures[48];
      if (owned->status != 0) {
        std::snprintf(figures, sizeof figures, " %d %.1f ms ", owned->status, milliseconds);
      } else {
        std::snprintf(figures, sizeof figures, " - %.1f ms ", milliseconds);
      }
      write_stderr(local_time_now() + " " + owned->request.method + " " +
                   loggable_target(owned->target) + figures + owned->request.remote + "\n");
    } catch (...) {
      // Losing a log line is better than losing the request count below.
    }
  }
  if (in_flight.fetch_sub(1) == 1) {
    // Taking the mutex orders this wake-up after stop()'s check of the count.
    std::lock_guard lock(mutex);
    idle.notify_all();
  }
}

void HttpServer::Impl::on_mhd_log(void* cls, const char* format, va_list arguments) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  std::string_view message(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
    message.remove_suffix(1);
  }
  auto* impl = static_cast<Impl*>(cls);
  {
    std::lock_guard lock(impl->mutex);
    if (impl->capturing_start_errors) {
      if (!impl->start_errors.empty()) impl->start_errors += "; ";
      impl->start_errors += message;
      return;
    }
  }
  write_stderr("http: " + std::string(message) + "\n");
}

void HttpServer::Impl::start() {
  if (daemon) throw std::runtime_error("http: the server is already running");

  // Numeric addresses only (and "localhost"), so that starting never waits on a name server.
  const std::string host = options.bind == "localhost" ? "127.0.0.1" : options.bind;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    throw std::runtime_error("http: bad bind address \"" + options.bind +
                             "\": not an IPv4 or IPv6 address");
  }
  sockaddr_storage address{};
  std::memcpy(&address, found->ai_addr, found->ai_addrlen);
  freeaddrinfo(found);

  // As many polling threads as page threads: fewer leave a core idle while requests wait to be
  // read.
  const unsigned polling = page_threads(options);
  unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_ITC | MHD_USE_ERROR_LOG;
  flags |= MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME;
  if (address.ss_family == AF_INET6) {
    flags |= MHD_USE_IPv6;
    reinterpret_cast<sockaddr_in6*>(&address)->sin6_port = htons(options.port);
  } else {
    reinterpret_cast<sockaddr_in*>(&address)->sin_port = htons(options.port);
  }

  try {
    pages.start();
  } catch (const std::system_error& error) {
    throw std::runtime_error(std::string("http: cannot start the page threads: ") + error.what());
  }
  {
    std::lock_guard lock(mutex);
    stopping.store(false);
    capturing_start_errors = true;
    start_errors.clear();
  }
  daemon.reset(MHD_start_daemon(
      flags, options.port, nullptr, nullptr, &Impl::on_access, this, MHD_OPTION_EXTERNAL_LOGGER,
      &Impl::on_mhd_log, this, MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&address),
      MHD_OPTION_CONNECTION_LIMIT, options.max_connections, MHD_OPTION_PER_IP_CONNECTION_LIMIT,
      options.max_connections_per_ip, MHD_OPTION_CONNECTION_TIMEOUT,
      options.connection_timeout_seconds, MHD_OPTION_URI_LOG_CALLBACK, &Impl::on_uri, this,
      MHD_OPTION_NOTIFY_COMPLETED, &Impl::on_completed, this,
      // Headers of this application's requests fit easily; the pool is cleared per request.
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, static_cast<std::size_t>(16 * 1024),
      // A pool size only for more than one polling thread. An END in its place ends the list
      // there.
      polling > 1 ? MHD_OPTION_THREAD_POOL_SIZE : MHD_OPTION_END, polling, MHD_OPTION_END));
  std::string errors;
  {
    std::lock_guard lock(mutex);
    capturing_start_errors = false;
    errors = std::move(start_errors);
  }
  std::string where = options.bind + ":" + std::to_string(options.port);
  if (!daemon) {
    pages.stop();
    throw std::runtime_error("http: cannot listen on " + where + ": " +
                             (errors.empty() ? "the server did not start" : errors));
  }
  const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon.get(), MHD_DAEMON_INFO_BIND_PORT);
  port = info != nullptr ? info->port : options.port;
}

void HttpServer::Impl::stop() {
  if (!daemon) return;
  stopping.store(true);
  MHD_socket listener = MHD_quiesce_daemon(daemon.get());
  if (listener != MHD_INVALID_SOCKET) {
    quiesced_listener.reset(listener);
    // The socket may only be closed after the daemon stops, but it should stop taking
    // connections now: otherwise clients queue up during the drain and are reset afterwards.
    ::shutdown(listener, SHUT_RDWR);
  }
  {
    std::unique_lock lock(mutex);
    idle.wait(lock, [this] { return in_flight.load() == 0; });
  }
  daemon.reset();
  quiesced_listener.reset();
  pages.stop();
}

HttpServer::HttpServer(HttpServerOptions options, HttpHandler handler)
    : impl_(std::make_unique<Impl>(std::move(options), std::move(handler))) {}

HttpServer::~HttpServer() {
  stop();
}

void HttpServer::start() {
  impl_->start();
}

void HttpServer::stop() {
  impl_->stop();
}

std::uint16_t HttpServer::port() const {
  return impl_->port;
}

}  // namespace web
