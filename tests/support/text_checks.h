// Looking for parts of a page: whether it holds a text, how often, which comes first, the cells of
// a table, the value a form field posts; and name=value tables written on few lines.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/text/text.h"

namespace testing_support {

inline bool contains(const std::string& page, const std::string& part) {
  return page.find(part) != std::string::npos;
}

inline int occurrences(const std::string& page, const std::string& part) {
  int count = 0;
  for (auto at = page.find(part); at != std::string::npos; at = page.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The message of an answer, bare or dressed by the runtime (alone in the message page, or ahead
// of a whole page): the text of the alert element, without the way back to the start.
inline std::string message_of(const std::string& body) {
  const auto page = body.find("<!DOCTYPE");
  if (page != 0) return body.substr(0, page);  // bare: alone, or ahead of the page
  static const std::pair<std::string, std::string> dresses[] = {
      {"<section class=\"card message\" role=\"alert\">", "</section>"},
      {"<div class='card message ahead' role='alert'>", "</div>"}};
  for (const auto& [open, close] : dresses) {
    const auto at = body.find(open);
    if (at == std::string::npos) continue;
    const auto from = at + open.size();
    const auto end = std::min(body.find("<p class=\"home\">", from), body.find(close, from));
    if (end != std::string::npos) return body.substr(from, end - from);
  }
  return body;
}

// The texts of the table cells in `html`, in order, without their tags (but their inputs).
inline std::vector<std::string> cell_texts(const std::string& html) {
  std::vector<std::string> cells;
  for (auto at = html.find("<td"); at != std::string::npos; at = html.find("<td", at + 1)) {
    std::string text;
    bool in_tag = false;
    for (auto i = at; i < html.size() && html.compare(i, 5, "</td>") != 0; ++i) {
      if (html.compare(i, 6, "<input") == 0) {  // a check box's state is its text
        const auto end = html.find('>', i);
        text += html.substr(i, end + 1 - i);
        i = end;
      } else if (html[i] == '<' || html[i] == '>') {
        in_tag = html[i] == '<';
      } else if (!in_tag) {
        text += html[i];
      }
    }
    cells.push_back(text);
  }
  return cells;
}

// The parts in one text, `separator` between them: a row of cells compared as one line.
inline std::string joined(const std::vector<std::string>& parts,
                          const std::string& separator = "|") {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
  return text;
}

// The value a browser would post for the form field `name` (the text of a textarea, the checked
// one of radio buttons or a check box, the last selected option of a select, else the input's
// value); "(no field)" when the page has no field of that name.
inline std::string field_value(const std::string& page, const std::string& name) {
  const auto lower = text::lower_ascii;
  // An attribute's value in a tag, its name in any case; "(none)" without it.
  auto attribute = [&](const std::string& tag, const std::string& attribute_name) {
    const std::string folded_tag = lower(tag);
    for (auto at = folded_tag.find(attribute_name); at != std::string::npos;
         at = folded_tag.find(attribute_name, at + 1)) {
      auto i = tag.find_first_not_of(' ', at + attribute_name.size());
      if (i == std::string::npos || tag[i] != '=') continue;
      i = tag.find_first_not_of(' ', i + 1);
      const char quote = tag[i];
      return tag.substr(i + 1, tag.find(quote, i + 1) - i - 1);
    }
    return std::string("(none)");
  };
  const std::string folded = lower(page);
  std::string found = "(no field)";
  for (const std::string& mark : {"name='" + lower(name) + "'", "name=\"" + lower(name) + "\""}) {
    for (auto at = folded.find(mark); at != std::string::npos; at = folded.find(mark, at + 1)) {
      const auto open = folded.rfind('<', at);
      const auto close = folded.find('>', at);
      const std::string tag = folded.substr(open, close - open),
                        original = page.substr(open, close - open);
      if (tag.compare(0, 9, "<textarea") == 0) {
        return page.substr(close + 1, folded.find("</textarea", close) - close - 1);
      }
      if (tag.compare(0, 7, "<select") == 0) {
        found = "";
        const auto end = folded.find("</select", close);
        for (auto option = folded.find("<option", close); option < end;
             option = folded.find("<option", option + 1)) {
          const auto option_end = folded.find('>', option);
          if (folded.substr(option, option_end - option).find(" selected") == std::string::npos) {
            continue;
          }
          const std::string value = attribute(page.substr(option, option_end - option), "value");
          found = value != "(none)"
                      ? value
                      : page.substr(option_end + 1, folded.find('<', option_end) - option_end - 1);
        }
        return found;
      }
      const bool choice =
          tag.find("radio") != std::string::npos || tag.find("checkbox") != std::string::npos;
      if (!choice) return attribute(original, "value");
      if (found == "(no field)") found = "";
      if (tag.find(" checked") != std::string::npos) found = attribute(original, "value");
    }
  }
  return found;
}

// "name=value|name=value" as pairs in their order: long tables of names and values in few lines.
inline std::vector<std::pair<std::string, std::string>> pairs_of(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    const std::size_t equals = item.find('=');
    pairs.emplace_back(item.substr(0, equals), item.substr(equals + 1));
    start = end + 1;
  }
  return pairs;
}

// Whether `first` and `second` are both on the page, `first` before `second`.
inline bool before(const std::string& page, const std::string& first, const std::string& second) {
  const auto at = page.find(first), then = page.find(second);
  return at != std::string::npos && then != std::string::npos && at < then;
}

}  // namespace testing_support
