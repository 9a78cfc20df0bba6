// Pieces the request search and the field trip search share.
#include "reports/request_search_support.h"

#include <algorithm>
#include <limits>

#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"

namespace reports::searching {

namespace {

std::size_t utf8_offset(std::string_view text, std::size_t characters) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (seen == characters) return i;
      ++seen;
    }
  }
  return text.size();
}

// A count key as a number; a value that is none (a tampered or never written key) counts 0.
int count_of(const vb::Variant& value) {
  if (value.is_number()) return vb::CInt(value);
  if (value.is_string()) {
    const auto number = vb::parse_number(value.get<std::string>());
    if (number && *number >= 0 && *number <= std::numeric_limits<std::int16_t>::max()) {
      return static_cast<int>(*number);
    }
  }
  return 0;
}

}  // namespace

SessionList session_list(Jaunter& page, std::string_view list_key, std::string_view count_key) {
  SessionList list;
  const vb::Variant items = page.context().session(list_key);
  if (const auto* array = items.get_if<vb::StringArray>()) list.items = *array;
  const int count = count_of(page.context().session(count_key));
  list.count = static_cast<std::int16_t>(std::max(count, 0));
  if (list.items.size() > static_cast<std::size_t>(list.count) + 1) {
    list.items.resize(static_cast<std::size_t>(list.count) + 1);
  }
  return list;
}

bool application_flag(Jaunter& page, std::string_view key) {
  const vb::Variant value = page.context().application(key);
  if (value.is_bool()) return value.get<bool>();
  if (value.is_string()) return text::same_text(vb::Trim(value.get<std::string>()), "True");
  if (value.is_number()) return vb::CDbl(value) != 0;
  return false;
}

bool typed_date(const std::string& text) {
  return text.find('#') == std::string::npos && vb::IsDate(vb::Variant(text));
}

std::string before_comma(const std::string& text) {
  const std::size_t comma = text.find(',');
  return comma == std::string::npos ? text : text.substr(0, comma);
}

std::string code_of_item(const std::string& text) {
  if (vb::Trim(text).empty()) return text;
  return before_comma(text);
}

std::string first_chars(std::string_view text, std::size_t count) {
  return std::string(text.substr(0, utf8_offset(text, count)));
}

std::string column_text(const vb::Variant& value) {
  return data::NullToStr(value);
}

std::string shown_time(const std::string& text) {
  if (vb::Trim(text).empty()) return "&nbsp;";
  // A text too short to hold "h:mm:ss AM" is shown as it is.
  if (text.size() < 6) return web::html_escape(text) + "&nbsp;";
  return web::html_escape(text.substr(0, text.size() - 6)) + "&nbsp;" +
         web::html_escape(text.substr(text.size() - 2));
}

std::string value_or_space(const std::string& text) {
  return vb::Trim(text).empty() ? std::string("&nbsp;") : web::html_escape(text);
}

std::string broken_escaped(Jaunter& page, const std::string& text) {
  std::string copy = text;
  const std::string broken = page.BreakString(copy, 30);
  if (broken.size() == text.size()) return web::html_escape(text);
  // The break only inserts its marker at the 30th character; the pieces around it are escaped.
  const std::size_t cut = utf8_offset(text, 30);
  const std::string marker = broken.substr(cut, broken.size() - text.size());
  return web::html_escape(text.substr(0, cut)) + marker + web::html_escape(text.substr(cut));
}

std::string plain_select(const std::string& name, const std::string& attributes,
                         const SessionList& list, const std::string& selected) {
  std::string html = "<select name='" + name + "' " + attributes + ">";
  for (const std::string& item : list.items) {
    const std::string shown = web::html_escape(item);
    if (item.empty()) {
      html += "<option value=>";
    } else if (text::same_text(item, selected)) {
      html += "<option value='" + shown + "' selected>" + shown;
    } else {
      html += "<option value='" + shown + "'>" + shown;
    }
  }
  return html + "</select>";
}

std::string category_select(const std::string& attributes, const SessionList& list,
                            const std::string& selected) {
  std::string html = "<select name='tripcat' " + attributes + ">";
  for (const std::string& item : list.items) {
    const bool chosen = !item.empty() && text::same_text(item, selected);
    html += (chosen ? "<option selected>" : "<option>") + web::html_escape(item) + "</option>";
  }
  return html + "</select>";
}

std::string division_select(const std::string& attributes, const SessionList& list,
                            const std::string& selected) {
  std::string html = "<select name='div' " + attributes + ">";
  for (const std::string& item : list.items) {
    const bool chosen =
        !item.empty() && text::same_text(vb::Trim(split_item(item).code), vb::Trim(selected));
    html += (chosen ? "<option selected>" : "<option>") + web::html_escape(item) + "</option>";
  }
  return html + "</select>";
}

CodeAndName split_item(const std::string& item) {
  const std::size_t comma = item.find(',');
  // An item without a comma is all code; its name is the item itself.
  if (comma == std::string::npos) return {item, vb::Trim(item)};
  return {item.substr(0, comma), vb::Trim(item.substr(comma + 1))};
}

std::int16_t search_count(long records) {
  return static_cast<std::int16_t>(
      std::clamp<long>(records, 0, std::numeric_limits<std::int16_t>::max()));
}

}  // namespace reports::searching
