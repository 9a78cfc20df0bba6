// Recordsets: record counts, navigation as ADO does it, Find, typed fields, adding and updating.
#include "platform/db/db.h"
#include "tests/platform/db/db_fixture.h"

namespace db {
namespace {

using testing::create_sample_schema;
using testing::error_number;
using testing::error_text;
using testing::rows_text;
using testing::TempDir;

constexpr long kNoCurrentRecord = 3021;
constexpr long kItemNotFound = 3265;

class RecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    connection.create(dir.file("trip.db"));
    create_sample_schema(connection);
    connection.execute_native(
        "CREATE TABLE PAGES (N INTEGER);"
        "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 25) "
        "INSERT INTO PAGES SELECT n FROM c;");
  }

  // A value as stored, read past the recordset.
  std::string stored(const std::string& sql) {
    return testing::native_value(connection.path(), sql);
  }

  TempDir dir;
  Connection connection;
};

TEST_F(RecordsetTest, empty_recordset_is_at_bof_and_eof_and_has_no_current_record) {
  Recordset rs;
  rs.open("SELECT * FROM PAGES WHERE N > 100", connection);
  EXPECT_TRUE(rs.bof());
  EXPECT_TRUE(rs.eof());
  EXPECT_EQ(rs.record_count(), 0);
  EXPECT_EQ(error_number([&] { rs.field("N"); }), kNoCurrentRecord);
  EXPECT_EQ(error_number([&] { rs.move_next(); }), kNoCurrentRecord);
  EXPECT_EQ(error_text([&] { rs.field("N"); }),
            "Either BOF or EOF is True, or the current record has been deleted. Requested "
            "operation requires a current record.");
}

TEST_F(RecordsetTest, navigation_follows_ado_from_a_known_record_count) {
  Recordset rs;
  rs.open("SELECT N FROM PAGES ORDER BY N", connection, CursorType::Static, LockType::ReadOnly);
  EXPECT_EQ(rs.state(), 1);
  EXPECT_EQ(rs.record_count(), 25);
  // Each step: the move, then the row it stands on (0 BOF, 26 EOF), or the error it raises.
  const std::pair<std::string, long> steps[] = {
      {"move 10", 11},
      {"last", 25},
      {"next", 26},
      {"next", kNoCurrentRecord},
      {"previous", 25},
      {"first", 1},
      {"previous", 0},
      {"previous", kNoCurrentRecord},
      {"move 25", 25},
      {"move -24", 1},                   // a page of 24
      {"move 9223372036854775807", 26},  // moves of any size stop at the ends
  };
  for (const auto& step : steps) {
    const std::string& move = step.first;
    const long error = error_number([&] {
      if (move == "first") rs.move_first();
      if (move == "last") rs.move_last();
      if (move == "next") rs.move_next();
      if (move == "previous") rs.move_previous();
      if (move.rfind("move ", 0) == 0) rs.move(std::stol(move.substr(5)));
    });
    const long at = error ? error : rs.bof() ? 0 : rs.eof() ? 26 : vb::CLng(rs.field("N"));
    EXPECT_EQ(at, step.second) << "after " << move;
  }
}

TEST_F(RecordsetTest, fields_read_back_by_name_as_their_declared_types) {
  connection.execute_native(
      "CREATE TABLE BIG (N INTEGER); INSERT INTO BIG VALUES (5000000000), (-7);");
  Recordset rs;
  rs.open("SELECT * FROM TRIPSREQ ORDER BY TRIPNUM", connection);
  EXPECT_EQ(rs.field("TRIPNUM"), vb::Variant(std::int32_t{1}));
  EXPECT_EQ(rs.field("DEPDATE"), vb::Variant(vb::DateTime{39887}));
  EXPECT_EQ(vb::CStr(rs.field("DEPTIME")), "9:05:00 AM");
  EXPECT_EQ(rs.field("CALCNUMDRIVERS"), vb::Variant(true));  // stored -1
  EXPECT_EQ(rs.field("ESTMILE"), vb::Variant(12.5f));
  rs.move_next();
  EXPECT_EQ(rs.field("CALCNUMDRIVERS"), vb::Variant(true));  // stored 1
  EXPECT_TRUE(rs.field("DEPTIME").is_null());
  rs.move_next();
  EXPECT_EQ(rs.field("CALCNUMDRIVERS"), vb::Variant(false));
  EXPECT_EQ(rs.field("ESTMILE"), vb::Variant(3.0f));  // stored as the integer 3
  EXPECT_TRUE(rs.field("DESTDESC").is_null());
  EXPECT_EQ(rs.field("invoice_comment#1"), vb::Variant("third"));  // names without regard to case
  EXPECT_EQ(error_number([&] { rs.field("NOPE"); }), kItemNotFound);
  rs.open("SELECT TRANAMT FROM ARDETAIL", connection);
  EXPECT_EQ(rs.field("TRANAMT"), vb::Variant(vb::Currency{1002500}));
  rs.open("SELECT N, N + 1 AS M, 1.5 AS D FROM BIG", connection);
  EXPECT_EQ(rs.field("N"), vb::Variant(5000000000.0));
  EXPECT_EQ(rs.field("M"), vb::Variant(5000000001.0));
}

