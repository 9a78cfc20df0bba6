// The summary report: the trips of the last field trip search grouped by customer, category,
// fund, destination or grade, with trips, splits, students, adults, people and amount per group,
// the totals of the groups, a bar chart of them and the same rows as a CSV download.
//
// Design note: every figure of a group is taken over the trips that the search's condition (its
// WHERE part) selects. A district keeps years of trips, so the report reads them in two steps.
// First the selected trips are summed per customer and key, once for the trips' own figures and
// once joined to each of their split and billing tables, so that every table is read by its
// trip-number index in one pass rather than once per trip and figure; the sums are taken in a
// hash table as the rows come (db::Connection::group_into), since the engine's GROUP BY would sort
// every row first, and the three kinds of rows are read side by side. Then those few partial sums
// are joined to the key's table and to the customers and added up per group. The trips come from
// the summary index (data/schema.h) whenever the condition names only columns it holds: read
// there in date order, the lookups by trip number stay close together. Category and grade add a
// "*None" row, always, for the trips whose code is Null or blank. Fund counts the splits charged
// to the fund rather than the splits of the fund's trips. Crew hours and miles are not shown, so
// they are not read.
#include "reports/summary_report.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "config/ChkEligWeb.h"
#include "data/schema.h"
#include "frame/keys.h"
#include "platform/text/text.h"
#include "platform/vb/conversions.h"
#include "reports/csv.h"
#include "reports/paging.h"
#include "reports/search_support.h"

