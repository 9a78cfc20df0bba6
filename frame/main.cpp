// The jaunter program: serve, init-db and demo.
#include <malloc.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "approval/reminders.h"
#include "config/ChkEligWeb.h"
#include "config/backup.h"
#include "config/check.h"
#include "data/demo.h"
#include "data/schema.h"
#include "frame/keys.h"
#include "frame/web_class.h"
#include "platform/db/db.h"
#include "platform/sys/event_log.h"
#include "platform/sys/mail.h"
#include "platform/sys/registry.h"
#include "platform/text/text.h"
#include "platform/web/http.h"
#include "platform/web/runtime.h"

namespace {

constexpr int kUsageError = 2;

const char* kUsage =
    "usage: jaunter serve [--port 8080] [--bind 127.0.0.1] [--app-dir DIR] [--threads N]\n"
    "                     [--trusted-proxy ADDR]... [--url https://HOST/Jaunter.ASP]\n"
    "       jaunter check [--app-dir DIR]\n"
    "       jaunter backup DEST [--keep 7]\n"
    "       jaunter restore GENERATION\n"
    "       jaunter remind [--days 2] [--dry-run] [--url https://HOST/Jaunter.ASP]\n"
    "       jaunter init-db DIR\n"
    "       jaunter demo DIR\n";

int usage_error(const std::string& message) {
  std::cerr << "jaunter: " << message << "\n" << kUsage;
  return kUsageError;
}

// The templates: those installed beside the program (PREFIX/share/jaunter/templates) when it
// runs from an installation, else the source tree's it was built from.
std::string default_app_dir() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const auto installed = program.parent_path().parent_path() / "share/jaunter/templates";
    if (std::filesystem::is_directory(installed, error)) return installed.string();
  }
  return JAUNTER_DEFAULT_APP_DIR;
}

bool parse_number(const std::string& text, long low, long high, long& out) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  out = std::stol(text);
  return out >= low && out <= high;
}

// glibc gives each thread that allocates its own arena, and the threads a slow minute starts
// leave theirs behind: measured with 50 users, 60 MB resident against 35 MB with two arenas at
// the same throughput. MALLOC_ARENA_MAX in the environment still wins.
void limit_malloc_arenas() {
  if (std::getenv("MALLOC_ARENA_MAX") == nullptr) mallopt(M_ARENA_MAX, 2);
}

// The template files of the web class's items.
std::vector<std::string> template_files(const sys::Services& services) {
  std::vector<std::string> files;
  for (const web::ItemDef& item : frame::web_class(services).items) {
    files.push_back(item.template_file);
  }
  return files;
}

// The platform services of a command: the system clock, the registry file JAUNTER_REGISTRY
// names, the system log and mail over SMTP.
struct Platform {
  sys::SystemClock clock;
  sys::RegistryFile registry{sys::RegistryFile::default_path()};
  sys::SysLog event_log;
  sys::CurlMailTransport mail;
  db::ConnectionPool connections;
  sys::Services services{&clock, &registry, &event_log, &mail, &connections};
};

web::HttpServerOptions serve_defaults() {
  web::HttpServerOptions http;
  http.max_running = web::default_max_running();
  return http;
}

struct ServeOptions {
  web::HttpServerOptions http = serve_defaults();
  std::string app_dir = default_app_dir();
  std::vector<std::string> trusted_proxies;  // canonical addresses
  std::string public_url;                    // the host page's address; "" when not given
};

