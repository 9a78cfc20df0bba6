// The summary against a straightforward count over generated trips: each group's trips, splits,
// students, adults, people and amount, with and without a condition, for every grouping.
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "tests/reports/list_report_fixture.h"

namespace report_tests {
namespace {

struct Trip {
  int number, students, adults;
  std::string customer, category, grade, fund;
  std::vector<std::string> split_funds;
  double billed = 0, other = 0;  // BIL rows, and rows neither BIL nor PAY
};

// 120 trips over the sample's codes, with Null, blank and unknown codes among them.
std::vector<Trip> make_trips() {
  const char* customers[] = {"LHS", "ADAMS", "BAND"};
  const char* categories[] = {"ATH", "MUS", "", "  ", "ZZZ", "NULL"};
  const char* grades[] = {"5", "K", "NULL", " ", "12"};
  const char* funds[] = {"100", "200", "300"};
  std::vector<Trip> trips;
  for (int i = 1; i <= 120; ++i) {
    Trip t{i,  i % 7, i % 3, customers[i % 3], categories[i % 6], grades[i % 5], funds[(i / 2) % 3],
           {}, 0,     0};
    for (int k = 0; k < i % 4; ++k) t.split_funds.push_back(funds[(i + k) % 3]);
    if (i % 2 == 0) t.billed = i % 5 + 0.25;
    if (i % 3 == 0) t.other = 2;
    trips.push_back(t);
  }
  return trips;
}

std::string quoted(const std::string& code) {
  return code == "NULL" ? code : "'" + code + "'";
}

std::string insert_sql(const std::vector<Trip>& trips) {
  std::string sql;
  for (const Trip& t : trips) {
    const std::string n = std::to_string(t.number);
    sql +=
        "INSERT INTO TRIPS (TRIPNUM, CUSTOMER, DESTINATION, DEPDATE, TRIPCAT, GRADE, FUND, "
        "NUMSTUDENTS, NUMADULTS) VALUES (" +
        n + ", '" + t.customer + "', 10, 46083, " + quoted(t.category) + ", " + quoted(t.grade) +
        ", '" + t.fund + "', " + std::to_string(t.students) + ", " + std::to_string(t.adults) +
        ");" + "INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (" + n + ", 'PAY', -1" +
        (t.billed ? "), (" + n + ", 'BIL', " + std::to_string(t.billed) : "") +
        (t.other ? "), (" + n + ", 'ADJ', 2" : "") + ");";
    for (const std::string& fund : t.split_funds)
      sql += "INSERT INTO TRIPSPLIT (TRIPNUM, FUND) VALUES (" + n + ", '" + fund + "');";
  }
  return sql;
}

struct Figures {
  int trips = 0, splits = 0, students = 0, adults = 0;
  double amount = 0;
};

std::string row_of(const std::string& group, const Figures& f) {
  char amount[32];
  std::snprintf(amount, sizeof amount, "$%.2f", f.amount);
  std::string html = "<td>" + group + "</td>";
  for (const std::string& cell :
       {std::to_string(f.trips), std::to_string(f.splits), std::to_string(f.students),
        std::to_string(f.adults), std::to_string(f.students + f.adults), std::string(amount)})
    html += "<td align=right>" + cell + "</td>";
  return html + "</tr>";
}

bool blank(const std::string& code) {
  return code == "NULL" || code.find_first_not_of(' ') == std::string::npos;
}

class ScaleSummary : public ReportTest {
 protected:
  ScaleSummary() : trips_(make_trips()) { district_.sql("trip", insert_sql(trips_)); }
  std::vector<Trip> trips_;
};

TEST_F(ScaleSummary, every_grouping_shows_the_figures_of_a_straightforward_count) {
  const std::map<std::string, std::string> names = {{"LHS", "LHS - Lakeview High School"},
                                                    {"ADAMS", "ADAMS - Adams Elementary"},
                                                    {"BAND", "BAND - District Band"},
                                                    {"ATH", "ATH - Athletics"},
                                                    {"MUS", "MUS - Music"},
                                                    {"5", "5 - Fifth"},
                                                    {"K", "K - Kindergarten"},
                                                    {"12", "12 - Twelfth"},
                                                    {"100", "100 - General"},
                                                    {"200", "200 - Athletics"},
                                                    {"300", "300 - "}};
  struct Kind {
    const char* type;
    std::function<std::string(const Trip&)> key;
    bool billings_only, none;
  };
  const Kind kinds[] = {{"Customer", [](const Trip& t) { return t.customer; }, false, false},
                        {"Category", [](const Trip& t) { return t.category; }, true, true},
                        {"Grade", [](const Trip& t) { return t.grade; }, false, true},
                        {"Fund", [](const Trip& t) { return t.fund; }, false, false}};
  for (const Kind& kind : kinds) {
    for (const int least_adults : {0, 1}) {
      std::map<std::string, Figures> groups;
      for (const Trip& t : trips_) {
        if (t.adults < least_adults) continue;
        const std::string key = kind.key(t);
        std::optional<std::string> group;
        if (names.count(key)) group = names.at(key);
        if (kind.none && blank(key)) group = "*None";
        if (std::string(kind.type) == "Fund") {
          for (const std::string& fund : t.split_funds) ++groups[names.at(fund)].splits;
        } else if (group) {
          groups[*group].splits += static_cast<int>(t.split_funds.size());
        }
        if (!group) continue;
        Figures& f = groups[*group];
        ++f.trips;
        f.students += t.students;
        f.adults += t.adults;
        f.amount += t.billed + (kind.billings_only ? 0 : t.other);
      }
      sim_.set_session("TripReportSummaryCondition",
                       least_adults ? " WHERE TRIPS.NUMADULTS >= 1" : "");
      const std::string page =
          sim_.get(std::string("WCI=TripSummaryReport&Type=") + kind.type).body;
      for (const auto& [group, figures] : groups)
        EXPECT_TRUE(contains(page, row_of(group, figures)))
            << kind.type << " " << least_adults << " " << row_of(group, figures);
      EXPECT_EQ(occurrences(page, "<tr bgcolor="), static_cast<int>(groups.size()))
          << kind.type << " " << least_adults;
    }
  }
}

}  // namespace
}  // namespace report_tests
