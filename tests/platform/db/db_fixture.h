// Shared by the database tests: a temporary directory, a small schema in the stored forms of the
// application's databases, and a text form of rows for compact expectations.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "platform/db/db.h"
#include "platform/vb/conversions.h"
#include "platform/vb/errors.h"
#include "tests/support/temp_dir.h"

namespace db::testing {

struct TempDir : testing_support::TempDir {
  std::string file(const std::string& name) const { return (path() / name).string(); }
};

// The first value a native SQLite statement gives on the file, read through a handle of its own
// ("NULL" for Null, "(none)" without a row): what is stored, past the recordsets.
inline std::string native_value(const std::string& path, const std::string& sql) {
  sqlite3* handle = nullptr;
  std::string out = "(none)";
  if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(stmt, 0);
      out = text ? reinterpret_cast<const char*>(text) : "NULL";
    }
    sqlite3_finalize(stmt);
  }
  sqlite3_close_v2(handle);
  return out;
}

// Tables as the schema declares them (TEXT columns without regard to case), with a few rows.
// Dates: 3/15/2009 is serial 39887; 9:05 AM is 0.378472...
inline void create_sample_schema(Connection& connection) {
  connection.execute_native("PRAGMA synchronous = OFF");  // the tests need no durability
  connection.execute_native(R"(
    CREATE TABLE TRIPSREQ (TRIPNUM INTEGER PRIMARY KEY AUTOINCREMENT,
      CUSTOMER TEXT COLLATE NOCASE, STATUS TEXT COLLATE NOCASE, CHAINID TEXT COLLATE NOCASE,
      DEPDATE DATETIME, DEPTIME DATETIME, STATUS_DATE DATETIME, NUMSTUDENTS INTEGER,
      ESTMILE SINGLE, CALCNUMDRIVERS YESNO, DESTINATION INTEGER, DESTDESC TEXT COLLATE NOCASE,
      "INVOICE_COMMENT#1" TEXT COLLATE NOCASE);
    CREATE TABLE TRIPS (TRIPNUM INTEGER PRIMARY KEY AUTOINCREMENT, CUSTOMER TEXT COLLATE NOCASE,
      DESTINATION INTEGER, TRIPCAT TEXT COLLATE NOCASE, GRADE TEXT COLLATE NOCASE, CANCELED YESNO);
    CREATE TABLE CUSTOMER (CUSTOMER TEXT COLLATE NOCASE, CUSTNAME TEXT COLLATE NOCASE,
      CUSTDIV TEXT COLLATE NOCASE, ACTIVE YESNO);
    CREATE TABLE TRIPCAT (TRIPCAT TEXT COLLATE NOCASE, DESCRIPTION TEXT COLLATE NOCASE,
      ACTIVE YESNO);
    CREATE TABLE GRADE (GRADE TEXT COLLATE NOCASE, DESCRIPTION TEXT COLLATE NOCASE, ACTIVE YESNO);
    CREATE TABLE ARDETAIL (TRIPNUM INTEGER, TRANCODE TEXT COLLATE NOCASE, TRANAMT CURRENCY);
    CREATE TABLE CLSCU (CLSC1 TEXT COLLATE NOCASE, CLSC2 TEXT COLLATE NOCASE,
      ROLE TEXT COLLATE NOCASE, CUSTOMER TEXT COLLATE NOCASE);

    INSERT INTO TRIPSREQ (CUSTOMER, STATUS, CHAINID, DEPDATE, DEPTIME, STATUS_DATE, NUMSTUDENTS,
      ESTMILE, CALCNUMDRIVERS, DESTINATION, DESTDESC, "INVOICE_COMMENT#1") VALUES
      ('LHS', 'UNAPPROVED', 'C1', 39887, 32700.0 / 86400, 39880.75, 30, 12.5, -1, 5,
       'Zoo', 'first'),
      ('MMS', 'Pending', NULL, 39888, NULL, 39881.5, 12, NULL, 1, 0, 'Typed place', NULL),
      ('lhs', 'Denied', 'C2', 39950, 0.5, NULL, NULL, 3, 0, -3, NULL, 'third');
    INSERT INTO TRIPS (CUSTOMER, DESTINATION, TRIPCAT, GRADE, CANCELED) VALUES
      ('LHS', 5, 'ED', '5', 0), ('LHS', 7, 'SP', '5', -1), ('MMS', 5, 'ED', '6', NULL),
      ('XXX', 9, NULL, NULL, 0);
    INSERT INTO CUSTOMER VALUES ('LHS', 'Lincoln High', 'HS', -1), ('MMS', 'Madison Middle', 'MS', 1),
      ('OLD', 'Closed School', 'HS', 0);
    INSERT INTO TRIPCAT VALUES ('ED', 'Educational', -1), ('SP', NULL, -1);
    INSERT INTO GRADE VALUES ('5', 'Fifth', -1), ('6', 'Sixth', -1);
    INSERT INTO ARDETAIL VALUES (1, 'BIL', 100.25), (1, 'PAY', -40), (2, 'BIL', 50), (3, 'BIL', 10);
    INSERT INTO CLSCU VALUES ('admin  ', 'pw', 'ADMIN', NULL), ('Clerk', 'x', 'REQ', ''),
      ('abby', 'y', 'REQ', 'LHS');
  )");
}

// Rows as "a|b;c|d": Null as "Null", everything else through CStr.
inline std::string rows_text(const std::string& jet_sql, Connection& connection) {
  Recordset rs;
  rs.open(jet_sql, connection);
  std::string out;
  while (!rs.eof()) {
    if (!out.empty()) out += ';';
    for (int i = 0; i < rs.field_count(); ++i) {
      if (i) out += '|';
      const vb::Variant& value = rs.field(rs.field_name(i));
      out += value.is_null() ? "Null" : vb::CStr(value);
    }
    rs.move_next();
  }
  return out;
}

// The number of the failure a call raises, or 0.
template <class Call>
long error_number(Call&& call) {
  try {
    call();
  } catch (const vb::RuntimeError& error) {
    return error.number();
  }
  return 0;
}

template <class Call>
std::string error_text(Call&& call) {
  try {
    call();
  } catch (const vb::RuntimeError& error) {
    return error.description();
  }
  return "(no error)";
}

}  // namespace db::testing
