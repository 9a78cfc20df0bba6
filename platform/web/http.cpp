// The header helpers of HttpResponse and the one spelling of a numeric address.
#include "platform/web/http.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cctype>
#include <cstring>
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

std::string canonical_address(std::string_view text) {
  if (text.size() > 2 && text.front() == '[' && text.back() == ']') {
    text = text.substr(1, text.size() - 2);
  }
  if (text.empty() || text.size() >= INET6_ADDRSTRLEN) return "";
  const std::string address(text);
  char out[INET6_ADDRSTRLEN] = {};
  in_addr v4{};
  if (inet_pton(AF_INET, address.c_str(), &v4) == 1) {
    return inet_ntop(AF_INET, &v4, out, sizeof out) ? out : "";
  }
  in6_addr v6{};
  if (inet_pton(AF_INET6, address.c_str(), &v6) != 1) return "";
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    std::memcpy(&v4, &v6.s6_addr[12], sizeof v4);
    return inet_ntop(AF_INET, &v4, out, sizeof out) ? out : "";
  }
  return inet_ntop(AF_INET6, &v6, out, sizeof out) ? out : "";
}

const std::string* HttpResponse::header(std::string_view name) const {
  for (const auto& [header_name, value] : headers) {
    if (same_name(header_name, name)) return &value;
  }
  return nullptr;
}

}  // namespace web
