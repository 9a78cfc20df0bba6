// `jaunter backup` and `jaunter restore`: consistent copies of the three databases taken while the
// server runs (the engine's online backup), verified, kept in dated generations; and the lock by
// which a running server keeps a restore from replacing its files.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sys/services.h"

namespace config {

// The data directory the registry and trip.ini name, as serve finds it. Throws
// std::runtime_error saying which link failed.
std::filesystem::path data_directory(const sys::Services& services);

// Copies trip.db, qsclsc1.db and Tripschl.db of `data_dir` into a new generation directory
// DEST/jaunter-YYYYMMDD-HHMMSS, each a consistent snapshot that passes the integrity check,
// then keeps the newest `keep` generations. Returns the new generation. Throws
// std::runtime_error; a failed backup leaves no generation behind.
std::filesystem::path backup(const std::filesystem::path& data_dir,
                             const std::filesystem::path& dest, int keep);

// The generations under `dest`, oldest first.
std::vector<std::filesystem::path> generations(const std::filesystem::path& dest);

// Replaces the three databases of `data_dir` with those of the generation `source`, after
// checking that each is whole. Refuses (std::runtime_error) while a server holds `data_dir`.
void restore(const std::filesystem::path& source, const std::filesystem::path& data_dir);

// The other side holds the data directory's lock.
struct DataDirectoryBusy : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Held by a running server for its data directory (a shared lock on DIR/jaunter.lock), so that
// a restore (which asks for it exclusively) refuses to start under it.
class DataDirectoryLock {
 public:
  enum class Mode { Serving, Restoring };
  // Throws DataDirectoryBusy when the other side holds the lock.
  DataDirectoryLock(const std::filesystem::path& data_dir, Mode mode);
  ~DataDirectoryLock();
  DataDirectoryLock(const DataDirectoryLock&) = delete;
  DataDirectoryLock& operator=(const DataDirectoryLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace config
