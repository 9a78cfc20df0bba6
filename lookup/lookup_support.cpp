// The lookups' shared search, patterns and tags.
#include "lookup/lookup_support.h"

#include "config/ChkEligWeb.h"
#include "frame/keys.h"
#include "lookup/lookups.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"
#include "request/request_form.h"

namespace lookup {

std::string upper_prefix_pattern(std::string_view typed) {
  return db::quote_text(vb::UCase(vb::Trim(typed)) + "%");
}

std::string name_search_sql(std::string_view select, std::string_view column,
                            std::string_view typed) {
  std::string sql(select);
  if (!typed.empty()) {
    sql += " WHERE ucase$(";
    sql += column;
    sql += ") like " + upper_prefix_pattern(typed);
  }
  sql += " ORDER BY ";
  sql += column;
  return sql;
}

std::string prefix_pattern(std::string_view typed) {
  return db::quote_text(vb::Trim(typed) + "%");
}

std::string cell(const vb::Variant& value) {
  if (value.is_null() || value.is_empty()) return {};
  return web::html_escape(vb::CStr(value));
}

}  // namespace lookup

namespace lookup {

void Lookup::close_search(db::Recordset& rs) {
  if (rs.is_open()) rs.close();
  ChkEligWeb::CloseTripDBConnections(module_);
}

void Lookup::show_results(db::Recordset& rs, const std::string& sql, const std::string& table_head,
                          RowWriter row, const char* item) {
  if (!ChkEligWeb::PrepareDatabase(ctx_)) {
    close_search(rs);
    frame::exit_step();
  }
  rs.open(sql, module_.trip_db());
  if (rs.record_count() > kMaxRows) {
    module_.error = kTooManyRows;
    close_search(rs);
    frame::exit_step();
  }
  std::string html = table_head;
  for (; !rs.eof(); rs.move_next()) html += row(rs);
  results_ = html + kResultsEnd;
  close_search(rs);
  ctx_.write_template(item);
}

bool Lookup::common_tag(const std::string& tag_name, std::string& tag_contents) {
  if (ctx_.district_header_tag(tag_name, tag_contents)) return true;
  if (text::same_text(tag_name, "WC@TRIPREQ")) {
    tag_contents = web::html_escape(session_text(keys::kRequestNumber));
    return true;
  }
  if (text::same_text(tag_name, "WC@RESULTS")) {
    tag_contents = results_;
    return true;
  }
  return false;
}

void Lookup::return_to_form() {
  if (module_.ok())
    ctx_.get<request::RequestForm>().RequestDetail_UserEvent(session_text(keys::kRequestNumber));
}

}  // namespace lookup
