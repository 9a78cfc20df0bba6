// The list loaders: code tables of the trip database read into the page object's lookup lists_.
#include <algorithm>
#include <limits>

#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"

namespace {

// A column as the runtime's "&" reads it: Null is the empty text.
std::string joined_text(const db::Recordset& rs, const char* column) {
  const vb::Variant& value = rs.field(column);
  return value.is_null() ? std::string() : vb::CStr(value);
}

std::string code_and_description(const db::Recordset& rs, const char* code,
                                 const char* description) {
  return joined_text(rs, code) + ", " + joined_text(rs, description);
}

// Counts are 16-bit: a larger table overflows, as the runtime's Integer would.
std::int16_t list_count(long record_count) {
  return vb::CInt(std::int32_t(record_count));
}

// Sizes the list to 0 .. RecordCount, element 0 empty, one item per record from index 1.
template <class Item>
void fill_list(request::LookupList& list, db::Recordset& rs, Item item) {
  const std::int16_t count = list_count(rs.record_count());
  request::LookupList filled;
  filled.items.assign(static_cast<std::size_t>(count) + 1, std::string());
  for (std::size_t i = 1; !rs.eof(); ++i) {
    filled.items[i] = item(rs);
    rs.move_next();
  }
  filled.count = count;
  filled.filled = true;
  list = std::move(filled);
}

}  // namespace

void request::FieldBuilders::PopulateDD() {
  procedure({"PopulateDD"}, [&] {
    PopulateGradeDD();
    PopulateCustDD();
    PopulateDestDD();
    PopulateCatDD();
    db::Recordset statuses;
    statuses.open(
        "Select TRIPREQSTATUS.* from TRIPREQSTATUS where TRIPREQSTATUS.Active = True ORDER BY "
        "TRIPREQSTATUS.DESCRIPTION",
        module_.trip_db());
    fill_list(lists_.statuses, statuses,
              [](db::Recordset& rs) { return vb::CStr(rs.field("STATUS")); });
    statuses.close();
    db::Recordset divisions;
    divisions.open(
        "SELECT Division.Division, Division.DESCRIPTION From Division WHERE (Division.ACTIVE=True) "
        "ORDER BY DIVISION.DESCRIPTION;",
        module_.trip_db());
    fill_list(lists_.divisions, divisions, [](db::Recordset& rs) {
      return code_and_description(rs, "Division", "DESCRIPTION");
    });
  });
}

void request::FieldBuilders::PopulateGradeDD() {
  procedure({"PopulateGradeDD"}, [&] {
    db::Recordset rs;
    rs.open("Select GRADE.* from GRADE where GRADE.Active = True", module_.trip_db());
    fill_list(lists_.grades, rs, [](db::Recordset& r) { return vb::CStr(r.field("GRADE")); });
  });
}

void request::FieldBuilders::PopulateCustDD() {
  procedure({"PopulateCustDD"}, [&] {
    const std::string session_customer = vb::Trim(session_text(keys::kCustomer));
    db::Recordset rs;
    auto item = [](db::Recordset& r) { return code_and_description(r, "CUSTOMER", "CUSTNAME"); };
    if (session_customer.empty()) {
      rs.open(
          "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID From CUSTOMER WHERE "
          "(CUSTOMER.ACTIVE=True) order by CUSTOMER.custname;",
          module_.trip_db());
      fill_list(lists_.customers, rs, item);
      return;
    }
    rs.open(
        "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, CUSTOMER.CHAINID From CUSTOMER WHERE "
        "trim$(ucase$(CUSTOMER.CUSTOMER))=" +
            db::quote_text(vb::UCase(session_customer)) + ";",
        module_.trip_db());
    // The user's one customer: read without testing for the end, so that a customer that no
    // longer exists is reported.
    request::LookupList one;
    one.items = {std::string(), item(rs)};
    one.count = list_count(rs.record_count());
    one.filled = true;
    lists_.customers = std::move(one);
  });
}