TEST_F(RecordsetTest, find_searches_forward_from_the_current_row) {
  connection.execute_native("INSERT INTO CUSTOMER VALUES ('ONL', 'O''Neil Elementary', 'ES', -1)");
  Recordset rs;
  rs.open("SELECT * FROM CUSTOMER ORDER BY CUSTOMER", connection);
  // LHS, MMS, OLD, ONL. Each criterion runs from where the previous one left the recordset.
  const std::pair<const char*, const char*> searches[] = {
      {"CUSTOMER = 'mms'", "MMS"},
      {"CUSTOMER = 'MMS'", "MMS"},  // the current row counts
      {"CUSTNAME = 'o''neil elementary'", "ONL"},
      {"CUSTOMER = 'LHS'", "EOF"},
      {"CUSTNAME LIKE 'mad*'", "MMS"},  // from the first row again
      {"CUSTNAME LIKE '%school'", "OLD"},
      {"CUSTNAME LIKE 'Lincoln'", "EOF"},
  };
  for (const auto& [criteria, found] : searches) {
    if (rs.eof()) rs.move_first();
    rs.find(criteria);
    EXPECT_EQ(rs.eof() ? std::string("EOF") : vb::CStr(rs.field("CUSTOMER")), found) << criteria;
  }
  rs.open("SELECT * FROM TRIPSREQ ORDER BY TRIPNUM", connection);
  rs.find("DEPDATE = #3/16/2009#");
  EXPECT_EQ(rs.field("TRIPNUM"), vb::Variant(std::int32_t{2}));
  EXPECT_EQ(error_number([&] { rs.find("NOSUCH = 1"); }), kItemNotFound);
  for (const char* bad : {"TRIPNUM = ", "TRIPNUM = 'a' OR 1 = 1", "TRIPNUM ! 3"})
    EXPECT_EQ(error_number([&] { rs.find(bad); }), 3001) << bad;
}

TEST_F(RecordsetTest, added_row_is_converted_to_column_types_and_its_key_is_current) {
  Recordset rs;
  rs.open("Select * from TRIPSREQ", connection, CursorType::Dynamic, LockType::Optimistic);
  rs.add_new();
  rs.set_field("CUSTOMER", "NEW");
  rs.set_field("NUMSTUDENTS", "12");
  rs.set_field("DEPDATE", "3/20/2009");
  rs.set_field("CALCNUMDRIVERS", true);
  rs.set_field("ESTMILE", 2.25);
  rs.set_field("INVOICE_COMMENT#1", "note");
  rs.update();
  EXPECT_EQ(rs.field("TRIPNUM"), vb::Variant(std::int32_t{4}));
  EXPECT_EQ(rs.field("DEPDATE"), vb::Variant(vb::DateTime{39892}));
  EXPECT_EQ(stored("SELECT typeof(NUMSTUDENTS) || ' ' || CALCNUMDRIVERS || ' ' || DEPDATE || ' ' "
                   "|| typeof(STATUS) FROM TRIPSREQ WHERE TRIPNUM = 4"),
            "integer -1 39892 null");
}

TEST_F(RecordsetTest, value_that_does_not_convert_is_refused_and_nothing_is_written) {
  Recordset rs;
  rs.open("Select * from TRIPSREQ", connection, CursorType::Dynamic, LockType::Optimistic);
  for (auto [column, value] : std::vector<std::pair<const char*, vb::Variant>>{
           {"DEPDATE", "3/45/2009"}, {"NUMSTUDENTS", "3000000000"}}) {
    rs.add_new();
    rs.set_field("CUSTOMER", "BAD");
    rs.set_field(column, value);
    EXPECT_EQ(error_number([&] { rs.update(); }), -2147217887) << column;
    EXPECT_EQ(error_text([&] { rs.update(); }),
              "Multiple-step operation generated errors. Check each status value.");
    rs.cancel_update();
  }
  EXPECT_EQ(stored("SELECT count(*) FROM TRIPSREQ"), "3");
}

TEST_F(RecordsetTest, update_writes_the_changed_columns_of_the_current_row) {
  Recordset rs;
  rs.open("SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = 2", connection, CursorType::ForwardOnly,
          LockType::Optimistic);
  rs.set_field("STATUS", "ACCEPTED");
  rs.set_field("NUMSTUDENTS", 14);
  rs.update();
  EXPECT_EQ(rs.field("NUMSTUDENTS"), vb::Variant(std::int32_t{14}));
  rs.set_field("CHAINID", "C9");  // a second update of the same row
  rs.update();
  EXPECT_EQ(rows_text("SELECT TRIPNUM, STATUS, NUMSTUDENTS, CHAINID FROM TRIPSREQ ORDER BY 1",
                      connection),
            "1|UNAPPROVED|30|C1;2|ACCEPTED|14|C9;3|Denied|Null|C2");
}

TEST_F(RecordsetTest, update_of_a_row_changed_since_it_was_read_is_refused) {
  Recordset rs;
  rs.open("SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = 2", connection, CursorType::ForwardOnly,
          LockType::Optimistic);
  EXPECT_EQ(rs.field("STATUS"), vb::Variant("Pending"));  // the row is read before it changes
  Connection other;
  other.open(dir.file("trip.db"));
  other.execute("UPDATE TRIPSREQ SET STATUS = 'Denied' WHERE TRIPNUM = 2");
  rs.set_field("CUSTOMER", "ZZZ");
  try {
    rs.update();
    ADD_FAILURE() << "the update went through";
  } catch (const vb::RuntimeError& error) {
    EXPECT_EQ(error.number(), -2147217864);
    EXPECT_EQ(error.description(),
              "Row cannot be located for updating. Some values may have been changed since it "
              "was last read.");
  }
  EXPECT_EQ(stored("SELECT CUSTOMER || ' ' || STATUS FROM TRIPSREQ WHERE TRIPNUM = 2"),
            "MMS Denied");
}

}  // namespace
}  // namespace db
