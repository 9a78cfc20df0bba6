// Every SQL text the pages send, with its concatenated pieces filled with sample values: each
// must translate and run on a freshly created district, and a few must return the rows Jet would.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "data/null_conversions.h"
#include "data/schema.h"
#include "platform/db/db.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "tests/support/simulator.h"

namespace {

enum class Db { Trip, Security, Request };
// How the page opens the text: a read-only snapshot, a text command, a recordset it adds a row
// through, or the forward-only recordset through which a stored request is updated.
enum class Run { Query, Command, AddRow, Update };

struct SqlText {
  std::string use;
  Db db;
  Run run;
  std::string sql;
};

// ---- The texts' pieces ----------------------------------------------------------------------

// " WHERE" before the first clause, " AND" between clauses, as every search builds its condition.
std::string where(const std::vector<std::string>& clauses) {
  std::string keyword;
  std::string condition;
  for (const std::string& clause : clauses) {
    if (keyword.empty()) keyword = " WHERE";
    if (!condition.empty()) condition += " AND";
    condition += clause;
  }
  return keyword + condition;
}

const std::string kWorkListBase =
    "SELECT TRIPSREQ.TRIPNUM, TRIPSREQ.ENTERDATE, TRIPSREQ.CONTACT, TRIPSREQ.INTTRIPNUM, "
    "TRIPSREQ.CUSTOMER, TRIPSREQ.DESTINATION, tripsreq.destdesc as trDESTDESC, TRIPSREQ.DEPDATE, "
    "TRIPSREQ.DEPTIME, TRIPSREQ.STATUS, DateValue(TRIPSREQ.STATUS_DATE) AS Expr1, "
    "TRIPSREQ.STATUS_COMMENT, TRIPSREQ.GRADE, TRIPSREQ.RETDATE, TRIPSREQ.RETTIME, "
    "TRIPSREQ.ARRIVETIME, TRIPSREQ.LEAVETIME, TRIPSREQ.FUND, TRIPSREQ.REQDATE, TRIPSREQ.CHAINID, "
    "TRIPSREQ.TRIPCAT, TRIPSREQ.FIELDTRIP_NUM, TRIPSREQ.NUMSTUDENTS, TRIPSREQ.NUMADULTS, "
    "TRIPSREQ.PURPOSE FROM TRIPSREQ";

const std::string kSearchBase =
    "SELECT TRIPSREQ.TRIPNUM, TRIPSREQ.ENTERDATE, TRIPSREQ.CONTACT, TRIPSREQ.INTTRIPNUM, "
    "TRIPSREQ.CUSTOMER, TRIPSREQ.DESTINATION, tripsreq.destdesc as trDESTDESC, TRIPSREQ.DEPDATE, "
    "TRIPSREQ.DEPTIME, TRIPSREQ.STATUS, DateValue(TRIPSREQ.STATUS_DATE) AS Expr1, "
    "TRIPSREQ.STATUS_COMMENT, TRIPSREQ.GRADE, TRIPSREQ.RETDATE, TRIPSREQ.RETTIME, "
    "TRIPSREQ.ARRIVETIME, TRIPSREQ.LEAVETIME, TRIPSREQ.FUND, TRIPSREQ.REQDATE, TRIPSREQ.CHAINID, "
    "TRIPSREQ.FIELDTRIP_NUM, TRIPSREQ.TRIPCAT, TRIPSREQ.NUMSTUDENTS, TRIPSREQ.NUMADULTS, "
    "TRIPSREQ.PURPOSE FROM TRIPSREQ";

const std::string kRequestOrder =
    " ORDER BY TRIPSREQ.DEPDATE, TRIPSREQ.DEPTIME, TRIPSREQ.DESTINATION";

std::string work_list(const std::vector<std::pair<std::string, std::string>>& entries,
                      const std::string& customer) {
  std::string condition;
  for (const auto& [chain, status] : entries) {
    if (!condition.empty()) condition += " OR ";
    condition += "(TRIPSREQ.CHAINID = '" + chain + "' AND TRIPSREQ.STATUS = '" + status + "')";
  }
  std::string sql = kWorkListBase + " WHERE " + "(" + condition + ")";
  if (!customer.empty()) sql += " AND (TRIPSREQ.CUSTOMER = '" + customer + "')";
  return sql + kRequestOrder;
}

const std::vector<std::string> kRequestClauses = {
    " TRIPSREQ.DEPDATE >= #3/1/2025# and TRIPSREQ.DEPDATE <= #3/31/2025#",
    " datevalue(TRIPSREQ.REQDATE) >= #2/1/2025# and datevalue(TRIPSREQ.REQDATE) <= #2/28/2025#",
    " TRIPSREQ.STATUS = 'UNAPPROVED'",
    " TRIPSREQ.GRADE = '5'",
    " TRIPSREQ.CUSTOMER = 'ADAMS'",
    " TRIPSREQ.DESTINATION = 12",
    " TRIPSREQ.TRIPCAT = 'ACAD'",
    " TRIPSREQ.INTTRIPNUM = 'A-17'",
};

const std::string kTripColumns =
    "SELECT TRIPS.TRIPNUM, TRIPS.ESTTIME, TRIPS.ESTMILE, TRIPS.INTTRIPNUM, TRIPS.CUSTOMER, "
    "CUSTOMER.CUSTNAME, TRIPS.DESTINATION, DESTINATION.DESTDESC, TRIPS.DEPDATE, TRIPS.DEPTIME, "
    "TRIPS.ASSIGNED, TRIPS.BILLED, DateValue(TRIPS.BILLDATE) AS BILLDATE, TRIPS.CANCELED, "
    "DATEVALUE(TRIPS.CANDATE) AS CANDATE, TRIPS.GRADE, CUSTOMER.CUSTDIV, TRIPS.RETDATE, "
    "TRIPS.RETTIME, TRIPS.FUND, TRIPS.TRIPREQNUM, TRIPS.PO, TRIPS.TRIPCAT, TRIPS.SCHEDULE, "
    "TRIPS.NUMSTUDENTS, TRIPS.NUMADULTS, TRIPS.CONTACT, TRIPS.ARRIVETIME, TRIPS.LEAVETIME, "
    "TRIPS.PURPOSE, TRIPS.SHUTTLE, CUSTOMER_1.CUSTNAME as BILLCUSTNAME, TRIPS.BILLCUST";
const std::string kTripSums =
    ", (SELECT SUM(TRANAMT) FROM ARDETAIL WHERE TRANCODE='BIL' AND TRIPNUM=TRIPS.TRIPNUM) AS "
    "TOTALBILLED, (SELECT SUM(TRANAMT) FROM ARDETAIL WHERE TRIPNUM=TRIPS.TRIPNUM) AS TOTALDUE";
const std::string kTripFrom =
    "FROM (((TRIPS LEFT JOIN CUSTOMER ON TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) LEFT JOIN "
    "DESTINATION ON TRIPS.DESTINATION = DESTINATION.DESTINATION) LEFT JOIN CUSTOMER AS "
    "CUSTOMER_1 ON TRIPS.BILLCUST = CUSTOMER_1.CUSTOMER) ";

std::string trip_display(const std::string& condition, const std::string& order) {
  return kTripColumns + kTripSums + " " + kTripFrom + condition + order;
}
std::string trip_count(const std::string& condition) {
  return kTripColumns + " " + kTripFrom + condition;
}

const std::vector<std::string> kTripClauses = {
    " TRIPS.DEPDATE >= #3/1/2025# and TRIPS.DEPDATE <= #3/31/2025#",
    " TRIPS.GRADE = '5'",
    " TRIPS.CUSTOMER = 'ADAMS'",
    " TRIPS.DESTINATION = 12",
    " TRIPS.TRIPCAT = 'ACAD'",
    " CUSTOMER.CUSTDIV = 'ELEM'",
    " TRIPS.INTTRIPNUM = 'A-17'",
    " TRIPS.TRIPREQNUM = 1001",
    " TRIPS.TRIPNUM = 5001",
    " TRIPS.ASSIGNED = TRUE",
    " TRIPS.BILLED = FALSE",
    " TRIPS.CANCELED = FALSE",
    " (TRIPS.AMOUNT1 > 0 OR TRIPS.AMOUNT2 > 0 OR TRIPS.AMOUNT3 > 0 OR TRIPS.AMOUNT4 > 0 OR "
    "TRIPS.AMOUNT5 > 0)",
    " TRIPS.BILLCUST = 'ADAMS'",
    " TRIPS.PO = 'PO 24017'",
    " TRIPS.FUND = '100'",
};

// The summary report's group query G and "*None" query N, assembled as the report does.
struct SummaryPieces {
  const char* type;
  const char* description;
  const char* splits;
  const char* hours;
  const char* miles;
  const char* amount;
  const char* from;
  const char* group;
};

const SummaryPieces kSummaries[] = {
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
};

const std::string kPeopleSums = std::string("SUM(TRIPS.NUMSTUDENTS) AS NUMBEROFSTUDENTS, ") +
                                "SUM(TRIPS.NUMADULTS) AS NUMBEROFADULTS, ";
const std::string kHoursHead =
    "SUM(SELECT SUM(TRIPEMPLOYEES.HOURS) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
    "TRIPEMPLOYEES.TRIPNUM ";
const std::string kMilesHead =
    "SUM(SELECT SUM(TRIPEMPLOYEES.MILES) FROM TRIPEMPLOYEES INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
    "TRIPEMPLOYEES.TRIPNUM ";
const std::string kAmountHead =
    "SUM(SELECT SUM(ARDETAIL.TRANAMT) FROM ARDETAIL INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
    "ARDETAIL.TRIPNUM ";

const SummaryPieces& summary(const std::string& type) {
  for (const SummaryPieces& pieces : kSummaries) {
    if (type == pieces.type) return pieces;
  }
  throw std::logic_error("no summary " + type);
}

std::string summary_g(const std::string& type, const std::string& c) {
  const SummaryPieces& p = summary(type);
  return std::string("SELECT ") + p.description + "COUNT(*) AS NUMBEROFTRIPS, " + p.splits +
         kPeopleSums + kHoursHead + c + p.hours + kMilesHead + c + p.miles + kAmountHead + c +
         p.amount + p.from + c + p.group;
}

std::string summary_n(const std::string& type, const std::string& c) {
  if (type == "CATEGORY") {
    return std::string("SELECT ") + "('*None') AS TYPEDESCRIPTION, " +
           "COUNT(*) AS NUMBEROFTRIPS, " +
           "SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
           "TRIPSPLIT.TRIPNUM " +
           c + " AND TRIPS.TRIPCAT = '') AS NUMBEROFSPLITS, " + kPeopleSums + kHoursHead + c +
           " AND TRIPS.TRIPCAT  = '') AS TOTALHOURS, " + kMilesHead + c +
           " AND TRIPS.TRIPCAT  = '') AS TOTALMILES, " +
           "(SELECT SUM(ARDETAIL.TRANAMT) FROM ARDETAIL INNER JOIN TRIPS ON TRIPS.TRIPNUM = "
           "ARDETAIL.TRIPNUM " +
           c + " AND ARDETAIL.TRANCODE='BIL' AND TRIPS.TRIPCAT  = '') AS TOTALAMOUNT " +
           "FROM CUSTOMER INNER JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER " + c +
           " AND TRIPS.TRIPCAT  = ''";
  }
  return std::string("SELECT ") + "('*None') AS TYPEDESCRIPTION, " + "COUNT(*) AS NUMBEROFTRIPS, " +
         "SUM(SELECT COUNT(*) FROM TRIPSPLIT INNER JOIN TRIPS ON TRIPS.TRIPNUM = TRIPSPLIT.TRIPNUM "
         "WHERE TRIPS.GRADE = '') AS NUMBEROFSPLITS, " +
         kPeopleSums + kHoursHead + c + " AND TRIPS.GRADE IS NULL) AS TOTALHOURS, " + kMilesHead +
         c + " AND TRIPS.GRADE IS NULL) AS TOTALMILES, " + kAmountHead + c +
         " AND ARDETAIL.TRANCODE<>'PAY' AND TRIPS.GRADE IS NULL) AS TOTALAMOUNT " +
         "FROM CUSTOMER INNER JOIN TRIPS ON CUSTOMER.CUSTOMER = TRIPS.CUSTOMER " + c +
         " AND TRIPS.GRADE IS NULL";
}

std::string summary_sql(const std::string& type, const std::string& c) {
  if (type == "CATEGORY" || type == "GRADE")
    return summary_g(type, c) + " UNION " + summary_n(type, c);
  return summary_g(type, c);
}

// ---- The table --------------------------------------------------------------------------------

std::vector<SqlText> all_texts() {
  std::vector<SqlText> texts = {
      {"start-up: district settings", Db::Trip, Run::Query, "select * from District"},
      {"start-up: required fields", Db::Trip, Run::Query, "SELECT * FROM TRIPREQ_REQUIRED"},
      {"login: the user", Db::Security, Run::Query,
       "Select * from CLSCU where trim$(CLSCU.CLSC1) = 'adams'"},
      {"login: mail options", Db::Trip, Run::Query,
       "SELECT REQ_JAUNTER_CHANGE, ADM_JAUNTER_CHANGE, APP_JAUNTER_CHANGE FROM EMAIL_OPTIONS"},

      {"list: statuses", Db::Trip, Run::Query,
       "Select TRIPREQSTATUS.* from TRIPREQSTATUS where TRIPREQSTATUS.Active = True ORDER BY "
       "TRIPREQSTATUS.DESCRIPTION"},
      {"list: divisions", Db::Trip, Run::Query,
       "SELECT Division.Division, Division.DESCRIPTION From Division WHERE (Division.ACTIVE=True) "
       "ORDER BY DIVISION.DESCRIPTION;"},
      {"list: grades", Db::Trip, Run::Query, "Select GRADE.* from GRADE where GRADE.Active = True"},
      {"list: all customers", Db::Trip, Run::Query,
       "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID From CUSTOMER WHERE "
       "(CUSTOMER.ACTIVE=True) order by CUSTOMER.custname;"},
      {"list: the user's customer", Db::Trip, Run::Query,
       "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID From CUSTOMER WHERE "
       "trim$(ucase$(CUSTOMER.CUSTOMER))='ADAMS';"},
      {"list: destinations", Db::Trip, Run::Query,
       "SELECT DESTINATION.DESTINATION, DESTINATION.DESTDESC, DESTINATION.DESTADD1 From "
       "Destination WHERE (DESTINATION.ACTIVE=True) order by DESTINATION.DESTDESC;"},
      {"list: trip categories", Db::Trip, Run::Query,
       "Select TRIPCAT.* from TRIPCAT where TRIPCAT.Active = True order by TRIPCAT.DESCRIPTION"},
      {"list: destination categories", Db::Trip, Run::Query,
       "Select DESTCAT.* from DESTCAT where DESTCAT.Active = True"},
      {"list: schedules", Db::Trip, Run::Query, "SELECT SCHEDMAST.* From SCHEDMAST;"},
      {"list: vehicle types", Db::Trip, Run::Query,
       "Select VEHTYPE.* from VEHTYPE where VEHTYPE.Active = True"},
      {"list: ticket templates", Db::Trip, Run::Query,
       "Select TRIPTICKET_TEMPLATE.TICKET_ID, TRIPTICKET_TEMPLATE.TEMPLATE_DESC from "
       "TRIPTICKET_TEMPLATE where TRIPTICKET_TEMPLATE.Active = True"},
      {"list: a customer's funds", Db::Trip, Run::Query,
       "SELECT CUSTOMER_FUND.FUND, FUND.FUNDDESC FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND "
       "= CUSTOMER_FUND.FUND WHERE (Fund.Active = True) AND (CUSTOMER_FUND.CUSTOMER = 'ADAMS') "
       "ORDER BY CUSTOMER_FUND.Fund"},
      {"list: all funds", Db::Trip, Run::Query,
       "Select Fund.* from Fund where Fund.Active = True ORDER BY FUND.FUND"},

      {"look-up: customer", Db::Trip, Run::Query,
       "SELECT * FROM CUSTOMER WHERE CUSTOMER.CUSTOMER = 'ADAMS'"},
      {"look-up: destination", Db::Trip, Run::Query,
       "SELECT * FROM DESTINATION WHERE DESTINATION.DESTINATION = 12"},
      {"look-up: fund", Db::Trip, Run::Query,
       "SELECT * FROM FUND WHERE trim$(FUND.FUND) = '100' AND Fund.Active = True"},
      {"look-up: fund of a customer", Db::Trip, Run::Query,
       "SELECT FUND.* FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND = CUSTOMER_FUND.FUND WHERE "
       "(trim$(CUSTOMER_FUND.FUND) = '100') AND (CUSTOMER_FUND.CUSTOMER = 'ADAMS') AND "
       "(Fund.Active = True)"},
      {"look-up: chain", Db::Trip, Run::Query,
       "SELECT * FROM CUSTOMER_TRIPCAT WHERE CUSTOMER_TRIPCAT.CUSTOMER = 'ADAMS' AND "
       "CUSTOMER_TRIPCAT.TRIPCAT = 'ACAD'"},

      {"form: stored request", Db::Request, Run::Query,
       "SELECT TRIPSREQ.* FROM TRIPSREQ WHERE TRIPNUM = CLNG(1001)"},
      {"form: request by link", Db::Request, Run::Query,
       "SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = clng(1001)"},
      {"save: new request", Db::Request, Run::AddRow, "Select * from TRIPSREQ"},
      {"save: stored request", Db::Request, Run::Update,
       "SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = 1001"},
      {"persistence: delete", Db::Request, Run::Command,
       "DELETE FROM TRIPSREQ where TRIPNUM = 1001"},
      {"persistence: typed-in destination", Db::Request, Run::Query,
       "SELECT * FROM TRIPSREQ WHERE TRIPNUM = 1001"},
      {"persistence: bill rate", Db::Trip, Run::Query,
       "SELECT * FROM BILLRATE WHERE BILLRATE.BILLRATE = 1"},
      {"persistence: request to make a trip of", Db::Request, Run::Query,
       "Select * from TRIPSREQ WHERE TRIPNUM = 1001"},
      {"persistence: new trip", Db::Trip, Run::AddRow,
       "Select TRIPS.* from Trips where trim$(TRIPS.CUSTOMER) = 'ADAMS'"},

      {"lookup: all customers", Db::Trip, Run::Query,
       "SELECT CUSTOMER.* FROM CUSTOMER ORDER BY Customer.CUSTNAME"},
      {"lookup: customers by name", Db::Trip, Run::Query,
       "SELECT CUSTOMER.* FROM CUSTOMER WHERE ucase$(Customer.CUSTNAME) like 'AB%' ORDER BY "
       "Customer.CUSTNAME"},
      {"lookup: all destinations", Db::Trip, Run::Query,
       "SELECT DESTINATION.* FROM DESTINATION ORDER BY DESTINATION.DESTDESC"},
      {"lookup: destinations by name", Db::Trip, Run::Query,
       "SELECT DESTINATION.* FROM DESTINATION WHERE ucase$(DESTINATION.DESTDESC) like 'ZOO%' "
       "ORDER BY DESTINATION.DESTDESC"},
      {"lookup: customer funds by code and description", Db::Trip, Run::Query,
       "SELECT FUND.* FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND = CUSTOMER_FUND.FUND WHERE "
       "ucase$(FUND.FUND) like '1%' AND FUND.FUNDDESC like 'Gen%' AND "
       "CUSTOMER_FUND.CUSTOMER='ADAMS' AND FUND.ACTIVE = TRUE ORDER BY FUND.FUND"},
      {"lookup: all customer funds", Db::Trip, Run::Query,
       "SELECT FUND.* FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND = CUSTOMER_FUND.FUND WHERE "
       "CUSTOMER_FUND.CUSTOMER='ADAMS' AND FUND.ACTIVE = TRUE ORDER BY FUND.FUND"},
      {"lookup: funds by code and description", Db::Trip, Run::Query,
       "SELECT FUND.* FROM FUND WHERE ucase$(FUND.FUND) like '1%' AND FUND.FUNDDESC like 'Gen%' "
       "AND FUND.ACTIVE = TRUE ORDER BY FUND.FUND"},
      {"lookup: funds by description", Db::Trip, Run::Query,
       "SELECT FUND.* FROM FUND WHERE FUND.FUNDDESC like 'Gen%' AND FUND.ACTIVE = TRUE ORDER BY "
       "FUND.FUND"},

      {"approval: the request", Db::Request, Run::Query,
       "Select * from TRIPSREQ where TRIPNUM = 1001"},
      {"approval: the chain", Db::Security, Run::Query,
       "Select * from CLSCC where CLSCC.CHAINID = 'STANDARD'"},
      {"approval: approver addresses", Db::Security, Run::Query,
       "SELECT CLSCU.EMAIL, CLSCU.ROLE, CLSCU.CUSTOMER From CLSCU WHERE (CLSCU.ROLE='PRINCIPAL') "
       "AND (CLSCU.CUSTOMER='ADAMS' OR CLSCU.CUSTOMER='' or isnull(CLSCU.CUSTOMER))"},
      {"approval: calendar note", Db::Trip, Run::Query,
       "Select * from Big_CalCalNotes where NoteDate = #3/7/2025#"},

      {"search: active chains", Db::Security, Run::Query,
       "Select * from CLSCC where CLSCC.Active = TRUE"},
      {"search: work list of two levels for a customer", Db::Request, Run::Query,
       work_list({{"STANDARD", "UNAPPROVED"}, {"ATHLETIC", "ATHLETICS APPROVED"}}, "ADAMS")},
      {"search: work list of one level", Db::Request, Run::Query,
       work_list({{"DEPT", "UNAPPROVED"}}, "")},
      {"search: every request", Db::Request, Run::Query, kSearchBase + kRequestOrder},
      {"search: every criterion", Db::Request, Run::Query,
       kSearchBase + where(kRequestClauses) + kRequestOrder},
      {"search: status and grade", Db::Request, Run::Query,
       kSearchBase + where({" TRIPSREQ.STATUS = 'A'", " TRIPSREQ.GRADE = '5'"}) + kRequestOrder},
      {"search: customers of the result table", Db::Trip, Run::Query,
       "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From "
       "CUSTOMER order by CUSTOMER.CUSTOMER;"},
      {"report: customers of the two-line list", Db::Trip, Run::Query,
       "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From "
       "CUSTOMER ORDER BY CUSTOMER.CUSTOMER;"},

      {"trips: first page", Db::Trip, Run::Query, trip_display("", " ORDER BY DEPDATE")},
      {"trips: no criteria", Db::Trip, Run::Query, trip_display("", " ORDER BY TRIPS.DEPDATE")},
      {"trips: every criterion, two sort columns", Db::Trip, Run::Query,
       trip_display(where(kTripClauses), " ORDER BY CUSTOMER.CUSTNAME, TRIPS.TRIPNUM")},
      {"trips: the other side of each pair", Db::Trip, Run::Query,
       trip_display(
           where({" TRIPS.ASSIGNED = FALSE", " TRIPS.BILLED = TRUE", " TRIPS.CANCELED = TRUE"}),
           " ORDER BY DESTINATION.DESTDESC")},
      {"trips: count, no criteria", Db::Trip, Run::Query, trip_count("")},
      {"trips: count, every criterion", Db::Trip, Run::Query, trip_count(where(kTripClauses))},
  };
  const std::vector<std::pair<std::string, std::string>> conditions = {
      {"no search", ""},
      {"a grade search", " WHERE TRIPS.GRADE = '5'"},
      {"every criterion", where(kTripClauses)},
  };
  for (const SummaryPieces& pieces : kSummaries) {
    for (const auto& [name, c] : conditions) {
      texts.push_back({std::string("summary by ") + pieces.type + ", " + name, Db::Trip, Run::Query,
                       summary_sql(pieces.type, c)});
    }
  }
  return texts;
}

// ---- The district ----------------------------------------------------------------------------

class SqlTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    data::create_databases(dir_.str());
    trip_.open((dir_.path() / data::kTripDatabase).string());
    security_.open((dir_.path() / data::kSecurityDatabase).string());
    request_.open((dir_.path() / data::kRequestDatabase).string());
  }

  db::Connection& connection(Db db) {
    return db == Db::Trip ? trip_ : db == Db::Security ? security_ : request_;
  }

  void native(Db db, const std::string& statements) { connection(db).execute_native(statements); }

  // One column of every row, through NullToStr.
  std::vector<std::string> column(Db db, const std::string& sql, const std::string& field) {
    db::Recordset rs;
    rs.open(sql, connection(db));
    std::vector<std::string> values;
    while (!rs.eof()) {
      values.push_back(data::NullToStr(rs.field(field)));
      rs.move_next();
    }
    return values;
  }

  std::string joined(Db db, const std::string& sql, const std::string& field) {
    std::string text;
    for (const std::string& value : column(db, sql, field)) {
      text += (text.empty() ? "" : ",") + value;
    }
    return text;
  }

  void run(const SqlText& text) {
    db::Connection& db = connection(text.db);
    switch (text.run) {
      case Run::Query: {
        db::Recordset rs;
        rs.open(text.sql, db);
        EXPECT_GE(rs.record_count(), 0);
        break;
      }
      case Run::Command:
        db.execute(text.sql);
        break;
      case Run::AddRow: {
        db::Recordset rs;
        rs.open(text.sql, db, db::CursorType::Dynamic, db::LockType::Optimistic);
        rs.add_new();
        rs.set_field("CUSTOMER", vb::Variant("ADAMS"));
        rs.update();
        EXPECT_GT(vb::CLng(rs.field("TRIPNUM")), 0);
        break;
      }
      case Run::Update: {
        db::Recordset rs;
        rs.open(text.sql, db, db::CursorType::ForwardOnly, db::LockType::Optimistic);
        if (!rs.eof()) {
          rs.set_field("STATUS", vb::Variant("Pending"));
          rs.update();
        }
        break;
      }
    }
  }

  testing_support::TempDir dir_;
  db::Connection trip_, security_, request_;
};

