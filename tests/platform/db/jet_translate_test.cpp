// The Jet translation, checked by running translated texts on a small database and reading rows.
#include <thread>
#include <vector>

#include "platform/db/jet.h"
#include "tests/platform/db/db_fixture.h"

namespace db {
namespace {

using testing::create_sample_schema;
using testing::error_number;
using testing::error_text;
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

struct Case {
  const char* jet;
  const char* rows;
};

void expect_rows(const std::vector<Case>& cases, Connection& connection) {
  for (const Case& c : cases) {
    std::string rows;
    try {
      rows = rows_text(c.jet, connection);
    } catch (const vb::RuntimeError& error) {
      rows = "error " + std::to_string(error.number()) + ": " + error.description();
    }
    EXPECT_EQ(rows, c.rows) << c.jet;
  }
}

TEST_F(JetTranslation, date_literals_compare_with_stored_serials) {
  expect_rows(
      {
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE DEPDATE = #3/15/2009#", "1"},
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE TRIPSREQ.DEPDATE >= #3/16/2009# and "
           "TRIPSREQ.DEPDATE <= #5/17/2009# ORDER BY TRIPNUM",
           "2;3"},
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE DEPTIME = #9:05:00 AM#", "1"},
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE DEPDATE + DEPTIME = #3/15/2009 9:05:00 AM#", "1"},
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE DEPDATE=#Mar/16/2009#", "2"},
      },
      connection);
}

TEST_F(JetTranslation, invalid_date_literal_is_a_query_error) {
  const std::string jet = "SELECT * FROM TRIPSREQ WHERE DEPDATE = #2/30/2009#";
  Recordset rs;
  EXPECT_EQ(error_number([&] { rs.open(jet, connection); }), -2147217900);
  EXPECT_EQ(error_text([&] { rs.open(jet, connection); }),
            "Syntax error in date in query expression '#2/30/2009#'.");
}

TEST_F(JetTranslation, concatenation_reads_null_as_empty_text_and_binds_looser_than_arithmetic) {
  expect_rows(
      {
          {"SELECT (TRIPCAT.TRIPCAT&' - '&TRIPCAT.DESCRIPTION) AS TYPEDESCRIPTION FROM TRIPCAT "
           "ORDER BY TRIPCAT",
           "ED - Educational;SP - "},
          {"SELECT 1 + 2 & 'x' & 2 * 3 AS A FROM GRADE WHERE GRADE = '5'", "3x6"},
          {"SELECT TRIPNUM & '' AS A, ESTMILE & '' AS B FROM TRIPSREQ ORDER BY TRIPNUM",
           "1|12.5;2|;3|3"},
          {"SELECT TRIPCAT FROM TRIPCAT WHERE TRIPCAT & DESCRIPTION = 'edEDUCATIONAL'", "ED"},
      },
      connection);
}

TEST_F(JetTranslation, true_matches_any_nonzero_stored_value_and_null_matches_neither) {
  expect_rows(
      {
          {"SELECT CUSTOMER FROM CUSTOMER WHERE CUSTOMER.ACTIVE = True ORDER BY CUSTOMER",
           "LHS;MMS"},
          {"SELECT CUSTOMER FROM CUSTOMER WHERE True = ACTIVE ORDER BY CUSTOMER", "LHS;MMS"},
          {"SELECT CUSTOMER FROM CUSTOMER WHERE ACTIVE = FALSE", "OLD"},
          {"SELECT TRIPNUM FROM TRIPS WHERE TRIPS.CANCELED = FALSE ORDER BY TRIPNUM", "1;4"},
          {"SELECT TRIPNUM FROM TRIPS WHERE TRIPS.CANCELED <> FALSE", "2"},
          {"SELECT TRUE AS T, FALSE AS F FROM GRADE WHERE GRADE = '5'", "-1|0"},
      },
      connection);
}

TEST_F(JetTranslation, text_comparisons_ignore_case_also_on_expressions) {
  expect_rows(
      {
          {"Select CLSC2 from CLSCU where trim$(CLSCU.CLSC1) = 'ADMIN'", "pw"},
          {"SELECT CLSC1 FROM CLSCU WHERE ucase$(CLSCU.CLSC1) like 'AB%'", "abby"},
          {"SELECT CUSTNAME FROM CUSTOMER WHERE trim$(ucase$(CUSTOMER.CUSTOMER))='lhs';",
           "Lincoln High"},
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE CUSTOMER = 'lhs' ORDER BY TRIPNUM", "1;3"},
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE trim$(STATUS) BETWEEN 'denied' AND 'pending' "
           "ORDER BY TRIPNUM",
           "2;3"},
      },
      connection);
}