// The address users open, as the address of the host page ("https://host" and "https://host/"
// mean its Jaunter.ASP), or "" when it is not a plain http or https address.
std::string public_url_of(const std::string& url) {
  std::size_t scheme = 0;
  for (const char* prefix : {"http://", "https://"}) {
    const std::string_view start(prefix);
    if (url.size() > start.size() && text::same_text(url.substr(0, start.size()), start)) {
      scheme = start.size();
    }
  }
  if (scheme == 0) return "";
  // It goes into mail, plain and HTML: nothing that would end the link or smuggle markup.
  for (unsigned char c : url) {
    if (c <= 0x20 || c >= 0x7f || std::strchr("\"'<>\\`?#{}|^", c) != nullptr) return "";
  }
  const std::size_t slash = url.find('/', scheme);
  const std::string authority = url.substr(scheme, slash - scheme);
  if (authority.empty() || authority.front() == ':' || authority.find('@') != std::string::npos) {
    return "";
  }
  if (slash == std::string::npos) return url + "/Jaunter.ASP";
  return url.ends_with('/') ? url + "Jaunter.ASP" : url;
}

std::string url_problem(const std::string& value) {
  return "--url needs an http:// or https:// address such as "
         "https://trips.district.example/Jaunter.ASP, not '" +
         value + "'";
}

// The options of serve; none, with the usage line written, when one is wrong.
std::optional<ServeOptions> parse_serve_options(const std::vector<std::string>& args) {
  ServeOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (i + 1 >= args.size()) {
      usage_error("option " + option + " needs a value");
      return std::nullopt;
    }
    const std::string& value = args[++i];
    long number = 0;
    if (option == "--port") {
      if (!parse_number(value, 0, 65535, number)) {
        usage_error("the port must be a number from 0 to 65535, not '" + value + "'");
        return std::nullopt;
      }
      options.http.port = static_cast<std::uint16_t>(number);
    } else if (option == "--bind") {
      options.http.bind = value;
    } else if (option == "--app-dir") {
      std::error_code ec;
      if (!std::filesystem::is_directory(value, ec)) {
        usage_error("the application directory '" + value + "' does not exist");
        return std::nullopt;
      }
      options.app_dir = std::filesystem::absolute(value).string();
    } else if (option == "--trusted-proxy") {
      const std::string address = web::canonical_address(value);
      if (address.empty()) {
        usage_error("--trusted-proxy needs an IPv4 or IPv6 address, not '" + value + "'");
        return std::nullopt;
      }
      options.trusted_proxies.push_back(address);
    } else if (option == "--url") {
      options.public_url = public_url_of(value);
      if (options.public_url.empty()) {
        usage_error(url_problem(value));
        return std::nullopt;
      }
    } else if (option == "--threads") {
      if (!parse_number(value, 0, 1024, number)) {
        usage_error("--threads must be a number from 0 to 1024, not '" + value + "'");
        return std::nullopt;
      }
      options.http.worker_threads = static_cast<unsigned>(number);
    } else {
      usage_error("unknown option " + option);
      return std::nullopt;
    }
  }
  return options;
}

// Blocks the stop signals before any thread starts, so that only this thread receives them.
sigset_t block_stop_signals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  return signals;
}

// Waits for SIGINT or SIGTERM, sweeping the timed-out sessions each minute.
void wait_for_stop(const sigset_t& signals, web::Runtime& runtime) {
  for (;;) {
    timespec minute{60, 0};
    const int signal = sigtimedwait(&signals, nullptr, &minute);
    if (signal == SIGINT || signal == SIGTERM) return;
    runtime.sessions().sweep();
    malloc_trim(0);  // hands back what the last minute's sessions and reports freed
  }
}

// Without its templates the server could answer nothing but errors; the district's files, by
// contrast, may be fixed while it runs, and its start page says what is wrong with them.
bool templates_present(const sys::Services& services, const std::string& app_dir) {
  config::CheckOptions options;
  options.app_dir = app_dir;
  options.template_files = template_files(services);
  for (const config::CheckLine& line : config::check_templates(options)) {
    if (line.status == config::CheckStatus::Failed) {
      std::cerr << "jaunter: cannot serve: " << line.detail << "\n";
      return false;
    }
  }
  return true;
}

