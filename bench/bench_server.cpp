// The servers bench/run measures: a plain libmicrohttpd hello-world, and a web::Runtime page
// written from a template with 20 replacement tags and served through web::HttpServer. A third,
// "wrapper", serves the hello-world's body through web::HttpServer, to tell its cost apart.
//
//   bench_server hello|runtime|wrapper [--port N] [--threads] [--access-log]
//
// Prints "port <N> body <bytes>" once listening, then serves until SIGINT or SIGTERM.
#include <microhttpd.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/sys/clock.h"
#include "platform/web/http.h"
#include "platform/web/runtime.h"

namespace {

constexpr int kTags = 20;
constexpr std::size_t kHelloBytes = 4200;

struct Arguments {
  std::string mode;
  std::uint16_t port = 0;
  bool thread_per_connection = false;  // hello only: MHD's thread-per-connection mode
  bool access_log = false;             // runtime and wrapper
};

Arguments parse(int argc, char** argv) {
  Arguments arguments;
  if (argc < 2) {
    throw std::invalid_argument("usage: bench_server hello|runtime|wrapper [--port N]");
  }
  arguments.mode = argv[1];
  if (arguments.mode != "hello" && arguments.mode != "runtime" && arguments.mode != "wrapper") {
    throw std::invalid_argument("unknown server \"" + arguments.mode + "\"");
  }
  for (int i = 2; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--port" && i + 1 < argc) {
      int port = std::stoi(argv[++i]);
      if (port < 0 || port > 65535) throw std::invalid_argument("port out of range");
      arguments.port = static_cast<std::uint16_t>(port);
    } else if (option == "--threads") {
      arguments.thread_per_connection = true;
    } else if (option == "--access-log") {
      arguments.access_log = true;
    } else {
      throw std::invalid_argument("unknown option \"" + option + "\"");
    }
  }
  return arguments;
}

// Blocks the stop signals in every thread, so that only wait_for_stop() receives them.
sigset_t block_stop_signals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  return signals;
}

void wait_for_stop(const sigset_t& signals) {
  int received = 0;
  sigwait(&signals, &received);
}

// ---- hello-world: the smallest sensible libmicrohttpd program ------------------------------

struct DaemonStopper {
  void operator()(MHD_Daemon* daemon) const { MHD_stop_daemon(daemon); }
};
struct ResponseDestroyer {
  void operator()(MHD_Response* response) const { MHD_destroy_response(response); }
};

MHD_Result answer_hello(void* cls, MHD_Connection* connection, const char*, const char*,
                        const char*, const char*, std::size_t* upload_data_size, void** con_cls) {
  // The first call only marks the request: answering it at once would cost the keep-alive.
  static int marker;
  if (*con_cls == nullptr) {
    *con_cls = &marker;
    return MHD_YES;
  }
  if (*upload_data_size != 0) {
    *upload_data_size = 0;
    return MHD_YES;
  }
  return MHD_queue_response(connection, MHD_HTTP_OK, static_cast<MHD_Response*>(cls));
}

std::string hello_body() {
  std::string text = "<html><head><title>Hello</title></head><body>\n";
  while (text.size() < kHelloBytes - 16) text += "<p>Hello, world.</p>\n";
  text.resize(kHelloBytes - 15, ' ');
  return text + "</body></html>\n";
}

void serve_hello(const Arguments& arguments, const sigset_t& signals) {
  const std::string body = hello_body();
  std::unique_ptr<MHD_Response, ResponseDestroyer> response(MHD_create_response_from_buffer(
      body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_PERSISTENT));
  MHD_add_response_header(response.get(), "Content-Type", "text/html; charset=utf-8");

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(arguments.port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD;
  if (arguments.thread_per_connection) flags |= MHD_USE_THREAD_PER_CONNECTION | MHD_USE_POLL;
  std::unique_ptr<MHD_Daemon, DaemonStopper> daemon(MHD_start_daemon(
      flags, arguments.port, nullptr, nullptr, &answer_hello, response.get(), MHD_OPTION_SOCK_ADDR,
      reinterpret_cast<sockaddr*>(&address), MHD_OPTION_END));
  if (!daemon) throw std::runtime_error("the hello-world server did not start");
  const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon.get(), MHD_DAEMON_INFO_BIND_PORT);
  std::cout << "port " << info->port << " body " << body.size() << std::endl;
  wait_for_stop(signals);
}

// ---- through web::HttpServer ----------------------------------------------------------------

