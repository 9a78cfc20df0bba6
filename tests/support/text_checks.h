// Looking for parts of a page: whether it holds a text, how often, and whether one comes first.
#pragma once

#include <string>

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

// Whether `first` is on the page and before `second`.
inline bool before(const std::string& page, const std::string& first, const std::string& second) {
  const auto at = page.find(first);
  return at != std::string::npos && at < page.find(second);
}

}  // namespace testing_support
