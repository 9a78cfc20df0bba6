// Requests in and out of the request database outside the form post.
#include "request/persistence.h"

#include <optional>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "request/history_notes.h"

void request::Persistence::DeleteTripRequest(std::int32_t TripRequestNumber) {
  // A failed preparation has its report in the module error string already; deleting through a
  // closed connection would only hide it behind another one.
  if (!ChkEligWeb::PrepareDatabase(ctx_)) return;
  std::optional<std::string> status;  // none when there is no such request
  {
    db::Recordset row;
    row.open(
        "SELECT TRIPSREQ.STATUS FROM TRIPSREQ WHERE TRIPNUM = " + std::to_string(TripRequestNumber),
        module_.request_db());
    if (!row.eof()) status = vb::Trim(data::NullToStr(row.field("STATUS")));
  }
  module_.request_db().execute("DELETE FROM TRIPSREQ where TRIPNUM = " +
                               std::to_string(TripRequestNumber));
  if (status) {
    approval::HistoryEntry entry;
    entry.request = TripRequestNumber;
    entry.action = approval::HistoryAction::Deleted;
    entry.old_status = *status;
    note_change(ctx_, entry);
  }
  ChkEligWeb::CloseTripDBConnections(module_);
}

void request::Persistence::SetDestFromREQ(std::int32_t lngTRIPNUM) {
  procedure({"SetDestFromREQ"}, [&] {
    if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
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
    static const keys::Key keys[] = {keys::form::kDestination,
                                     keys::form::kDestinationName,
                                     keys::form::kDestinationCategory,
                                     keys::form::kDestinationMiles,
                                     keys::form::kDestinationAddress1,
                                     keys::form::kDestinationAddress2,
                                     keys::form::kDestinationCity,
                                     keys::form::kDestinationZip,
                                     keys::form::kDestinationInstructions,
                                     keys::form::kDestinationState};
    for (int i = 0; i < 10; ++i) set_session(keys[i], values[i]);
  });
}

void request::Persistence::getBILLRATEFlat(std::int16_t BILLRATE) {
  procedure({"getBILLRATEFlat"}, [&] {
    for (int k = 1; k <= 5; ++k) {
      bill_rate_.sngBillAmount[k] = 0;
      bill_rate_.strBillAmountTxt[k] = " ";
    }
    db::Recordset rate;
    rate.open("SELECT * FROM BILLRATE WHERE BILLRATE.BILLRATE = " + std::to_string(BILLRATE),
              module_.trip_db());
    if (rate.eof()) return;
    for (int k = 1; k <= 5; ++k) {
      const vb::Variant& amount = rate.field("AMOUNT" + std::to_string(k));
      if (!amount.is_null()) bill_rate_.sngBillAmount[k] = vb::CSng(amount);
    }
    for (int k = 1; k <= 5; ++k) {
      const vb::Variant& text = rate.field("AMOUNTTXT" + std::to_string(k));
      if (!text.is_null()) bill_rate_.strBillAmountTxt[k] = vb::CStr(text);
    }
  });
}

std::string request::BreakString(std::string& str, std::int16_t length) {
  if (text::utf8_length(str) <= static_cast<std::size_t>(std::max<std::int16_t>(length, 0)))
    return str;
  // Every caller passes 30; the break stays at the 30th character whatever the length.
  const std::size_t cut = text::utf8_offset(str, 30);
  const bool blank = cut > 0 && cut <= str.size() && str[cut - 1] == ' ';
  str = str.substr(0, cut) + (blank ? "<br>" : "-<br>") + str.substr(cut);
  return str;
}
