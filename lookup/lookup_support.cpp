// The lookups' shared search, patterns and tags.
#include "lookup/lookup_support.h"

#include "config/ChkEligWeb.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"

namespace lookup {

std::string upper_prefix_pattern(std::string_view typed) {
  return db::quote_text(vb::UCase(vb::Trim(typed)) + "%");
}

std::string prefix_pattern(std::string_view typed) {
  return db::quote_text(vb::Trim(typed) + "%");
}

std::string cell(const vb::Variant& value) {
  if (value.is_null() || value.is_empty()) return {};
  return web::html_escape(vb::CStr(value));
}

std::size_t character_count(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

void close_search(Jaunter& page, db::Recordset& rs) {
  if (rs.is_open()) rs.close();
  ChkEligWeb::CloseTripDBConnections(page.module());
}

void show_results(Jaunter& page, db::Recordset& rs, const std::string& sql,
                  const std::string& table_head, const RowWriter& row, std::string_view item) {
  if (!page.prepare_database()) {
    close_search(page, rs);
    frame::exit_step();
  }
  rs.open(sql, page.module().trip_db());
  if (rs.record_count() > kMaxRows) {
    page.module().error = kTooManyRows;
    close_search(page, rs);
    frame::exit_step();
  }
  std::string html = table_head;
  for (; !rs.eof(); rs.move_next()) html += row(rs);
  page.search.strSearchResults = html + kResultsEnd;
  close_search(page, rs);
  page.context().write_template(item);
}

bool common_tag(Jaunter& page, const std::string& tag_name, std::string& tag_contents) {
  if (page.district_header_tag(tag_name, tag_contents)) return true;
  if (text::same_text(tag_name, "WC@TRIPREQ")) {
    tag_contents = web::html_escape(page.session_text("TRIPREQ"));
    return true;
  }
  if (text::same_text(tag_name, "WC@RESULTS")) {
    // Built from escaped values by the handlers.
    tag_contents = page.search.strSearchResults;
    return true;
  }
  return false;
}

}  // namespace lookup
