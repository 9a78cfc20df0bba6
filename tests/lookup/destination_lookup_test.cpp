// The destination lookup: the search, the add form, the checks of a typed-in destination and the
// return to the request form.
#include <vector>

#include "tests/lookup/lookup_test_support.h"

namespace {

using namespace lookup_tests;

constexpr const char* kFind = "WCI=LookupDest&WCE=FindDests&WCU";
constexpr const char* kReturn = "WCI=LookupDest&WCE=RetwSelected&WCU";

using Form = std::vector<std::pair<std::string, std::string>>;

class DestinationLookupTest : public LookupTest {
 protected:
  // A valid typed-in destination with some fields replaced.
  static Form new_destination(const Form& changes = {}) {
    Form form = {{"SelDest", "0"},         {"DESTDESC", "Zoo"},      {"DESTCAT", "PARK"},
                 {"MILES", "8"},           {"DESTADD1", "1 Zoo Rd"}, {"DESTADD2", ""},
                 {"DESTCITY", "Lakeview"}, {"DESTSTATE", "MN"},      {"DESTZIP", "55555"},
                 {"DESTSPEC", "Gate 2"},   {"btnSubmit2", "Return"}};
    for (const auto& [field, value] : changes) {
      for (auto& [name, text] : form) {
        if (name == field) text = value;
      }
    }
    return form;
  }
};

TEST_F(DestinationLookupTest, the_search_lists_matches_in_any_case_with_addresses_escaped) {
  district_.sql(
      "trip",
      "INSERT INTO DESTINATION (DESTINATION, DESTDESC, DESTADD1, DESTADD2, ACTIVE) VALUES "
      "(77, 'Cinema', '<b>1 Main</b>', 'A & B', -1);");
  open_lookup_as("teacher", "apple");
  const std::string page = sim_.post(kFind, {{"DESTDESC", "ci"}, {"btnsubmit", "Find"}}).body;
  EXPECT_TRUE(contains(page,
                       "<table border='1' width='714'><thead><tr><td width='50'><b>Selected</b>"
                       "</td><td width='88'><b>Description</b></td><td width='50'><b>"
                       "Destination</b></td><td width='88'><b>Address</b></td><td width='88'><b>"
                       "Address#2</b></td></tr></thead><tbody><tr><td><input type='radio' "
                       "name='SelDest' value='77'></td><td>Cinema</td><td>77</td><td>&lt;b&gt;1 "
                       "Main&lt;/b&gt;</td><td>A &amp; B</td></tr><tr><td><input type='radio' "
                       "name='SelDest' value='11'></td><td>City Park</td><td>11</td><td>1 Park "
                       "Ave</td><td> </td></tr>" +
                           std::string(kResultsEnd)))
      << page;
}

TEST_F(DestinationLookupTest, the_add_form_offers_the_categories_and_the_values_kept) {
  open_lookup_as("teacher", "apple");
  sim_.set_session("RequestDetail.destdesc", "Joe's <Place>");
  sim_.set_session("RequestDetail.miles", "4");
  sim_.set_session("RequestDetail.destspec", "</TEXTAREA>");
  const std::string page = sim_.post(kFind, {{"btnsubmit", "new"}, {"DESTDESC", "x"}}).body;
  const std::string form =
      "<table border='1'><tr><td colspan='3'><h1>Add a Destination</h1></td></tr><tr><td>"
      "Description:</td><td><input type='text' name='DESTDESC' size='50' maxlength='75' "
      "value='Joe&#39;s &lt;Place&gt;'></td></tr><tr><td>Category:</td><td><select "
      "name='DESTCAT'><option></option><option>MUSEUM</option><option>PARK</option></select>"
      "</td></tr><tr><td>Average Miles:</td><td><input type='text' name='MILES' size='4' "
      "value='4'></td></tr><tr><td>Address:</td><td><input type='text' name='DESTADD1' "
      "size='30' maxlength='30' value=''></td></tr><tr><td>&nbsp;</td><td><input type='text' "
      "name='DESTADD2' size='30' maxlength='30' value=''></td></tr><tr><td>City:</td><td><input "
      "type='text' name='DESTCITY'  size='15' maxlength='15' value=''></td></tr><tr><td>State:"
      "</td><td><input type='text' name='DESTSTATE'  size='2' maxlength='2' value=''></td></tr>"
      "<tr><td>Zip/Postal Code:</td><td><input type='text' name='DESTZIP' size='10' "
      "maxlength='10' value=''></td></tr><tr><td>Special Instructions:</td><td><textarea "
      "rows='3' cols='60' name='DESTSPEC'>&lt;/TEXTAREA&gt;</TEXTAREA></td></tr></table><span "
      "style='visibility: hidden'><input type='text' name='SelDest' value='0'></SPAN><p "
      "align='center'><input type='submit' value='Return' name='btnSubmit2'></p><p>&nbsp;</p>";
  EXPECT_TRUE(contains(page, form)) << page;
  EXPECT_FALSE(contains(page, "name='SelDest' value='1"));
}

TEST_F(DestinationLookupTest, a_typed_in_destination_is_kept_as_posted_and_the_form_shows_it_new) {
  open_lookup_as("teacher", "apple");
  const std::string page = sim_.post(kReturn, new_destination({{"DESTDESC", " Zoo "}})).body;
  EXPECT_TRUE(shows_request_form(page));
  EXPECT_TRUE(contains(page, "** New **"));
  EXPECT_EQ(sim_.session_text("RequestDetail.destination"), "0");
  for (const auto& [key, value] :
       pairs_of("RequestDetail.destdesc= Zoo |RequestDetail.destcat=PARK|RequestDetail.miles=8|"
                "RequestDetail.destadd1=1 Zoo Rd|RequestDetail.destadd2=|RequestDetail.destcity="
                "Lakeview|RequestDetail.destzip=55555|RequestDetail.destspec=Gate 2|"
                "RequestDetail.deststate=MN")) {
    EXPECT_EQ(sim_.session_text(key), value) << key;
  }
}

TEST_F(DestinationLookupTest, the_checks_of_a_typed_in_destination_stop_at_their_limits) {
  const std::string too_long_desc =
      "<p>The destination description you have entered is too long, please use your browser's "
      "back button and enter a description with 75 characters or less.</p>";
  const std::string too_long_add1 =
      "<p>The destination address you have entered is too long, please use your browser's back "
      "button and enter an address with 30 characters or less.</p>";
  const std::string too_long_add2 =
      "<p>The second line of the destination address you have entered is too long, please use "
      "your browser's back button and enter an address with 30 characters or less.</p>";
  const std::string too_long_city =
      "<p>The destination city you have entered is too long, please use your browser's back "
      "button and enter a city with 15 characters or less.</p>";
  const std::string too_long_state =
      "<p>The destination state you have entered is too long, please use your browser's back "
      "button and enter a state code with 2 characters.</p>";
  const std::string too_long_zip =
      "<p>The destination zip/postal code you have entered is too long, please use your "
      "browser's back button and enter a zip or postal code with 10 characters or less.</p>";
  const std::string bad_miles =
      "<p>Please enter a valid number of miles (or 0) in the Average Miles field.</p>";
  const std::string no_description =
      "<p align='center'>When entering in a new destination, a destination description is "
      "required.</p><p>Please use your browser's back button and enter a description with 75 "
      "characters or less.</p>";
  // Each limit is accepted at its length and refused a character beyond; the first failing
  // check wins.
  const std::pair<Form, std::string> cases[] = {
      {{{"DESTDESC", std::string(75, 'd')},
        {"DESTADD1", std::string(30, 'a')},
        {"DESTADD2", std::string(30, 'a')},
        {"DESTCITY", "Zürich-Örlikon1"},  // 15 characters, more bytes
        {"DESTZIP", std::string(10, '9')},
        {"MILES", " 12.5 "}},
       ""},
      {{{"DESTDESC", "  " + std::string(75, 'd') + "  "}, {"MILES", ""}}, ""},
      {{{"DESTDESC", "   "}}, ""},
      {{{"DESTDESC", std::string(76, 'd')}}, too_long_desc},
      {{{"DESTDESC", ""}, {"DESTCITY", std::string(20, 'c')}}, no_description},
      {{{"DESTADD1", std::string(31, 'a')}}, too_long_add1},
      {{{"DESTADD2", std::string(31, 'a')}}, too_long_add2},
      {{{"DESTCITY", std::string(16, 'c')}}, too_long_city},
      {{{"DESTSTATE", "MNX"}}, too_long_state},
      {{{"DESTZIP", std::string(11, '9')}}, too_long_zip},
      {{{"MILES", "abc"}, {"DESTDESC", ""}}, bad_miles},
  };
  for (const auto& [changes, refusal] : cases) {
    SCOPED_TRACE(changes[0].first + "=" + changes[0].second);
    Simulator sim(district_);
    sign_in(sim, "teacher", "apple", "Enter a New Trip Request");
    sim.set_session("LoadRequestDetailFromSession", "True");
    sim.set_session("RequestDetail.destdesc", "before");
    const std::string page = sim.post(kReturn, new_destination(changes)).body;
    if (refusal.empty()) {
      EXPECT_TRUE(shows_request_form(page));
      EXPECT_EQ(sim.session_text("RequestDetail.destination"), "0");
      EXPECT_EQ(sim.session_text("RequestDetail.destdesc"), changes[0].second);
    } else {
      EXPECT_EQ(message_of(page), refusal);
      EXPECT_EQ(sim.session_text("RequestDetail.destdesc"), "before");
    }
  }
}

TEST_F(DestinationLookupTest, a_listed_destination_brings_its_details_along) {
  open_lookup_as("teacher", "apple", "1001");
  sim_.set_session("RequestDetail.destcity", "Old city");
  const std::string page = sim_.post(kReturn, {{"SelDest", "10"}}).body;
  EXPECT_TRUE(shows_request_form(page));
  for (const auto& [key, value] : pairs_of(
           "RequestDetail.destination=10|RequestDetail.destspec=Bus parking in lot C|"
           "RequestDetail.destdesc=Science Museum of the Great Lakes Region|"
           "RequestDetail.destadd1=200 Lake Dr|RequestDetail.miles=12.5|RequestDetail.destcat=|"
           "RequestDetail.destadd2=Building B|RequestDetail.destcity=|RequestDetail.destzip=|"
           "RequestDetail.deststate=")) {
    EXPECT_EQ(sim_.session_text(key), value) << key;
  }
}

TEST_F(DestinationLookupTest, returning_without_a_choice_or_with_a_forged_one_changes_nothing) {
  open_lookup_as("teacher", "apple");
  sim_.set_session("RequestDetail.destination", "11");
  EXPECT_TRUE(shows_request_form(sim_.post(kReturn, {{"btnSubmit2", "Return"}}).body));
  EXPECT_EQ(sim_.session_text("RequestDetail.destination"), "11");
  for (const char* forged : {"abc", "99999999999"}) {
    const std::string page = sim_.post(kReturn, {{"SelDest", forged}}).body;
    EXPECT_EQ(message_of(page).rfind(
                  "Error in Procedure: LookupDest_RetwSelected of Module: Jaunter.  ", 0),
              0u)
        << page;
    EXPECT_FALSE(shows_request_form(page));
    EXPECT_EQ(sim_.session_text("RequestDetail.destination"), "11");
  }
}

}  // namespace