TEST_F(SqlTexts, every_text_translates_and_runs_on_a_new_district) {
  const std::vector<SqlText> texts = all_texts();
  EXPECT_GE(texts.size(), 70u);
  for (const SqlText& text : texts) {
    try {
      EXPECT_FALSE(db::translate(text.sql).sql.empty()) << text.use;
    } catch (const std::exception& error) {
      ADD_FAILURE() << text.use << ": does not translate: " << error.what() << "\n  " << text.sql;
      continue;
    }
    try {
      run(text);
    } catch (const std::exception& error) {
      ADD_FAILURE() << text.use << ": does not run: " << error.what() << "\n  " << text.sql
                    << "\n  as " << db::translate(text.sql).sql;
    }
  }
}

TEST_F(SqlTexts, every_text_runs_again_on_filled_tables) {
  native(Db::Trip,
         "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, CUSTDIV, CHAINID) VALUES ('ADAMS', 'Adams "
         "Elementary', 'ELEM', 'STANDARD');"
         "INSERT INTO DESTINATION (DESTINATION, DESTDESC, MILES) VALUES (12, 'Zoo', 22);"
         "INSERT INTO FUND (FUND, FUNDDESC) VALUES ('100', 'General');"
         "INSERT INTO CUSTOMER_FUND (CUSTOMER, FUND) VALUES ('ADAMS', '100');"
         "INSERT INTO TRIPCAT (TRIPCAT, DESCRIPTION) VALUES ('ACAD', 'Academic');"
         "INSERT INTO GRADE (GRADE, DESCRIPTION) VALUES ('5', 'Fifth');"
         "INSERT INTO TRIPS (TRIPNUM, TRIPREQNUM, CUSTOMER, BILLCUST, DESTINATION, DEPDATE, GRADE, "
         "TRIPCAT, FUND, INTTRIPNUM, PO, ASSIGNED, AMOUNT1, NUMSTUDENTS, NUMADULTS) VALUES (5001, "
         "1001, 'ADAMS', 'ADAMS', 12, 45731, '5', 'ACAD', '100', 'A-17', 'PO 24017', -1, 2.25, "
         "20, 3);"
         "INSERT INTO TRIPSPLIT (TRIPNUM, FUND) VALUES (5001, '100');"
         "INSERT INTO TRIPEMPLOYEES (TRIPNUM, HOURS, MILES) VALUES (5001, 4.5, 44);"
         "INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (5001, 'BIL', 120);");
  native(Db::Request,
         "INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, STATUS, CHAINID, DEPDATE, REQDATE, GRADE, "
         "DESTINATION, TRIPCAT, INTTRIPNUM, STATUS_DATE) VALUES (1001, 'ADAMS', 'UNAPPROVED', "
         "'STANDARD', 45731, 45700.5, '5', 12, 'ACAD', 'A-17', 45701.25)");
  for (const SqlText& text : all_texts()) {
    if (text.run == Run::Command) continue;
    try {
      run(text);
    } catch (const std::exception& error) {
      ADD_FAILURE() << text.use << ": does not run: " << error.what() << "\n  " << text.sql;
    }
  }
}

