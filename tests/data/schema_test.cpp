// init-db: the tables of each database, the declared types the stored forms depend on, the
// column defaults and comparisons, the indexes, and the refusal to overwrite anything.
#include "data/schema.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

#include "tests/data/native.h"
#include "tests/support/simulator.h"

namespace {

namespace fs = std::filesystem;
using data_test::native_count;
using data_test::native_rows;
using data_test::native_value;

class Schema : public ::testing::Test {
 protected:
  Schema() { data::create_databases(dir.str()); }
  std::string path(const char* database) const { return (dir.path() / database).string(); }
  testing_support::TempDir dir;
};

TEST_F(Schema, keeps_each_table_in_its_own_database) {
  const std::pair<const char*, std::string> cases[] = {
      {data::kRequestDatabase, "TRIPSREQ"},
      {data::kSecurityDatabase, "CLSCC CLSCU"},
      {data::kTripDatabase,
       "ARDETAIL BILLRATE Big_CalCalNotes CUSTOMER CUSTOMER_FUND CUSTOMER_TRIPCAT DESTCAT "
       "DESTINATION District Division EMAIL_OPTIONS FUND GRADE SCHEDMAST TRIPCAT TRIPEMPLOYEES "
       "TRIPREQSTATUS TRIPREQ_REQUIRED TRIPS TRIPSPLIT TRIPTICKET_TEMPLATE VEHTYPE"},
  };
  for (const auto& [database, tables] : cases) {
    std::string actual;
    for (const auto& row : native_rows(path(database),
                                       "SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                       "name NOT LIKE 'sqlite_%' ORDER BY name COLLATE BINARY")) {
      actual += (actual.empty() ? "" : " ") + row[0];
    }
    EXPECT_EQ(actual, tables) << database;
  }
}

// The stored forms other tools share: dates as serials, yes/no as 0/-1, money as currency.
TEST_F(Schema, columns_have_the_declared_types_of_their_stored_forms) {
  struct Case {
    const char* database;
    const char* table;
    const char* columns;
    const char* type;
  };
  const char* request = data::kRequestDatabase;
  const char* trip = data::kTripDatabase;
  const Case cases[] = {
      {request, "TRIPSREQ", "TRIPNUM DESTINATION NUMSTUDENTS NUMADULTS NUMHAND FIELDTRIP_NUM",
       "INTEGER"},
      {request, "TRIPSREQ",
       "DEPDATE RETDATE DEPTIME RETTIME ARRIVETIME LEAVETIME REQDATE ENTERDATE STATUS_DATE",
       "DATETIME"},
      {request, "TRIPSREQ", "ESTTIME ESTMILE AMOUNT1 AMOUNT5", "SINGLE"},
      {request, "TRIPSREQ", "INTTRIPNUM CUSTOMER STATUS CHAINID FUND PO DESTDESC AMOUNTTXT5",
       "TEXT"},
      {request, "TRIPSREQ", "OUTOFTOWN SHUTTLE SPLIT", "YESNO"},
      {trip, "TRIPS", "TRIPNUM TRIPREQNUM DESTINATION NUMVEH BILLRATE", "INTEGER"},
      {trip, "TRIPS", "DEPDATE DEPTIME BILLDATE CANDATE", "DATETIME"},
      {trip, "TRIPS", "ASSIGNED BILLED CANCELED BILL SHUTTLE", "YESNO"},
      {trip, "TRIPS", "NUMTYPE NUMADDL NUMCHAR", "INTEGER"},
      {trip, "TRIPS", "SCHEDULE5 INVOICE_COMMENT#1 TICKET_FORMAT", "TEXT"},
      {trip, "CUSTOMER", "ACTIVE", "YESNO"},
      {trip, "CUSTOMER", "CUSTBILLRATE", "INTEGER"},
      {trip, "DESTINATION", "MILES", "SINGLE"},
      {trip, "District", "DEPDT_LEADTIME TOTAL_TRIPS_LIMIT", "INTEGER"},
      {trip, "District", "VIEW_OTHER_SCHOOLS FUND_DD USECUSTFUND TOTAL_TRIPS_HARDWARN", "YESNO"},
      {trip, "TRIPREQ_REQUIRED", "REQUEST_DATE_REQUIRED INVOICE_COMMENT_REQ", "YESNO"},
      {trip, "EMAIL_OPTIONS", "REQ_JAUNTER_CHANGE ADM_JAUNTER_CHANGE APP_JAUNTER_CHANGE", "YESNO"},
      {data::kSecurityDatabase, "CLSCU", "SCJRFOVD SCJRDDFT", "YESNO"},
      {data::kSecurityDatabase, "CLSCC", "LEVEL1APPROVER LEVEL8APPROVER LEVEL8STATUS", "TEXT"},
      {trip, "ARDETAIL", "TRANAMT", "CURRENCY"},
      {trip, "TRIPEMPLOYEES", "HOURS MILES", "SINGLE"},
      {trip, "Big_CalCalNotes", "NoteDate", "DATETIME"},
      {trip, "Big_CalCalNotes", "NoteSeverity", "INTEGER"},
  };
  for (const Case& c : cases) {
    std::map<std::string, std::string> declared;
    for (const auto& row :
         native_rows(path(c.database), std::string("PRAGMA table_info(\"") + c.table + "\")")) {
      declared[row[1]] = row[2];
    }
    std::istringstream columns(c.columns);
    for (std::string column; columns >> column;) {
      EXPECT_EQ(declared[column], c.type) << c.table << "." << column;
    }
  }
}

TEST_F(Schema, request_and_trip_numbers_are_assigned_and_never_reused) {
  for (const auto& [database, table] :
       {std::pair{data::kRequestDatabase, "TRIPSREQ"}, std::pair{data::kTripDatabase, "TRIPS"}}) {
    {
      db::Connection connection;
      connection.open(path(database));
      const std::string insert = std::string("INSERT INTO ") + table + " (CUSTOMER) VALUES ";
      connection.execute_native(insert + "('ADAMS')");
      connection.execute_native(insert + "('BROOK')");
      connection.execute_native(std::string("DELETE FROM ") + table + " WHERE CUSTOMER = 'BROOK'");
      connection.execute_native(insert + "('CEDAR')");
    }
    EXPECT_EQ(native_value(path(database), std::string("SELECT group_concat(TRIPNUM) FROM (SELECT "
                                                       "TRIPNUM FROM ") +
                                               table + " ORDER BY TRIPNUM)"),
              "1,3")
        << table;
  }
}

TEST_F(Schema, text_compares_without_regard_to_case_and_yes_no_columns_default_false) {
  {
    db::Connection connection;
    connection.open(path(data::kTripDatabase));
    connection.execute_native("INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME) VALUES ('ADAMS', 'A')");
    connection.execute_native("INSERT INTO CUSTOMER_FUND (CUSTOMER, FUND) VALUES ('Adams', 'pta')");
    connection.execute_native("INSERT INTO TRIPS (CUSTOMER) VALUES ('ADAMS')");
    connection.execute_native("INSERT INTO FUND (FUND) VALUES ('100')");
  }
  const std::string trip = path(data::kTripDatabase);
  EXPECT_EQ(native_count(trip, "SELECT count(*) FROM CUSTOMER WHERE CUSTOMER = 'adams'"), 1);
  EXPECT_EQ(native_count(trip,
                         "SELECT count(*) FROM CUSTOMER INNER JOIN CUSTOMER_FUND ON "
                         "CUSTOMER.CUSTOMER = CUSTOMER_FUND.CUSTOMER WHERE FUND = 'PTA'"),
            1);
  EXPECT_EQ(native_value(trip, "SELECT ASSIGNED || ',' || BILLED || ',' || CANCELED FROM TRIPS"),
            "0,0,0");
  // A reference row typed in by an importer is offered.
  EXPECT_EQ(native_value(trip, "SELECT ACTIVE FROM FUND"), "-1");
}

TEST_F(Schema, has_the_indexes_the_queries_need_and_uses_the_write_ahead_log) {
  const std::pair<const char*, const char*> indexed[] = {
      {data::kRequestDatabase, "TRIPSREQ.CHAINID"},
      {data::kRequestDatabase, "TRIPSREQ.DEPDATE"},
      {data::kRequestDatabase, "TRIPSREQ.CUSTOMER"},
      {data::kTripDatabase, "TRIPS.DEPDATE"},
      {data::kTripDatabase, "TRIPS.CUSTOMER"},
      {data::kTripDatabase, "TRIPS.TRIPREQNUM"},
      {data::kTripDatabase, "ARDETAIL.TRIPNUM"},
      {data::kTripDatabase, "TRIPSPLIT.TRIPNUM"},
      {data::kTripDatabase, "TRIPEMPLOYEES.TRIPNUM"},
      {data::kTripDatabase, "CUSTOMER_FUND.CUSTOMER"},
      {data::kTripDatabase, "CUSTOMER_TRIPCAT.CUSTOMER"},
      {data::kTripDatabase, "Big_CalCalNotes.NoteDate"},
  };
  for (const auto& [database, column] : indexed) {
    const std::string name = column;
    const std::string table = name.substr(0, name.find('.'));
    const std::string first = name.substr(name.find('.') + 1);
    EXPECT_GE(native_count(path(database),
                           "SELECT count(*) FROM pragma_index_list('" + table +
                               "') AS i WHERE (SELECT name FROM pragma_index_info(i.name) WHERE "
                               "seqno = 0) = '" +
                               first + "'"),
              1)
        << column;
  }
  EXPECT_EQ(native_value(path(data::kRequestDatabase),
                         "SELECT pk FROM pragma_table_info('TRIPSREQ') WHERE name = 'TRIPNUM'"),
            "1");
  for (const char* database :
       {data::kTripDatabase, data::kSecurityDatabase, data::kRequestDatabase}) {
    EXPECT_EQ(native_value(path(database), "PRAGMA journal_mode"), "wal") << database;
  }
}

TEST(SchemaRefusal, refuses_an_existing_file_or_a_missing_directory_and_touches_nothing) {
  for (const char* blocker : {"trip.db", "qsclsc1.db", "Tripschl.db", "Tripschl.db-wal", ""}) {
    testing_support::TempDir fresh;
    if (*blocker) fresh.write(blocker, "precious");
    const fs::path dir = *blocker ? fresh.path() : fresh.path() / "no-such-dir";
    const fs::path named = *blocker ? dir / blocker : dir;
    try {
      data::create_databases(dir.string());
      ADD_FAILURE() << "created the databases despite " << named;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(named.string()), std::string::npos) << error.what();
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fresh.path())) {
      names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, *blocker ? std::set<std::string>{blocker} : std::set<std::string>{});
    if (*blocker) {
      std::ifstream kept(named);
      std::string text;
      std::getline(kept, text);
      EXPECT_EQ(text, "precious") << blocker;
    }
  }
}

}  // namespace
