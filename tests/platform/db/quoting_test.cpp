// The quoting helpers, and that no typed text can change what a statement does.
#include "platform/db/jet.h"
#include "tests/platform/db/db_fixture.h"

namespace db {
namespace {

using testing::error_number;
using testing::rows_text;
using testing::TempDir;

TEST(Quoting, text_is_quoted_with_its_quotes_doubled) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"abc", "'abc'"}, {"it's", "'it''s'"}, {"", "''"}, {"''", "''''''"}, {"a\"b", "'a\"b'"}};
  for (const auto& [text, quoted] : cases) EXPECT_EQ(quote_text(text), quoted) << text;
}

TEST(Quoting, dates_are_validated_and_written_month_first) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"3/7/2009", "#3/7/2009#"},
      {"2009-03-07", "#3/7/2009#"},
      {"Jan/5/2026", "#1/5/2026#"},
  };
  for (const auto& [text, quoted] : cases) EXPECT_EQ(quote_date(text), quoted) << text;
  EXPECT_EQ(quote_date(vb::DateTime{39887}), "#3/15/2009#");
  for (const char* bad : {"3/45/2009", "", "abc", "#1/1/2000#", "1/1/2000# OR 1=1 OR #1/1/2000"})
    EXPECT_EQ(error_number([&] { quote_date(bad); }), 13) << bad;
}

TEST(Quoting, numbers_go_through_the_runtime_conversions) {
  const std::vector<std::pair<vb::Variant, std::string>> longs = {
      {"12", "12"}, {12.5, "12"}, {13.5, "14"}, {std::int32_t{0}, "0"}};
  for (const auto& [value, text] : longs) EXPECT_EQ(quote_long(value), text) << text;
  EXPECT_EQ(error_number([] { quote_long("1 OR 1=1"); }), 13);
  EXPECT_EQ(error_number([] { quote_long("3000000000"); }), 6);

  EXPECT_EQ(quote_double("2.5"), "2.5");
  EXPECT_EQ(error_number([] { quote_double("5; DELETE FROM T"); }), 13);
}

TEST(Quoting, typed_text_never_changes_what_a_statement_does) {
  TempDir dir;
  Connection connection;
  connection.create(dir.file("trip.db"));
  connection.execute_native(
      "CREATE TABLE INJ (ID INTEGER PRIMARY KEY, T TEXT COLLATE NOCASE);"
      "CREATE TABLE KEEP (K TEXT); INSERT INTO KEEP VALUES ('kept');");
  const std::vector<std::string> typed = {
      "x' OR '1'='1",
      "'; DELETE FROM KEEP; --",
      "\" OR \"\"=\"",
      "\\'",
      std::string("nul\0byte' OR '1'='1", 19),
  };
  for (const std::string& text : typed) {
    EXPECT_EQ(connection.execute("INSERT INTO INJ (T) VALUES (" + quote_text(text) + ")"), 1)
        << text;
    EXPECT_EQ(rows_text("SELECT T FROM INJ WHERE T = " + quote_text(text), connection), text);
    EXPECT_EQ(rows_text("SELECT T FROM INJ WHERE trim$(T) = " + quote_text(text) + " AND ID >= 0",
                        connection),
              vb::Trim(text));
  }
  EXPECT_EQ(rows_text("SELECT COUNT(*) AS N FROM INJ", connection), std::to_string(typed.size()));
  for (const std::string& text : typed)
    EXPECT_EQ(connection.execute("DELETE FROM INJ WHERE T = " + quote_text(text)), 1) << text;
  EXPECT_EQ(rows_text("SELECT K FROM KEEP", connection), "kept");
}

}  // namespace
}  // namespace db
