// Item templates: parsed once into text and tag segments, kept in memory, and read again when
// the file changes on disk.
//
// A replacement tag is a pair <PREFIX@NAME>contents</PREFIX@NAME>; prefix and name match without
// regard to case, and the closing mark must name the same tag. Everything else, including an
// opening mark without its closing one, is text and is written unchanged.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace web {

struct TemplateSegment {
  bool is_tag = false;
  std::string text;      // text segment: the text; tag segment: the contents between the marks
  std::string tag_name;  // tag segment: the name with its prefix, as written ("WC@Name")
};

struct ParsedTemplate {
  std::vector<TemplateSegment> segments;
  std::size_t size = 0;  // of the template's text, as a guess at the size of the page it writes
};

// Splits template text into segments; `prefix` is matched without regard to case ("WC@").
ParsedTemplate parse_template(std::string_view text, std::string_view prefix = "WC@");

class TemplateCache {
 public:
  explicit TemplateCache(std::chrono::milliseconds check_interval = std::chrono::seconds(1))
      : check_interval_(check_interval) {}

  // The parsed template of a file; re-reads it when its modification time or size changed. The
  // file is looked at no more than once per check interval, so a change shows within it.
  // Throws std::runtime_error naming the file when it cannot be read.
  std::shared_ptr<const ParsedTemplate> get(const std::string& file);

 private:
  struct Entry {
    std::int64_t mtime_ns = 0;
    std::int64_t size = 0;
    std::chrono::steady_clock::time_point checked;
    std::shared_ptr<const ParsedTemplate> parsed;
  };
  std::chrono::milliseconds check_interval_;
  std::mutex mutex_;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace web