TEST_F(JetTranslation, jet_functions_keep_their_meaning) {
  expect_rows(
      {
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE TRIPNUM = clng('2')", "2"},
          {"SELECT clng(2.5) AS A, clng(3.5) AS B, CLNG(' 7 ') AS C FROM GRADE WHERE GRADE = '5'",
           "2|4|7"},
          {"SELECT DateValue(TRIPSREQ.STATUS_DATE) AS Expr1 FROM TRIPSREQ ORDER BY TRIPNUM",
           "3/8/2009;3/9/2009;Null"},
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE datevalue(TRIPSREQ.STATUS_DATE) >= #3/8/2009# and "
           "datevalue(TRIPSREQ.STATUS_DATE) <= #3/8/2009#",
           "1"},
          {"SELECT STR(DESTINATION) AS S FROM TRIPSREQ ORDER BY TRIPNUM", " 5; 0;-3"},
          {"SELECT STR(ESTMILE) AS S FROM TRIPSREQ ORDER BY TRIPNUM", " 12.5;Null; 3"},
          {"SELECT '[' & trim$('  a b  ') & ']' AS A FROM GRADE WHERE GRADE = '5'", "[a b]"},
          {"SELECT CLSC1 FROM CLSCU WHERE isnull(CUSTOMER)", "admin  "},
          {"SELECT CLSCU.CLSC1 From CLSCU WHERE (CLSCU.ROLE='req') AND (CLSCU.CUSTOMER='LHS' OR "
           "CLSCU.CUSTOMER='' or isnull(CLSCU.CUSTOMER))",
           "Clerk;abby"},
      },
      connection);
}

TEST_F(JetTranslation, failed_conversion_in_a_query_is_a_criteria_mismatch) {
  Recordset rs;
  for (const char* jet : {"SELECT clng('abc') AS A FROM GRADE",
                          "SELECT TRIPNUM FROM TRIPSREQ WHERE TRIPNUM = clng('3000000000')",
                          "SELECT datevalue('soon') AS A FROM GRADE"}) {
    EXPECT_EQ(error_number([&] { rs.open(jet, connection); }), -2147217913) << jet;
    EXPECT_EQ(error_text([&] { rs.open(jet, connection); }),
              "Data type mismatch in criteria expression.");
  }
}

TEST_F(JetTranslation, aggregate_over_a_bare_sub_select) {
  expect_rows({{"SELECT SUM(SELECT COUNT(*) FROM TRIPSPLIT WHERE TRIPSPLIT.TRIPNUM = "
                "TRIPS.TRIPNUM) AS N FROM TRIPS",
                "3"}},
              connection);
}

TEST_F(JetTranslation, common_forms_of_the_dialect) {
  expect_rows(
      {
          {"Select GRADE.* from GRADE where GRADE.Active = True", "5|Fifth|True;6|Sixth|True"},
          {"SELECT TRIPNUM FROM TRIPS WHERE GRADE IS NULL", "4"},
          {"SELECT TRIPNUM FROM TRIPS WHERE TRIPCAT IS NOT NULL AND TRIPCAT <> 'ed'", "2"},
          {"SELECT GRADE, COUNT(*) AS N FROM TRIPS GROUP BY GRADE ORDER BY GRADE",
           "Null|1;5|2;6|1"},
          {"SELECT CUSTOMER FROM CUSTOMER WHERE CUSTOMER = 'LHS' UNION SELECT CUSTOMER FROM TRIPS "
           "WHERE TRIPNUM = 4",
           "LHS;XXX"},
          {"SELECT CUSTNAME FROM CUSTOMER WHERE CUSTOMER = \"mms\"", "Madison Middle"},
          {"SELECT [CUSTNAME] FROM [CUSTOMER] WHERE [CUSTOMER].[CUSTOMER] = 'OLD'",
           "Closed School"},
          {"SELECT TRIPSREQ.INVOICE_COMMENT#1 FROM TRIPSREQ WHERE INVOICE_COMMENT#1 = 'THIRD'",
           "third"},
          {"SELECT TRIPNUM FROM TRIPSREQ WHERE DESTINATION = -3", "3"},
          {"SELECT 2 - -3 AS A, 7 MOD 3 AS B, .5 * 4 AS C FROM GRADE WHERE GRADE = '5'", "5|1|2"},
          {"SELECT DISTINCT CUSTOMER FROM TRIPS ORDER BY CUSTOMER DESC", "XXX;MMS;LHS"},
          {"SELECT CUSTNAME FROM CUSTOMER WHERE CUSTNAME = 'It''s'", ""},
      },
      connection);
}

