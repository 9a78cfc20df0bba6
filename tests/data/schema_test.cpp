// init-db: the three databases with every table and column the application uses, in the shared
// stored forms, with the indexes the queries need; and the refusal to overwrite anything.
#include "data/schema.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/data/native.h"
#include "tests/support/simulator.h"

namespace {

namespace fs = std::filesystem;
using data_test::native_count;
using data_test::native_rows;
using data_test::native_value;
using Columns = std::vector<std::pair<std::string, std::string>>;  // name, declared type

struct ExpectedTable {
  const char* database;
  const char* name;
  Columns columns;
};

Columns typed(const std::string& type, std::initializer_list<const char*> names) {
  Columns columns;
  for (const char* name : names) columns.emplace_back(name, type);
  return columns;
}

Columns numbered(const std::string& prefix, int from, int to, const std::string& suffix,
                 const std::string& type) {
  Columns columns;
  for (int n = from; n <= to; ++n) {
    columns.emplace_back(prefix + std::to_string(n) + suffix, type);
  }
  return columns;
}

Columns join(std::initializer_list<Columns> parts) {
  Columns all;
  for (const Columns& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The columns CreateTrip carries from a request to its trip.
Columns assignment_columns() {
  return join({typed("YESNO", {"OUTOFTOWN", "CALCNUMDRIVERS", "DROPRET", "AUTOASSIGN", "SPLIT",
                               "MULTIDEST", "SHUTTLE"}),
               typed("TEXT", {"SCHEDULE", "SCHEDULE2", "SCHEDULE3", "SCHEDULE4", "SCHEDULE5",
                              "TYPE", "CAPACITY", "ADDLTYPE", "INVOICE_FORMAT", "INVOICE_COMMENT#1",
                              "TICKET_FORMAT"}),
               typed("INTEGER", {"NUMTYPE", "NUMADDL", "NUMCHAR"})});
}

std::vector<ExpectedTable> expected_tables() {
  const char* trip = data::kTripDatabase;
  return {
      {data::kRequestDatabase, "TRIPSREQ",
       join(
           {typed("INTEGER", {"TRIPNUM", "DESTINATION", "MILES", "NUMSTUDENTS", "NUMADULTS",
                              "NUMHAND", "FIELDTRIP_NUM", "BILLRATE"}),
            typed("TEXT", {"INTTRIPNUM",     "CUSTOMER", "BILLCUST", "CONTACT",   "REQUESTOR_EMAIL",
                           "DESTDESC",       "DESTADD1", "DESTADD2", "DESTCITY",  "DESTSTATE",
                           "DESTZIP",        "DESTCAT",  "DESTSPEC", "ENTEREDBY", "STATUS",
                           "STATUS_COMMENT", "CHAINID",  "GRADE",    "TRIPCAT",   "FUND",
                           "PURPOSE",        "CUSTSPEC", "TRIPCOM",  "PO"}),
            typed("DATETIME", {"DEPDATE", "RETDATE", "DEPTIME", "RETTIME", "ARRIVETIME",
                               "LEAVETIME", "REQDATE", "ENTERDATE", "STATUS_DATE"}),
            typed("SINGLE", {"ESTTIME", "ESTMILE"}), numbered("AMOUNT", 1, 5, "", "SINGLE"),
            numbered("AMOUNTTXT", 1, 5, "", "TEXT"), assignment_columns()})},
      {trip, "TRIPS",
       join({typed("INTEGER", {"TRIPNUM", "TRIPREQNUM", "DESTINATION", "NUMSTUDENTS", "NUMADULTS",
                               "NUMHAND", "NUMVEH", "BILLRATE"}),
             typed("TEXT", {"INTTRIPNUM", "CUSTOMER", "BILLCUST", "CONTACT", "FUND", "PO", "GRADE",
                            "TRIPCAT", "PURPOSE", "CUSTSPEC", "DESTSPEC", "TRIPCOM"}),
             typed("DATETIME", {"DEPDATE", "DEPTIME", "RETDATE", "RETTIME", "ARRIVETIME",
                                "LEAVETIME", "REQDATE", "BILLDATE", "CANDATE"}),
             typed("SINGLE", {"ESTTIME", "ESTMILE"}),
             typed("YESNO", {"ASSIGNED", "BILLED", "CANCELED", "BILL", "SHUTTLE"}),
             numbered("AMOUNT", 1, 5, "", "SINGLE"), numbered("AMOUNTTXT", 1, 5, "", "TEXT"),
             assignment_columns()})},
      {trip, "CUSTOMER",
       join({typed("TEXT", {"CUSTOMER", "CUSTNAME", "CHAINID", "CUSTDIV", "CUSTSPEC", "DEFAULTCAP",
                            "cust_default_format", "REQUESTOR_EMAIL"}),
             typed("YESNO", {"ACTIVE"}), typed("INTEGER", {"CUSTBILLRATE"})})},
      {trip, "CUSTOMER_FUND", typed("TEXT", {"CUSTOMER", "FUND"})},
      {trip, "CUSTOMER_TRIPCAT", typed("TEXT", {"CUSTOMER", "TRIPCAT", "CHAINID"})},
      {trip, "DESTINATION",
       join({typed("INTEGER", {"DESTINATION"}),
             typed("TEXT", {"DESTDESC", "DESTADD1", "DESTADD2", "DESTSPEC"}),
             typed("SINGLE", {"MILES"}), typed("YESNO", {"ACTIVE"})})},
      {trip, "FUND", join({typed("TEXT", {"FUND", "FUNDDESC"}), typed("YESNO", {"ACTIVE"})})},
      {trip, "District",
       join({typed("TEXT",
                   {"DISTNAME", "DISTADDR1", "DISTCITY", "DISTSTATE", "DISTZIP", "DISTPHONE",
                    "TRANSTITLE", "TOTAL_TRIPS_LIMIT_MESSAGE", "TRIPREQ_COMMENT", "DEFAULTVTYPE"}),
             typed("YESNO",
                   {"DEFAULT_CALCNUMDRIVER", "autofill_requests", "AUTOFILL", "VIEW_OTHER_SCHOOLS",
                    "FUND_DD", "USECUSTFUND", "DEPDT_LEADTIME_HARDWARN", "TOTAL_TRIPS_HARDWARN"}),
             typed("INTEGER", {"DEPDT_LEADTIME", "TOTAL_TRIPS_LIMIT"})})},
      {trip, "TRIPREQ_REQUIRED",
       typed("YESNO", {"REQUEST_DATE_REQUIRED", "FUND_REQUIRED",   "CUSTOMER_REQUIRED",
                       "CONTACT_REQ",           "DESTINATION_REQ", "DEPDATE_REQ",
                       "DEPTIME_REQ",           "RETDATE_REQ",     "RETTIME_REQ",
                       "ARRIVETIME_REQ",        "LEAVETIME_REQ",   "ESTMILE_REQ",
                       "ESTTIME_REQ",           "NUMSTUDENTS_REQ", "NUMADULTS_REQ",
                       "NUMWHEEL_REQ",          "PURPOSE_REQ",     "DESTSPEC_REQ",
                       "CUSTSPEC_REQ",          "TRIPCOM_REQ",     "PO_REQ",
                       "TRIPCAT_REQ",           "INTTRIPNUM_REQ",  "GRADE_REQ",
                       "INVOICE_COMMENT_REQ"})},
      {trip, "EMAIL_OPTIONS",
       typed("YESNO", {"REQ_JAUNTER_CHANGE", "ADM_JAUNTER_CHANGE", "APP_JAUNTER_CHANGE"})},
      {data::kSecurityDatabase, "CLSCU",
       join({typed("TEXT", {"CLSC1", "CLSC2", "ROLE", "CUSTOMER", "EMAIL"}),
             typed("YESNO", {"SCJRFOVD", "SCJRDDFT"})})},
      {data::kSecurityDatabase, "CLSCC",
       join({typed("TEXT", {"CHAINID"}), typed("YESNO", {"ACTIVE"}),
             numbered("LEVEL", 1, 8, "APPROVER", "TEXT"),
             numbered("LEVEL", 1, 8, "STATUS", "TEXT")})},
      {trip, "TRIPCAT",
       join({typed("TEXT", {"TRIPCAT", "DESCRIPTION"}), typed("YESNO", {"ACTIVE"})})},
      {trip, "GRADE", join({typed("TEXT", {"GRADE", "DESCRIPTION"}), typed("YESNO", {"ACTIVE"})})},
      {trip, "Division",
       join({typed("TEXT", {"Division", "DESCRIPTION"}), typed("YESNO", {"ACTIVE"})})},
      {trip, "TRIPREQSTATUS",
       join({typed("TEXT", {"STATUS", "DESCRIPTION"}), typed("YESNO", {"ACTIVE"})})},
      {trip, "DESTCAT", join({typed("TEXT", {"DESTCAT"}), typed("YESNO", {"ACTIVE"})})},
      {trip, "SCHEDMAST", typed("TEXT", {"SCHEDULE", "SCHEDDESC"})},
      {trip, "VEHTYPE", join({typed("TEXT", {"VEHTYPE", "VTYPDESC"}), typed("YESNO", {"ACTIVE"})})},
      {trip, "TRIPTICKET_TEMPLATE",
       join({typed("TEXT", {"TICKET_ID", "TEMPLATE_DESC"}), typed("YESNO", {"ACTIVE"})})},
      {trip, "BILLRATE",
       join({typed("INTEGER", {"BILLRATE"}), numbered("AMOUNT", 1, 5, "", "SINGLE"),
             numbered("AMOUNTTXT", 1, 5, "", "TEXT")})},
      {trip, "ARDETAIL",
       join({typed("INTEGER", {"TRIPNUM"}), typed("TEXT", {"TRANCODE"}),
             typed("CURRENCY", {"TRANAMT"})})},
      {trip, "TRIPSPLIT", join({typed("INTEGER", {"TRIPNUM"}), typed("TEXT", {"FUND"})})},
      {trip, "TRIPEMPLOYEES",
       join({typed("INTEGER", {"TRIPNUM"}), typed("SINGLE", {"HOURS", "MILES"})})},
      {trip, "Big_CalCalNotes",
       join({typed("DATETIME", {"NoteDate"}), typed("TEXT", {"NoteText", "NoteLongText"}),
             typed("INTEGER", {"NoteSeverity"}), typed("YESNO", {"Note_SchoolClosed"})})},
  };
}

class Schema : public ::testing::Test {
 protected:
  std::string path(const char* database) const { return (dir.path() / database).string(); }
  testing_support::TempDir dir;
};

TEST_F(Schema, creates_every_table_and_column_with_its_declared_type) {
  data::create_databases(dir.str());
  for (const ExpectedTable& table : expected_tables()) {
    std::map<std::string, std::string> actual;  // name -> declared type
    for (const auto& row : native_rows(path(table.database),
                                       std::string("PRAGMA table_info(\"") + table.name + "\")")) {
      actual[row[1]] = row[2];
    }
    ASSERT_FALSE(actual.empty()) << table.name << " is missing from " << table.database;
    for (const auto& [column, type] : table.columns) {
      const auto found = actual.find(column);
      if (found == actual.end()) {
        ADD_FAILURE() << table.name << "." << column << " is missing";
      } else {
        EXPECT_EQ(found->second, type) << table.name << "." << column;
      }
    }
  }
}

TEST_F(Schema, keeps_each_table_in_its_own_database) {
  data::create_databases(dir.str());
  std::map<std::string, std::set<std::string>> expected;
  for (const ExpectedTable& table : expected_tables()) expected[table.database].insert(table.name);
  for (const auto& [database, tables] : expected) {
    std::set<std::string> actual;
    for (const auto& row : native_rows(path(database.c_str()),
                                       "SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                       "name NOT LIKE 'sqlite_%'")) {
      actual.insert(row[0]);
    }
    EXPECT_EQ(actual, tables) << database;
  }
}

TEST_F(Schema, request_and_trip_numbers_are_assigned_and_never_reused) {
  data::create_databases(dir.str());
  struct Case {
    const char* database;
    const char* table;
  };
  for (const Case& c :
       {Case{data::kRequestDatabase, "TRIPSREQ"}, Case{data::kTripDatabase, "TRIPS"}}) {
    db::Connection connection;
    connection.open(path(c.database));
    const std::string table = c.table;
    connection.execute_native("INSERT INTO " + table + " (CUSTOMER) VALUES ('ADAMS')");
    connection.execute_native("INSERT INTO " + table + " (CUSTOMER) VALUES ('BROOK')");
    connection.execute_native("DELETE FROM " + table + " WHERE CUSTOMER = 'BROOK'");
    connection.execute_native("INSERT INTO " + table + " (CUSTOMER) VALUES ('CEDAR')");
    connection.close();
    EXPECT_EQ(
        native_value(path(c.database), "SELECT group_concat(TRIPNUM) FROM (SELECT TRIPNUM FROM " +
                                           table + " ORDER BY TRIPNUM)"),
        "1,3")
        << table;
  }
}

TEST_F(Schema, text_compares_without_regard_to_case) {
  data::create_databases(dir.str());
  {
    db::Connection connection;
    connection.open(path(data::kTripDatabase));
    connection.execute_native(
        "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME) VALUES ('ADAMS', 'Adams Elementary')");
    connection.execute_native("INSERT INTO CUSTOMER_FUND (CUSTOMER, FUND) VALUES ('Adams', 'pta')");
  }
  EXPECT_EQ(native_count(path(data::kTripDatabase),
                         "SELECT count(*) FROM CUSTOMER WHERE CUSTOMER = 'adams'"),
            1);
  EXPECT_EQ(native_count(path(data::kTripDatabase),
                         "SELECT count(*) FROM CUSTOMER INNER JOIN CUSTOMER_FUND ON "
                         "CUSTOMER.CUSTOMER = CUSTOMER_FUND.CUSTOMER WHERE FUND = 'PTA'"),
            1);
}

TEST_F(Schema, yes_no_columns_start_false_and_reference_rows_start_active) {
  data::create_databases(dir.str());
  {
    db::Connection connection;
    connection.open(path(data::kTripDatabase));
    connection.execute_native("INSERT INTO TRIPS (CUSTOMER) VALUES ('ADAMS')");
    connection.execute_native("INSERT INTO FUND (FUND) VALUES ('100')");
  }
  EXPECT_EQ(native_value(path(data::kTripDatabase),
                         "SELECT ASSIGNED || ',' || BILLED || ',' || CANCELED FROM TRIPS"),
            "0,0,0");
  EXPECT_EQ(native_value(path(data::kTripDatabase), "SELECT ACTIVE FROM FUND"), "-1");
}

TEST_F(Schema, has_the_indexes_the_queries_need) {
  data::create_databases(dir.str());
  struct Case {
    const char* database;
    const char* table;
    const char* first_column;
  };
  const Case cases[] = {
      {data::kRequestDatabase, "TRIPSREQ", "CHAINID"},
      {data::kRequestDatabase, "TRIPSREQ", "DEPDATE"},
      {data::kRequestDatabase, "TRIPSREQ", "CUSTOMER"},
      {data::kTripDatabase, "TRIPS", "DEPDATE"},
      {data::kTripDatabase, "TRIPS", "CUSTOMER"},
      {data::kTripDatabase, "TRIPS", "TRIPREQNUM"},
      {data::kTripDatabase, "ARDETAIL", "TRIPNUM"},
      {data::kTripDatabase, "TRIPSPLIT", "TRIPNUM"},
      {data::kTripDatabase, "TRIPEMPLOYEES", "TRIPNUM"},
      {data::kTripDatabase, "CUSTOMER_FUND", "CUSTOMER"},
      {data::kTripDatabase, "CUSTOMER_TRIPCAT", "CUSTOMER"},
      {data::kTripDatabase, "Big_CalCalNotes", "NoteDate"},
  };
  for (const Case& c : cases) {
    const std::string query =
        std::string("SELECT count(*) FROM pragma_index_list('") + c.table +
        "') AS i WHERE (SELECT name FROM pragma_index_info(i.name) WHERE seqno = 0) = '" +
        c.first_column + "'";
    EXPECT_GE(native_count(path(c.database), query), 1) << c.table << "." << c.first_column;
  }
  // Numbers of requests and trips are the tables' keys.
  EXPECT_EQ(native_value(path(data::kRequestDatabase),
                         "SELECT pk FROM pragma_table_info('TRIPSREQ') WHERE name = 'TRIPNUM'"),
            "1");
}

TEST_F(Schema, databases_use_the_write_ahead_log) {
  data::create_databases(dir.str());
  for (const char* database :
       {data::kTripDatabase, data::kSecurityDatabase, data::kRequestDatabase}) {
    EXPECT_EQ(native_value(path(database), "PRAGMA journal_mode"), "wal") << database;
  }
}

TEST_F(Schema, refuses_when_any_file_exists_and_touches_nothing) {
  const char* const blockers[] = {"trip.db", "qsclsc1.db", "Tripschl.db", "Tripschl.db-wal"};
  for (const char* blocker : blockers) {
    testing_support::TempDir fresh;
    fresh.write(blocker, "precious");
    try {
      data::create_databases(fresh.str());
      ADD_FAILURE() << "created the databases over " << blocker;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find((fresh.path() / blocker).string()),
                std::string::npos)
          << error.what();
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fresh.path())) {
      names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::set<std::string>{blocker}) << blocker;
    std::ifstream kept(fresh.path() / blocker);
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "precious") << blocker;
  }
}

TEST_F(Schema, refuses_a_directory_that_does_not_exist) {
  const std::string missing = (dir.path() / "no-such-dir").string();
  try {
    data::create_databases(missing);
    ADD_FAILURE() << "created databases in a missing directory";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(missing), std::string::npos) << error.what();
  }
  EXPECT_FALSE(fs::exists(missing));
}

}  // namespace