namespace reports {

// One summary type: its key's table and code column, its description D and grouping B, whether
// its amount counts billings only, whether a "*None" row collects the trips without a code, the
// trips' key column and the column a split is counted under.
struct SummaryKind {
  const char* type;
  const char* table;
  const char* column;
  const char* D;
  const char* B;
  bool billings_only;
  bool none_row;
  const char* trip_key;
  const char* split_key;
  // A grouping of the trips that the summary index's order gives without a sort and that keeps
  // the key apart, so that the engine sums the rows of a day before they reach the hash table;
  // nullptr where none gains.
  const char* index_groups;
};

constexpr std::array<SummaryKind, 5> kSummaries = {{
    {"CATEGORY", "TRIPCAT", "TRIPCAT.TRIPCAT", "(TRIPCAT.TRIPCAT&' - '&TRIPCAT.DESCRIPTION)",
     "TRIPCAT.TRIPCAT, TRIPCAT.DESCRIPTION", true, true, "TRIPS.TRIPCAT", "TRIPS.TRIPCAT", nullptr},
    {"CUSTOMER", "CUSTOMER", "CUSTOMER.CUSTOMER", "(CUSTOMER.CUSTOMER&' - '&CUSTOMER.CUSTNAME)",
     "CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME", false, false, "TRIPS.CUSTOMER", "TRIPS.CUSTOMER",
     "TRIPS.DEPDATE, TRIPS.CUSTOMER"},
    {"DESTINATION", "DESTINATION", "DESTINATION.DESTINATION",
     "(STR(DESTINATION.DESTINATION)&' - '&DESTINATION.DESTDESC)",
     "DESTINATION.DESTINATION, DESTINATION.DESTDESC", false, false, "TRIPS.DESTINATION",
     "TRIPS.DESTINATION", nullptr},
    {"FUND", "FUND", "FUND.FUND", "(FUND.FUND&' - '&FUND.FUNDDESC)", "FUND.FUND, FUND.FUNDDESC",
     false, false, "TRIPS.FUND", "TRIPSPLIT.FUND", nullptr},
    {"GRADE", "GRADE", "GRADE.GRADE", "(GRADE.GRADE&' - '&GRADE.DESCRIPTION)",
     "GRADE.GRADE, GRADE.DESCRIPTION", false, true, "TRIPS.GRADE", "TRIPS.GRADE", nullptr},
}};

namespace {

// Whether every TRIPS column the condition names is one the summary index holds. The trip number
// is left out on purpose: it finds its trip by the table itself.
bool index_covers(const std::string& C) {
  const std::string upper = vb::UCase(C);
  const std::string held = std::string(", ") + data::kTripSummaryColumns + ",";
  for (std::size_t at = upper.find("TRIPS."); at != std::string::npos;
       at = upper.find("TRIPS.", at + 1)) {
    if (at > 0 && text::is_name_char(upper[at - 1])) continue;
    std::size_t end = at + 6;
    while (end < upper.size() && text::is_name_char(upper[end])) ++end;
    if (held.find(", " + upper.substr(at + 6, end - at - 6) + ",") == std::string::npos)
      return false;
  }
  return true;
}

// Whether the condition may name the customer's own columns (CUSTOMER.CUSTDIV): then each trip
// is joined to its customer before the condition; otherwise the partial sums are, which is the
// same since a trip has at most one customer.
bool names_customer(const std::string& C) {
  std::string rest = vb::UCase(C);
  for (std::size_t at = rest.find("TRIPS.CUSTOMER"); at != std::string::npos;
       at = rest.find("TRIPS.CUSTOMER"))
    rest.erase(at, 14);
  return rest.find("CUST") != std::string::npos;
}

// The selected trips' rows to be summed per customer CK and key GK: trips N, splits SP, students
// ST, adults AD and amount AMT, from the trips, their splits and their billing rows, in three
// parts that can be read side by side.
std::vector<std::string> partial_rows(const SummaryKind& kind, const std::string& C,
                                      bool use_index) {
  const std::string trips =
      use_index ? std::string("TRIPS INDEXED BY ") + data::kTripSummaryIndex : "TRIPS";
  // CROSS JOIN keeps the trips outermost, in the index's order.
  const std::string source =
      names_customer(C)
          ? "(" + trips + " CROSS JOIN CUSTOMER ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER)"
          : trips;
  const bool grouped = use_index && kind.index_groups;
  auto part = [&](const std::string& key, const std::string& figures, const std::string& join) {
    return "SELECT TRIPS.CUSTOMER AS CK, " + key + " AS GK, " + figures + " FROM " + source + join +
           C + (grouped ? std::string(" GROUP BY ") + kind.index_groups : std::string());
  };
  auto sum = [grouped](const std::string& column) {
    return grouped ? "SUM(" + column + ")" : column;
  };
  const std::string one = grouped ? "COUNT(*)" : "1";
  const std::string amount_term =
      kind.billings_only ? "ARDETAIL.TRANCODE='BIL'" : "ARDETAIL.TRANCODE<>'PAY'";
  return {part(kind.trip_key,
               one + " AS N, 0 AS SP, " + sum("TRIPS.NUMSTUDENTS") + " AS ST, " +
                   sum("TRIPS.NUMADULTS") + " AS AD, NULL AS AMT",
               ""),
          part(kind.split_key, "0, " + one + ", NULL, NULL, NULL",
               " CROSS JOIN TRIPSPLIT ON TRIPSPLIT.TRIPNUM = TRIPS.TRIPNUM"),
          part(kind.trip_key, "0, 0, NULL, NULL, " + sum("ARDETAIL.TRANAMT"),
               " CROSS JOIN ARDETAIL ON ARDETAIL.TRIPNUM = TRIPS.TRIPNUM AND " + amount_term)};
}

// Where the partial sums are kept for the statement that forms the groups.
constexpr const char* kPartialSums = "JAUNTER_SUMMARY_SUMS";

std::string summary_query(const SummaryKind& kind) {
  const std::string sums = std::string("SELECT CK, GK, N, SP, ST, AD, AMT FROM ") + kPartialSums;
  const std::string figures =
      " AS TYPEDESCRIPTION, IIf(SUM(L1.N) IS NULL, 0, SUM(L1.N)) AS NUMBEROFTRIPS, SUM(L1.SP) AS "
      "NUMBEROFSPLITS, SUM(L1.ST) AS NUMBEROFSTUDENTS, SUM(L1.AD) AS NUMBEROFADULTS, "
      "SUM(L1.AMT) AS TOTALAMOUNT FROM ";
  const std::string D = kind.D;
  const std::string B = kind.B;
  const std::string table = kind.table;
  const std::string column = kind.column;
  if (table == "CUSTOMER") {
    return "SELECT " + D + figures + "CUSTOMER INNER JOIN (" + sums +
           ") AS L1 ON CUSTOMER.CUSTOMER = L1.CK GROUP BY " + B + " ORDER BY " + B;
  }
  // The partial sums of trips whose customer is known, as every group counts them.
  const std::string known =
      "(SELECT X.GK, X.N, X.SP, X.ST, X.AD, X.AMT FROM CUSTOMER INNER JOIN (" + sums +
      ") AS X ON CUSTOMER.CUSTOMER = X.CK) AS L1";
  if (!kind.none_row) {
    // A fund's splits alone, without a trip of the fund, make no group.
    return "SELECT " + D + figures + table + " INNER JOIN " + known + " ON " + column +
           " = L1.GK GROUP BY " + B + " HAVING SUM(L1.N) > 0 ORDER BY " + B;
  }
  // Role 0 gives the groups, role 1 the "*None" row, which stands even without a trip. A blank
  // code that the key's table also lists counts in both, as it always has; the rows come in the
  // order of a union of the two.
  return "SELECT IIf(P.R = 1, '*None', " + D + ")" + figures +
         "((SELECT 0 AS R UNION ALL SELECT 1) AS P LEFT JOIN " + known +
         " ON P.R = 0 OR L1.GK IS NULL OR trim$(L1.GK) = '') LEFT JOIN " + table +
         " ON P.R = 0 AND " + column + " = L1.GK WHERE P.R = 1 OR " + column +
         " IS NOT NULL GROUP BY P.R, " + B + " ORDER BY 1, 2, 3, 4, 5, 6";
}

// A count formatted "#,###,##0", "0" when Null.
std::string count_text(const vb::Variant& value) {
  if (value.is_null() || value.is_empty()) return "0";
  return web::html_escape(vb::Format(value, "#,###,##0"));
}

// A formatted count read back as a number; what is no number counts as 0.
double number_of(const std::string& text) {
  return vb::parse_number(text).value_or(0.0);
}

// The cents of an amount as the report shows it ("$1,150.25", "($20.00)"), so that a total is
// the sum of what the rows show.
long long cents_of(const std::string& shown) {
  std::string digits;
  for (char c : shown) {
    if (c != '$' && c != ',' && c != '(' && c != ')') digits += c;
  }
  const double value = vb::parse_number(digits).value_or(0.0);
  const long long cents = std::llround(value * 100.0);
  return shown.find('(') != std::string::npos ? -cents : cents;
}

std::string amount_text(long long cents) {
  return web::html_escape(vb::Format(vb::Variant(static_cast<double>(cents) / 100.0), "Currency"));
}

// One group as the report shows it: the description cell and the six figures.
struct Group {
  std::string description;  // the cell's HTML
  std::array<std::string, 6> figures;
};

Group group_of(const db::Recordset& rs) {
  const std::string students = count_text(rs.field("NUMBEROFSTUDENTS"));
  const std::string adults = count_text(rs.field("NUMBEROFADULTS"));
  const vb::Variant& amount = rs.field("totalamount");
  return {cell_text(rs.field("TYPEDESCRIPTION")),
          {
              count_text(rs.field("numberoftrips")),
              count_text(rs.field("numberofsplits")),
              students,
              adults,
              count_text(vb::Variant(number_of(students) + number_of(adults))),
              amount.is_null() ? std::string("$0.00")
                               : web::html_escape(vb::Format(amount, "Currency")),
          }};
}

std::vector<Group> groups_of(db::Recordset& rs) {
  std::vector<Group> groups;
  for (; !rs.eof(); rs.move_next()) groups.push_back(group_of(rs));
  return groups;
}

std::string summary_row(const Group& group, const char* colour) {
  std::string html = "<tr bgcolor='" + std::string(colour) + "'>";
  html += "<td>" + group.description + "</td>";
  for (const std::string& figure : group.figures) html += "<td align=right>" + figure + "</td>";
  return html + "</tr>";
}

// The sums of the figure columns over the groups, formatted as the rows are.
std::array<std::string, 6> totals_of(const std::vector<Group>& groups) {
  std::array<double, 5> counts{};
  long long cents = 0;
  for (const Group& group : groups) {
    for (std::size_t k = 0; k < counts.size(); ++k) counts[k] += number_of(group.figures[k]);
    cents += cents_of(group.figures[5]);
  }
  std::array<std::string, 6> totals;
  for (std::size_t k = 0; k < counts.size(); ++k) totals[k] = count_text(vb::Variant(counts[k]));
  totals[5] = amount_text(cents);
  return totals;
}

std::string totals_row(const std::vector<Group>& groups) {
  std::string html = "<tr class='totals'><th scope='row'>Total</th>";
  for (const std::string& figure : totals_of(groups)) {
    html += "<td align=right><b>" + figure + "</b></td>";
  }
  return html + "</tr>";
}

// What the search selected, in the words of its condition.
std::string criteria_text(const std::string& C) {
  std::string text(vb::Trim(C));
  if (text.empty()) return "All trips";
  if (text::same_text(text.substr(0, 5), "WHERE")) text = vb::Trim(text.substr(5));
  return "Trips where " + text;
}

// A coordinate with one decimal and a point, whatever the locale.
std::string number_text(double value) {
  char buffer[32];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  return std::string(buffer, end.ptr);
}

// A bar chart of the trips and the amount of every group, black on white so that it prints, and
// never taller than a printed page: the rows grow thinner as the groups grow many.
std::string bar_chart(const std::vector<Group>& groups, const std::string& type,
                      const std::string& C) {
  constexpr double kWidth = 720, kLabel = 230, kBars = 380, kTop = 64, kMaxRows = 860;
  const double row = std::clamp(kMaxRows / std::max<std::size_t>(groups.size(), 1), 10.0, 30.0);
  double most_trips = 0, most_cents = 0;
  for (const Group& group : groups) {
    most_trips = std::max(most_trips, number_of(group.figures[0]));
    most_cents = std::max(most_cents, static_cast<double>(cents_of(group.figures[5])));
  }
  const double height = kTop + row * static_cast<double>(groups.size()) + 8;
  const double font = std::min(12.0, row * 0.45 + 3);
  std::string svg =
      "<figure class='summary-chart'><svg xmlns='http://www.w3.org/2000/svg' "
      "viewBox='0 0 " +
      number_text(kWidth) + " " + number_text(height) +
      "' width='100%' role='img' aria-label='Trips and amount by " + web::html_escape(type) +
      "' font-family='sans-serif' fill='#000'>";
  svg += "<rect width='100%' height='100%' fill='#fff'/>";
  svg += "<text x='0' y='16' font-size='14' font-weight='bold'>Trips and amount by " +
         web::html_escape(type) + "</text>";
  svg += "<text x='0' y='34' font-size='11'>" + web::html_escape(criteria_text(C)) + "</text>";
  svg +=
      "<rect x='0' y='44' width='10' height='10'/><text x='14' y='53' font-size='11'>Trips"
      "</text><rect x='70' y='44' width='10' height='10' fill='#fff' stroke='#000'/><text "
      "x='84' y='53' font-size='11'>Amount</text>";
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const Group& group = groups[i];
    const double y = kTop + row * static_cast<double>(i);
    const double bar = (row - 4) / 2;
    const double trips = number_of(group.figures[0]);
    const double cents = static_cast<double>(cents_of(group.figures[5]));
    const double trips_width = most_trips > 0 ? kBars * trips / most_trips : 0;
    const double amount_width = most_cents > 0 && cents > 0 ? kBars * cents / most_cents : 0;
    const std::string label = csv::text_of_html(group.description);
    svg += "<g class='bar'><title>" + web::html_escape(label) + "</title>";
    // Only a label too long for its column is squeezed into it.
    const bool long_label = static_cast<double>(label.size()) * font * 0.55 > kLabel - 8;
    svg += "<text x='0' y='" + number_text(y + row / 2 + font / 3) + "' font-size='" +
           number_text(font) + "'" +
           (long_label
                ? " textLength='" + number_text(kLabel - 8) + "' lengthAdjust='spacingAndGlyphs'"
                : std::string()) +
           ">" + web::html_escape(label) + "</text>";
    svg += "<rect x='" + number_text(kLabel) + "' y='" + number_text(y + 1) + "' width='" +
           number_text(trips_width) + "' height='" + number_text(bar) + "'/>";
    svg += "<rect x='" + number_text(kLabel) + "' y='" + number_text(y + 2 + bar) + "' width='" +
           number_text(amount_width) + "' height='" + number_text(bar) +
           "' fill='#fff' stroke='#000'/>";
    svg += "<text x='" + number_text(kLabel + kBars + 6) + "' y='" +
           number_text(y + row / 2 + font / 3) + "' font-size='" + number_text(font) + "'>" +
           group.figures[0] + " &middot; " + group.figures[5] + "</text></g>";
  }
  return svg + "</svg></figure>";
}

}  // namespace