// Held while serving, so that a restore cannot replace the files under the server. False when
// a restore holds the data directory.
bool lock_data_directory(const sys::Services& services,
                         std::optional<config::DataDirectoryLock>& lock) {
  try {
    lock.emplace(config::data_directory(services), config::DataDirectoryLock::Mode::Serving);
  } catch (const config::DataDirectoryBusy& error) {
    std::cerr << "jaunter: cannot serve: " << error.what() << "\n";
    return false;
  } catch (const std::runtime_error&) {
    // No data directory yet: the start page says why, and serving goes on.
  }
  return true;
}

int serve(const std::vector<std::string>& args) {
  limit_malloc_arenas();
  const std::optional<ServeOptions> options = parse_serve_options(args);
  if (!options) return kUsageError;
  const web::HttpServerOptions& http = options->http;
  const std::string& app_dir = options->app_dir;

  Platform platform;
  const sys::Services& services = platform.services;
  if (!templates_present(services, app_dir)) return 1;
  web::RuntimeOptions runtime_options;
  runtime_options.app_dir = app_dir;
  runtime_options.clock = &platform.clock;
  runtime_options.trusted_proxies = options->trusted_proxies;
  // Monitors ask often: a broken registry is reported in the answer, not in the system log.
  sys::Services quiet = services;
  quiet.event_log = nullptr;
  runtime_options.health_problem = [quiet] { return config::health_problem(quiet); };
  auto settings = std::make_shared<config::SettingsWatcher>(services, std::chrono::seconds(2));
  web::Runtime runtime(frame::web_class(services, settings), runtime_options);
  // Loaded now, so that the first pages after a restart have them without the start page.
  settings->refresh(app_dir.ends_with('/') ? app_dir : app_dir + "/",
                    [&runtime](std::string_view key, vb::Variant value) {
                      runtime.application().set(key, std::move(value));
                    });
  if (!options->public_url.empty()) {
    runtime.application().set(keys::app::kPublicUrl, options->public_url);
  }
  if (const std::string failure = settings->last_failure(); !failure.empty()) {
    std::cerr << "jaunter: the district settings could not be loaded yet: " << failure << "\n";
  }

  std::optional<config::DataDirectoryLock> data_lock;
  if (!lock_data_directory(services, data_lock)) return 1;

  sigset_t signals = block_stop_signals();
  web::HttpServer server(
      http, [&runtime](const web::HttpRequest& request) { return runtime.handle(request); });
  try {
    server.start();
  } catch (const std::exception& error) {
    std::cerr << "jaunter: " << error.what() << "\n";
    return 1;
  }
  std::cerr << "jaunter: serving http://" << http.bind << ":" << server.port()
            << "/Jaunter.ASP (application directory " << app_dir << ", registry "
            << platform.registry.path() << ")\n";

  wait_for_stop(signals, runtime);
  std::cerr << "jaunter: stopping\n";
  server.stop();
  return 0;
}

int check(const std::vector<std::string>& args) {
  std::string app_dir = default_app_dir();
  for (std::size_t i = 0; i < args.size(); i += 2) {
    if (args[i] != "--app-dir") return usage_error("unknown option " + args[i]);
    if (i + 1 >= args.size()) return usage_error("option --app-dir needs a value");
    app_dir = args[i + 1];
  }
  Platform platform;
  const sys::Services& services = platform.services;
  config::CheckOptions options;
  options.app_dir = app_dir;
  options.template_files = template_files(services);
  bool failed = false;
  for (const config::CheckLine& line :
       config::check_configuration(services, platform.registry.path(), options)) {
    std::cout << config::format_line(line) << "\n";
    failed = failed || line.status == config::CheckStatus::Failed;
  }
  return failed ? 1 : 0;
}