// ---- What some of them return ------------------------------------------------------------------

TEST_F(SqlTexts, login_finds_the_user_whatever_the_letter_case_and_blanks) {
  native(Db::Security,
         "INSERT INTO CLSCU (CLSC1, CLSC2, ROLE) VALUES (' JDoe ', 'secret', 'REQUESTER');"
         "INSERT INTO CLSCU (CLSC1, CLSC2, ROLE) VALUES ('jdoe2', 'other', 'REQUESTER');"
         "INSERT INTO CLSCU (CLSC1, CLSC2, ROLE) VALUES ('O''Brien', 'irish', 'REQUESTER')");
  EXPECT_EQ(joined(Db::Security, "Select * from CLSCU where trim$(CLSCU.CLSC1) = 'jdoe'", "CLSC2"),
            "secret");
  // A typed quote arrives doubled, as the quoting of typed values writes it.
  EXPECT_EQ(joined(Db::Security,
                   "Select * from CLSCU where trim$(CLSCU.CLSC1) = " + db::quote_text("o'brien"),
                   "CLSC2"),
            "irish");
}

TEST_F(SqlTexts, work_list_holds_the_requests_waiting_at_the_roles_levels) {
  native(
      Db::Request,
      "INSERT INTO TRIPSREQ (TRIPNUM, CHAINID, STATUS, CUSTOMER, DEPDATE, DESTDESC, STATUS_DATE) "
      "VALUES "
      "(1001, 'STANDARD', 'UNAPPROVED', 'ADAMS', 45726, 'Zoo', 45700.75),"
      "(1002, 'STANDARD', 'PRINCIPAL APPROVED', 'ADAMS', 45721, NULL, 45700),"
      "(1003, 'ATHLETIC', 'ATHLETICS APPROVED', 'ADAMS', 45724, NULL, 45700),"
      "(1004, 'STANDARD', 'UNAPPROVED', 'BROOK', 45721, NULL, 45700),"
      "(1005, 'standard', 'Unapproved', 'adams', 45721, NULL, 45700)");
  const std::string sql =
      work_list({{"STANDARD", "UNAPPROVED"}, {"ATHLETIC", "ATHLETICS APPROVED"}}, "ADAMS");
  EXPECT_EQ(joined(Db::Request, sql, "TRIPNUM"), "1005,1003,1001");

  db::Recordset rs;
  rs.open(sql, request_);
  rs.move_last();
  EXPECT_EQ(data::NullToStr(rs.field("trdestdesc")), "Zoo");
  // The status date without its time of day.
  ASSERT_TRUE(rs.field("Expr1").is_date());
  EXPECT_EQ(vb::CStr(rs.field("Expr1")), "2/12/2025");
}

