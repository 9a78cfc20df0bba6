// The summary report: the trips of the last field trip search grouped by customer, category,
// fund, destination or grade, with trips, splits, students, adults, people and amount per group.
//
// Design note: every figure of a group is taken over the trips that the search's condition (its
// WHERE part) selects. The per-trip figures (splits, crew hours and miles, the amount) are looked
// up for each selected trip in its billing, split and crew rows by their trip-number indexes, so
// the report reads the selection once; grouped sub-queries over the selection, joined back to it,
// cost a sort and a second pass for the same lookups. Category and grade add a "*None" row for the
// trips whose code is Null or blank. Fund counts the splits charged to the fund rather than the
// splits of the fund's trips.
#include "reports/summary_report.h"

#include <array>
#include <optional>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "reports/paging.h"
#include "reports/search_support.h"

namespace reports {

namespace {

// The trips a condition can select from: it may name CUSTOMER.CUSTDIV.
constexpr const char* kSelectable =
    "(CUSTOMER INNER JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER)";

// One summary type: its description D, the tables of its groups F (trips joined to the key's
// table and their customer), the grouping B, whether its amount counts billings only, and the
// column that a "*None" row collects (empty: no such row).
struct SummaryKind {
  const char* type;
  const char* D;
  const char* F;
  const char* B;
  bool billings_only;
  const char* none_column;
};

constexpr std::array<SummaryKind, 5> kSummaries = {{
    {"CATEGORY", "(TRIPCAT.TRIPCAT&' - '&TRIPCAT.DESCRIPTION) AS TYPEDESCRIPTION, ",
     "CUSTOMER INNER JOIN (TRIPCAT INNER JOIN TRIPS ON TRIPCAT.TRIPCAT = TRIPS.TRIPCAT) ON "
     "CUSTOMER.CUSTOMER = TRIPS.CUSTOMER",
     " GROUP BY TRIPCAT.TRIPCAT, TRIPCAT.DESCRIPTION", true, "TRIPS.TRIPCAT"},
    {"CUSTOMER", "(CUSTOMER.CUSTOMER&' - '&CUSTOMER.CUSTNAME) AS TYPEDESCRIPTION, ",
     "CUSTOMER INNER JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER",
     " GROUP BY CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME", false, ""},
    {"DESTINATION",
     "(STR(DESTINATION.DESTINATION)&' - '&DESTINATION.DESTDESC) AS TYPEDESCRIPTION, ",
     "CUSTOMER INNER JOIN (DESTINATION INNER JOIN TRIPS ON DESTINATION.DESTINATION = "
     "TRIPS.DESTINATION) ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER",
     " GROUP BY DESTINATION.DESTINATION, DESTINATION.DESTDESC", false, ""},
    {"FUND", "(FUND.FUND&' - '&FUND.FUNDDESC) AS TYPEDESCRIPTION, ",
     "CUSTOMER INNER JOIN (FUND INNER JOIN TRIPS ON FUND.FUND = TRIPS.FUND) ON "
     "CUSTOMER.CUSTOMER = TRIPS.CUSTOMER",
     " GROUP BY FUND.FUND, FUND.FUNDDESC", false, ""},
    {"GRADE", "(GRADE.GRADE&' - '&GRADE.DESCRIPTION) AS TYPEDESCRIPTION, ",
     "CUSTOMER INNER JOIN (GRADE INNER JOIN TRIPS ON GRADE.GRADE = TRIPS.GRADE) ON "
     "CUSTOMER.CUSTOMER = TRIPS.CUSTOMER",
     " GROUP BY GRADE.GRADE, GRADE.DESCRIPTION", false, "TRIPS.GRADE"},
}};

// The condition C with one more term: C is empty or " WHERE" and its clauses.
std::string where_also(const std::string& C, const std::string& term) {
  return (vb::Trim(C).empty() ? std::string(" WHERE ") : C + " AND ") + term;
}

// A per-trip figure: the sub-select reads only its table's index entries for the one trip, so
// the report stays one pass over the selected trips, each looked up once per table.
std::string per_trip(const std::string& figure, const char* table, const std::string& term = {}) {
  const std::string t = table;
  return "SUM(SELECT " + figure + " FROM " + t + " WHERE " + t + ".TRIPNUM = TRIPS.TRIPNUM" +
         (term.empty() ? "" : " AND " + term) + ")";
}

// A fund's splits are those charged to it, whatever fund their trip has: counted per fund in one
// pass over the selected trips' splits, and joined to the fund's group.
std::string fund_splits(const std::string& C) {
  return "(SELECT TRIPSPLIT.FUND, COUNT(*) AS SPLITS FROM TRIPSPLIT INNER JOIN " +
         std::string(kSelectable) + " ON TRIPS.TRIPNUM = TRIPSPLIT.TRIPNUM" + C +
         " GROUP BY TRIPSPLIT.FUND) AS FUNDSPLITS";
}

// The figures after the description, and the tables F.
std::string figures_and_tables(const SummaryKind& type, const std::string& C, const char* F) {
  const bool fund = std::string_view(type.type) == "FUND";
  const std::string splits = fund ? "MAX(FUNDSPLITS.SPLITS)" : per_trip("COUNT(*)", "TRIPSPLIT");
  const std::string tables = fund ? "(" + std::string(F) + ") LEFT JOIN " + fund_splits(C) +
                                        " ON FUNDSPLITS.FUND = FUND.FUND"
                                  : std::string(F);
  const std::string amount_term =
      type.billings_only ? "ARDETAIL.TRANCODE='BIL'" : "ARDETAIL.TRANCODE<>'PAY'";
  return "COUNT(*) AS NUMBEROFTRIPS, " + splits +
         " AS NUMBEROFSPLITS, SUM(TRIPS.NUMSTUDENTS) AS NUMBEROFSTUDENTS, SUM(TRIPS.NUMADULTS) AS "
         "NUMBEROFADULTS, " +
         per_trip("SUM(TRIPEMPLOYEES.HOURS)", "TRIPEMPLOYEES") + " AS TOTALHOURS, " +
         per_trip("SUM(TRIPEMPLOYEES.MILES)", "TRIPEMPLOYEES") + " AS TOTALMILES, " +
         per_trip("SUM(ARDETAIL.TRANAMT)", "ARDETAIL", amount_term) + " AS TOTALAMOUNT FROM " +
         tables;
}

std::string summary_query(const SummaryKind& type, const std::string& C) {
  std::string sql =
      std::string("SELECT ") + type.D + figures_and_tables(type, C, type.F) + C + type.B;
  if (*type.none_column) {
    // Null and blank alike: a code of blanks is no code.
    const std::string column = type.none_column;
    sql += " UNION SELECT ('*None') AS TYPEDESCRIPTION, " +
           figures_and_tables(type, C,
                              "CUSTOMER INNER JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER") +
           where_also(C, "(" + column + " IS NULL OR trim$(" + column + ") = '')");
  }
  return sql;
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

std::string summary_row(const db::Recordset& rs, const char* colour) {
  const std::string students = count_text(rs.field("NUMBEROFSTUDENTS"));
  const std::string adults = count_text(rs.field("NUMBEROFADULTS"));
  const vb::Variant& amount = rs.field("totalamount");
  const std::string numbers[] = {
      count_text(rs.field("numberoftrips")),
      count_text(rs.field("numberofsplits")),
      students,
      adults,
      vb::Format(vb::Variant(number_of(students) + number_of(adults)), "#,###,##0"),
      amount.is_null() ? std::string("$0.00") : web::html_escape(vb::Format(amount, "Currency")),
  };
  std::string html = "<tr bgcolor='" + std::string(colour) + "'>";
  html += "<td>" + cell_text(rs.field("TYPEDESCRIPTION")) + "</td>";
  for (const std::string& number : numbers) html += "<td align=right>" + number + "</td>";
  return html + "</tr>";
}

}  // namespace

void SummaryReport::BuildTripSummaryReportResults(const std::string& SummaryType,
                                                  const std::string& SqlCondition,
                                                  std::int16_t& PageNumber, std::int16_t PageSize) {
  web::Response& response = ctx_.response();
  if (SummaryType.empty()) {
    response.Write("Summary Type must be supplied.");
    return;
  }
  if (!ChkEligWeb::PrepareDatabase(ctx_)) {
    // No exit step of its own: show the connection report rather than lose it.
    frame::write_exit(module_, &response);
    return;
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
    return;
  }
  search_.strSearchQuery = summary_query(*summary, SqlCondition);

  db::Recordset rs;
  rs.open(search_.strSearchQuery, module_.trip_db(), db::CursorType::Dynamic,
          db::LockType::ReadOnly);
  seek_page(rs, PageNumber, PageSize, search_.intSearchCount);
  search_.strSearchResults.clear();
  for (int row = 0; row < PageSize && !rs.eof(); ++row, rs.move_next()) {
    search_.strSearchResults += summary_row(rs, row_colour(row));
    if (row + 1 < PageSize) search_.strSearchResults += "<tr><td colspan='10'></td></tr>";
  }
  rs.close();
  ChkEligWeb::CloseTripDBConnections(module_);
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

void SummaryReport::TripSummaryReport_ProcessTag(const std::string& TagName,
                                                 std::string& TagContents, bool&) {
  if (report_tag(ctx_, search_, TagName, TagContents)) return;
  const std::string type = ctx_.request().QueryString("Type");
  if (text::same_text(TagName, "WC@SUMMARYTYPE")) {
    TagContents = web::html_escape(type);
  } else if (text::same_text(TagName, "WC@UCASESUMMARYTYPE")) {
    TagContents = web::html_escape(vb::UCase(type));
  }
}

}  // namespace reports
