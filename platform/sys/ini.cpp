// The INI reader: GetPrivateProfileString's rules over a UTF-8 (or plain ASCII) file with LF or
// CRLF line ends.
#include "platform/sys/ini.h"

#include <fstream>
#include <optional>

#include "platform/text/text.h"
#include "platform/vb/conversions.h"

namespace sys {
namespace {

// Settings files are small; reading stops here so that a wrong path (a device, a huge log) cannot
// exhaust memory.
constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char chunk[8192];
  while (bytes.size() < kMaxFileBytes && (in.read(chunk, sizeof chunk) || in.gcount() > 0)) {
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;  // a directory opens but cannot be read
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  return bytes;
}

// The value of the first `key` of the first `section`, or nullopt.
std::optional<std::string_view> find_value(std::string_view text, std::string_view section,
                                           std::string_view key) {
  bool in_section = false;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = text::trim_blanks(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      // Only the first section of that name is searched.
      if (in_section) return std::nullopt;
      std::string_view name = line.substr(1, line.find(']') - 1);
      in_section = text::same_text(text::trim_blanks(name), section);
      continue;
    }
    if (!in_section) continue;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos ||
        !text::same_text(text::trim_blanks(line.substr(0, equals)), key)) {
      continue;
    }
    std::string_view value = text::trim_blanks(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return std::nullopt;
}

}  // namespace

std::string get_private_profile_string(std::string_view section, std::string_view key,
                                       std::string_view default_value, const std::string& file,
                                       std::size_t buffer_size) {
  const std::size_t limit = buffer_size == 0 ? 0 : buffer_size - 1;
  std::optional<std::string> text = read_file(file);
  if (!text) return text::utf8_prefix(default_value, limit);
  std::optional<std::string_view> value = find_value(*text, section, key);
  return text::utf8_prefix(value ? *value : default_value, limit);
}

}  // namespace sys
