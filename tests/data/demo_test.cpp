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
using data_test::native_value;

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

TEST_F(Demo, has_one_row_of_district_settings) {
  ASSERT_EQ(count(trip(), "SELECT count(*) FROM District"), 1);
  EXPECT_EQ(native_value(trip(), "SELECT DISTNAME FROM District"),
            "Riverbend Unified School District");
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM District WHERE DISTADDR1 <> '' AND DISTCITY <> '' "
                  "AND DISTSTATE <> '' AND DISTZIP <> '' AND DISTPHONE <> ''"),
            1);
  const std::map<std::string, std::string> settings = {
      {"DEPDT_LEADTIME", "3"},     {"DEPDT_LEADTIME_HARDWARN", "0"},
      {"FUND_DD", "-1"},           {"AUTOFILL", "-1"},
      {"autofill_requests", "-1"}, {"DEFAULT_CALCNUMDRIVER", "-1"},
      {"TOTAL_TRIPS_LIMIT", "12"},
  };
  for (const auto& [column, value] : settings) {
    EXPECT_EQ(native_value(trip(), "SELECT " + column + " FROM District"), value) << column;
  }
  ASSERT_EQ(count(trip(), "SELECT count(*) FROM TRIPREQ_REQUIRED"), 1);
  EXPECT_EQ(native_value(trip(),
                         "SELECT CUSTOMER_REQUIRED || ',' || DEPDATE_REQ || ',' || PO_REQ "
                         "|| ',' || INVOICE_COMMENT_REQ FROM TRIPREQ_REQUIRED"),
            "-1,-1,0,0");
  EXPECT_EQ(count(trip(), "SELECT count(*) FROM EMAIL_OPTIONS"), 1);
}

TEST_F(Demo, has_the_promised_numbers_of_rows) {
  struct Case {
    std::string path;
    const char* table;
    long at_least;
  };
  const Case cases[] = {
      {trip(), "CUSTOMER", 30},
      {trip(), "DESTINATION", 50},
      {trip(), "TRIPS", 200},
      {request(), "TRIPSREQ", 50},
      {trip(), "FUND", 10},
      {trip(), "CUSTOMER_FUND", 30},
      {trip(), "CUSTOMER_TRIPCAT", 3},
      {trip(), "TRIPCAT", 5},
      {trip(), "GRADE", 5},
      {trip(), "Division", 3},
      {trip(), "TRIPREQSTATUS", 5},
      {trip(), "DESTCAT", 5},
      {trip(), "SCHEDMAST", 3},
      {trip(), "VEHTYPE", 3},
      {trip(), "TRIPTICKET_TEMPLATE", 2},
      {trip(), "BILLRATE", 2},
      {trip(), "ARDETAIL", 50},
      {trip(), "TRIPSPLIT", 2},
      {trip(), "TRIPEMPLOYEES", 50},
      {trip(), "Big_CalCalNotes", 2},
      {security(), "CLSCU", 40},
      {security(), "CLSCC", 3},
  };
  for (const Case& c : cases) {
    EXPECT_GE(count(c.path, std::string("SELECT count(*) FROM ") + c.table), c.at_least) << c.table;
  }
  EXPECT_EQ(count(security(), "SELECT count(*) FROM CLSCC"), 3);
}