TEST_F(SqlTexts, request_search_with_every_criterion_selects_only_matching_requests) {
  // 3/31/2025 is serial 45747; 2/28/2025 45716.
  native(Db::Request,
         "INSERT INTO TRIPSREQ (TRIPNUM, DEPDATE, DEPTIME, REQDATE, STATUS, GRADE, CUSTOMER, "
         "DESTINATION, TRIPCAT, INTTRIPNUM) VALUES "
         "(2001, 45747, 0.375, 45716.65, 'UNAPPROVED', '5', 'ADAMS', 12, 'ACAD', 'A-17'),"
         "(2002, 45748, 0.375, 45716.65, 'UNAPPROVED', '5', 'ADAMS', 12, 'ACAD', 'A-17'),"
         "(2003, 45747, 0.375, 45717.02, 'UNAPPROVED', '5', 'ADAMS', 12, 'ACAD', 'A-17'),"
         "(2004, 45747, 0.375, 45716.65, 'UNAPPROVED', '4', 'ADAMS', 12, 'ACAD', 'A-17'),"
         "(2005, 45747, 0.375, 45716.65, 'UNAPPROVED', '5', 'ADAMS', 13, 'ACAD', 'A-17'),"
         "(2006, 45717, 0.375, 45716.65, 'unapproved', '5', 'adams', 12, 'acad', 'a-17'),"
         "(2007, 45747, 0.375, 45716.65, 'UNAPPROVED', '5', 'ADAMS', 12, 'ACAD', 'A-18')");
  EXPECT_EQ(joined(Db::Request, kSearchBase + where(kRequestClauses) + kRequestOrder, "TRIPNUM"),
            "2006,2001");
}

