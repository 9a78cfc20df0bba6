// The sample district of the handler tests.
#include "tests/support/sample_data.h"

namespace testing_support {

void add_sample_data(const District& district) {
  district.add_district_rows();
  district.sql("trip", R"sql(
    INSERT INTO GRADE (GRADE, DESCRIPTION, ACTIVE) VALUES ('K', 'Kindergarten', -1), ('5', 'Fifth', -1),
      ('12', 'Twelfth', -1), ('OLD', 'Retired', 0);
    INSERT INTO TRIPCAT (TRIPCAT, DESCRIPTION, ACTIVE) VALUES ('ATH', 'Athletics', -1),
      ('FLD', 'Field trip', 1), ('MUS', 'Music', -1), ('OLD', 'Retired', 0);
    INSERT INTO TRIPREQSTATUS (STATUS, DESCRIPTION, ACTIVE) VALUES ('UNAPPROVED', 'Waiting', -1),
      ('Pending', 'No chain', -1), ('Denied', 'Denied', -1);
    INSERT INTO Division (Division, DESCRIPTION, ACTIVE) VALUES ('E', 'Elementary', -1),
      ('H', 'High Schools', -1), ('X', 'Closed', 0);
    INSERT INTO DESTCAT (DESTCAT, ACTIVE) VALUES ('MUSEUM', -1), ('PARK', -1);
    INSERT INTO CUSTOMER (CUSTOMER, CUSTNAME, CHAINID, CUSTDIV, ACTIVE, CUSTBILLRATE, CUSTSPEC,
      DEFAULTCAP, cust_default_format, REQUESTOR_EMAIL) VALUES
      ('LHS', 'Lakeview High School', 'HS', 'H', -1, 2, 'Use the north entrance', 'High', 'STD', 'office@lhs.example.org'),
      ('ADAMS', 'Adams Elementary', '', 'E', -1, 1, NULL, NULL, NULL, NULL),
      ('BAND', 'District Band', NULL, 'H', -1, 1, NULL, 'Low', NULL, 'band@example.org'),
      ('GONE', 'Closed School', 'HS', 'E', 0, 1, NULL, NULL, NULL, NULL);
    INSERT INTO DESTINATION (DESTINATION, DESTDESC, DESTADD1, DESTADD2, DESTSPEC, MILES, ACTIVE) VALUES
      (10, 'Science Museum of the Great Lakes Region', '200 Lake Dr', 'Building B', 'Bus parking in lot C', 12.5, -1),
      (11, 'City Park', '1 Park Ave', NULL, NULL, 3, -1),
      (12, 'Old Mill', 'Mill Rd', NULL, NULL, NULL, 0);
    INSERT INTO FUND (FUND, FUNDDESC, ACTIVE) VALUES ('100', 'General', -1), ('200', 'Athletics', -1),
      ('300', NULL, -1), ('900', 'Closed fund', 0);
    INSERT INTO CUSTOMER_FUND (CUSTOMER, FUND) VALUES ('LHS', '100'), ('LHS', '200'), ('ADAMS', '300'),
      ('LHS', '900');
    INSERT INTO CUSTOMER_TRIPCAT (CUSTOMER, TRIPCAT, CHAINID) VALUES ('LHS', 'ATH', 'ATHLETIC');
    INSERT INTO BILLRATE (BILLRATE, AMOUNT1, AMOUNT2, AMOUNT3, AMOUNT4, AMOUNT5, AMOUNTTXT1,
      AMOUNTTXT2, AMOUNTTXT3, AMOUNTTXT4, AMOUNTTXT5) VALUES
      (2, 1.5, 40, NULL, 0, 2.25, 'Per mile', 'Per hour', NULL, 'None', 'Fuel');
    INSERT INTO SCHEDMAST (SCHEDULE, SCHEDDESC) VALUES ('S1', 'Morning'), ('S2', 'Afternoon');
    INSERT INTO VEHTYPE (VEHTYPE, VTYPDESC, ACTIVE) VALUES ('BUS', 'School bus', -1), ('VAN', 'Van', -1);
    INSERT INTO TRIPTICKET_TEMPLATE (TICKET_ID, TEMPLATE_DESC, ACTIVE) VALUES ('T1', 'Standard', -1);
  )sql");
  district.sql("security", R"sql(
    INSERT INTO CLSCU (CLSC1, CLSC2, ROLE, CUSTOMER, EMAIL, SCJRFOVD, SCJRDDFT) VALUES
      ('teacher', 'Apple', 'REQUESTER', 'LHS', 'teacher@example.org', 0, 0),
      ('principal', 'pw', 'PRINCIPAL', 'LHS', 'principal@example.org', 0, 0),
      ('ad', 'pw', 'ATHDIR', NULL, 'ad@example.org', 0, 0),
      ('transport', 'pw', 'TRANSPORT', NULL, 'transport@example.org', -1, -1),
      ('nopass', NULL, 'REQUESTER', NULL, NULL, 0, 0),
      ('adams', 'pw', 'REQUESTER', 'ADAMS', '', 0, 0);
    INSERT INTO CLSCC (CHAINID, ACTIVE, LEVEL1APPROVER, Level2Approver, Level3Approver,
      LEVEL1STATUS, Level2Status, Level3Status) VALUES
      ('HS', -1, 'PRINCIPAL', 'TRANSPORT', NULL, 'PRINCIPAL APPROVED', 'ACCEPTED', NULL),
      ('ATHLETIC', -1, 'ATHDIR', 'PRINCIPAL', 'TRANSPORT', 'AD APPROVED', 'PRINCIPAL APPROVED', 'ACCEPTED');
  )sql");
  district.sql("request", R"sql(
    INSERT INTO TRIPSREQ (TRIPNUM, CUSTOMER, BILLCUST, CONTACT, REQUESTOR_EMAIL, DESTINATION,
      DESTDESC, DEPDATE, RETDATE, DEPTIME, RETTIME, ARRIVETIME, LEAVETIME, REQDATE, ENTERDATE,
      ENTEREDBY, STATUS, STATUS_DATE, CHAINID, GRADE, TRIPCAT, FUND, NUMSTUDENTS, NUMADULTS,
      NUMHAND, ESTTIME, ESTMILE, PURPOSE, CUSTSPEC, DESTSPEC, TRIPCOM, PO, INTTRIPNUM) VALUES
      (1001, 'LHS', 'LHS', 'O''Brien', 'teacher@example.org', 10, NULL, 46387, 46387,
       0.375, 0.6875, 0.4166666666666667, 0.625, 46360.5, 46360.5, 'teacher', 'UNAPPROVED',
       46360.5, 'HS', '12', 'FLD', '100', 40, 4, 1, 6.5, 25, 'Science fair', '<b>bold</b>',
       'Parking in lot C', 'Bring lunches', 'PO-7', 'LHS-12'),
      (1002, 'LHS', 'LHS', 'Coach', 'coach@example.org', 0, 'Regional Stadium', 46390, 46390,
       0.0000115740740740741, NULL, NULL, NULL, 46361, 46361, 'teacher', 'PRINCIPAL APPROVED',
       46362, 'HS', '12', 'ATH', '200', 20, 2, 0, 3, 40, 'Game', NULL, NULL, NULL, NULL, NULL),
      (1003, 'ADAMS', 'ADAMS', 'Ms Green', NULL, 11, NULL, 46400, 46400, NULL, NULL, NULL, NULL,
       46362, 46362, 'adams', 'Pending', 46362, NULL, 'K', 'FLD', '300', 22, 5, 0, 2, 6,
       'Picnic', NULL, NULL, NULL, NULL, NULL);
    UPDATE TRIPSREQ SET DESTADD1 = '77 Stadium Way', DESTADD2 = 'Gate 4', DESTCITY = 'Lakeview',
      DESTSTATE = 'MN', DESTZIP = '55555', DESTCAT = 'PARK', MILES = 9 WHERE TRIPNUM = 1002;
  )sql");
}

Result sign_in(Simulator& sim, const std::string& user, const std::string& password,
               const std::string& button) {
  sim.get("");
  return sim.post("WCI=Login&WCE=LoginValidateUser&WCU",
                  {{"user", user}, {"password", password}, {"btnsubmit", button}});
}

}  // namespace testing_support