TEST_F(Demo, reference_data_is_varied_and_consistent) {
  const long destinations = count(trip(), "SELECT count(*) FROM DESTINATION");
  const long inactive = count(trip(), "SELECT count(*) FROM DESTINATION WHERE ACTIVE = 0");
  EXPECT_GE(inactive, 1);
  EXPECT_GE(destinations - inactive, 50);
  EXPECT_EQ(count(trip(), "SELECT count(*) FROM DESTINATION WHERE DESTADD1 IS NULL OR MILES <= 0"),
            0);
  EXPECT_GE(count(trip(), "SELECT count(DISTINCT CUSTDIV) FROM CUSTOMER"), 3);
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM CUSTOMER WHERE CUSTDIV NOT IN (SELECT Division "
                  "FROM Division)"),
            0);
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM CUSTOMER WHERE CUSTBILLRATE NOT IN (SELECT "
                  "BILLRATE FROM BILLRATE)"),
            0);
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM CUSTOMER WHERE REQUESTOR_EMAIL NOT LIKE "
                  "'%@example.org'"),
            0);
  // Some customers may charge several funds.
  EXPECT_GE(count(trip(),
                  "SELECT count(*) FROM (SELECT CUSTOMER FROM CUSTOMER_FUND INNER JOIN "
                  "FUND ON FUND.FUND = CUSTOMER_FUND.FUND WHERE FUND.ACTIVE <> 0 GROUP BY "
                  "CUSTOMER HAVING count(*) >= 2)"),
            5);
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM CUSTOMER_FUND WHERE FUND NOT IN (SELECT FUND "
                  "FROM FUND) OR CUSTOMER NOT IN (SELECT CUSTOMER FROM CUSTOMER)"),
            0);
  const std::set<std::string> chains = column_set(security(), "SELECT CHAINID FROM CLSCC");
  for (const std::string& chain :
       column_set(trip(),
                  "SELECT CHAINID FROM CUSTOMER WHERE CHAINID IS NOT NULL UNION SELECT "
                  "CHAINID FROM CUSTOMER_TRIPCAT")) {
    EXPECT_TRUE(chains.count(chain)) << chain;
  }
}

TEST_F(Demo, approval_chains_have_one_to_three_levels) {
  std::set<int> level_counts;
  for (const auto& row : native_rows(
           security(),
           "SELECT CHAINID, ACTIVE, LEVEL1APPROVER, LEVEL2APPROVER, LEVEL3APPROVER, "
           "LEVEL4APPROVER, "
           "LEVEL5APPROVER, LEVEL6APPROVER, LEVEL7APPROVER, LEVEL8APPROVER, LEVEL1STATUS, "
           "LEVEL2STATUS, LEVEL3STATUS, LEVEL4STATUS, LEVEL5STATUS, LEVEL6STATUS, LEVEL7STATUS, "
           "LEVEL8STATUS FROM CLSCC")) {
    EXPECT_EQ(row[1], "-1") << row[0];
    int levels = 0;
    while (levels < 8 && !row[2 + levels].empty()) ++levels;
    level_counts.insert(levels);
    for (int k = 0; k < 8; ++k) {
      // An unused level must be an empty text: a Null there stops the next-approver lookup.
      EXPECT_NE(row[2 + k], "NULL") << row[0] << " level " << k + 1;
      EXPECT_NE(row[10 + k], "NULL") << row[0] << " level " << k + 1;
      EXPECT_EQ(row[2 + k].empty(), k >= levels) << row[0] << " level " << k + 1;
      EXPECT_EQ(row[10 + k].empty(), k >= levels) << row[0] << " level " << k + 1;
    }
  }
  EXPECT_EQ(level_counts, (std::set<int>{1, 2, 3}));
  EXPECT_EQ(count(security(),
                  "SELECT count(*) FROM CLSCC WHERE LEVEL1STATUS = 'PRINCIPAL "
                  "APPROVED'"),
            1);
}

TEST_F(Demo, users_cover_every_role_of_every_chain) {
  const std::set<std::string> roles = column_set(security(), "SELECT ROLE FROM CLSCU");
  const std::set<std::string> approver_roles = column_set(
      security(),
      "SELECT LEVEL1APPROVER FROM CLSCC UNION SELECT LEVEL2APPROVER FROM CLSCC UNION SELECT "
      "LEVEL3APPROVER FROM CLSCC");
  for (const std::string& role : approver_roles) {
    if (!role.empty()) {
      EXPECT_TRUE(roles.count(role)) << role;
    }
  }
  // Approvers both tied to a customer and serving every customer.
  EXPECT_GE(count(security(),
                  "SELECT count(*) FROM CLSCU WHERE ROLE = 'PRINCIPAL' AND CUSTOMER "
                  "<> ''"),
            1);
  EXPECT_GE(count(security(),
                  "SELECT count(*) FROM CLSCU WHERE ROLE IN ('DIRECTOR', 'ATHDIR') "
                  "AND (CUSTOMER IS NULL OR CUSTOMER = '')"),
            2);
  EXPECT_GE(count(security(),
                  "SELECT count(*) FROM CLSCU WHERE ROLE = 'TRANSPORT' AND "
                  "(CUSTOMER IS NULL OR CUSTOMER = '')"),
            1);
  EXPECT_EQ(count(security(), "SELECT count(*) FROM CLSCU WHERE EMAIL NOT LIKE '%@example.org'"),
            0);
  EXPECT_EQ(count(security(), "SELECT count(*) - count(DISTINCT CLSC1) FROM CLSCU"), 0);
  // Every customer has a requester: a user of that customer whose role approves nothing.
  std::set<std::string> served;
  for (const auto& row : native_rows(security(), "SELECT CUSTOMER, ROLE FROM CLSCU")) {
    if (!approver_roles.count(row[1])) served.insert(row[0]);
  }
  for (const std::string& customer : column_set(trip(), "SELECT CUSTOMER FROM CUSTOMER")) {
    EXPECT_TRUE(served.count(customer)) << customer;
  }
}

