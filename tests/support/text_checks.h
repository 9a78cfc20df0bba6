// Looking for parts of a page: whether it holds a text, how often, and whether one comes first.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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

// Whether `first` and `second` are both on the page, `first` before `second`.
inline bool before(const std::string& page, const std::string& first, const std::string& second) {
  const auto at = page.find(first), then = page.find(second);
  return at != std::string::npos && then != std::string::npos && at < then;
}

}  // namespace testing_support
