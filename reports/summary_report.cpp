// The summary report: the trips of the last field trip search grouped by customer, category,
// fund, destination or grade, with trips, splits, students, adults, people and amount per group.
//
// Design note: the group query is assembled from fixed pieces per summary type, and the search's
// WHERE part (the condition) is inserted in the hours, miles and amount sub-selects and after the
// FROM part, so that it limits them all. With no condition, each tail's leading " AND" extends
// the ON of its join instead. Category and grade add a "*None" query for the trips without one.
#include <array>
#include <optional>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"
#include "reports/list_report_common.h"

namespace {

using namespace reports::listing;

constexpr const char* kHoursHead =
    "SUM(SELECT SUM(TRIPEMPLOYEES.HOURS) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
    "TRIPEMPLOYEES.TRIPNUM ";
constexpr const char* kMilesHead =
    "SUM(SELECT SUM(TRIPEMPLOYEES.MILES) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
    "TRIPEMPLOYEES.TRIPNUM ";
constexpr const char* kAmountHead =
    "SUM(SELECT SUM(ARDETAIL.TRANAMT) FROM ARDETAIL INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
    "ARDETAIL.TRIPNUM ";
constexpr const char* kPeopleSums =
    "SUM(TRIPS.NUMSTUDENTS) AS NUMBEROFSTUDENTS, SUM(TRIPS.NUMADULTS) AS NUMBEROFADULTS, ";
constexpr const char* kNoneHead =
    "SELECT ('*None') AS TYPEDESCRIPTION, COUNT(*) AS NUMBEROFTRIPS, ";
constexpr const char* kNoneFrom =
    "FROM CUSTOMER INNER JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER ";

// The pieces of one summary type's group query: description D, split count S, the hours, miles
// and amount tails H, M, A, the FROM part F and the grouping B.
struct SummaryPieces {
  const char* type;
  const char* D;
  const char* S;
  const char* H;
  const char* M;
  const char* A;
  const char* F;
  const char* B;
};

constexpr std::array<SummaryPieces, 5> kSummaries = {{
    {"CATEGORY", "(TRIPCAT.TRIPCAT&' - '&TRIPCAT.DESCRIPTION) AS TYPEDESCRIPTION, ",
     "SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = TRIPSPLIT.TRIPNUM "
     "WHERE TRIPS.TRIPCAT = TRIPCAT.TRIPCAT) AS NUMBEROFSPLITS, ",
     " AND TRIPS.TRIPCAT = TRIPCAT.TRIPCAT) AS TOTALHOURS, ",
     " AND TRIPS.TRIPCAT = TRIPCAT.TRIPCAT) AS TOTALMILES, ",
     " AND ARDETAIL.TRANCODE='BIL' AND TRIPS.TRIPCAT = TRIPCAT.TRIPCAT) AS TOTALAMOUNT ",
     "FROM CUSTOMER INNER JOIN (TRIPCAT INNER JOIN TRIPS ON TRIPCAT.TRIPCAT = TRIPS.TRIPCAT) ON "
     "CUSTOMER.CUSTOMER = TRIPS.CUSTOMER ",
     " GROUP BY TRIPCAT.TRIPCAT, TRIPCAT.DESCRIPTION"},
    {"CUSTOMER", "(CUSTOMER.CUSTOMER&' - '&CUSTOMER.CUSTNAME) AS TYPEDESCRIPTION, ",
     "SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = TRIPSPLIT.TRIPNUM "
     "WHERE TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) AS NUMBEROFSPLITS, ",
     " AND TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) AS TOTALHOURS, ",
     " AND TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) AS TOTALMILES, ",
     " AND ARDETAIL.TRANCODE<>'PAY' AND TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) AS TOTALAMOUNT ",
     "FROM CUSTOMER INNER JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER ",
     " GROUP BY CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME"},
    {"DESTINATION",
     "(STR(DESTINATION.DESTINATION)&' - '&DESTINATION.DESTDESC) AS TYPEDESCRIPTION, ",
     "SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = TRIPSPLIT.TRIPNUM "
     "WHERE TRIPS.DESTINATION = DESTINATION.DESTINATION) AS NUMBEROFSPLITS, ",
     " AND TRIPS.DESTINATION = DESTINATION.DESTINATION) AS TOTALHOURS, ",
     " AND TRIPS.DESTINATION = DESTINATION.DESTINATION) AS TOTALMILES, ",
     " AND ARDETAIL.TRANCODE<>'PAY' AND TRIPS.DESTINATION = DESTINATION.DESTINATION) AS "
     "TOTALAMOUNT ",
     "FROM CUSTOMER INNER JOIN (DESTINATION INNER JOIN TRIPS ON DESTINATION.DESTINATION = "
     "TRIPS.DESTINATION) ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER ",
     " GROUP BY DESTINATION.DESTINATION, DESTINATION.DESTDESC"},
    {"FUND", "(FUND.FUND&' - '&FUND.FUNDDESC) AS TYPEDESCRIPTION, ",
     "SUM(SELECT 1 FROM TRIPSPLIT WHERE TRIPSPLIT.FUND = FUND.FUND) AS NUMBEROFSPLITS, ",
     " AND TRIPS.FUND = FUND.FUND) AS TOTALHOURS, ", " AND TRIPS.FUND = FUND.FUND) AS TOTALMILES, ",
     " AND ARDETAIL.TRANCODE<>'PAY' AND TRIPS.FUND = FUND.FUND) AS TOTALAMOUNT ",
     "FROM CUSTOMER INNER JOIN (FUND INNER JOIN TRIPS ON FUND.FUND = TRIPS.FUND) ON "
     "CUSTOMER.CUSTOMER = TRIPS.CUSTOMER ",
     " GROUP BY FUND.FUND, FUND.FUNDDESC"},
    {"GRADE", "(GRADE.GRADE&' - '&GRADE.DESCRIPTION) AS TYPEDESCRIPTION, ",
     "SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = TRIPSPLIT.TRIPNUM "
     "WHERE TRIPS.GRADE = GRADE.GRADE) AS NUMBEROFSPLITS, ",
     " AND TRIPS.GRADE = GRADE.GRADE) AS TOTALHOURS, ",
     " AND TRIPS.GRADE = GRADE.GRADE) AS TOTALMILES, ",
     " AND ARDETAIL.TRANCODE<>'PAY' AND TRIPS.GRADE = GRADE.GRADE) AS TOTALAMOUNT ",
     "FROM CUSTOMER INNER JOIN (GRADE INNER JOIN TRIPS ON GRADE.GRADE = TRIPS.GRADE) ON "
     "CUSTOMER.CUSTOMER = TRIPS.CUSTOMER ",
     " GROUP BY GRADE.GRADE, GRADE.DESCRIPTION"},
}};

std::string group_query(const SummaryPieces& p, const std::string& C) {
  return std::string("SELECT ") + p.D + "COUNT(*) AS NUMBEROFTRIPS, " + p.S + kPeopleSums +
         kHoursHead + C + p.H + kMilesHead + C + p.M + kAmountHead + C + p.A + p.F + C + p.B;
}

// The trips without a category ('') or grade (Null); empty for the other types.
std::string none_query(const std::string& type, const std::string& C) {
  if (type == "CATEGORY") {
    return std::string(kNoneHead) +
           "SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
           "TRIPSPLIT.TRIPNUM " +
           C + " AND TRIPS.TRIPCAT = '') AS NUMBEROFSPLITS, " + kPeopleSums + kHoursHead + C +
           " AND TRIPS.TRIPCAT  = '') AS TOTALHOURS, " + kMilesHead + C +
           " AND TRIPS.TRIPCAT  = '') AS TOTALMILES, " +
           "(SELECT SUM(ARDETAIL.TRANAMT) FROM ARDETAIL INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
           "ARDETAIL.TRIPNUM " +
           C + " AND ARDETAIL.TRANCODE='BIL' AND TRIPS.TRIPCAT  = '') AS TOTALAMOUNT " + kNoneFrom +
           C + " AND TRIPS.TRIPCAT  = ''";
  }
  if (type == "GRADE") {
    return std::string(kNoneHead) +
           "SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
           "TRIPSPLIT.TRIPNUM WHERE TRIPS.GRADE = '') AS NUMBEROFSPLITS, " +
           kPeopleSums + kHoursHead + C + " AND TRIPS.GRADE IS NULL) AS TOTALHOURS, " + kMilesHead +
           C + " AND TRIPS.GRADE IS NULL) AS TOTALMILES, " + kAmountHead + C +
           " AND ARDETAIL.TRANCODE<>'PAY' AND TRIPS.GRADE IS NULL) AS TOTALAMOUNT " + kNoneFrom +
           C + " AND TRIPS.GRADE IS NULL";
  }
  return {};
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

void build_summary(Jaunter& page, std::int16_t& page_number, std::int16_t page_size) {
  page.BuildTripSummaryReportResults(page.context().request().QueryString("Type"),
                                     page.session_text("TripReportSummaryCondition"), page_number,
                                     page_size);
}

}  // namespace

void Jaunter::BuildTripSummaryReportResults(const std::string& SummaryType,
                                            const std::string& SqlCondition,
                                            std::int16_t& PageNumber, std::int16_t PageSize) {
  web::Response& response = ctx_.response();
  if (SummaryType.empty()) {
    response.Write("Summary Type must be supplied.");
    return;
  }
  if (!prepare_database()) {
    // No exit step of its own: show the connection report rather than lose it.
    frame::write_exit(module_, &response);
    return;
  }
  const std::string type = vb::UCase(SummaryType);
  const SummaryPieces* pieces = nullptr;
  for (const SummaryPieces& candidate : kSummaries) {
    if (vb::same_text(type, candidate.type)) pieces = &candidate;
  }
  if (!pieces) {
    response.Write("Invalid Summary Type");
    response.End();
    ChkEligWeb::CloseTripDBConnections(module_);
    return;
  }
  search.strSearchQuery = group_query(*pieces, SqlCondition);
  const std::string none = none_query(pieces->type, SqlCondition);
  if (!none.empty()) search.strSearchQuery += " UNION " + none;

  db::Recordset rs;
  rs.open(search.strSearchQuery, module_.trip_db(), db::CursorType::Dynamic,
          db::LockType::ReadOnly);
  reports::listing::seek_page(rs, PageNumber, PageSize, search.intSearchCount);
  search.strSearchResults.clear();
  for (int row = 0; row < PageSize && !rs.eof(); ++row, rs.move_next()) {
    search.strSearchResults += summary_row(rs, reports::listing::row_colour(row));
    if (row + 1 < PageSize) search.strSearchResults += "<tr><td colspan='10'></td></tr>";
  }
  rs.close();
  ChkEligWeb::CloseTripDBConnections(module_);
}

void Jaunter::TripSummaryReport_Respond() {
  reports::listing::respond(*this, "TripSummaryReport",
                            [this](std::int16_t& page_number, std::int16_t size) {
                              build_summary(*this, page_number, size);
                            });
}

void Jaunter::TripSummaryReport_TripSummaryReport() {
  move_page(*this, "TripSummaryReport", [this](std::int16_t& page_number, std::int16_t size) {
    build_summary(*this, page_number, size);
  });
}

void Jaunter::TripSummaryReport_ProcessTag(const std::string& TagName, std::string& TagContents,
                                           bool&) {
  if (report_tag(*this, TagName, TagContents)) return;
  const std::string type = ctx_.request().QueryString("Type");
  if (vb::same_text(TagName, "WC@SUMMARYTYPE")) {
    TagContents = web::html_escape(type);
  } else if (vb::same_text(TagName, "WC@UCASESUMMARYTYPE")) {
    TagContents = web::html_escape(vb::UCase(type));
  }
}
