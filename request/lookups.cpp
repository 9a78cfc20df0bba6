// The record look-ups (customer, destination, fund, chain) and the two display formatters.
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"

void request::FieldBuilders::getcust(const std::string& custnum) {
  bool opened_here = false;
  procedure({"getCust"}, [&] {
    if (!ChkEligWeb::PreparePaths(ctx_)) frame::exit_step();
    if (!module_.trip || module_.trip->state() != 1) {
      ChkEligWeb::SetTripDBConnections(module_);
      opened_here = true;
    }
    customer_.strCustName = "Not Found";
    customer_.strCustSpec = " ";
    customer_.strDefaultCap = "Medium";
    customer_.strCustDefaultFormat = "CARLINE_INVOICE";
    customer_.strChainID.clear();
    customer_.strCustDiv = " ";
    customer_.strRequestorEmail.clear();
    db::Recordset rs;
    rs.open("SELECT * FROM CUSTOMER WHERE CUSTOMER.CUSTOMER = " + db::quote_text(custnum),
            module_.trip_db());
    if (!rs.eof()) {
      auto copy = [&](const char* column, std::string& field) {
        const vb::Variant& value = rs.field(column);
        if (!value.is_null()) field = vb::CStr(value);
      };
      copy("custname", customer_.strCustName);
      if (!rs.field("CUSTBILLRATE").is_null()) {
        customer_.intCustBillRate = vb::CInt(rs.field("CUSTBILLRATE"));
      }
      copy("CUSTSPEC", customer_.strCustSpec);
      copy("DEFAULTCAP", customer_.strDefaultCap);
      copy("cust_default_format", customer_.strCustDefaultFormat);
      if (!rs.field("chainid").is_null())
        customer_.strChainID = vb::Trim(vb::CStr(rs.field("chainid")));
      copy("custdiv", customer_.strCustDiv);
      copy("REQUESTOR_EMAIL", customer_.strRequestorEmail);
    }
    rs.close();
    if (opened_here) ChkEligWeb::CloseTripDBConnections(module_);
  });
}

std::string request::FieldBuilders::getdest(const std::string& dest) {
  std::string instructions;
  procedure({"getdest"}, [&] {
    destination_ = DestinationRecord{};
    const std::int32_t number = vb::Trim(dest).empty() ? 0 : vb::CLng(dest);
    if (number == 0) return;
    db::Recordset rs;
    rs.open("SELECT * FROM DESTINATION WHERE DESTINATION.DESTINATION = " + std::to_string(number),
            module_.trip_db());
    if (rs.eof()) return;
    if (!rs.field("DESTDESC").is_null()) destination_.strDestDesc = vb::CStr(rs.field("DESTDESC"));
    if (!rs.field("DESTSPEC").is_null()) instructions = vb::CStr(rs.field("DESTSPEC"));
    // Unknown miles are common in the desktop data; they read as 0 rather than failing.
    const vb::Variant& miles = rs.field("MILES");
    destination_.sngDestMiles = miles.is_null() ? 0.0f : vb::CSng(miles);
    destination_.strDestAdd1 = data::NullToStr(rs.field("DESTADD1"));
    destination_.strDestAdd2 = data::NullToStr(rs.field("DESTADD2"));
  });
  return instructions;
}

std::optional<std::string> request::FieldBuilders::getFundDesc(const std::string& fundnum,
                                                               const std::string& customer_code) {
  std::optional<std::string> result;
  procedure(
      {"getFundDesc"},
      [&] {
        const std::string fund = vb::Trim(fundnum);
        std::string sql;
        if (!text::same_text(application_text("DISTRICT.USECUSTFUND"), "True") ||
            text::same_text(session_text(keys::kCanOverrideFund), "True")) {
          sql = "SELECT * FROM FUND WHERE trim$(FUND.FUND) = " + db::quote_text(fund) +
                " AND Fund.Active = True";
        } else {
          sql =
              "SELECT FUND.* FROM FUND INNER JOIN CUSTOMER_FUND ON FUND.FUND = "
              "CUSTOMER_FUND.FUND WHERE (trim$(CUSTOMER_FUND.FUND) = " +
              db::quote_text(fund) +
              ") AND (CUSTOMER_FUND.CUSTOMER = " + db::quote_text(customer_code) +
              ") AND (Fund.Active = True)";
        }
        db::Recordset rs;
        rs.open(sql, module_.trip_db());
        if (!rs.eof()) {
          const vb::Variant& desc = rs.field("FUNDDESC");
          result = desc.is_null() ? "No Description" : vb::CStr(desc);
        }
      },
      [&] { ChkEligWeb::CloseTripDBConnections(module_); });
  return result;
}

std::string request::FieldBuilders::getCHAIN(const std::string& strCustNum,
                                             const std::string& strTripCat) {
  std::string chain;
  procedure({"getCHAIN"}, [&] {
    db::Recordset rs;
    rs.open("SELECT * FROM CUSTOMER_TRIPCAT WHERE CUSTOMER_TRIPCAT.CUSTOMER = " +
                db::quote_text(strCustNum) +
                " AND CUSTOMER_TRIPCAT.TRIPCAT = " + db::quote_text(strTripCat),
            module_.trip_db());
    // A row without a chain means no chain, as an empty one does.
    if (!rs.eof() && !rs.field("chainid").is_null()) chain = vb::CStr(rs.field("chainid"));
  });
  return chain;
}

std::string request::FieldBuilders::getTIME(const std::string& strTIME) {
  std::string shown;
  procedure({"getTIME"}, [&] {
    if (vb::Trim(strTIME).empty()) {
      shown = "&nbsp;";
    } else if (strTIME.size() < 6) {
      shown = strTIME + "&nbsp;";
    } else {
      shown = strTIME.substr(0, strTIME.size() - 6) + "&nbsp;" + strTIME.substr(strTIME.size() - 2);
    }
  });
  return shown;
}

std::string request::FieldBuilders::getDATE(vb::DateTime dtDATE) {
  std::string shown;
  procedure({"getDATE"}, [&] {
    const vb::DateParts parts = vb::split(dtDATE);
    const int yy = parts.year % 100;
    shown = std::to_string(parts.month) + "/" + std::to_string(parts.day) + "/" +
            (yy < 10 ? "0" : "") + std::to_string(yy);
  });
  return shown;
}