void serve_through_wrapper(const Arguments& arguments, const sigset_t& signals,
                           std::size_t body_size, web::HttpHandler handler) {
  web::HttpServerOptions options;
  options.port = arguments.port;
  options.access_log = arguments.access_log;
  // wrk opens all its connections from one address.
  options.max_connections_per_ip = options.max_connections;
  options.max_running = web::default_max_running();  // as `jaunter serve` runs
  // Page threads; 0: a page finding them all busy gets a thread of its own at once.
  if (const char* running = std::getenv("JAUNTER_BENCH_RUNNING"))
    options.max_running = static_cast<unsigned>(std::atoi(running));
  if (const char* pool = std::getenv("JAUNTER_BENCH_POOL"))
    options.worker_threads = std::atoi(pool);
  web::HttpServer server(options, std::move(handler));
  server.start();
  std::cout << "port " << server.port() << " body " << body_size << std::endl;
  wait_for_stop(signals);
  server.stop();
}

// A page of 20 labelled fields, about as large as the hello-world once its tags are answered.
std::string bench_template() {
  std::string text =
      "<html>\n<head>\n<title>Field Trip Request</title>\n"
      "<link rel='stylesheet' href='jaunter.css'>\n</head>\n<body>\n"
      "<h1><WC@NAME>District name</WC@NAME></h1>\n<table class='request'>\n";
  for (int i = 1; i < kTags; ++i) {
    std::string tag = "WC@FIELD" + std::to_string(i);
    text += "<tr class='row'><td class='label'>Field number " + std::to_string(i) +
            " of the trip request</td>\n<td class='value'><" + tag + ">placeholder</" + tag +
            "></td>\n<td class='help'>Type the value the transportation office asks for.</td>"
            "</tr>\n";
  }
  text += "</table>\n";
  while (text.size() < 4500) text += "<p class='note'>Requests need two weeks of lead time.</p>\n";
  return text + "</body>\n</html>\n";
}

class BenchPage : public web::PageObject {
 public:
  explicit BenchPage(web::Context& context) : context_(context) {}
  void start() override { context_.write_template("Bench"); }
  void respond(const std::string&) override { context_.write_template("Bench"); }
  void custom_event(const std::string&, const std::string&) override {}
  void user_event(const std::string&, const std::string&) override {}
  void process_tag(const std::string&, const std::string& tag_name, std::string& tag_contents,
                   bool&) override {
    tag_contents = "Answer for " + tag_name.substr(3);
  }

 private:
  web::Context& context_;
};

// A temporary application directory that goes away with the program.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "jaunter-bench-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void serve_runtime(const Arguments& arguments, const sigset_t& signals) {
  TemporaryDirectory app_dir;
  std::ofstream(app_dir.path() / "Bench.htm") << bench_template();

  sys::FixedClock clock;
  web::WebClassDef web_class;
  web_class.items = {{"Bench", "Bench.htm", {}, true}};
  web_class.make_page = [](web::Context& context) -> std::unique_ptr<web::PageObject> {
    return std::make_unique<BenchPage>(context);
  };
  web::RuntimeOptions runtime_options;
  runtime_options.app_dir = app_dir.path();
  runtime_options.clock = &clock;
  web::Runtime runtime(std::move(web_class), std::move(runtime_options));

  web::HttpRequest probe;
  probe.method = "GET";
  probe.path = "/Jaunter.ASP";
  probe.query = "WCI=Bench";
  probe.remote = "127.0.0.1";
  std::size_t body_size = runtime.handle(probe).body.size();

  serve_through_wrapper(arguments, signals, body_size, [&runtime](const web::HttpRequest& request) {
    return runtime.handle(request);
  });
}

void serve_wrapper(const Arguments& arguments, const sigset_t& signals) {
  const std::string body = hello_body();
  serve_through_wrapper(arguments, signals, body.size(), [&body](const web::HttpRequest&) {
    return web::HttpResponse{200, {{"Content-Type", "text/html; charset=utf-8"}}, body};
  });
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Arguments arguments = parse(argc, argv);
    sigset_t signals = block_stop_signals();
    if (arguments.mode == "hello") {
      serve_hello(arguments, signals);
    } else if (arguments.mode == "wrapper") {
      serve_wrapper(arguments, signals);
    } else {
      serve_runtime(arguments, signals);
    }
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "bench_server: " << error.what() << "\n";
    return 2;
  }
}