const SummaryKind* SummaryReport::open_summary(const std::string& SummaryType,
                                               const std::string& SqlCondition, db::Recordset& rs) {
  web::Response& response = ctx_.response();
  if (SummaryType.empty()) {
    response.Write("Summary Type must be supplied.");
    return nullptr;
  }
  if (!ChkEligWeb::PrepareDatabase(ctx_)) {
    // No exit step of its own: show the connection report rather than lose it.
    frame::write_exit(module_, &response);
    return nullptr;
  }
  const std::string type = vb::UCase(SummaryType);
  const SummaryKind* summary = nullptr;
  for (const SummaryKind& candidate : kSummaries) {
    if (text::same_text(type, candidate.type)) summary = &candidate;
  }
  if (!summary) {
    response.Write("Invalid Summary Type");
    response.End();
    ChkEligWeb::CloseTripDBConnections(module_);
    return nullptr;
  }
  // A file whose indexes could not be added yet is read without it, only more slowly.
  const bool use_index =
      index_covers(SqlCondition) &&
      module_.trip_db().count_rows(
          std::string("SELECT name FROM sqlite_schema WHERE type = 'index' AND name = '") +
          data::kTripSummaryIndex + "'") > 0;
  db::Connection& trips = module_.trip_db();
  trips.group_into(kPartialSums, partial_rows(*summary, SqlCondition, use_index), 2);
  search_.strSearchQuery = summary_query(*summary);
  // Once the groups are read (or failed), the handle goes back to its pool without the sums.
  const std::string drop = std::string("DROP TABLE IF EXISTS temp.") + kPartialSums;
  try {
    rs.open(search_.strSearchQuery, trips, db::CursorType::Dynamic, db::LockType::ReadOnly);
  } catch (...) {
    trips.execute_native(drop);
    throw;
  }
  trips.execute_native(drop);
  return summary;
}

