// The customer lookup: the name search, its row limit, and the return to the request form.
#include "tests/lookup/lookup_test_support.h"

namespace {

using namespace lookup_tests;

constexpr const char* kFind = "WCI=LookupCust&WCE=FindCusts&WCU";
constexpr const char* kReturn = "WCI=LookupCust&WCE=RetwSelected&WCU";

std::string customer_row(const std::string& code, const std::string& name) {
  return "<tr><td><input type='radio' name='SelCust' value='" + code + "'></td><td>" + name +
         "</td><td>" + code + "</td></tr>";
}

class CustomerLookupTest : public LookupTest {
 protected:
  // Customers "Zeta 001" .. "Zeta <n>".
  void add_zeta_customers(int n) {
    district_.sql("trip",
                  "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < " +
                      std::to_string(n) +
                      ") INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, ACTIVE) SELECT 'Z' || i, "
                      "'Zeta ' || printf('%03d', i), -1 FROM k;");
  }
};

TEST_F(CustomerLookupTest, the_search_finds_names_beginning_with_the_text_in_any_case_by_name) {
  district_.sql(
      "trip",
      "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, ACTIVE) VALUES ('ABB', 'abbot Hall', -1),"
      " ('CAB', 'Cabin School', -1), ('ABL', 'ABLE Center', 0);");
  open_lookup_as("transport", "pw");
  const std::string page = sim_.post(kFind, {{"CUSTDESC", "  ab "}}).body;
  const std::string table =
      "<table border='1' width='714'><thead><tr><td width='58'><b>Selected</b></td><td "
      "width='140'><b>Customer Name</b></td><td width='88'><b>Customer</b></td></tr></thead>"
      "<tbody>" +
      customer_row("ABB", "abbot Hall") + customer_row("ABL", "ABLE Center") + kResultsEnd;
  EXPECT_TRUE(contains(page, table)) << page;
  EXPECT_TRUE(contains(page, "Jaunter.ASP?WCI=LookupCust&amp;WCE=RetwSelected&amp;WCU"));
  // An empty search lists every customer, active or not.
  const std::string all = sim_.post(kFind, {{"CUSTDESC", "   "}}).body;
  EXPECT_EQ(occurrences(all, "name='SelCust'"), 7);
  EXPECT_LT(all.find("Adams Elementary"), all.find("Closed School"));
}

TEST_F(CustomerLookupTest, three_hundred_matches_are_listed_and_three_hundred_and_one_refused) {
  add_zeta_customers(300);
  open_lookup_as("transport", "pw");
  const std::string listed = sim_.post(kFind, {{"CUSTDESC", "zeta"}}).body;
  EXPECT_EQ(occurrences(listed, "name='SelCust'"), 300);

  district_.sql("trip", "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME) VALUES ('Z301', 'Zeta 301');");
  EXPECT_EQ(message_of(sim_.post(kFind, {{"CUSTDESC", "zeta"}}).body), kTooManyRows);
}

TEST_F(CustomerLookupTest, typed_quotes_stay_in_the_pattern_and_the_table_escapes_names_and_codes) {
  district_.sql("trip",
                "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, ACTIVE) VALUES ('OB', 'O''Brien "
                "Academy', -1), ('Q''1', 'Quad <b>&</b>', -1), ('Q2', NULL, -1);");
  open_lookup_as("transport", "pw");
  EXPECT_TRUE(contains(sim_.post(kFind, {{"CUSTDESC", "o'b"}}).body,
                       customer_row("OB", "O&#39;Brien Academy")));
  const std::string injected = sim_.post(kFind, {{"CUSTDESC", "x' OR '1'='1"}}).body;
  EXPECT_TRUE(contains(injected, "<tbody>" + std::string(kResultsEnd)));
  EXPECT_EQ(occurrences(sim_.post(kFind, {{"CUSTDESC", "%school"}}).body, "name='SelCust'"), 2);
  EXPECT_TRUE(contains(sim_.post(kFind, {{"CUSTDESC", "q"}}).body,
                       customer_row("Q&#39;1", "Quad &lt;b&gt;&amp;&lt;/b&gt;")));
}

TEST_F(CustomerLookupTest, the_page_shows_the_request_number_being_edited) {
  open_lookup_as("transport", "pw", "1001");
  sim_.set_session("TRIPREQ", "10<01>");
  const std::string page = sim_.post(kFind, {{"CUSTDESC", "lake"}}).body;
  EXPECT_TRUE(contains(page, "Trip request # <strong>10&lt;01&gt;</strong>"));
  EXPECT_TRUE(contains(page, "<h1>Lakeview Unified</h1>"));
}

TEST_F(CustomerLookupTest, choosing_for_a_new_request_warns_above_the_form_that_shows_the_choice) {
  open_lookup_as("transport", "pw");
  const std::string page = sim_.post(kReturn, {{"SelCust", "BAND"}, {"btnSubmit2", "Return"}}).body;
  EXPECT_EQ(message_of(page).rfind("Session Timed Out, please try again.", 0), 0u)
      << page.substr(0, 200);
  EXPECT_TRUE(shows_request_form(page));
  EXPECT_TRUE(contains(page, "<option selected>BAND, District Band</option>"));
  EXPECT_EQ(sim_.session_text("RequestDetail.customer"), "BAND");
}

TEST_F(CustomerLookupTest, choosing_for_a_stored_request_or_nothing_shows_it_without_the_warning) {
  open_lookup_as("transport", "pw", "1001");
  sim_.set_session("RequestDetail.customer", "LHS");
  const std::string page = sim_.post(kReturn, {{"btnSubmit2", "Return"}}).body;
  EXPECT_FALSE(contains(page, "Session Timed Out"));
  EXPECT_TRUE(shows_request_form(page));
  EXPECT_EQ(sim_.session_text("RequestDetail.customer"), "LHS");
  sim_.post(kReturn, {{"Selcust", "BAND"}});
  EXPECT_EQ(sim_.session_text("RequestDetail.customer"), "BAND");
  EXPECT_EQ(sim_.session_text("TRIPREQ"), "1001");
}

}  // namespace
