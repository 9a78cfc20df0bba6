// The demo district: the promised amounts of believable data, statuses that fit their approval
// chains, settings files that lead to the databases, determinism, and refusal to overwrite.
#include "data/demo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "data/schema.h"
#include "platform/sys/clock.h"
#include "platform/sys/ini.h"
#include "platform/sys/registry.h"
#include "platform/vb/conversions.h"
#include "tests/data/native.h"
#include "tests/support/simulator.h"

namespace {

namespace fs = std::filesystem;
using data_test::native_count;
using data_test::native_rows;

// Wednesday 12 March 2025, 10:30 AM.
vb::DateTime creation_time() {
  return vb::DateTime{vb::DateSerial(2025, 3, 12).serial + vb::TimeSerial(10, 30, 0).serial};
}
long today() {
  return static_cast<long>(vb::DateSerial(2025, 3, 12).serial);
}

class Demo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testing_support::TempDir();
    const sys::FixedClock clock(creation_time());
    std::ostringstream out;
    data::create_demo(dir_->str(), out, clock);
    output_ = new std::string(out.str());
  }
  static void TearDownTestSuite() {
    delete output_;
    delete dir_;
  }

  static std::string root() { return fs::canonical(dir_->path()).string(); }
  static std::string trip() { return (dir_->path() / data::kTripDatabase).string(); }
  static std::string security() { return (dir_->path() / data::kSecurityDatabase).string(); }
  static std::string request() { return (dir_->path() / data::kRequestDatabase).string(); }
  static long count(const std::string& path, const std::string& sql) {
    return native_count(path, sql);
  }

  static testing_support::TempDir* dir_;
  static std::string* output_;
};

testing_support::TempDir* Demo::dir_ = nullptr;
std::string* Demo::output_ = nullptr;

std::set<std::string> column_set(const std::string& path, const std::string& sql) {
  std::set<std::string> values;
  for (const auto& row : native_rows(path, sql)) values.insert(row[0]);
  return values;
}

TEST_F(Demo, prints_the_serve_command_and_the_sample_sign_ins) {
  const std::string command =
      "JAUNTER_REGISTRY=" + root() + "/jaunter.reg jaunter serve --port 8080";
  EXPECT_NE(output_->find(command), std::string::npos) << *output_;
  for (const char* sign_in : {"transport", "director", "athdir", "principal.adams", "adams"}) {
    EXPECT_NE(output_->find(std::string("  ") + sign_in + " "), std::string::npos) << sign_in;
  }
  EXPECT_NE(output_->find("demo passwords only"), std::string::npos);
}

TEST_F(Demo, settings_files_lead_to_the_databases) {
  const sys::RegistryFile registry((dir_->path() / "jaunter.reg").string());
  const auto ini_path = registry.read(
      "HKEY_LOCAL_MACHINE",
      "Software\\Quillmark Software, Inc.\\Carline Transport Manager - Field Trip", "INIPath");
  ASSERT_TRUE(ini_path.has_value());
  EXPECT_EQ(ini_path->type, sys::RegistryValue::Type::String);
  EXPECT_EQ(ini_path->text, root());

  const std::string ini = root() + "/trip.ini";
  const std::map<std::string, std::string> expected = {
      {"CarlinePath", root()},     {"SessionTimeOut", "20"}, {"DOTNETInstalled", "False"},
      {"SmtpServer", "127.0.0.1"}, {"SmtpPort", "2525"},     {"SmtpAuthentication", "False"},
  };
  for (const auto& [key, value] : expected) {
    EXPECT_EQ(sys::get_private_profile_string("Carline Options", key, "", ini), value) << key;
  }
  for (const char* key : {"CalendarUrl", "InquiryUrl", "EmailFromAddress", "EmailFromName"}) {
    EXPECT_FALSE(sys::get_private_profile_string("Carline Options", key, "", ini).empty()) << key;
  }
  EXPECT_NE(sys::get_private_profile_string("Carline Options", "EmailFromAddress", "", ini)
                .find("@example.org"),
            std::string::npos);
  for (const char* database :
       {data::kTripDatabase, data::kSecurityDatabase, data::kRequestDatabase}) {
    EXPECT_TRUE(fs::is_regular_file(fs::path(root()) / database)) << database;
  }
}

