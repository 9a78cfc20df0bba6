// Backup while saves run, generations kept, and restore refused under a running server.
#include "config/backup.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "tests/support/simulator.h"

namespace {

namespace fs = std::filesystem;
using testing_support::District;

long count_requests(const fs::path& db_path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(db_path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM TRIPSREQ", -1, &stmt, nullptr);
  long count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return count;
}

// Inserts requests one transaction each until stopped; `committed` counts those done.
struct Saver {
  explicit Saver(const fs::path& db_path) {
    thread = std::thread([this, db_path] {
      sqlite3* db = nullptr;
      sqlite3_open(db_path.c_str(), &db);
      sqlite3_busy_timeout(db, 10000);
      while (!stop) {
        if (sqlite3_exec(db, "INSERT INTO TRIPSREQ (CUSTOMER, PURPOSE) VALUES ('ADAMS', 'Zoo')",
                         nullptr, nullptr, nullptr) == SQLITE_OK) {
          ++committed;
        }
      }
      sqlite3_close(db);
    });
  }
  ~Saver() {
    stop = true;
    thread.join();
  }
  std::atomic<bool> stop{false};
  std::atomic<long> committed{0};
  std::thread thread;
};

TEST(Backup, a_copy_taken_during_saves_is_whole_and_holds_every_earlier_save) {
  District district;
  testing_support::TempDir dest;
  const fs::path requests = fs::path(district.dir()) / "Tripschl.db";
  district.sql("request", "PRAGMA journal_mode=WAL");
  Saver saver(requests);
  while (saver.committed < 200) std::this_thread::yield();
  const long before = saver.committed;
  const fs::path generation = config::backup(district.dir(), dest.path(), 3);
  const long copied = count_requests(generation / "Tripschl.db");
  EXPECT_GE(copied, before);
  EXPECT_LE(copied, saver.committed.load() + 1);  // one save may be in, not yet counted
  for (const char* name : {"trip.db", "qsclsc1.db", "Tripschl.db"}) {
    EXPECT_TRUE(fs::exists(generation / name)) << name;
  }
}

TEST(Backup, keeps_the_newest_generations_only) {
  District district;
  testing_support::TempDir dest;
  district.sql("trip", "PRAGMA journal_mode=WAL");  // as the server leaves it
  fs::path last;
  for (int i = 0; i < 4; ++i) last = config::backup(district.dir(), dest.path(), 2);
  const auto kept = config::generations(dest.path());
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept.back(), last);
  EXPECT_FALSE(fs::exists(dest.path() / (".partial-" + std::to_string(getpid()))));
  // A generation is its three files alone: nothing of WAL mode left beside the copies.
  EXPECT_EQ(std::distance(fs::directory_iterator(last), fs::directory_iterator()), 3);
}

TEST(Restore, brings_the_copy_back_and_refuses_under_a_running_server) {
  District district;
  testing_support::TempDir dest;
  const fs::path requests = fs::path(district.dir()) / "Tripschl.db";
  district.sql("request", "INSERT INTO TRIPSREQ (CUSTOMER) VALUES ('ADAMS')");
  const fs::path generation = config::backup(district.dir(), dest.path(), 1);
  district.sql("request", "DELETE FROM TRIPSREQ");
  {
    const config::DataDirectoryLock serving(district.dir(),
                                            config::DataDirectoryLock::Mode::Serving);
    EXPECT_THROW(config::restore(generation, district.dir()), config::DataDirectoryBusy);
    EXPECT_EQ(count_requests(requests), 0);
  }
  config::restore(generation, district.dir());
  EXPECT_EQ(count_requests(requests), 1);
}

TEST(Restore, a_damaged_copy_replaces_nothing) {
  District district;
  testing_support::TempDir dest;
  district.sql("request", "INSERT INTO TRIPSREQ (CUSTOMER) VALUES ('ADAMS')");
  const fs::path generation = config::backup(district.dir(), dest.path(), 1);
  std::ofstream(generation / "qsclsc1.db", std::ios::trunc) << std::string(8192, 'x');
  district.sql("request", "DELETE FROM TRIPSREQ");
  EXPECT_THROW(config::restore(generation, district.dir()), std::runtime_error);
  EXPECT_EQ(count_requests(fs::path(district.dir()) / "Tripschl.db"), 0);
}

}  // namespace