int backup(const std::vector<std::string>& args) {
  if (args.empty()) return usage_error("backup needs a destination directory");
  long keep = 7;
  if (args.size() == 3 && args[1] == "--keep") {
    if (!parse_number(args[2], 1, 10000, keep)) {
      return usage_error("--keep must be a number from 1 to 10000, not '" + args[2] + "'");
    }
  } else if (args.size() != 1) {
    return usage_error("backup takes a destination directory and --keep N");
  }
  Platform platform;
  const sys::Services& services = platform.services;
  try {
    const auto generation =
        config::backup(config::data_directory(services), args[0], static_cast<int>(keep));
    std::cout << "Backed up to " << generation.string() << " (integrity checked)\n";
  } catch (const std::exception& error) {
    std::cerr << "jaunter: backup failed: " << error.what() << "\n";
    return 1;
  }
  return 0;
}

int restore(const std::vector<std::string>& args) {
  if (args.size() != 1) return usage_error("restore needs exactly one backup generation");
  Platform platform;
  const sys::Services& services = platform.services;
  try {
    const auto data_dir = config::data_directory(services);
    config::restore(args[0], data_dir);
    std::cout << "Restored " << data_dir.string() << " from " << args[0] << "\n";
  } catch (const std::exception& error) {
    std::cerr << "jaunter: restore refused: " << error.what() << "\n";
    return 1;
  }
  return 0;
}

int remind(const std::vector<std::string>& args) {
  approval::ReminderOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--dry-run") {
      options.dry_run = true;
    } else if ((args[i] == "--days" || args[i] == "--url") && i + 1 < args.size()) {
      const std::string& value = args[++i];
      long days = 0;
      if (args[i - 1] == "--url") {
        options.base_url = public_url_of(value);
        if (options.base_url.empty()) {
          return usage_error(url_problem(value));
        }
      } else if (parse_number(value, 0, 3650, days)) {
        options.days = static_cast<double>(days);
      } else {
        return usage_error("--days must be a number from 0 to 3650, not '" + value + "'");
      }
    } else {
      return usage_error("remind: unknown option or missing value: " + args[i]);
    }
  }
  Platform platform;
  const sys::Services& services = platform.services;
  frame::ModuleState module(services);
  module.paths.strAppPath = default_app_dir() + "/";
  if (!ChkEligWeb::OpenConnections(module)) {
    std::cerr << "jaunter: remind: " << module.error << "\n";
    return 1;
  }
  try {
    const int sent = approval::remind(module, options, platform.clock.now(), std::cout);
    std::cout << (options.dry_run ? "Would send " : "Sent ") << sent << " reminder"
              << (sent == 1 ? "" : "s") << "\n";
  } catch (const vb::RuntimeError& error) {
    std::cerr << "jaunter: remind: " << error.description() << "\n";
    return 1;
  }
  return 0;
}

int init_db(const std::vector<std::string>& args) {
  if (args.size() != 1) return usage_error("init-db needs exactly one directory");
  try {
    std::filesystem::create_directories(args[0]);
    data::create_databases(args[0]);
  } catch (const std::exception& error) {
    std::cerr << "jaunter: " << error.what() << "\n";
    return kUsageError;
  }
  std::cout << "Created trip.db, qsclsc1.db and Tripschl.db in " << args[0] << "\n";
  return 0;
}

int demo(const std::vector<std::string>& args) {
  if (args.size() != 1) return usage_error("demo needs exactly one directory");
  try {
    std::filesystem::create_directories(args[0]);
    data::create_demo(std::filesystem::absolute(args[0]).string(), std::cout);
  } catch (const std::exception& error) {
    std::cerr << "jaunter: " << error.what() << "\n";
    return kUsageError;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return usage_error("no command given");
  const std::string command = args.front();
  args.erase(args.begin());
  try {
    if (command == "serve") return serve(args);
    if (command == "check") return check(args);
    if (command == "backup") return backup(args);
    if (command == "remind") return remind(args);
    if (command == "restore") return restore(args);
    if (command == "init-db") return init_db(args);
    if (command == "demo") return demo(args);
    if (command == "--help" || command == "-h" || command == "help") {
      std::cout << kUsage;
      return 0;
    }
  } catch (const std::exception& error) {
    std::cerr << "jaunter: " << error.what() << "\n";
    return 1;
  }
  return usage_error("unknown command " + command);
}
