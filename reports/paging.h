// What the paged reports share: the page number and page size, the Respond and paging handlers,
// the report tags with their navigation entries, and positioning on a page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "frame/context.h"
#include "platform/db/db.h"
#include "reports/search_state.h"

namespace reports {

// A report's page builder with its query already bound: builds the page and may lower the number.
using PageBuilder = std::function<void(std::int16_t& page_number, std::int16_t page_size)>;

// The application's PageSize; a store that start-up has not filled yet reads as 20, the value
// start-up writes, so that no report divides by zero.
std::int16_t page_size(frame::RequestContext& context);

// The session's PageNumber as a 16-bit whole number (halves to the even one); saturates at the
// ends of the range instead of overflowing.
std::int16_t session_page_number(frame::RequestContext& context);

// The item requested without event: the session check, page 1 when none is stored, build, keep the
// page number as the builder left it, write the item's template.
void respond(frame::RequestContext& context, const char* item, const PageBuilder& build);

// The paging event: the session check, then First, Previous, Next or Last moves the session's page
// number, then as respond.
void move_page(frame::RequestContext& context, const char* item, const PageBuilder& build);

// The tags every paged report answers (WC@DISTRICTNAME, WC@NAVIGATIONBUTTONS, WC@NOW,
// WC@PAGENUMBER, WC@PAGEOF, WC@RESULTS); false for any other tag.
bool report_tag(frame::RequestContext& context, const SearchState& search,
                const std::string& tag_name, std::string& tag_contents);

// How many pages `rows` rows fill, `page_size` to a page; an empty report is one empty page.
std::int32_t page_count(std::int32_t rows, std::int16_t page_size);

// "Page x of y" for the page the report shows, beside its navigation (WC@PAGEOF).
std::string page_of(frame::RequestContext& context, const SearchState& search);

// First, Previous, Next and Last as buttons or plain texts; stores the row count in RecordCount.
std::string navigation_buttons(frame::RequestContext& context, const SearchState& search);

// Counts the rows of rs into count and moves to the first row of the page; a page past the end
// becomes the last page and a page before the first becomes page 1.
void seek_page(db::Recordset& rs, std::int16_t& page_number, std::int16_t page_size,
               std::int16_t& count);

// The rows of page page_number of the query into rs, with the query's row count in count, as
// seek_page leaves them; only the page's rows are read.
void open_page(db::Recordset& rs, db::Connection& connection, const std::string& sql,
               std::int16_t& page_number, std::int16_t page_size, std::int16_t& count);

// Row colours: white for the first row of a page, then silver.
const char* row_colour(int row_index);

}  // namespace reports