void SummaryReport::BuildTripSummaryReportResults(const std::string& SummaryType,
                                                  const std::string& SqlCondition,
                                                  std::int16_t& PageNumber, std::int16_t PageSize) {
  db::Recordset rs;
  if (!open_summary(SummaryType, SqlCondition, rs)) return;
  const std::vector<Group> groups = groups_of(rs);
  if (!groups.empty()) rs.move_first();
  seek_page(rs, PageNumber, PageSize, search_.intSearchCount);
  const long first = std::max(0L, static_cast<long>(PageNumber - 1) * PageSize);
  search_.strSearchResults.clear();
  for (int row = 0; row < PageSize && first + row < static_cast<long>(groups.size()); ++row) {
    search_.strSearchResults += summary_row(groups[first + row], row_colour(row));
    if (row + 1 < PageSize) search_.strSearchResults += "<tr><td colspan='10'></td></tr>";
  }
  rs.close();
  ChkEligWeb::CloseTripDBConnections(module_);
  totals_ = totals_row(groups);
  chart_ = bar_chart(groups, vb::UCase(SummaryType), SqlCondition);
}

void SummaryReport::build(std::int16_t& page_number, std::int16_t page_size) {
  BuildTripSummaryReportResults(ctx_.request().QueryString("Type"),
                                session_text(keys::kTripSummaryCondition), page_number, page_size);
}