TEST_F(SqlTexts, field_trip_search_sums_the_billing_and_names_both_customers) {
  native(Db::Trip,
         "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, CUSTDIV) VALUES ('ADAMS', 'Adams Elementary', "
         "'ELEM'), ('BROOK', 'Brookside Elementary', 'ELEM');"
         "INSERT INTO DESTINATION (DESTINATION, DESTDESC) VALUES (12, 'Cedar Falls Zoo');"
         // ASSIGNED 1 as an importer may store True.
         "INSERT INTO TRIPS (TRIPNUM, CUSTOMER, BILLCUST, DESTINATION, DEPDATE, ASSIGNED, BILLED, "
         "BILLDATE) VALUES (5001, 'ADAMS', 'BROOK', 12, 45721, 1, -1, 45724.55),"
         "(5002, 'ADAMS', 'ADAMS', 99, 45722, 0, 0, NULL),"
         "(5003, 'ZZZ', 'ADAMS', 12, 45723, 0, 0, NULL);"
         "INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT) VALUES (5001, 'BIL', 100), "
         "(5001, 'BIL', 20.5), (5001, 'PAY', -50)");
  const std::string sql = trip_display("", " ORDER BY TRIPS.TRIPNUM");
  EXPECT_EQ(joined(Db::Trip, sql, "TRIPNUM"), "5001,5002,5003");
  EXPECT_EQ(joined(Db::Trip, sql, "CUSTNAME"), "Adams Elementary,Adams Elementary, ");
  EXPECT_EQ(joined(Db::Trip, sql, "BILLCUSTNAME"),
            "Brookside Elementary,Adams Elementary,Adams Elementary");
  EXPECT_EQ(joined(Db::Trip, sql, "DESTDESC"), "Cedar Falls Zoo, ,Cedar Falls Zoo");
  EXPECT_EQ(joined(Db::Trip, sql, "TOTALBILLED"), "120.5, , ");
  EXPECT_EQ(joined(Db::Trip, sql, "TOTALDUE"), "70.5, , ");
  EXPECT_EQ(joined(Db::Trip, sql, "BILLDATE"), "3/8/2025, , ");
  EXPECT_EQ(joined(Db::Trip, sql, "ASSIGNED"), "True,False,False");

  struct Case {
    std::vector<std::string> clauses;
    std::string trips;
  };
  const Case cases[] = {
      {{" TRIPS.ASSIGNED = TRUE"}, "5001"},
      {{" TRIPS.ASSIGNED = FALSE"}, "5002,5003"},
      {{" TRIPS.BILLED = TRUE", " CUSTOMER.CUSTDIV = 'elem'"}, "5001"},
      {{" TRIPS.DEPDATE >= #3/6/2025# and TRIPS.DEPDATE <= #3/7/2025#"}, "5002,5003"},
      {{" TRIPS.BILLCUST = 'adams'", " TRIPS.DESTINATION = 12"}, "5003"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        joined(Db::Trip, trip_display(where(c.clauses), " ORDER BY TRIPS.TRIPNUM"), "TRIPNUM"),
        c.trips)
        << where(c.clauses);
    db::Recordset count;
    count.open(trip_count(where(c.clauses)), trip_);
    EXPECT_EQ(
        count.record_count(),
        static_cast<long>(column(Db::Trip, trip_display(where(c.clauses), ""), "TRIPNUM").size()))
        << where(c.clauses);
  }
}

