// Pieces the request search and the field trip search share: the growing WHERE part of a search,
// the session lists behind their drop-downs, typed dates, and the escaped texts of result cells.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/vb/variant.h"

class Jaunter;

namespace reports::searching {

// The keyword (" WHERE" once there is a clause) and the condition (clauses joined by " AND").
class SearchCriteria {
 public:
  void add(std::string_view clause) {
    if (keyword_.empty()) keyword_ = " WHERE";
    if (!condition_.empty()) condition_ += " AND";
    condition_ += clause;
  }
  const std::string& keyword() const { return keyword_; }
  const std::string& condition() const { return condition_; }
  std::string text() const { return keyword_ + condition_; }

 private:
  std::string keyword_;
  std::string condition_;
};

// A lookup list of the session: the items at indices 0 .. count that the array really holds, so
// that a count and an array out of step (or a list never stored) cannot index past the end.
struct SessionList {
  vb::StringArray items;
  std::int16_t count = 0;
};
SessionList session_list(Jaunter& page, std::string_view list_key, std::string_view count_key);

// An application key read as a Boolean: True, or a text "True" in any case; anything else
// (a Null column's blank, a missing key) is False rather than a type mismatch.
bool application_flag(Jaunter& page, std::string_view key);

// A date as the user typed it, accepted only when it can stand between the # signs of a Jet date
// literal as it is.
bool typed_date(const std::string& text);

// The text before the first ","; the whole text when there is none.
std::string before_comma(const std::string& text);
// `text` cut before its first "," when it is not blank and has one (the list items post
// "code, description").
std::string code_of_item(const std::string& text);
// The first `count` characters (UTF-8 characters, not bytes).
std::string first_chars(std::string_view text, std::size_t count);

// A column value as the result tables read it: Null is one blank.
std::string column_text(const vb::Variant& value);
// A time of day as the result tables show it, escaped: "&nbsp;" when blank, otherwise the text
// without its last six characters, "&nbsp;" and its last two ("9:05&nbsp;AM").
std::string shown_time(const std::string& text);
// An escaped value, or "&nbsp;" when it is blank.
std::string value_or_space(const std::string& text);
// The text broken once after its 30th character as BreakString breaks it, each piece escaped.
std::string broken_escaped(Jaunter& page, const std::string& text);

// The drop-downs of the search forms, "<select name='<name>' " + attributes + ">" … "</select>",
// one option per list item; the option forms are those of the request search.
// Grade and status: the item is value and text, without a closing tag.
std::string plain_select(const std::string& name, const std::string& attributes,
                         const SessionList& list, const std::string& selected);
// Trip category: the item as the option's text, selected when it equals the criterion.
std::string category_select(const std::string& attributes, const SessionList& list,
                            const std::string& selected);
// Division: the whole item posted, selected when its code equals the criterion.
std::string division_select(const std::string& attributes, const SessionList& list,
                            const std::string& selected);
// The code (before the first ",") and the name (the rest, trimmed) of a "code, name" item.
struct CodeAndName {
  std::string code;
  std::string name;
};
CodeAndName split_item(const std::string& item);

// A search count in the 16-bit field the pages share (a larger table shows 32767).
std::int16_t search_count(long records);

}  // namespace reports::searching
