// Template parsing and the template cache.
#include "platform/web/templates.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/text/text.h"

namespace web {

namespace {

bool starts_with_nocase(std::string_view text, std::size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  return text::same_text(text.substr(at, prefix.size()), prefix);
}

bool is_name_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Finds "</" + name + ">" from `from`, name compared without regard to case.
std::size_t find_closing(std::string_view text, std::size_t from, std::string_view name) {
  for (std::size_t at = text.find("</", from); at != std::string_view::npos;
       at = text.find("</", at + 2)) {
    if (starts_with_nocase(text, at + 2, name) && at + 2 + name.size() < text.size() &&
        text[at + 2 + name.size()] == '>') {
      return at;
    }
  }
  return std::string_view::npos;
}

}  // namespace

ParsedTemplate parse_template(std::string_view text, std::string_view prefix) {
  ParsedTemplate parsed;
  parsed.size = text.size();
  std::string pending;
  std::size_t pos = 0;
  auto flush = [&] {
    if (!pending.empty()) {
      parsed.segments.push_back({false, std::move(pending), {}});
      pending.clear();
    }
  };
  while (pos < text.size()) {
    const std::size_t open = text.find('<', pos);
    if (open == std::string_view::npos) {
      pending.append(text.substr(pos));
      break;
    }
    pending.append(text.substr(pos, open - pos));
    if (!starts_with_nocase(text, open + 1, prefix)) {
      pending.push_back('<');
      pos = open + 1;
      continue;
    }
    std::size_t name_end = open + 1 + prefix.size();
    while (name_end < text.size() && is_name_char(text[name_end])) ++name_end;
    const std::string_view name = text.substr(open + 1, name_end - open - 1);
    const std::size_t close =
        name.size() > prefix.size() && name_end < text.size() && text[name_end] == '>'
            ? find_closing(text, name_end + 1, name)
            : std::string_view::npos;
    if (close == std::string_view::npos) {
      // An opening mark without its closing one is plain text.
      pending.push_back('<');
      pos = open + 1;
      continue;
    }
    flush();
    parsed.segments.push_back(
        {true, std::string(text.substr(name_end + 1, close - name_end - 1)), std::string(name)});
    pos = close + name.size() + 3;
  }
  flush();
  return parsed;
}

std::shared_ptr<const ParsedTemplate> TemplateCache::get(const std::string& file) {
  const auto now = std::chrono::steady_clock::now();
  {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(file);
    if (it != entries_.end() && now - it->second.checked < check_interval_) {
      return it->second.parsed;
    }
  }
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    throw std::runtime_error("The template file " + file + " cannot be read.");
  }
  const std::int64_t mtime_ns =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  const std::int64_t size = static_cast<std::int64_t>(info.st_size);
  {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(file);
    if (it != entries_.end() && it->second.mtime_ns == mtime_ns && it->second.size == size) {
      it->second.checked = now;
      return it->second.parsed;
    }
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("The template file " + file + " cannot be read.");
  std::ostringstream text;
  text << in.rdbuf();
  auto parsed = std::make_shared<const ParsedTemplate>(parse_template(text.str()));
  std::lock_guard lock(mutex_);
  entries_[file] = Entry{mtime_ns, size, now, parsed};
  return parsed;
}

}  // namespace web