TEST_F(SqlTexts, fund_lookups_offer_active_funds_in_code_order) {
  native(Db::Trip,
         "INSERT INTO FUND (FUND, FUNDDESC, ACTIVE) VALUES ('PTA', 'Parent Teacher Association', "
         "-1), ('100', 'General Fund', -1), ('300', 'Title I', -1), ('OLD', 'General (old)', 0);"
         "INSERT INTO CUSTOMER_FUND (CUSTOMER, FUND) VALUES ('ADAMS', 'PTA'), ('ADAMS', '100'), "
         "('ADAMS', 'OLD'), ('BROOK', '300')");
  struct Case {
    const char* sql;
    const char* funds;
  };
  const Case cases[] = {
      {"SELECT FUND.* FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND = CUSTOMER_FUND.FUND WHERE "
       "CUSTOMER_FUND.CUSTOMER='ADAMS' AND FUND.ACTIVE = TRUE ORDER BY FUND.FUND",
       "100,PTA"},
      {"SELECT FUND.* FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND = CUSTOMER_FUND.FUND WHERE "
       "ucase$(FUND.FUND) like 'P%' AND CUSTOMER_FUND.CUSTOMER='ADAMS' AND FUND.ACTIVE = TRUE "
       "ORDER BY FUND.FUND",
       "PTA"},
      {"SELECT FUND.* FROM FUND WHERE FUND.FUNDDESC like 'gen%' AND FUND.ACTIVE = TRUE ORDER BY "
       "FUND.FUND",
       "100"},
      {"SELECT CUSTOMER_FUND.FUND, FUND.FUNDDESC FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND "
       "= CUSTOMER_FUND.FUND WHERE (Fund.Active = True) AND (CUSTOMER_FUND.CUSTOMER = 'adams') "
       "ORDER BY CUSTOMER_FUND.Fund",
       "100,PTA"},
      {"SELECT * FROM FUND WHERE trim$(FUND.FUND) = 'pta' AND Fund.Active = True", "PTA"},
      {"SELECT FUND.* FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND = CUSTOMER_FUND.FUND WHERE "
       "(trim$(CUSTOMER_FUND.FUND) = '300') AND (CUSTOMER_FUND.CUSTOMER = 'ADAMS') AND "
       "(Fund.Active = True)",
       ""},
  };
  for (const Case& c : cases) EXPECT_EQ(joined(Db::Trip, c.sql, "FUND"), c.funds) << c.sql;
}

