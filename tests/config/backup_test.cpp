// Backup while saves run, generations kept, and restore refused under a running server.
#include "config/backup.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "tests/data/native.h"
#include "tests/support/simulator.h"

namespace {

namespace fs = std::filesystem;
using testing_support::District;

long count_requests(const fs::path& dir) {
  return data_test::native_count((dir / "Tripschl.db").string(), "SELECT COUNT(*) FROM TRIPSREQ");
}

TEST(Backup, a_copy_taken_during_saves_is_whole_and_holds_every_earlier_save) {
  District district;
  testing_support::TempDir dest;
  district.sql("request", "PRAGMA journal_mode=WAL");
  std::atomic<bool> stop{false};
  std::atomic<long> committed{0};
  std::thread saver([&] {  // one request a transaction, until stopped
    sqlite3* db = nullptr;
    sqlite3_open((district.dir() + "/Tripschl.db").c_str(), &db);
    sqlite3_busy_timeout(db, 10000);
    while (!stop) {
      committed += sqlite3_exec(db, "INSERT INTO TRIPSREQ (CUSTOMER) VALUES ('ADAMS')", nullptr,
                                nullptr, nullptr) == SQLITE_OK;
    }
    sqlite3_close(db);
  });
  while (committed < 200) std::this_thread::yield();
  const long before = committed;
  const fs::path generation = config::backup(district.dir(), dest.path(), 3);
  const long after = committed;
  stop = true;
  saver.join();
  const long copied = count_requests(generation);
  EXPECT_GE(copied, before);
  EXPECT_LE(copied, after + 1);  // one save may be in, not yet counted
}

TEST(Backup, keeps_the_newest_generations_only_each_its_three_files_alone) {
  District district;
  testing_support::TempDir dest;
  district.sql("trip", "PRAGMA journal_mode=WAL");  // as the server leaves it
  fs::path last;
  for (int i = 0; i < 4; ++i) last = config::backup(district.dir(), dest.path(), 2);
  const auto kept = config::generations(dest.path());
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept.back(), last);
  EXPECT_FALSE(fs::exists(dest.path() / (".partial-" + std::to_string(getpid()))));
  // Nothing of WAL mode left beside the copies.
  for (const char* name : {"trip.db", "qsclsc1.db", "Tripschl.db"}) {
    EXPECT_TRUE(fs::exists(last / name)) << name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(last), fs::directory_iterator()), 3);
}

TEST(Restore, brings_the_copy_back_and_refuses_under_a_running_server_or_from_a_damaged_copy) {
  District district;
  testing_support::TempDir dest;
  district.sql("request", "INSERT INTO TRIPSREQ (CUSTOMER) VALUES ('ADAMS')");
  const fs::path generation = config::backup(district.dir(), dest.path(), 1);
  district.sql("request", "DELETE FROM TRIPSREQ");
  {
    const config::DataDirectoryLock serving(district.dir(),
                                            config::DataDirectoryLock::Mode::Serving);
    EXPECT_THROW(config::restore(generation, district.dir()), config::DataDirectoryBusy);
    EXPECT_EQ(count_requests(district.dir()), 0);
  }
  const fs::path damaged = config::backup(district.dir(), dest.path(), 2);
  std::ofstream(damaged / "qsclsc1.db", std::ios::trunc) << std::string(8192, 'x');
  district.sql("request", "INSERT INTO TRIPSREQ (CUSTOMER) VALUES ('ADAMS'), ('BAND')");
  EXPECT_THROW(config::restore(damaged, district.dir()), std::runtime_error);
  EXPECT_EQ(count_requests(district.dir()), 2);
  config::restore(generation, district.dir());
  EXPECT_EQ(count_requests(district.dir()), 1);
}

}  // namespace
