// Moving trip requests and trips in and out of the databases outside the form post: delete, the
// typed-in destination of a stored request, bill-rate amounts, text breaking for the reports, and
// the operations that add a bare request and turn a request into a trip.
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"

namespace {

// Characters, not bytes: a name with accents must not be cut inside a letter.
std::size_t utf8_length(const std::string& text) {
  std::size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

std::size_t utf8_offset(const std::string& text, std::size_t characters) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (seen == characters) return i;
      ++seen;
    }
  }
  return text.size();
}

// The connections as these operations prepare them; false when the preparation failed.
bool prepare_connections(Jaunter& page) {
  frame::ModuleState& module = page.module();
  if (module.paths.strAppPath.empty()) {
    module.paths.strAppPath = page.application_text("APP_PATH");
  }
  if (module.paths.strTripDataPath.empty()) ChkEligWeb::SetTripPaths(module);
  if (!module.ok()) return false;
  ChkEligWeb::SetTripDBConnections(module);
  return module.ok();
}

}  // namespace

void Jaunter::DeleteTripRequest(std::int32_t TripRequestNumber) {
  // A failed preparation has its report in the module error string already; deleting through a
  // closed connection would only hide it behind another one.
  if (!prepare_connections(*this)) return;
  module_.request_db().execute("DELETE FROM TRIPSREQ where TRIPNUM = " +
                               std::to_string(TripRequestNumber));
  ChkEligWeb::CloseTripDBConnections(module_);
}

void Jaunter::SetDestFromREQ(std::int32_t lngTRIPNUM) {
  procedure({"SetDestFromREQ"}, [&] {
    if (!prepare_connections(*this)) frame::exit_step();
    std::string values[10];  // in the order of the keys below
    {
      db::Recordset row;
      row.open("SELECT * FROM TRIPSREQ WHERE TRIPNUM = " + std::to_string(lngTRIPNUM),
               module_.request_db());
      if (!row.eof()) {
        auto text = [&](const char* column) {
          return vb::Trim(data::NullToStr(row.field(column)));
        };
        values[0] = vb::CStr(row.field("Destination"));
        values[1] = text("DESTDESC");
        values[2] = text("DESTCAT");
        values[3] = std::to_string(data::NullToZero(row.field("MILES")));
        values[4] = text("DESTADD1");
        values[5] = text("DESTADD2");
        values[6] = text("DESTCITY");
        values[7] = text("DESTZIP");
        values[8] = text("DESTSPEC");
        values[9] = text("DESTSTATE");
      }
    }
    ChkEligWeb::CloseTripDBConnections(module_);
    static const char* const keys[] = {"RequestDetail.destination", "RequestDetail.destdesc",
                                       "RequestDetail.destcat",     "RequestDetail.miles",
                                       "RequestDetail.destadd1",    "RequestDetail.destadd2",
                                       "RequestDetail.destcity",    "RequestDetail.destzip",
                                       "RequestDetail.destspec",    "RequestDetail.deststate"};
    for (int i = 0; i < 10; ++i) set_session(keys[i], values[i]);
  });
}

void Jaunter::getBILLRATEFlat(std::int16_t BILLRATE) {
  procedure({"getBILLRATEFlat"}, [&] {
    for (int k = 1; k <= 5; ++k) {
      bill_rate.sngBillAmount[k] = 0;
      bill_rate.strBillAmountTxt[k] = " ";
    }
    db::Recordset rate;
    rate.open("SELECT * FROM BILLRATE WHERE BILLRATE.BILLRATE = " + std::to_string(BILLRATE),
              module_.trip_db());
    if (rate.eof()) return;
    for (int k = 1; k <= 5; ++k) {
      const vb::Variant& amount = rate.field("AMOUNT" + std::to_string(k));
      if (!amount.is_null()) bill_rate.sngBillAmount[k] = vb::CSng(amount);
    }
    for (int k = 1; k <= 5; ++k) {
      const vb::Variant& text = rate.field("AMOUNTTXT" + std::to_string(k));
      if (!text.is_null()) bill_rate.strBillAmountTxt[k] = vb::CStr(text);
    }
  });
}

std::string Jaunter::BreakString(std::string& str, std::int16_t length) {
  if (utf8_length(str) <= static_cast<std::size_t>(std::max<std::int16_t>(length, 0))) return str;
  // Every caller passes 30; the break stays at the 30th character whatever the length.
  const std::size_t cut = utf8_offset(str, 30);
  const bool blank = cut > 0 && cut <= str.size() && str[cut - 1] == ' ';
  str = str.substr(0, cut) + (blank ? "<br>" : "-<br>") + str.substr(cut);
  return str;
}

