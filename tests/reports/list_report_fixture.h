// What the report tests share: the sample district with numbered trips, the queries the two
// searches leave in the session, a signed-in report user and the searches' fixture.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/vb/conversions.h"
#include "tests/support/sample_data.h"

namespace report_tests {

using namespace testing_support;

// The field trip search's display query without criteria, ordered by trip number.
inline const std::string kTripQuery =
    "SELECT TRIPS.TRIPNUM, TRIPS.ESTTIME, TRIPS.ESTMILE, TRIPS.INTTRIPNUM, TRIPS.CUSTOMER, "
    "CUSTOMER.CUSTNAME, TRIPS.DESTINATION, DESTINATION.DESTDESC, TRIPS.DEPDATE, TRIPS.DEPTIME, "
    "TRIPS.ASSIGNED, TRIPS.BILLED, DateValue(TRIPS.BILLDATE) AS BILLDATE, TRIPS.CANCELED, "
    "DATEVALUE(TRIPS.CANDATE) AS CANDATE, TRIPS.GRADE, CUSTOMER.CUSTDIV, TRIPS.RETDATE, "
    "TRIPS.RETTIME, TRIPS.FUND, TRIPS.TRIPREQNUM, TRIPS.PO, TRIPS.TRIPCAT, TRIPS.SCHEDULE, "
    "TRIPS.NUMSTUDENTS, TRIPS.NUMADULTS, TRIPS.CONTACT, TRIPS.ARRIVETIME, TRIPS.LEAVETIME, "
    "TRIPS.PURPOSE, TRIPS.SHUTTLE, CUSTOMER_1.CUSTNAME as BILLCUSTNAME, TRIPS.BILLCUST, (SELECT "
    "SUM(TRANAMT) FROM ARDETAIL WHERE TRANCODE='BIL' AND TRIPNUM=TRIPS.TRIPNUM) AS TOTALBILLED, "
    "(SELECT SUM(TRANAMT) FROM ARDETAIL WHERE TRIPNUM=TRIPS.TRIPNUM) AS TOTALDUE FROM (((TRIPS "
    "LEFT JOIN CUSTOMER ON TRIPS.CUSTOMER = CUSTOMER.CUSTOMER) LEFT JOIN DESTINATION ON "
    "TRIPS.DESTINATION = DESTINATION.DESTINATION) LEFT JOIN CUSTOMER AS CUSTOMER_1 ON "
    "TRIPS.BILLCUST = CUSTOMER_1.CUSTOMER)  ORDER BY TRIPS.TRIPNUM";

// The request search's query without criteria.
inline const std::string kRequestQuery =
    "SELECT TRIPSREQ.TRIPNUM, TRIPSREQ.ENTERDATE, TRIPSREQ.CONTACT, TRIPSREQ.INTTRIPNUM, "
    "TRIPSREQ.CUSTOMER, TRIPSREQ.DESTINATION, tripsreq.destdesc as trDESTDESC, TRIPSREQ.DEPDATE, "
    "TRIPSREQ.DEPTIME, TRIPSREQ.STATUS, DateValue(TRIPSREQ.STATUS_DATE) AS Expr1, "
    "TRIPSREQ.STATUS_COMMENT, TRIPSREQ.GRADE, TRIPSREQ.RETDATE, TRIPSREQ.RETTIME, "
    "TRIPSREQ.ARRIVETIME, TRIPSREQ.LEAVETIME, TRIPSREQ.FUND, TRIPSREQ.REQDATE, TRIPSREQ.CHAINID, "
    "TRIPSREQ.FIELDTRIP_NUM, TRIPSREQ.TRIPCAT, TRIPSREQ.NUMSTUDENTS, TRIPSREQ.NUMADULTS, "
    "TRIPSREQ.PURPOSE FROM TRIPSREQ ORDER BY TRIPSREQ.DEPDATE, TRIPSREQ.DEPTIME, "
    "TRIPSREQ.DESTINATION";

// Trips 1 .. count of Lakeview High School to the museum, departing 3/2/2026 onwards at
// 9:00 AM and back at 4:30 PM the same day.
inline void add_trips(const District& district, int count) {
  std::string sql;
  for (int i = 1; i <= count; ++i) {
    sql +=
        "INSERT INTO TRIPS (TRIPNUM, CUSTOMER, BILLCUST, DESTINATION, DEPDATE, RETDATE, "
        "DEPTIME, RETTIME, CANCELED, ASSIGNED, SHUTTLE, CONTACT, PURPOSE, ESTTIME, ESTMILE, "
        "NUMSTUDENTS, NUMADULTS, GRADE, TRIPCAT, FUND) VALUES (" +
        std::to_string(i) + ", 'LHS', 'LHS', 10, " + std::to_string(46082 + i) + ", " +
        std::to_string(46082 + i) +
        ", 0.375, 0.6875, 0, -1, 0, 'Ms Trip', 'Museum', 6.5, 25, 40, 4, '12', 'FLD', "
        "'100');";
  }
  district.sql("trip", sql);
}

// A started application (district settings loaded) with the transport office signed in: it
// serves every customer.
class ReportTest : public ::testing::Test {
 protected:
  ReportTest() {
    add_sample_data(district_);
    sim_.get("");
    sign_in(sim_, "transport", "pw", "");  // signed in, no search made yet
  }
  void use_page_size(std::int16_t size) { sim_.set_application("PageSize", size); }

  District district_;
  Simulator sim_{district_};
};

// The searches: the sample district and a fresh user signed in per call (by default one without
// a customer of his own); first_page_ is the page the sign-in shows.
class SearchTest : public ::testing::Test {
 protected:
  SearchTest() { add_sample_data(district_); }
  Simulator& signed_in(const std::string& user = "ad", const std::string& password = "pw") {
    sim_ = std::make_unique<Simulator>(district_);
    first_page_ = sign_in(*sim_, user, password).body;
    return *sim_;
  }

  District district_;
  std::unique_ptr<Simulator> sim_;
  std::string first_page_;
};

using Form = std::vector<std::pair<std::string, std::string>>;

}  // namespace report_tests
