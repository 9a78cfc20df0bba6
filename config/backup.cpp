// Online backup and restore of the three databases, and the data directory's lock.
#include "config/backup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <thread>

#include "config/ChkEligWeb.h"
#include "config/sqlite_file.h"
#include "data/schema.h"
#include "frame/module_state.h"

namespace config {

namespace {

namespace fs = std::filesystem;

constexpr const char* kGenerationPrefix = "jaunter-";
constexpr const char* kDatabases[] = {data::kTripDatabase, data::kSecurityDatabase,
                                      data::kRequestDatabase};

// Copies the whole of `from` into `to` in one step, so the copy is one consistent snapshot; a
// writer of the source waits at most for the copy, never the other way round in WAL mode.
void copy_database(const fs::path& from, const fs::path& to) {
  if (!fs::exists(from)) throw std::runtime_error(from.string() + " does not exist");
  const sqlite::Handle source = sqlite::open(from, SQLITE_OPEN_READONLY);
  const sqlite::Handle target = sqlite::open(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source.get(), "main");
  if (!backup) throw std::runtime_error(to.string() + ": " + sqlite3_errmsg(target.get()));
  int rc;
  for (int attempt = 0;; ++attempt) {
    rc = sqlite3_backup_step(backup, -1);
    if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || attempt == 100) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  sqlite3_backup_finish(backup);
  if (rc != SQLITE_DONE) {
    throw std::runtime_error("copying " + from.string() + " to " + to.string() + ": " +
                             sqlite3_errstr(rc));
  }
  // A copy is one file: out of WAL mode it leaves no -wal or -shm beside it when it is read.
  // The server puts a restored file back into WAL mode when it opens it.
  sqlite::column_texts(target.get(), "PRAGMA journal_mode=DELETE");
}

void verify(const fs::path& path) {
  std::vector<std::string> answer;
  try {
    answer = sqlite::column_texts(sqlite::open(path, SQLITE_OPEN_READONLY).get(),
                                  "PRAGMA integrity_check");
  } catch (const std::runtime_error& error) {
    throw std::runtime_error(path.string() + " cannot be read: " + error.what());
  }
  if (answer.empty() || answer.front() != "ok") {
    throw std::runtime_error(path.string() + " failed the integrity check: " +
                             (answer.empty() ? std::string("no answer") : answer.front()));
  }
}

std::string timestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// A directory that is removed unless kept.
struct Partial {
  fs::path path;
  bool kept = false;
  ~Partial() {
    std::error_code ignored;
    if (!kept) fs::remove_all(path, ignored);
  }
};

}  // namespace

fs::path data_directory(const sys::Services& services) {
  frame::ModuleState module(services);
  module.paths = frame::ThreadPaths{};
  ChkEligWeb::SetTripPaths(module);
  if (!module.ok() || module.paths.strTripDataPath.empty() || module.paths.strTripDataPath == "/") {
    throw std::runtime_error("the data directory cannot be found (" + module.error +
                             "); `jaunter check` says which link is broken");
  }
  return fs::path(module.paths.strTripDataPath);
}

std::vector<fs::path> generations(const fs::path& dest) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dest, ec)) {
    if (entry.is_directory() && entry.path().filename().string().starts_with(kGenerationPrefix)) {
      found.push_back(entry.path());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

fs::path backup(const fs::path& data_dir, const fs::path& dest, int keep) {
  if (keep < 1) throw std::runtime_error("--keep must be at least 1");
  fs::create_directories(dest);
  Partial partial{dest / (".partial-" + std::to_string(getpid()))};
  fs::remove_all(partial.path);
  fs::create_directory(partial.path);
  for (const char* name : kDatabases) {
    copy_database(data_dir / name, partial.path / name);
    verify(partial.path / name);
  }
  // Named to sort after every generation there, also within one second.
  const std::vector<fs::path> earlier = generations(dest);
  const std::string base = kGenerationPrefix + timestamp();
  std::string name = base;
  for (int n = 2;
       fs::exists(dest / name) || (!earlier.empty() && name <= earlier.back().filename().string());
       ++n) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%03d", n);
    name = base + suffix;
  }
  const fs::path generation = dest / name;
  fs::rename(partial.path, generation);
  partial.kept = true;
  std::vector<fs::path> all = generations(dest);
  for (std::size_t i = 0; i + keep < all.size(); ++i) fs::remove_all(all[i]);
  return generation;
}

void restore(const fs::path& source, const fs::path& data_dir) {
  const DataDirectoryLock lock(data_dir, DataDirectoryLock::Mode::Restoring);
  for (const char* name : kDatabases) verify(source / name);
  for (const char* name : kDatabases) copy_database(source / name, data_dir / name);
}

DataDirectoryLock::DataDirectoryLock(const fs::path& data_dir, Mode mode) {
  const fs::path path = data_dir / "jaunter.lock";
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) throw std::runtime_error("cannot open " + path.string());
  if (flock(fd_, (mode == Mode::Serving ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    ::close(fd_);
    fd_ = -1;
    throw DataDirectoryBusy(mode == Mode::Serving
                                ? "a restore is replacing the databases in " + data_dir.string()
                                : "a server is using the databases in " + data_dir.string() +
                                      "; stop it first");
  }
}

DataDirectoryLock::~DataDirectoryLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace config
