// What the searches and the reports share: the growing WHERE part of a search with its typed
// date ranges, the drop-downs of the search forms, the cell rules of the result rows, and the
// customer and destination of a request row.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "frame/context.h"
#include "platform/db/db.h"
#include "platform/text/text.h"
#include "platform/vb/variant.h"
#include "reports/search_state.h"

namespace reports {

// The keyword (" WHERE" once there is a clause) and the condition (clauses joined by " AND").
class SearchCriteria {
 public:
  void add(std::string_view clause) {
    if (keyword_.empty()) keyword_ = " WHERE";
    if (!condition_.empty()) condition_ += " AND";
    condition_ += clause;
  }
  std::string text() const { return keyword_ + condition_; }

 private:
  std::string keyword_;
  std::string condition_;
};

// A date as the user typed it, accepted only when it can stand between the # signs of a Jet date
// literal as it is.
bool typed_date(const std::string& text);

// A typed date range: a from-date that is no date ends the handler with `from_refusal` (through
// the module error string, written alone), an empty to-date becomes the from-date, a to-date
// that is no date ends it with `to_refusal`; then `column` between the two is added. A to-date
// without a from-date adds nothing.
void add_date_range(frame::ModuleState& module, SearchCriteria& criteria, const std::string& column,
                    const std::string& from, std::string& to, const char* from_refusal,
                    const char* to_refusal);

// The drop-downs of the search forms, "<select name='<name>' " + attributes + ">" … "</select>",
// one option per list item.
// Grade and status: the item is value and text, without a closing tag.
std::string plain_select(const std::string& name, const std::string& attributes,
                         std::span<const std::string> items, const std::string& selected);
// Trip category: the item as the option's text, selected when it equals the criterion.
std::string category_select(const std::string& attributes, std::span<const std::string> items,
                            const std::string& selected);
// Division: the whole item posted, selected when its code equals the criterion.
std::string division_select(const std::string& attributes, std::span<const std::string> items,
                            const std::string& selected);
// The code (before the first ",") and the name (the rest, trimmed) of a "code, name" item, read
// in place: valid while the item is.
struct CodeAndName {
  std::string_view code;
  std::string_view name;
};
CodeAndName split_item(std::string_view item);

// How a customer or destination drop-down writes its options: the two searches quote and space
// them differently, and the pages' answers keep each one's form.
struct CodeSelectForm {
  const char* name;         // the select's name
  std::size_t name_length;  // the names cut to this many characters
  const char* quote;        // around the value
  const char* gap;          // before the ">" of an option not selected
  bool named_empty_option;  // an empty item as "<option value= >" rather than "<option>"
};
// One option per item posting its code, the item whose code equals the criterion selected.
std::string code_select(const CodeSelectForm& form, const std::string& attributes,
                        std::span<const std::string> items, const std::string& selected);

// The session's drop-down lists, each read in place when asked for (the session keeps them while
// a page is written): a tag reads only the list it shows.
class SearchLists {
 public:
  explicit SearchLists(const frame::RequestContext& context) : context_(context) {}
  std::span<const std::string> grades() const;
  std::span<const std::string> customers() const;
  std::span<const std::string> destinations() const;
  std::span<const std::string> categories() const;
  std::span<const std::string> divisions() const;

 private:
  const frame::RequestContext& context_;
};

// The tags both search pages answer alike (WC@Grade, WC@CATEGORY, WC@DIV, WC@RESULTS,
// WC@DEPFROM, WC@DEPTO, WC@NUM); false for any other tag.
bool shared_search_tag(const SearchState& search, const SearchLists& lists,
                       const std::string& tag_name, std::string& tag_contents);

// A search count in the 16-bit field the pages share (a larger table shows 32767).
std::int16_t search_count(long records);

// Cells: a column's text, Null as one blank, escaped.
std::string cell_text(const vb::Variant& value);
// The same, or "&nbsp;" when the trimmed text is empty.
std::string text_or_nbsp(const vb::Variant& value);
// A time as "9:05&nbsp;AM" (the text without its seconds), "&nbsp;" when blank.
std::string time_text(const vb::Variant& value);
// A yes/no column's value: True, a non-zero number or the text "True".
bool is_yes(const vb::Variant& value);
// A yes/no column as a disabled check box.
std::string checkbox(const vb::Variant& value);
// True when the trimmed text is empty or a number equal to 0.
bool blank_or_zero(const std::string& text);

// The result tables' heading cell: `opening` (ending in a blank), the right border,
// `before_close`, then the heading in the small font.
inline constexpr const char* kRightBorder =
    "style=\"border: solid 0 #000000; border-right-width:1px;\"";
std::string bordered_heading(std::string_view opening, std::string_view heading,
                             std::string_view before_close = "");
// A run of such heading cells, each an opening text and a heading.
struct Heading {
  const char* opening;
  const char* text;
};
std::string bordered_headings(std::initializer_list<Heading> headings,
                              std::string_view before_close = "");
// A result table's cell in the small font; the second adds it to `html`.
std::string small_cell(const std::string& shown);
void add_small_cell(std::string& html, std::string_view shown);
// The text broken once after its 30th character as BreakString breaks it, each piece escaped.
std::string broken_escaped(const std::string& text);

// Customer name and division of request rows, read from one ordered snapshot of CUSTOMER that
// stays on the last customer found (consecutive requests often share a customer).
class CustomerNames {
 public:
  CustomerNames(db::Connection& trip_db, const char* sql);
  struct Names {
    std::string name;
    std::string division;
  };
  // "NOT FOUND" and a blank division for a blank or unknown customer.
  Names lookup(const vb::Variant& customer_value);
  void close() { rs_.close(); }

 private:
  db::Recordset rs_;
  // The first row of each code, by its text without regard to case: where Find would stop.
  std::unordered_map<std::string, long, text::NoCaseHash, text::NoCaseEqual> first_rows_;
};

// The destination of a request row: the typed-in name of destination 0 (or none), else the
// session list's entry for the number, "NOT FOUND" when it has none. Unescaped, unbroken.
std::string destination_text(const frame::RequestContext& context, const db::Recordset& row);

// The request number linked to the request form.
std::string request_link(const frame::RequestContext& context, const db::Recordset& row);

}  // namespace reports
