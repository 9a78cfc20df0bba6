// The demo district: the promised amounts of believable data, statuses that fit their approval
// chains, settings files that lead to the databases, and refusal to overwrite.
#include "data/demo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>

#include "data/schema.h"
#include "platform/sys/clock.h"
#include "platform/sys/ini.h"
#include "platform/sys/registry.h"
#include "platform/vb/conversions.h"
#include "tests/data/native.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using data_test::native_count;
using data_test::native_rows;

// Wednesday 12 March 2025, 10:30 AM.
const sys::FixedClock kCreated(vb::DateTime{vb::DateSerial(2025, 3, 12).serial +
                                            vb::TimeSerial(10, 30, 0).serial});
const long kToday = static_cast<long>(vb::DateSerial(2025, 3, 12).serial);

class Demo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testing_support::TempDir();
    std::ostringstream out;
    data::create_demo(dir_->str(), out, kCreated);
    output_ = new std::string(out.str());
  }
  static void TearDownTestSuite() {
    delete output_;
    delete dir_;
  }
  static std::string root() { return fs::canonical(dir_->path()).string(); }
  static std::string db(const char* name) { return (dir_->path() / name).string(); }

  static testing_support::TempDir* dir_;
  static std::string* output_;
};

testing_support::TempDir* Demo::dir_ = nullptr;
std::string* Demo::output_ = nullptr;

TEST_F(Demo, prints_the_serve_command_whose_settings_files_lead_to_the_databases) {
  EXPECT_NE(output_->find("JAUNTER_REGISTRY=" + root() + "/jaunter.reg jaunter serve --port 8080"),
            std::string::npos)
      << *output_;
  for (const char* sign_in : {"transport", "director", "athdir", "principal.adams", "adams"}) {
    EXPECT_NE(output_->find(std::string("  ") + sign_in + " "), std::string::npos) << sign_in;
  }
  const auto ini_path =
      sys::RegistryFile(db("jaunter.reg"))
          .read("HKEY_LOCAL_MACHINE",
                "Software\\Quillmark Software, Inc.\\Carline Transport Manager - Field Trip",
                "INIPath");
  ASSERT_TRUE(ini_path.has_value());
  EXPECT_EQ(ini_path->text, root());
  EXPECT_EQ(
      sys::get_private_profile_string("Carline Options", "CarlinePath", "", root() + "/trip.ini"),
      root());
}

// Each query counts rows of the sample district; the count must be within its bounds.
TEST_F(Demo, reference_data_trips_billing_and_calendar_are_consistent) {
  const std::string trip = db(data::kTripDatabase), day = std::to_string(kToday);
  const std::string requests = db(data::kRequestDatabase);
  const std::tuple<std::string, std::string, long, long> counts[] = {
      {trip, "SELECT count(*) FROM CUSTOMER_FUND WHERE FUND NOT IN (SELECT FUND FROM FUND)", 0, 0},
      {trip,
       "SELECT count(*) FROM TRIPS WHERE DEPDATE <> CAST(DEPDATE AS INTEGER) OR DEPTIME >= 1 "
       "OR RETDATE < DEPDATE OR (BILLED <> 0 AND CANCELED <> 0)",
       0, 0},
      {trip,
       "SELECT count(*) FROM TRIPS WHERE DEPDATE IN (SELECT NoteDate FROM Big_CalCalNotes "
       "WHERE NoteSeverity = 3)",
       0, 0},
      {requests,
       "SELECT count(*) FROM TRIPSREQ WHERE STATUS = 'Denied' AND IFNULL(STATUS_COMMENT, '') = ''",
       0, 0},
      // The promised amounts and the variety the pages need to show something.
      {trip, "SELECT count(*) FROM CUSTOMER", 30, 1000},
      {trip, "SELECT count(*) FROM TRIPS WHERE DEPDATE < " + day, 80, 1000},
      {trip, "SELECT count(*) FROM TRIPS WHERE DEPDATE >= " + day, 50, 1000},
      {requests, "SELECT count(*) FROM TRIPSREQ", 50, 1000},
      // Summaries group trips without a category or grade as "*None".
      {trip, "SELECT count(*) FROM TRIPS WHERE TRIPCAT = '' OR GRADE IS NULL", 1, 1000},
  };
  for (const auto& [path, sql, low, high] : counts) {
    const long count = native_count(path, sql);
    EXPECT_TRUE(count >= low && count <= high) << count << ": " << sql;
  }
  std::set<std::string> chains;
  for (const auto& row : native_rows(db(data::kSecurityDatabase), "SELECT CHAINID FROM CLSCC")) {
    chains.insert(row[0]);
  }
  for (const auto& row : native_rows(trip,
                                     "SELECT CHAINID FROM CUSTOMER WHERE CHAINID IS NOT "
                                     "NULL UNION SELECT CHAINID FROM CUSTOMER_TRIPCAT")) {
    EXPECT_TRUE(chains.count(row[0])) << row[0];
  }
}

TEST(DemoRefusal, refuses_an_existing_file_or_a_missing_directory_and_changes_nothing) {
  for (const char* blocker : {"jaunter.reg", "Tripschl.db", ""}) {
    testing_support::TempDir dir;
    if (*blocker) dir.write(blocker, "precious");
    const fs::path named = dir.path() / (*blocker ? blocker : "missing");
    std::ostringstream out;
    try {
      data::create_demo((*blocker ? dir.path() : named).string(), out, kCreated);
      ADD_FAILURE() << "created the demo over " << named;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(named.filename().string()), std::string::npos)
          << error.what();
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
              *blocker ? 1 : 0);
    std::ifstream kept(named);
    std::string text;
    kept >> text;
    EXPECT_EQ(text, *blocker ? "precious" : "") << blocker;
    EXPECT_TRUE(out.str().empty()) << blocker;
  }
}

}  // namespace