// Each query counts the rows that break a promise of the sample district: none may.
TEST_F(Demo, reference_data_trips_billing_and_calendar_are_consistent) {
  const std::string day = std::to_string(today());
  const std::pair<std::string, std::string> broken[] = {
      {trip(), "SELECT count(*) FROM DESTINATION WHERE DESTADD1 IS NULL OR MILES <= 0"},
      {trip(),
       "SELECT count(*) FROM CUSTOMER WHERE CUSTDIV NOT IN (SELECT Division FROM Division)"},
      {trip(),
       "SELECT count(*) FROM CUSTOMER_FUND WHERE FUND NOT IN (SELECT FUND FROM FUND) OR "
       "CUSTOMER NOT IN (SELECT CUSTOMER FROM CUSTOMER)"},
      {trip(),
       "SELECT count(*) FROM TRIPS WHERE DEPDATE <> CAST(DEPDATE AS INTEGER) OR DEPTIME >= 1 "
       "OR RETDATE < DEPDATE"},
      {trip(), "SELECT count(*) FROM TRIPS WHERE BILLED <> 0 AND CANCELED <> 0"},
      {trip(),
       "SELECT count(*) FROM TRIPS WHERE BILLED <> 0 AND TRIPNUM NOT IN (SELECT TRIPNUM FROM "
       "ARDETAIL WHERE TRANCODE = 'BIL')"},
      {trip(),
       "SELECT count(*) FROM ARDETAIL WHERE (TRANCODE = 'PAY') <> (TRANAMT < 0) OR "
       "TRANCODE NOT IN ('BIL', 'PAY')"},
      {trip(),
       "SELECT count(*) FROM TRIPS WHERE CUSTOMER NOT IN (SELECT CUSTOMER FROM CUSTOMER) OR "
       "DESTINATION NOT IN (SELECT DESTINATION FROM DESTINATION)"},
      {trip(),
       "SELECT count(*) FROM TRIPS WHERE DEPDATE IN (SELECT NoteDate FROM Big_CalCalNotes "
       "WHERE NoteSeverity = 3)"},
      {trip(), "SELECT count(*) FROM TRIPS WHERE DEPDATE < " + std::to_string(today() - 160) +
                   " OR DEPDATE > " + std::to_string(today() + 130)},
      {security(), "SELECT count(*) FROM CLSCC WHERE ACTIVE <> -1"},
      {security(), "SELECT count(*) - count(DISTINCT CLSC1) FROM CLSCU"},
      {request(),
       "SELECT count(*) FROM TRIPSREQ WHERE STATUS = 'Denied' AND "
       "IFNULL(STATUS_COMMENT, '') = ''"},
  };
  for (const auto& [path, sql] : broken) EXPECT_EQ(count(path, sql), 0) << sql;

  // The promised amounts and the variety the pages need to show something.
  const std::string coming =
      " AND NoteDate > " + day + " AND NoteDate <= " + std::to_string(today() + 42);
  const std::tuple<std::string, std::string, long> at_least[] = {
      {trip(), "SELECT count(*) FROM CUSTOMER", 30},
      {trip(), "SELECT count(*) FROM DESTINATION WHERE ACTIVE <> 0", 50},
      {trip(), "SELECT count(*) FROM TRIPS WHERE DEPDATE < " + day, 80},
      {trip(), "SELECT count(*) FROM TRIPS WHERE DEPDATE >= " + day, 50},
      {request(), "SELECT count(*) FROM TRIPSREQ", 50},
      // Some customers may charge several funds.
      {trip(),
       "SELECT count(*) FROM (SELECT CUSTOMER FROM CUSTOMER_FUND INNER JOIN FUND ON "
       "FUND.FUND = CUSTOMER_FUND.FUND WHERE FUND.ACTIVE <> 0 GROUP BY CUSTOMER HAVING "
       "count(*) >= 2)",
       5},
      {trip(), "SELECT count(*) FROM TRIPS WHERE CANCELED <> 0", 1},
      // Summaries group trips without a category or grade as "*None".
      {trip(), "SELECT count(*) FROM TRIPS WHERE TRIPCAT = ''", 1},
      {trip(), "SELECT count(*) FROM TRIPS WHERE GRADE IS NULL", 1},
      {trip(), "SELECT count(*) FROM Big_CalCalNotes WHERE NoteSeverity = 2" + coming, 1},
      {trip(),
       "SELECT count(*) FROM Big_CalCalNotes WHERE NoteSeverity = 3 AND "
       "Note_SchoolClosed <> 0" +
           coming,
       1},
  };
  for (const auto& [path, sql, least] : at_least) EXPECT_GE(count(path, sql), least) << sql;
  EXPECT_EQ(count(security(), "SELECT count(*) FROM CLSCC"), 3);
  // One coming day is booked to the daily trip limit.
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM (SELECT DEPDATE FROM TRIPS WHERE CANCELED = 0 AND "
                  "DEPDATE > " +
                      day +
                      " GROUP BY DEPDATE HAVING count(*) = (SELECT "
                      "TOTAL_TRIPS_LIMIT FROM District))"),
            1);
  const std::set<std::string> chains = column_set(security(), "SELECT CHAINID FROM CLSCC");
  for (const std::string& chain :
       column_set(trip(),
                  "SELECT CHAINID FROM CUSTOMER WHERE CHAINID IS NOT NULL UNION SELECT "
                  "CHAINID FROM CUSTOMER_TRIPCAT")) {
    EXPECT_TRUE(chains.count(chain)) << chain;
  }
}