TEST_F(JetTranslation, engine_errors_become_provider_errors) {
  struct ErrorCase {
    const char* jet;
    long number;
    const char* text;  // nullptr: the engine's own words
  };
  const std::vector<ErrorCase> cases = {
      {"SELECT NOSUCH FROM TRIPSREQ", -2147217904,
       "No value given for one or more required parameters."},
      {"SELECT * FROM NOSUCH", -2147217865,
       "The database engine cannot find the input table or query 'NOSUCH'.  Make sure it exists "
       "and that its name is spelled correctly."},
      {"SELECT * FROM TRIPSREQ WHERE", -2147217900, nullptr},
      {"SELECT * FROM TRIPSREQ WHERE CUSTOMER = 'abc", -2147217900,
       "Syntax error in string in query expression."},
      {"SELECT * FROM TRIPSREQ; DELETE FROM TRIPSREQ", -2147217900,
       "Characters found after end of SQL statement."},
      {"SELECT mid$(CUSTOMER, 1, 2) FROM TRIPSREQ", -2147217900,
       "Undefined function 'mid$' in expression."},
      {"SELECT isnull(CUSTOMER, STATUS) FROM TRIPSREQ", -2147217900,
       "Wrong number of arguments used with function in query expression 'isnull'."},
      {"DROP TABLE TRIPSREQ", -2147217900,
       "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
       "'UPDATE'."},
      {"SELECT ((1) AS A FROM GRADE", -2147217900, "Syntax error: missing ) in query expression."},
      {"SELECT 1) AS A FROM GRADE", -2147217900, "Syntax error: extra ) in query expression."},
      {"SELECT * FROM TRIPSREQ WHERE CUSTOMER = ?", -2147217900,
       "Syntax error: unexpected character '?' in query expression at position 41."},
  };
  for (const ErrorCase& c : cases) {
    Recordset rs;
    try {
      rs.open(c.jet, connection);
      ADD_FAILURE() << "no error for " << c.jet;
    } catch (const vb::RuntimeError& error) {
      EXPECT_EQ(error.number(), c.number) << c.jet;
      if (c.text) {
        EXPECT_EQ(error.description(), c.text) << c.jet;
      }
      EXPECT_FALSE(error.description().empty());
      EXPECT_TRUE(error.outside_text()) << c.jet;
    }
  }
}

TEST_F(JetTranslation, deeply_nested_text_is_refused_without_crashing) {
  const std::string jet = "SELECT " + std::string(100000, '(') + "1" + std::string(100000, ')');
  Recordset rs;
  EXPECT_EQ(error_number([&] { rs.open(jet, connection); }), -2147217900);
}

TEST_F(JetTranslation, expression_columns_read_back_typed) {
  Recordset rs;
  rs.open(
      "SELECT DateValue(TRIPSREQ.STATUS_DATE) AS Expr1, COUNT(*) AS N, isnull(DEPTIME) AS B, "
      "STR(DESTINATION) AS S FROM TRIPSREQ WHERE TRIPNUM = 1",
      connection);
  EXPECT_EQ(rs.field("Expr1"), vb::Variant(vb::DateTime{39880}));
  EXPECT_EQ(rs.field("N"), vb::Variant(std::int32_t{1}));
  EXPECT_EQ(rs.field("B"), vb::Variant(false));
  EXPECT_EQ(rs.field("S"), vb::Variant(" 5"));
}

TEST(JetTranslationCache, concurrent_use_gives_each_text_its_own_translation) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 1500; ++i) {
        const std::string n = std::to_string(t * 10000 + i % 700);
        const auto translation = translate_shared("SELECT A FROM T WHERE B = " + n);
        if (translation->sql != "SELECT A FROM T WHERE B = " + n) ++failures[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace db