TEST_F(SqlTexts, customer_list_of_a_bound_user_matches_the_trimmed_upper_cased_code) {
  native(Db::Trip,
         "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, ACTIVE) VALUES ('adams ', 'Adams', -1), "
         "('BROOK', 'Brookside', -1), ('OLD', 'Old School', 0)");
  EXPECT_EQ(joined(Db::Trip,
                   "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID From CUSTOMER "
                   "WHERE trim$(ucase$(CUSTOMER.CUSTOMER))='ADAMS';",
                   "CUSTNAME"),
            "Adams");
  EXPECT_EQ(joined(Db::Trip,
                   "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID From CUSTOMER "
                   "WHERE (CUSTOMER.ACTIVE=True) order by CUSTOMER.custname;",
                   "CUSTNAME"),
            "Adams,Brookside");
}

TEST_F(SqlTexts, calendar_note_is_found_by_its_day) {
  // 3/7/2025 is serial 45723.
  native(Db::Trip,
         "INSERT INTO Big_CalCalNotes (NoteDate, NoteText, NoteSeverity) VALUES "
         "(45723, 'Early release', 2), (45724, 'Closed', 3)");
  EXPECT_EQ(
      joined(Db::Trip, "Select * from Big_CalCalNotes where NoteDate = #3/7/2025#", "NoteText"),
      "Early release");
}

TEST_F(SqlTexts, approver_addresses_include_users_serving_every_customer) {
  native(Db::Security,
         "INSERT INTO CLSCU (CLSC1, ROLE, CUSTOMER, EMAIL) VALUES "
         "('a', 'PRINCIPAL', 'ADAMS', 'a@example.org'), ('b', 'PRINCIPAL', 'BROOK', "
         "'b@example.org'), ('c', 'PRINCIPAL', '', 'c@example.org'), ('d', 'PRINCIPAL', NULL, "
         "'d@example.org'), ('e', 'DIRECTOR', NULL, 'e@example.org')");
  EXPECT_EQ(joined(Db::Security,
                   "SELECT CLSCU.EMAIL, CLSCU.ROLE, CLSCU.CUSTOMER From CLSCU WHERE "
                   "(CLSCU.ROLE='PRINCIPAL') AND (CLSCU.CUSTOMER='ADAMS' OR CLSCU.CUSTOMER='' or "
                   "isnull(CLSCU.CUSTOMER))",
                   "EMAIL"),
            "a@example.org,c@example.org,d@example.org");
}

std::map<std::string, std::string> groups(const std::vector<std::string>& descriptions,
                                          const std::vector<std::string>& values) {
  std::map<std::string, std::string> result;
  for (std::size_t i = 0; i < descriptions.size() && i < values.size(); ++i) {
    result[descriptions[i]] = values[i];
  }
  return result;
}