std::int32_t Jaunter::CreateTrip(std::int32_t TripReqNum) {
  // The new row's number is known as soon as the row is written; no waiting is needed.
  // A failed preparation leaves its report in the module error string for the caller.
  if (!prepare_connections(*this)) return 0;
  db::Recordset request;
  request.open("Select * from TRIPSREQ WHERE TRIPNUM = " + std::to_string(TripReqNum),
               module_.request_db());
  db::Recordset trip;
  trip.open("Select TRIPS.* from Trips where trim$(TRIPS.CUSTOMER) = " +
                db::quote_text(vb::Trim(data::NullToStr(request.field("CUSTOMER")))),
            module_.trip_db(), db::CursorType::Dynamic, db::LockType::Optimistic);
  trip.add_new();
  for (const char* column : {"BillRate", "ReqDate", "Fund", "Customer", "BillCust", "Contact",
                             "DepDate", "RetDate", "Schedule", "Type", "Capacity"}) {
    trip.set_field(column, request.field(column));
  }
  const vb::Variant& destination = request.field("DESTINATION");
  trip.set_field("Destination", !destination.is_null() && vb::CLng(destination) > 0
                                    ? vb::Variant(vb::CLng(destination))
                                    : vb::Variant(std::int32_t{0}));
  if (!request.field("DepTime").is_null()) trip.set_field("Deptime", request.field("DepTime"));
  static const char* const when_present[] = {"RetTime",
                                             "ArriveTime",
                                             "LeaveTime",
                                             "EstMile",
                                             "EstTime",
                                             "NumStudents",
                                             "NumAdults",
                                             "NumHand",
                                             "Purpose",
                                             "DestSpec",
                                             "OutOfTown",
                                             "Schedule2",
                                             "Schedule3",
                                             "Schedule4",
                                             "Schedule5",
                                             "CALCNUMDRIVERS",
                                             "NUMTYPE",
                                             "AddlType",
                                             "NumAddl",
                                             "CustSpec",
                                             "DropRet",
                                             "AutoAssign",
                                             "PO",
                                             "INTTRIPNUM",
                                             "TRIPCAT",
                                             "AMOUNTTXT1",
                                             "AMOUNTTXT2",
                                             "AMOUNTTXT3",
                                             "AMOUNTTXT4",
                                             "AMOUNTTXT5",
                                             "AMOUNT1",
                                             "AMOUNT2",
                                             "AMOUNT3",
                                             "AMOUNT4",
                                             "AMOUNT5",
                                             "GRADE",
                                             "SPLIT",
                                             "INVOICE_FORMAT",
                                             "INVOICE_COMMENT#1",
                                             "MULTIDEST",
                                             "SHUTTLE",
                                             "TICKET_FORMAT",
                                             "NUMCHAR"};
  for (const char* column : when_present) {
    const vb::Variant& value = request.field(column);
    if (!value.is_null()) trip.set_field(column, value);
  }
  trip.set_field("Bill", true);
  trip.set_field("Assigned", false);
  trip.set_field("Billed", false);
  trip.set_field("Canceled", false);
  trip.set_field("NumVeh", std::int32_t{0});
  trip.set_field("TripCom", " ");
  trip.set_field("TRIPREQNUM", request.field("TRIPNUM"));
  trip.update();
  const std::int32_t number = vb::CLng(trip.field("TRIPNUM"));
  trip.close();
  request.close();
  return number;
}

void Jaunter::AddNewTRIPREQ() {
  procedure({"AddNewTRIPREQ"}, [&] {
    const bool calc_drivers = vb::CBool(ctx_.application("DEFAULT_CALCNUMDRIVER"));
    const std::string code = !customer.strCustomer.empty() ? customer.strCustomer
                                                           : session_text("RequestDetail.customer");
    const vb::DateTime now = ctx_.clock().now();
    db::Recordset row;
    row.open("Select * from TRIPSREQ", module_.request_db(), db::CursorType::Dynamic,
             db::LockType::Optimistic);
    row.add_new();
    row.set_field("REQDATE", now);
    row.set_field("depdate", now);
    row.set_field("CUSTSPEC", " ");
    row.set_field("CUSTOMER", code);
    row.set_field("BILLCUST", code);
    row.set_field("BILLRATE", customer.intCustBillRate);
    if (!vb::Trim(customer.strCustSpec).empty()) row.set_field("CUSTSPEC", customer.strCustSpec);
    if (!vb::Trim(customer.strDefaultCap).empty())
      row.set_field("CAPACITY", customer.strDefaultCap);
    if (!vb::Trim(customer.strCustDefaultFormat).empty()) {
      row.set_field("INVOICE_FORMAT", customer.strCustDefaultFormat);
    }
    row.set_field("CALCNUMDRIVERS", calc_drivers);
    if (!vb::Trim(customer.strChainID).empty()) {
      row.set_field("chainid", customer.strChainID);
      row.set_field("Status", "UNAPPROVED");
    } else {
      row.set_field("Status", "Pending");
    }
    row.set_field("STATUS_DATE", now);
    row.set_field("ENTEREDBY", session_text("USER"));
    row.set_field("enterdate", now);
    row.update();
    set_session("TRIPREQ", vb::CStr(row.field("TRIPNUM")));
  });
}