TEST_F(Demo, request_statuses_fit_their_chains) {
  std::map<std::string, std::set<std::string>> statuses;  // chain -> statuses it allows
  for (const auto& row : native_rows(security(),
                                     "SELECT CHAINID, LEVEL1STATUS, LEVEL2STATUS, "
                                     "LEVEL3STATUS FROM CLSCC")) {
    statuses[row[0]] = {"UNAPPROVED", "Denied"};
    for (int k = 1; k <= 3; ++k) {
      if (!row[k].empty()) statuses[row[0]].insert(row[k]);
    }
  }
  std::map<std::string, std::string> customer_chain;
  for (const auto& row :
       native_rows(trip(), "SELECT CUSTOMER, IFNULL(CHAINID, '') FROM CUSTOMER")) {
    customer_chain[row[0]] = row[1];
  }
  std::map<std::string, std::string> category_chain;  // customer|category -> chain
  for (const auto& row :
       native_rows(trip(), "SELECT CUSTOMER, TRIPCAT, CHAINID FROM CUSTOMER_TRIPCAT")) {
    category_chain[row[0] + "|" + row[1]] = row[2];
  }

  std::set<std::string> seen;
  for (const auto& row : native_rows(request(),
                                     "SELECT TRIPNUM, CUSTOMER, IFNULL(TRIPCAT, ''), "
                                     "IFNULL(CHAINID, ''), STATUS FROM TRIPSREQ")) {
    const std::string& chain = row[3];
    const std::string& status = row[4];
    seen.insert(status);
    // The chain the request form would have chosen.
    const auto by_category = category_chain.find(row[1] + "|" + row[2]);
    const std::string expected_chain =
        by_category != category_chain.end() ? by_category->second : customer_chain[row[1]];
    EXPECT_EQ(chain, expected_chain) << "request " << row[0];
    if (chain.empty()) {
      EXPECT_TRUE(status == "Pending" || status == "Denied") << "request " << row[0] << status;
    } else {
      ASSERT_TRUE(statuses.count(chain)) << chain;
      EXPECT_TRUE(statuses[chain].count(status)) << "request " << row[0] << " " << status;
    }
  }
  for (const char* status : {"UNAPPROVED", "Pending", "Denied", "ACCEPTED", "PRINCIPAL APPROVED",
                             "DIRECTOR APPROVED", "ATHLETICS APPROVED"}) {
    EXPECT_TRUE(seen.count(status)) << status;
  }
  EXPECT_EQ(count(request(),
                  "SELECT count(*) FROM TRIPSREQ WHERE STATUS = 'Denied' AND "
                  "IFNULL(STATUS_COMMENT, '') = ''"),
            0);
}

