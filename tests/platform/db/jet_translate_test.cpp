// The Jet translation, checked by running translated texts on a small database and reading rows.
#include "platform/db/jet.h"
#include "tests/platform/db/db_fixture.h"

namespace db {
namespace {

using testing::create_sample_schema;
using testing::error_number;
using testing::rows_text;
using testing::TempDir;

class JetTranslation : public ::testing::Test {
 protected:
  void SetUp() override {
    connection.create(dir.file("trip.db"));
    create_sample_schema(connection);
  }
  TempDir dir;
  Connection connection;
};

// Each Jet text and the rows it reads, or the error it raises.
TEST_F(JetTranslation, jet_texts_read_the_rows_jet_reads) {
  const std::pair<const char*, const char*> cases[] = {
      // Date literals compare with stored serials.
      {"SELECT TRIPNUM FROM TRIPSREQ WHERE TRIPSREQ.DEPDATE >= #3/16/2009# and DEPDATE <= "
       "#5/17/2009# ORDER BY TRIPNUM",
       "2;3"},
      {"SELECT TRIPNUM FROM TRIPSREQ WHERE DEPDATE + DEPTIME = #3/15/2009 9:05:00 AM#", "1"},
      {"SELECT * FROM TRIPSREQ WHERE DEPDATE = #2/30/2009#",
       "error -2147217900: Syntax error in date in query expression '#2/30/2009#'."},
      // & reads Null as empty text and binds looser than arithmetic.
      {"SELECT (TRIPCAT.TRIPCAT&' - '&TRIPCAT.DESCRIPTION) AS T FROM TRIPCAT ORDER BY TRIPCAT",
       "ED - Educational;SP - "},
      {"SELECT 1 + 2 & 'x' & 2 * 3 AS A FROM GRADE WHERE GRADE = '5'", "3x6"},
      // True matches any nonzero stored value; Null matches neither.
      {"SELECT CUSTOMER FROM CUSTOMER WHERE True = ACTIVE ORDER BY CUSTOMER", "LHS;MMS"},
      {"SELECT TRIPNUM FROM TRIPS WHERE TRIPS.CANCELED = FALSE ORDER BY TRIPNUM", "1;4"},
      // Text compares without regard to case, also on expressions.
      {"Select CLSC2 from CLSCU where trim$(CLSCU.CLSC1) = 'ADMIN'", "pw"},
      {"SELECT CLSC1 FROM CLSCU WHERE ucase$(CLSCU.CLSC1) like 'AB%'", "abby"},
      {"SELECT TRIPNUM FROM TRIPSREQ WHERE trim$(STATUS) BETWEEN 'denied' AND 'pending' "
       "ORDER BY TRIPNUM",
       "2;3"},
      // Jet functions keep their meaning.
      {"SELECT clng(2.5) AS A, clng(3.5) AS B, CLNG(' 7 ') AS C FROM GRADE WHERE GRADE = '5'",
       "2|4|7"},
      {"SELECT DateValue(TRIPSREQ.STATUS_DATE) AS Expr1 FROM TRIPSREQ ORDER BY TRIPNUM",
       "3/8/2009;3/9/2009;Null"},
      {"SELECT STR(DESTINATION) AS S, STR(ESTMILE) AS M FROM TRIPSREQ ORDER BY TRIPNUM",
       " 5| 12.5; 0|Null;-3| 3"},
      {"SELECT CLSCU.CLSC1 From CLSCU WHERE (CLSCU.ROLE='req') AND (CLSCU.CUSTOMER='LHS' OR "
       "CLSCU.CUSTOMER='' or isnull(CLSCU.CUSTOMER))",
       "Clerk;abby"},
      {"SELECT datevalue('soon') AS A FROM GRADE",
       "error -2147217913: Data type mismatch in criteria expression."},
      {"SELECT TRIPNUM FROM TRIPSREQ WHERE TRIPNUM = clng('3000000000')",
       "error -2147217913: Data type mismatch in criteria expression."},
      // Common forms of the dialect.
      {"SELECT CUSTNAME FROM CUSTOMER WHERE CUSTOMER = \"mms\"", "Madison Middle"},
      {"SELECT TRIPSREQ.INVOICE_COMMENT#1 FROM TRIPSREQ WHERE INVOICE_COMMENT#1 = 'THIRD'",
       "third"},
      {"SELECT CUSTNAME FROM CUSTOMER WHERE CUSTNAME = 'It''s' OR CUSTNAME = 'Lincoln High'",
       "Lincoln High"},
      // Engine errors become provider errors with Jet's words.
      {"SELECT NOSUCH FROM TRIPSREQ",
       "error -2147217904: No value given for one or more required parameters."},
      {"SELECT * FROM NOSUCH",
       "error -2147217865: The database engine cannot find the input table or query 'NOSUCH'.  "
       "Make sure it exists and that its name is spelled correctly."},
      {"SELECT * FROM TRIPSREQ WHERE CUSTOMER = 'abc",
       "error -2147217900: Syntax error in string in query expression."},
      {"SELECT * FROM TRIPSREQ; DELETE FROM TRIPSREQ",
       "error -2147217900: Characters found after end of SQL statement."},
      {"SELECT mid$(CUSTOMER, 1, 2) FROM TRIPSREQ",
       "error -2147217900: Undefined function 'mid$' in expression."},
      {"DROP TABLE TRIPSREQ",
       "error -2147217900: Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', "
       "'SELECT', or 'UPDATE'."},
  };
  for (const auto& [jet, expected] : cases) {
    std::string rows;
    try {
      rows = rows_text(jet, connection);
    } catch (const vb::RuntimeError& error) {
      rows = "error " + std::to_string(error.number()) + ": " + error.description();
      EXPECT_TRUE(error.outside_text()) << jet;
    }
    EXPECT_EQ(rows, expected) << jet;
  }
}

TEST_F(JetTranslation, deeply_nested_text_is_refused_without_crashing) {
  const std::string jet = "SELECT " + std::string(100000, '(') + "1" + std::string(100000, ')');
  Recordset rs;
  EXPECT_EQ(error_number([&] { rs.open(jet, connection); }), -2147217900);
}

}  // namespace
}  // namespace db