class Summary : public SqlTexts {
 protected:
  void SetUp() override {
    SqlTexts::SetUp();
    native(Db::Trip,
           "INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME) VALUES ('ADAMS', 'Adams'), ('BROOK', "
           "'Brookside');"
           "INSERT INTO TRIPCAT (TRIPCAT, DESCRIPTION) VALUES ('ACAD', 'Academic'), ('ATH', "
           "'Athletic'), ('CMP', NULL);"
           "INSERT INTO GRADE (GRADE, DESCRIPTION) VALUES ('5', 'Fifth'), ('9', 'Ninth');"
           "INSERT INTO DESTINATION (DESTINATION, DESTDESC) VALUES (12, 'Zoo');"
           "INSERT INTO TRIPS (TRIPNUM, CUSTOMER, TRIPCAT, GRADE, DESTINATION, NUMSTUDENTS, "
           "NUMADULTS) VALUES "
           "(1, 'ADAMS', 'ACAD', '5', 12, 10, 1), (2, 'ADAMS', 'ACAD', '5', 12, 20, 2),"
           "(3, 'BROOK', 'ACAD', '9', 12, 30, 3), (4, 'BROOK', 'ATH', '9', 12, 40, 4),"
           "(5, 'ADAMS', '', NULL, 12, 5, 1), (6, 'BROOK', '', NULL, 12, 5, 1),"
           "(7, 'ADAMS', 'CMP', '9', 12, 8, 1)");
  }
  std::map<std::string, std::string> report(const std::string& type, const std::string& c,
                                            const std::string& field) {
    const std::string sql = summary_sql(type, c);
    return groups(column(Db::Trip, sql, "TYPEDESCRIPTION"), column(Db::Trip, sql, field));
  }
};

TEST_F(Summary, by_category_groups_the_trips_and_adds_those_without_one) {
  // A Null description joins as an empty text.
  const std::map<std::string, std::string> trips = {
      {"ACAD - Academic", "3"}, {"ATH - Athletic", "1"}, {"CMP - ", "1"}, {"*None", "2"}};
  EXPECT_EQ(report("CATEGORY", "", "NUMBEROFTRIPS"), trips);
  const std::map<std::string, std::string> students = {
      {"ACAD - Academic", "60"}, {"ATH - Athletic", "40"}, {"CMP - ", "8"}, {"*None", "10"}};
  EXPECT_EQ(report("CATEGORY", "", "NUMBEROFSTUDENTS"), students);
  const std::map<std::string, std::string> fifth_grade = {{"ACAD - Academic", "2"}, {"*None", "0"}};
  EXPECT_EQ(report("CATEGORY", " WHERE TRIPS.GRADE = '5'", "NUMBEROFTRIPS"), fifth_grade);
}

TEST_F(Summary, by_grade_counts_trips_without_a_grade_as_none) {
  const std::map<std::string, std::string> trips = {
      {"5 - Fifth", "2"}, {"9 - Ninth", "3"}, {"*None", "2"}};
  EXPECT_EQ(report("GRADE", "", "NUMBEROFTRIPS"), trips);
}

TEST_F(Summary, by_customer_limits_every_group_to_the_search) {
  const std::map<std::string, std::string> all = {{"ADAMS - Adams", "4"},
                                                  {"BROOK - Brookside", "3"}};
  EXPECT_EQ(report("CUSTOMER", "", "NUMBEROFTRIPS"), all);
  const std::map<std::string, std::string> athletic = {{"BROOK - Brookside", "1"}};
  EXPECT_EQ(report("CUSTOMER", " WHERE TRIPS.TRIPCAT = 'ATH'", "NUMBEROFTRIPS"), athletic);
}

TEST_F(Summary, by_destination_writes_the_number_as_str_does) {
  const std::map<std::string, std::string> trips = {{" 12 - Zoo", "7"}};
  EXPECT_EQ(report("DESTINATION", "", "NUMBEROFTRIPS"), trips);
}

TEST_F(SqlTexts, stored_request_is_found_through_clng) {
  native(Db::Request,
         "INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER) VALUES (1001, 'ADAMS'), (1002, "
         "'BROOK')");
  EXPECT_EQ(
      joined(Db::Request, "SELECT TRIPSREQ.* FROM TRIPSREQ WHERE TRIPNUM = CLNG(1002)", "CUSTOMER"),
      "BROOK");
  EXPECT_EQ(
      joined(Db::Request, "SELECT TRIPSREQ.* FROM TRIPSREQ where TRIPNUM = clng(1001)", "CUSTOMER"),
      "ADAMS");
}

TEST_F(SqlTexts, delete_removes_only_the_named_request) {
  native(Db::Request,
         "INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER) VALUES (1001, 'ADAMS'), (1002, "
         "'BROOK')");
  EXPECT_EQ(request_.execute("DELETE FROM TRIPSREQ where TRIPNUM = 1001"), 1);
  EXPECT_EQ(request_.execute("DELETE FROM TRIPSREQ where TRIPNUM = 4711"), 0);
  EXPECT_EQ(joined(Db::Request, "Select * from TRIPSREQ", "TRIPNUM"), "1002");
}

TEST_F(SqlTexts, new_requests_and_trips_get_the_next_numbers) {
  native(Db::Request, "INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER) VALUES (1001, 'ADAMS')");
  native(Db::Trip, "INSERT INTO TRIPS (TRIPNUM, CUSTOMER) VALUES (5001, 'ADAMS')");
  struct Case {
    Db db;
    const char* sql;
    std::int32_t number;
  };
  const Case cases[] = {
      {Db::Request, "Select * from TRIPSREQ", 1002},
      {Db::Trip, "Select TRIPS.* from Trips where trim$(TRIPS.CUSTOMER) = 'ADAMS'", 5002},
  };
  for (const Case& c : cases) {
    db::Recordset rs;
    rs.open(c.sql, connection(c.db), db::CursorType::Dynamic, db::LockType::Optimistic);
    rs.add_new();
    rs.set_field("CUSTOMER", vb::Variant("BROOK"));
    rs.update();
    EXPECT_EQ(vb::CLng(rs.field("TRIPNUM")), c.number) << c.sql;
  }
}

}  // namespace