void request::FieldBuilders::PopulateDestDD() {
  procedure({"PopulateDestDD"}, [&] {
    db::Recordset rs;
    rs.open(
        "SELECT DESTINATION.DESTINATION, DESTINATION.DESTDESC, DESTINATION.DESTADD1 From "
        "Destination WHERE (DESTINATION.ACTIVE=True) order by DESTINATION.DESTDESC;",
        module_.trip_db());
    fill_list(lists_.destinations, rs,
              [](db::Recordset& r) { return code_and_description(r, "DESTINATION", "DESTDESC"); });
  });
}

void request::FieldBuilders::PopulateCatDD() {
  procedure({"PopulateCatDD"}, [&] {
    db::Recordset rs;
    rs.open(
        "Select TRIPCAT.* from TRIPCAT where TRIPCAT.Active = True order by TRIPCAT.DESCRIPTION",
        module_.trip_db());
    fill_list(lists_.tripcats, rs, [](db::Recordset& r) { return vb::CStr(r.field("TRIPCAT")); });
  });
}

void request::FieldBuilders::PopulateDESTCATDD() {
  procedure({"PopulateDESTCATDD"}, [&] {
    db::Recordset rs;
    rs.open("Select DESTCAT.* from DESTCAT where DESTCAT.Active = True", module_.trip_db());
    fill_list(lists_.destcats, rs, [](db::Recordset& r) { return vb::CStr(r.field("DESTCAT")); });
  });
}

void request::FieldBuilders::PopulateFundDD(const std::string& CustomerFilter) {
  procedure({"PopulateFundDD"}, [&] {
    if (!ChkEligWeb::PrepareDatabase(ctx_)) frame::exit_step();
    db::Recordset rs;
    if (!CustomerFilter.empty()) {
      rs.open(
          "SELECT CUSTOMER_FUND.FUND, FUND.FUNDDESC FROM FUND INNER JOIN CUSTOMER_FUND ON "
          "FUND.FUND = CUSTOMER_FUND.FUND WHERE (Fund.Active = True) AND (CUSTOMER_FUND.CUSTOMER "
          "= " +
              db::quote_text(CustomerFilter) + ") ORDER BY CUSTOMER_FUND.Fund",
          module_.trip_db());
    } else {
      rs.open("Select Fund.* from Fund where Fund.Active = True ORDER BY FUND.FUND",
              module_.trip_db());
    }
    const std::int16_t count = list_count(rs.record_count());
    vb::StringTable funds;
    funds.rows.assign(static_cast<std::size_t>(count) + 1, {std::string(), std::string()});
    for (std::size_t i = 1; !rs.eof(); ++i) {
      funds.rows[i][0] = vb::CStr(rs.field("FUND"));
      funds.rows[i][1] = vb::Trim(data::NullToStr(rs.field("FUNDDESC")));
      rs.move_next();
    }
    lists_.funds = std::move(funds);
    lists_.numFunds = count;
    lists_.funds_filled = true;
    rs.close();
    ChkEligWeb::CloseTripDBConnections(module_);
  });
}

namespace request {

std::span<const std::string> session_items(const frame::RequestContext& context,
                                           std::string_view list_key, std::string_view count_key) {
  const auto* items = context.session(list_key).get_if<vb::StringArray>();
  if (!items) return {};
  const auto count = static_cast<std::size_t>(session_count(context, count_key));
  return std::span<const std::string>(*items).first(std::min(count + 1, items->size()));
}

vb::StringArray session_list(const frame::RequestContext& context, std::string_view list_key,
                             std::string_view count_key) {
  const std::span<const std::string> items = session_items(context, list_key, count_key);
  return vb::StringArray(items.begin(), items.end());
}

int session_count(const frame::RequestContext& context, std::string_view count_key) {
  const vb::Variant value = context.session(count_key);
  if (value.is_number()) return std::max(0, static_cast<int>(vb::CInt(value)));
  if (value.is_string()) {
    const auto number = vb::parse_number(value.get<std::string>());
    if (number && *number >= 0 && *number <= std::numeric_limits<std::int16_t>::max()) {
      return static_cast<int>(*number);
    }
  }
  return 0;
}

}  // namespace request
