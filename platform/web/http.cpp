// The header helpers of HttpResponse.
#include "platform/web/http.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace web {
namespace {

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

void HttpResponse::set_header(std::string name, std::string value) {
  auto first = std::find_if(headers.begin(), headers.end(),
                            [&](const auto& header) { return same_name(header.first, name); });
  if (first == headers.end()) {
    headers.emplace_back(std::move(name), std::move(value));
    return;
  }
  first->second = std::move(value);
  // Setting a header replaces every earlier value, so later duplicates go too.
  headers.erase(std::remove_if(std::next(first), headers.end(),
                               [&](const auto& header) { return same_name(header.first, name); }),
                headers.end());
}

const std::string* HttpResponse::header(std::string_view name) const {
  for (const auto& [header_name, value] : headers) {
    if (same_name(header_name, name)) return &value;
  }
  return nullptr;
}

}  // namespace web