TEST_F(Demo, requests_name_known_customers_destinations_and_users) {
  const std::set<std::string> customers = column_set(trip(), "SELECT CUSTOMER FROM CUSTOMER");
  const std::set<std::string> destinations =
      column_set(trip(), "SELECT DESTINATION FROM DESTINATION");
  std::set<std::string> users;
  for (const auto& row : native_rows(security(), "SELECT CLSC1, CUSTOMER FROM CLSCU")) {
    users.insert(row[0] + "|" + row[1]);
  }
  long typed = 0;
  for (const auto& row :
       native_rows(request(),
                   "SELECT TRIPNUM, CUSTOMER, DESTINATION, trim(DESTDESC), trim(DESTADD1), "
                   "ENTEREDBY, ENTERDATE <= " +
                       std::to_string(creation_time().serial) +
                       ", STATUS_DATE >= ENTERDATE, RETDATE >= DEPDATE, DEPDATE > "
                       "ENTERDATE, REQUESTOR_EMAIL FROM TRIPSREQ")) {
    EXPECT_TRUE(customers.count(row[1])) << "request " << row[0];
    if (row[2] == "0") {
      ++typed;
      EXPECT_FALSE(row[3].empty()) << "request " << row[0];
      EXPECT_FALSE(row[4].empty()) << "request " << row[0];
    } else {
      EXPECT_TRUE(destinations.count(row[2])) << "request " << row[0];
    }
    EXPECT_TRUE(users.count(row[5] + "|" + row[1])) << "request " << row[0] << " by " << row[5];
    for (int i = 6; i <= 9; ++i) EXPECT_EQ(row[i], "1") << "request " << row[0] << " check " << i;
    EXPECT_NE(row[10].find("@example.org"), std::string::npos) << "request " << row[0];
  }
  EXPECT_GE(typed, 3);
}

TEST_F(Demo, accepted_requests_point_at_their_trips_and_back) {
  std::map<std::string, std::vector<std::string>>
      trips;  // TRIPNUM -> TRIPREQNUM, CUSTOMER, DEPDATE
  for (const auto& row : native_rows(trip(),
                                     "SELECT TRIPNUM, TRIPREQNUM, CUSTOMER, DEPDATE FROM "
                                     "TRIPS")) {
    trips[row[0]] = {row[1], row[2], row[3]};
  }
  long linked = 0;
  for (const auto& row : native_rows(request(),
                                     "SELECT TRIPNUM, FIELDTRIP_NUM, CUSTOMER, "
                                     "DEPDATE, STATUS FROM TRIPSREQ WHERE "
                                     "FIELDTRIP_NUM IS NOT NULL")) {
    ++linked;
    ASSERT_TRUE(trips.count(row[1])) << "request " << row[0];
    EXPECT_EQ(trips[row[1]], (std::vector<std::string>{row[0], row[2], row[3]}))
        << "request " << row[0];
    EXPECT_EQ(row[4], "ACCEPTED") << "request " << row[0];
  }
  EXPECT_GE(linked, 10);
  EXPECT_EQ(count(trip(), "SELECT count(*) FROM TRIPS WHERE TRIPREQNUM <> 0"), linked);
}

TEST_F(Demo, trips_span_the_school_year_around_the_creation_day) {
  const std::string day = std::to_string(today());
  EXPECT_GE(count(trip(), "SELECT min(DEPDATE) FROM TRIPS"), today() - 160);
  EXPECT_LE(count(trip(), "SELECT max(DEPDATE) FROM TRIPS"), today() + 130);
  EXPECT_GE(count(trip(), "SELECT count(*) FROM TRIPS WHERE DEPDATE < " + day), 80);
  EXPECT_GE(count(trip(), "SELECT count(*) FROM TRIPS WHERE DEPDATE >= " + day), 50);
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM TRIPS WHERE DEPDATE <> CAST(DEPDATE AS INTEGER) "
                  "OR DEPTIME >= 1 OR RETDATE < DEPDATE"),
            0);
  // Assignment, billing and cancellation states, consistent with the dates.
  struct Case {
    const char* what;
    std::string condition;
    bool expected_some;
  };
  const std::string future = "DEPDATE > " + day;
  const Case cases[] = {
      {"assigned", "ASSIGNED <> 0", true},
      {"unassigned", "ASSIGNED = 0", true},
      {"billed", "BILLED <> 0", true},
      {"unbilled past trips", "BILLED = 0 AND CANCELED = 0 AND DEPDATE < " + day, true},
      {"canceled", "CANCELED <> 0", true},
      {"billed without a bill date", "BILLED <> 0 AND BILLDATE IS NULL", false},
      {"canceled without a cancel date", "CANCELED <> 0 AND CANDATE IS NULL", false},
      {"billed and canceled", "BILLED <> 0 AND CANCELED <> 0", false},
  };
  for (const Case& c : cases) {
    const long n = count(trip(), "SELECT count(*) FROM TRIPS WHERE " + c.condition);
    if (c.expected_some) {
      EXPECT_GT(n, 0) << c.what;
    } else {
      EXPECT_EQ(n, 0) << c.what;
    }
  }
  EXPECT_EQ(count(trip(), "SELECT count(*) FROM TRIPS WHERE BILLED <> 0 AND " + future), 0);
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM TRIPS WHERE BILLED <> 0 AND TRIPNUM NOT IN "
                  "(SELECT TRIPNUM FROM ARDETAIL WHERE TRANCODE = 'BIL')"),
            0);
  EXPECT_EQ(column_set(trip(), "SELECT DISTINCT TRANCODE FROM ARDETAIL"),
            (std::set<std::string>{"BIL", "PAY"}));
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM ARDETAIL WHERE (TRANCODE = 'PAY') <> (TRANAMT < "
                  "0)"),
            0);
  for (const char* table : {"ARDETAIL", "TRIPSPLIT", "TRIPEMPLOYEES"}) {
    EXPECT_EQ(count(trip(), std::string("SELECT count(*) FROM ") + table +
                                " WHERE TRIPNUM NOT IN (SELECT TRIPNUM FROM TRIPS)"),
              0)
        << table;
  }
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM TRIPS WHERE CUSTOMER NOT IN (SELECT CUSTOMER "
                  "FROM CUSTOMER) OR DESTINATION NOT IN (SELECT DESTINATION FROM "
                  "DESTINATION)"),
            0);
  // Summaries group trips without a category or grade as "*None".
  EXPECT_GT(count(trip(), "SELECT count(*) FROM TRIPS WHERE TRIPCAT = ''"), 0);
  EXPECT_GT(count(trip(), "SELECT count(*) FROM TRIPS WHERE GRADE IS NULL"), 0);
}

