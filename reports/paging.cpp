// The paging, navigation and cell rules shared by the list reports and the summary report.
//
// Design note: the page number lives in the session, so a report window keeps paging while the
// user searches elsewhere. "Last" stores RecordCount / PageSize + 1 as a fraction for a moment;
// reading it back as a 16-bit number rounds it, and the builder's lowering turns whatever that
// gives past the end into the last page. Products of page number and page size are computed in
// 32 bits so that no page number can overflow them.
#include "reports/paging.h"

#include <cmath>
#include <limits>

#include "frame/keys.h"
#include "platform/vb/conversions.h"

namespace reports {

namespace {

constexpr std::int16_t kStandardPageSize = 20;

std::int16_t saturate(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = vb::round_half_even(value);
  if (rounded > std::numeric_limits<std::int16_t>::max())
    return std::numeric_limits<std::int16_t>::max();
  if (rounded < std::numeric_limits<std::int16_t>::min())
    return std::numeric_limits<std::int16_t>::min();
  return static_cast<std::int16_t>(rounded);
}

// A stored number as a double; what is no number reads as 0.
double number_of(const vb::Variant& value) {
  if (value.is_empty() || value.is_null()) return 0;
  if (value.is_number() || value.is_bool()) return vb::CDbl(value);
  if (!vb::IsNumeric(value)) return 0;
  return vb::CDbl(value);
}

void store_page_number(frame::RequestContext& page, std::int16_t page_number) {
  page.set_session(keys::kPageNumber, page_number);
}

void build_and_write(frame::RequestContext& page, const char* item, const PageBuilder& build) {
  std::int16_t page_number = session_page_number(page);
  build(page_number, page_size(page));
  // Every report keeps the page it shows, so the page number and the rows always agree.
  store_page_number(page, page_number);
  page.write_template(item);
}

}  // namespace

std::int16_t page_size(frame::RequestContext& page) {
  const std::int16_t size = saturate(number_of(page.application("PageSize")));
  return size >= 1 ? size : kStandardPageSize;
}

std::int16_t session_page_number(frame::RequestContext& page) {
  return saturate(number_of(page.session(keys::kPageNumber)));
}

void respond(frame::RequestContext& page, const char* item, const PageBuilder& build) {
  // Reports show the district's trips: only to a signed-in user.
  if (!page.session_check()) return;
  if (page.session_text(keys::kPageNumber).empty()) store_page_number(page, 1);
  build_and_write(page, item, build);
}

void move_page(frame::RequestContext& page, const char* item, const PageBuilder& build) {
  if (!page.session_check()) return;
  const std::string button = page.request().Form("btnSubmit");
  const std::int32_t current = session_page_number(page);
  if (text::same_text(button, "First")) {
    store_page_number(page, 1);
  } else if (text::same_text(button, "Previous")) {
    store_page_number(page, saturate(current - 1.0));
  } else if (text::same_text(button, "Next")) {
    store_page_number(page, saturate(current + 1.0));
  } else if (text::same_text(button, "Last")) {
    const double last = number_of(page.session(keys::kRecordCount)) / page_size(page) + 1;
    page.set_session(keys::kPageNumber, last);
  }
  build_and_write(page, item, build);
}

bool report_tag(frame::RequestContext& page, const SearchState& search, const std::string& tag_name,
                std::string& tag_contents) {
  if (text::same_text(tag_name, "WC@DISTRICTNAME")) {
    tag_contents = web::html_escape(page.application_text("DISTNAME"));
  } else if (text::same_text(tag_name, "WC@NAVIGATIONBUTTONS")) {
    tag_contents = navigation_buttons(page, search);
  } else if (text::same_text(tag_name, "WC@NOW")) {
    tag_contents = vb::date_text(page.clock().now());
  } else if (text::same_text(tag_name, "WC@PAGENUMBER")) {
    tag_contents = std::to_string(session_page_number(page));
  } else if (text::same_text(tag_name, "WC@PAGEOF")) {
    tag_contents = page_of(page, search);
  } else if (text::same_text(tag_name, "WC@RESULTS")) {
    tag_contents = search.strSearchResults;
  } else {
    return false;
  }
  return true;
}

std::int32_t page_count(std::int32_t rows, std::int16_t page_size) {
  // The builder keeps page p while rows > size * (p - 1): the last page holds the last row.
  if (rows <= 0 || page_size < 1) return 1;
  return (rows + page_size - 1) / page_size;
}

std::string page_of(frame::RequestContext& page, const SearchState& search) {
  return "Page " + std::to_string(session_page_number(page)) + " of " +
         std::to_string(page_count(search.intSearchCount, page_size(page)));
}

std::string navigation_buttons(frame::RequestContext& page, const SearchState& search) {
  const std::int16_t count = search.intSearchCount;
  page.set_session(keys::kRecordCount, count);
  const std::int32_t page_number = session_page_number(page);
  const std::int32_t size = page_size(page);
  std::string html;
  if (page_number < 2) {
    html += "&nbsp;First&nbsp;";
    html += "&nbsp;Previous&nbsp;";
  } else {
    html += "<input type='submit' class='submitLink' value='First' name='btnSubmit' id='btnFirst'>";
    html +=
        "<input type='submit' class='submitLink' value='Previous' name='btnSubmit' "
        "id='btnPrevious'>";
  }
  if (count > size * page_number) {
    html += "<input type='submit' class='submitLink' value='Next' name='btnSubmit' id='btnNext'>";
    html += "<input type='submit' class='submitLink' value='Last' name='btnSubmit' id='btnLast'>";
  } else {
    html += "&nbsp;Next&nbsp;";
    html += "&nbsp;Last&nbsp;";
  }
  return html;
}

void seek_page(db::Recordset& rs, std::int16_t& page_number, std::int16_t page_size,
               std::int16_t& count) {
  // A page before the first (Previous in a stale window) shows the first page as page 1.
  if (page_number < 1) page_number = 1;
  if (rs.eof()) {
    count = 0;
    return;
  }
  count = vb::CInt(vb::Variant(static_cast<std::int32_t>(rs.record_count())));
  while (page_number > 1) {
    const std::int32_t skipped = std::int32_t{page_size} * page_number - page_size;
    if (count > skipped) {
      rs.move(skipped);
      return;
    }
    --page_number;
  }
}

void open_page(db::Recordset& rs, db::Connection& connection, const std::string& sql,
               std::int16_t& page_number, std::int16_t page_size, std::int16_t& count) {
  if (page_number < 1) page_number = 1;
  const long rows = connection.count_rows(sql);
  std::int32_t skipped = 0;
  if (rows == 0) {
    count = 0;
  } else {
    // Raises the overflow a snapshot of more than 32767 rows always raised here.
    count = vb::CInt(vb::Variant(static_cast<std::int32_t>(rows)));
    for (; page_number > 1; --page_number) {
      skipped = std::int32_t{page_size} * page_number - page_size;
      if (count > skipped) break;
      skipped = 0;
    }
  }
  rs.open_rows(sql, connection, skipped, page_size);
}

const char* row_colour(int row_index) {
  return row_index % 2 == 0 ? "#FFFFFF" : "#C0C0C0";
}

}  // namespace reports
