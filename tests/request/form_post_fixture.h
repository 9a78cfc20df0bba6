// What the tests of the request form's post share: the sample district with a mail sink, the
// form a browser posts for a new request, and the stored rows read back.
#pragma once

#include <gtest/gtest.h>

#include <map>

#include "platform/vb/conversions.h"
#include "tests/support/sample_data.h"
#include "tests/support/smtp_sink.h"

namespace form_post_tests {

using namespace testing_support;
using Form = std::map<std::string, std::string>;

// What the browser posts for a new request of the teacher of LHS, leaving on Friday 12/18/2026.
inline Form new_request_form() {
  const auto pairs = pairs_of(
      "dropDownChange=|New=NEW|cust=LHS, Lakeview High School|RequestorEmail=teacher@example.org|"
      "Contact=Ms Smith|dest=11|DESTSPEC=|Dep_month=Dec|Dep_date=18|Dep_year=2026|"
      "chkDefaultReturnDate=ON|Rtn_month= |Rtn_date= |Rtn_year= |DEP_HOUR=9|DEP_MIN=0|DEP_AMPM=AM|"
      "ARRIVE_HOUR= |ARRIVE_MIN= |ARRIVE_AMPM=AM|LEAVE_HOUR= |LEAVE_MIN= |LEAVE_AMPM=PM|"
      "RET_HOUR=3|RET_MIN=30|RET_AMPM=PM|NUMADULTS=2|NUMSTUDENTS=25|NUMHAND=0|ESTTIME=4|ESTMILE=12|"
      "PURPOSE=Concert|CUSTSPEC=|TRIPCOM=|PO=|INTTRIPNUM=|tripcat=FLD|grade=5|fund=100|"
      "btnSubmit=Save");
  return {pairs.begin(), pairs.end()};
}

inline const std::string kNew = "Enter a New Trip Request";

// A browser signed in through the login form's button.
struct SignedIn : Simulator {
  SignedIn(const District& district, const std::string& user, const std::string& password,
           const std::string& button = "Work With Trip Requests")
      : Simulator(district) {
    sign_in(*this, user, password, button);
  }
};

// The form of a stored request.
inline Form stored_form(const std::string& number) {
  Form form = new_request_form();
  form["New"] = "EXISTING";
  form["tripnum"] = number;
  return form;
}

class FormPostTest : public ::testing::Test {
 protected:
  FormPostTest() {
    add_sample_data(district_);
    district_.set_ini("SmtpPort", std::to_string(sink_.port()));
  }

  // A row of TRIPSREQ, read back through the application's own database layer.
  std::map<std::string, std::string> request_row(const std::string& number) {
    db::Recordset rs;
    rs.open("SELECT * FROM TRIPSREQ WHERE TRIPNUM = " + number, requests());
    std::map<std::string, std::string> row;
    for (int i = 0; !rs.eof() && i < rs.field_count(); ++i) {
      const vb::Variant& value = rs.field(rs.field_name(i));
      row[vb::UCase(rs.field_name(i))] = value.is_null() ? "(Null)" : vb::CStr(value);
    }
    return row;
  }

  std::string newest_request() {
    db::Recordset rs;
    rs.open("SELECT MAX(TRIPNUM) AS N FROM TRIPSREQ", requests());
    return vb::CStr(rs.field("N"));
  }

  db::Connection& requests() {
    if (!requests_.is_open()) requests_.open(district_.dir() + "/Tripschl.db");
    return requests_;
  }

  Result post(Simulator& sim, const Form& form) {
    return sim.post("WCI=RequestDetail&WCE=TripRequestDetail&WCU", {form.begin(), form.end()});
  }

  District district_;
  SmtpSink sink_;
  db::Connection requests_;
};

}  // namespace form_post_tests