TEST_F(Demo, calendar_has_a_warning_and_a_closed_day_in_the_coming_weeks) {
  const std::string coming =
      "NoteDate > " + std::to_string(today()) + " AND NoteDate <= " + std::to_string(today() + 42);
  EXPECT_GE(
      count(trip(), "SELECT count(*) FROM Big_CalCalNotes WHERE NoteSeverity = 2 AND " + coming),
      1);
  EXPECT_GE(count(trip(),
                  "SELECT count(*) FROM Big_CalCalNotes WHERE NoteSeverity = 3 AND "
                  "Note_SchoolClosed <> 0 AND " +
                      coming),
            1);
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM Big_CalCalNotes WHERE NoteDate <> CAST(NoteDate "
                  "AS INTEGER) OR NoteText IS NULL"),
            0);
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM TRIPS WHERE DEPDATE IN (SELECT NoteDate FROM "
                  "Big_CalCalNotes WHERE NoteSeverity = 3)"),
            0);
}

TEST_F(Demo, one_coming_day_is_booked_to_the_daily_trip_limit) {
  EXPECT_EQ(count(trip(),
                  "SELECT count(*) FROM (SELECT DEPDATE FROM TRIPS WHERE CANCELED = 0 AND "
                  "DEPDATE > " +
                      std::to_string(today()) +
                      " GROUP BY DEPDATE HAVING count(*) = (SELECT TOTAL_TRIPS_LIMIT "
                      "FROM District))"),
            1);
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

TEST_F(Demo, other_days_give_other_dates) {
  testing_support::TempDir other;
  const sys::FixedClock clock(vb::DateTime{creation_time().serial + 30});
  std::ostringstream out;
  data::create_demo(other.str(), out, clock);
  // Notes fall on weekdays, so a day may move by up to two more.
  for (const char* sql :
       {"SELECT min(NoteDate) FROM Big_CalCalNotes", "SELECT max(NoteDate) FROM Big_CalCalNotes"}) {
    const long shift =
        count((other.path() / data::kTripDatabase).string(), sql) - count(trip(), sql);
    EXPECT_GE(shift, 28) << sql;
    EXPECT_LE(shift, 32) << sql;
  }
}

TEST(DemoRefusal, refuses_when_any_file_exists_and_changes_nothing) {
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
}

TEST(DemoRefusal, refuses_a_directory_that_does_not_exist) {
  testing_support::TempDir dir;
  const std::string missing = (dir.path() / "missing").string();
  const sys::FixedClock clock(creation_time());
  std::ostringstream out;
  EXPECT_THROW(data::create_demo(missing, out, clock), std::runtime_error);
  EXPECT_FALSE(fs::exists(missing));
}

}  // namespace
