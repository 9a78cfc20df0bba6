// What the paged reports share: the page number and page size, the Respond and paging handlers,
// the report tags with their navigation entries, positioning on a page, and the cell rules of the
// rows (times, check boxes, blanks).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "frame/Jaunter.h"
#include "platform/db/db.h"
#include "platform/vb/variant.h"

namespace reports::listing {

// A report's page builder with its query already bound: builds the page and may lower the number.
using PageBuilder = std::function<void(std::int16_t& page_number, std::int16_t page_size)>;

// The application's PageSize; a store that start-up has not filled yet reads as 20, the value
// start-up writes, so that no report divides by zero.
std::int16_t page_size(Jaunter& page);

// The session's PageNumber as a 16-bit whole number (halves to the even one); saturates at the
// ends of the range instead of overflowing.
std::int16_t session_page_number(Jaunter& page);

// The item requested without event: the session check, page 1 when none is stored, build, keep the
// page number as the builder left it, write the item's template.
void respond(Jaunter& page, const char* item, const PageBuilder& build);

// The paging event: the session check, then First, Previous, Next or Last moves the session's page
// number, then as respond.
void move_page(Jaunter& page, const char* item, const PageBuilder& build);

// The tags every paged report answers (WC@DISTRICTNAME, WC@NAVIGATIONBUTTONS, WC@NOW,
// WC@PAGENUMBER, WC@RESULTS); false for any other tag.
bool report_tag(Jaunter& page, const std::string& tag_name, std::string& tag_contents);

// First, Previous, Next and Last as buttons or plain texts; stores the row count in RecordCount.
std::string navigation_buttons(Jaunter& page);

// Counts the rows of rs into count and moves to the first row of the page; a page past the end
// becomes the last page and a page before the first becomes page 1.
void seek_page(db::Recordset& rs, std::int16_t& page_number, std::int16_t page_size,
               std::int16_t& count);

// Row colours: white for the first row of a page, then silver.
const char* row_colour(int row_index);

// A column's text, Null as one blank, escaped.
std::string cell_text(const vb::Variant& value);
// The same, or "&nbsp;" when the trimmed text is empty.
std::string text_or_nbsp(const vb::Variant& value);
// A time as "9:05&nbsp;AM" (the text without its seconds), "&nbsp;" when blank.
std::string time_text(const vb::Variant& value);
// A yes/no column as a disabled check box.
std::string checkbox(const vb::Variant& value);

}  // namespace reports::listing