std::string dump(const std::string& path) {
  std::string text;
  for (const auto& table :
       native_rows(path, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
    text += table[0] + ":\n";
    for (const auto& row : native_rows(path, "SELECT * FROM \"" + table[0] + "\" ORDER BY rowid")) {
      for (const std::string& value : row) text += value + "|";
      text += "\n";
    }
  }
  return text;
}

TEST_F(Demo, the_same_clock_gives_the_same_district) {
  testing_support::TempDir other;
  const sys::FixedClock clock(creation_time());
  std::ostringstream out;
  data::create_demo(other.str(), out, clock);
  for (const char* database :
       {data::kTripDatabase, data::kSecurityDatabase, data::kRequestDatabase}) {
    const std::string first = dump((dir_->path() / database).string());
    EXPECT_GT(first.size(), 1000u) << database;
    EXPECT_TRUE(first == dump((other.path() / database).string())) << database;
  }
}

TEST(DemoRefusal, refuses_an_existing_file_or_a_missing_directory_and_changes_nothing) {
  for (const char* blocker : {"trip.ini", "jaunter.reg", "trip.db", "qsclsc1.db", "Tripschl.db"}) {
    testing_support::TempDir dir;
    dir.write(blocker, "precious");
    const sys::FixedClock clock(creation_time());
    std::ostringstream out;
    try {
      data::create_demo(dir.str(), out, clock);
      ADD_FAILURE() << "created the demo over " << blocker;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(blocker), std::string::npos) << error.what();
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::set<std::string>{blocker}) << blocker;
    std::ifstream kept(dir.path() / blocker);
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "precious") << blocker;
    EXPECT_TRUE(out.str().empty()) << blocker;
  }
  testing_support::TempDir dir;
  const std::string missing = (dir.path() / "missing").string();
  std::ostringstream out;
  EXPECT_THROW(data::create_demo(missing, out, sys::FixedClock(creation_time())),
               std::runtime_error);
  EXPECT_FALSE(fs::exists(missing));
}

}  // namespace