void SummaryReport::TripSummaryReport_Respond() {
  respond(ctx_, "TripSummaryReport",
          [this](std::int16_t& page_number, std::int16_t size) { build(page_number, size); });
}

void SummaryReport::TripSummaryReport_TripSummaryReport() {
  move_page(ctx_, "TripSummaryReport",
            [this](std::int16_t& page_number, std::int16_t size) { build(page_number, size); });
}

std::string SummaryReport::summary_csv(const std::string& type, const std::string& condition) {
  db::Recordset rs;
  if (!open_summary(type, condition, rs)) return {};
  const std::vector<Group> groups = groups_of(rs);
  rs.close();
  ChkEligWeb::CloseTripDBConnections(module_);
  std::string csv(csv::kByteOrderMark);
  csv += csv::row({vb::UCase(type), "Trips", "Splits", "Students", "Adults", "People", "Amount"});
  auto record = [](const std::string& first, const std::array<std::string, 6>& figures) {
    std::vector<std::string> cells{csv::text_of_html(first)};
    for (const std::string& figure : figures) cells.push_back(csv::text_of_html(figure));
    return csv::row(cells);
  };
  for (const Group& group : groups) csv += record(group.description, group.figures);
  return csv + record("Total", totals_of(groups));
}

void SummaryReport::TripSummaryReport_CSV() {
  // The page's own check first: the download shows the district's trips too.
  if (!session_check()) return;
  const std::string csv =
      summary_csv(ctx_.request().QueryString("Type"), session_text(keys::kTripSummaryCondition));
  if (csv.empty()) return;  // the message is the answer
  csv::send(ctx_.response(), "summary.csv", csv);
}

void SummaryReport::TripSummaryReport_ProcessTag(const std::string& TagName,
                                                 std::string& TagContents, bool&) {
  if (report_tag(ctx_, search_, TagName, TagContents)) return;
  const std::string type = ctx_.request().QueryString("Type");
  if (text::same_text(TagName, "WC@SUMMARYTYPE")) {
    TagContents = web::html_escape(type);
  } else if (text::same_text(TagName, "WC@UCASESUMMARYTYPE")) {
    TagContents = web::html_escape(vb::UCase(type));
  } else if (text::same_text(TagName, "WC@TOTALS")) {
    TagContents = totals_;
  } else if (text::same_text(TagName, "WC@CHART")) {
    TagContents = chart_;
  }
}

}  // namespace reports
