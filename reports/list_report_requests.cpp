// The printable trip request lists, one line and two lines per request: their handlers and page
// builders over the query that the request search left in the session.
#include "config/ChkEligWeb.h"
#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "reports/list_report_common.h"

namespace {

using namespace reports::listing;
using web::html_escape;

constexpr const char* kQueryKey = "TripRequestReportQuery";
constexpr const char* kMissingQuery = "Trip Request Report Query must be supplied.";

// Customer name and division of the requests, read from one ordered snapshot of CUSTOMER that
// stays on the last customer found (consecutive requests often share a customer).
class CustomerNames {
 public:
  CustomerNames(Jaunter& page, const char* sql) { rs_.open(sql, page.module().trip_db()); }

  struct Names {
    std::string name;
    std::string division;
  };

  Names lookup(const vb::Variant& customer_value) {
    const std::string customer = vb::Trim(data::NullToStr(customer_value));
    if (customer.empty()) return {"NOT FOUND", " "};
    // An empty customer table has no row to stand on.
    if (rs_.record_count() == 0) return {"NOT FOUND", " "};
    if (rs_.eof() || !text::same_text(vb::Trim(data::NullToStr(rs_.field("CUSTOMER"))), customer)) {
      rs_.move_first();
      // Quoted, so that a code with an apostrophe is found rather than failing the report.
      rs_.find("CUSTOMER = " + db::quote_text(customer));
      if (rs_.eof()) {
        rs_.move_first();
        return {"NOT FOUND", " "};
      }
    }
    return {data::NullToStr(rs_.field("custname")), data::NullToStr(rs_.field("custdiv"))};
  }

  void close() { rs_.close(); }

 private:
  db::Recordset rs_;
};

std::string before_comma(const std::string& item) {
  const std::size_t comma = item.find(',');
  return comma == std::string::npos ? std::string() : item.substr(0, comma);
}

// The destination's name: the typed-in name of destination 0, else the session list's entry.
std::string destination_text(Jaunter& page, const db::Recordset& rs) {
  const std::string number = vb::Trim(data::NullToStr(rs.field("Destination")));
  if (vb::IsNumeric(vb::Variant(number)) && vb::CDbl(vb::Variant(number)) == 0) {
    return data::NullToStr(rs.field("trdestdesc"));
  }
  const vb::Variant list = page.context().session("Destinations");
  if (const auto* items = list.get_if<vb::StringArray>()) {
    const int count = page.session_count("numDestinations");
    for (int i = 0; i <= count && i < static_cast<int>(items->size()); ++i) {
      const std::string& item = (*items)[static_cast<std::size_t>(i)];
      const std::size_t comma = item.find(',');
      if (comma != std::string::npos && text::same_text(before_comma(item), number)) {
        return item.substr(comma + 1);
      }
    }
  }
  return "NOT FOUND";
}

// Where BreakString breaks: after the 30th character (UTF-8 aware).
std::size_t break_offset(const std::string& text) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == 30) return i;
  }
  return text.size();
}

// The text broken by BreakString, escaped around the one break it inserted, so that a typed-in
// name can never bring markup of its own.
std::string broken_html(Jaunter& page, const std::string& text) {
  std::string broken = text;
  page.BreakString(broken, 30);
  if (broken == text) return html_escape(text);
  const std::size_t head = break_offset(text);
  if (broken.size() > text.size() && broken.compare(0, head, text, 0, head) == 0) {
    const std::string inserted = broken.substr(head, broken.size() - text.size());
    if ((inserted == "<br>" || inserted == "-<br>") &&
        broken.compare(head + inserted.size(), std::string::npos, text, head) == 0) {
      return html_escape(text.substr(0, head)) + inserted + html_escape(text.substr(head));
    }
  }
  return html_escape(text);
}

std::string request_link(Jaunter& page, const db::Recordset& rs) {
  const std::string number = vb::Trim(data::NullToStr(rs.field("TRIPNUM")));
  return "<a href=\"" + page.context().url_for("RequestDetail", number) + "\">" +
         html_escape(data::NullToStr(rs.field("TRIPNUM")));
}

// A count as a whole number, 0 when empty.
std::string whole_number(const vb::Variant& value) {
  const std::string text = vb::Trim(data::NullToStr(value));
  if (text.empty() || !vb::IsNumeric(vb::Variant(text))) return "0";
  return std::to_string(vb::CLng(vb::Variant(text)));
}

std::string one_line_row(Jaunter& page, const db::Recordset& rs, CustomerNames& customers,
                         const char* colour) {
  auto cell = [](const std::string& value, const char* open = "<td><font size='-3'>") {
    return open + value + "</font></td>";
  };
  const std::string destination = destination_text(page, rs);
  std::string html = "<tr bgcolor='" + std::string(colour) + "'>";
  html += cell(request_link(page, rs) + "</a>");
  html += cell(cell_text(rs.field("depdate")));
  html += cell(html_escape(customers.lookup(rs.field("CUSTOMER")).name));
  html += cell(vb::Trim(destination).empty() ? "&nbsp;" : broken_html(page, destination),
               "<td nowrap><font size='-3'>");
  html += cell(cell_text(rs.field("retdate")));
  html += cell(time_text(rs.field("deptime")));
  html += cell(time_text(rs.field("rettime")));
  html += cell(cell_text(rs.field("Status")));
  return html + "</tr>";
}

std::string two_line_row(Jaunter& page, const db::Recordset& rs, CustomerNames& customers,
                         const char* colour) {
  auto cell = [](const std::string& value, const char* open = "<td>") {
    return open + value + "</td>";
  };
  const CustomerNames::Names names = customers.lookup(rs.field("CUSTOMER"));
  std::string html = "<tr bgcolor='" + std::string(colour) + "'>";
  html += cell(request_link(page, rs) + "</a>");
  html += cell(html_escape(names.name));
  html += cell(broken_html(page, destination_text(page, rs)), "<td colspan='2'>");
  html += cell(cell_text(rs.field("depdate")) + ", " + time_text(rs.field("deptime")));
  html += cell(cell_text(rs.field("retdate")) + ", " + time_text(rs.field("rettime")));
  html += cell(cell_text(rs.field("Status")));
  html += cell(cell_text(rs.field("enterdate")));
  html += cell(cell_text(rs.field("TRIPCAT")));
  html += cell(cell_text(rs.field("INTTRIPNUM")));
  html += "</tr><tr bgcolor='" + std::string(colour) + "'>";
  html += cell(cell_text(rs.field("CONTACT")), "<td colspan='2'>");
  html += cell(whole_number(rs.field("NUMSTUDENTS")) + "/" + whole_number(rs.field("NUMADULTS")));
  html += cell(cell_text(rs.field("GRADE")));
  html += cell(time_text(rs.field("arrivetime")));
  html += cell(time_text(rs.field("leavetime")));
  html += cell(html_escape(names.division));
  html += cell(cell_text(rs.field("fieldtrip_num")));
  html += cell(cell_text(rs.field("chainid")));
  html += cell(cell_text(rs.field("PURPOSE")));
  return html + "</tr>";
}

void build_request_report(Jaunter& page, const std::string& SQLQuery, std::int16_t& PageNumber,
                          std::int16_t PageSize, bool two_lines) {
  web::Response& response = page.context().response();
  if (SQLQuery.empty()) {
    response.Write(kMissingQuery);
    return;
  }
  if (!page.prepare_database()) {
    // No exit step of their own: show the connection report rather than lose it.
    frame::write_exit(page.module(), &response);
    return;
  }
  CustomerNames customers(page, two_lines ? "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, "
                                            "CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From CUSTOMER "
                                            "ORDER BY CUSTOMER.CUSTOMER;"
                                          : "SELECT CUSTOMER.CUSTOMER, CUSTOMER.CUSTNAME, "
                                            "CUSTOMER.CHAINID, CUSTOMER.CUSTDIV From CUSTOMER "
                                            "order by CUSTOMER.CUSTOMER;");
  db::Recordset rs;
  rs.open(SQLQuery, page.module().request_db());
  seek_page(rs, PageNumber, PageSize, page.search.intSearchCount);
  std::string& results = page.search.strSearchResults;
  results.clear();
  for (int row = 0; row < PageSize && !rs.eof(); ++row, rs.move_next()) {
    const char* colour = row_colour(row);
    if (two_lines) {
      results += two_line_row(page, rs, customers, colour);
      if (row + 1 < PageSize) results += "<tr><td colspan='10'></td></tr>";
    } else {
      results += one_line_row(page, rs, customers, colour);
    }
  }
  rs.close();
  customers.close();
  ChkEligWeb::CloseTripDBConnections(page.module());
}

}  // namespace

void Jaunter::BuildTripRequestReport1Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                             std::int16_t PageSize) {
  build_request_report(*this, SQLQuery, PageNumber, PageSize, false);
}

void Jaunter::BuildTripRequestReport2Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                             std::int16_t PageSize) {
  build_request_report(*this, SQLQuery, PageNumber, PageSize, true);
}

void Jaunter::TripRequestReport1_Respond() {
  reports::listing::respond(
      *this, "TripRequestReport1", [this](std::int16_t& page_number, std::int16_t size) {
        BuildTripRequestReport1Results(session_text(kQueryKey), page_number, size);
      });
}

void Jaunter::TripRequestReport1_TripRequestReport1() {
  move_page(*this, "TripRequestReport1", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripRequestReport1Results(session_text(kQueryKey), page_number, size);
  });
}

void Jaunter::TripRequestReport1_ProcessTag(const std::string& TagName, std::string& TagContents,
                                            bool&) {
  report_tag(*this, TagName, TagContents);
}

void Jaunter::TripRequestReport2_Respond() {
  reports::listing::respond(
      *this, "TripRequestReport2", [this](std::int16_t& page_number, std::int16_t size) {
        BuildTripRequestReport2Results(session_text(kQueryKey), page_number, size);
      });
}

void Jaunter::TripRequestReport2_TripRequestReport2() {
  move_page(*this, "TripRequestReport2", [this](std::int16_t& page_number, std::int16_t size) {
    BuildTripRequestReport2Results(session_text(kQueryKey), page_number, size);
  });
}

void Jaunter::TripRequestReport2_ProcessTag(const std::string& TagName, std::string& TagContents,
                                            bool&) {
  report_tag(*this, TagName, TagContents);
}
