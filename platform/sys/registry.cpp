// The registry stand-in: reads a Registry Editor export file and answers one value of one key.
//
// Design: the file is small and read afresh on every call, so it is scanned line by line and
// only the value asked for is decoded; other lines are merely skipped, which keeps a stray typo
// elsewhere in the file from hiding a good value. As in an import, a later definition replaces an
// earlier one and "-" deletes. A line naming the value asked for that cannot be decoded is an
// unexpected failure (thrown), so that the operator hears of it; anything unreadable as a whole
// reads as missing.
#include "platform/sys/registry.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/text/text.h"
#include "platform/vb/conversions.h"
#include "platform/vb/errors.h"

namespace sys {
namespace {

// A registry file larger than this is no hand-written configuration file.
constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;
// ERROR_BADDB: what the operating system reports for a corrupt registry.
constexpr long kBadRegistry = 1009;

// The file as UTF-8 text, or nullopt when it cannot be read.
std::optional<std::string> read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char chunk[8192];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxFileBytes) {
      throw vb::RuntimeError(kBadRegistry, "The registry file " + path + " is too large.");
    }
  }
  if (in.bad()) return std::nullopt;  // a directory opens but cannot be read
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    return vb::utf8_from_utf16le(std::string_view(bytes).substr(2));
  }
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  return bytes;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// Reads a quoted name or text with the \\ and \" escapes, starting at the opening quote.
// Returns the decoded text and moves `pos` past the closing quote; nullopt when unterminated.
std::optional<std::string> read_quoted(std::string_view line, std::size_t& pos) {
  std::string out;
  for (std::size_t i = pos + 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"')) {
      out += line[++i];
    } else if (c == '"') {
      pos = i + 1;
      return out;
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::uint32_t> parse_hex_number(std::string_view text, std::size_t max_digits) {
  if (text.empty() || text.size() > max_digits) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    int digit = hex_digit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

// "0a,ff, 00" (continuation marks already removed); an empty list is no bytes.
std::optional<std::vector<std::uint8_t>> parse_hex_bytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  text = text::trim_blanks(text);
  if (text.empty()) return bytes;
  while (true) {
    std::size_t comma = text.find(',');
    auto number = parse_hex_number(text::trim_blanks(text.substr(0, comma)), 2);
    if (!number) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(*number));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return bytes;
}

std::string utf16_bytes_to_utf8(const std::vector<std::uint8_t>& data) {
  return vb::utf8_from_utf16le(
      std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

// What a value line says: a value, a deletion ("-"), or nothing decodable.
struct Parsed {
  bool malformed = false;
  bool deleted = false;
  RegistryValue value;
};

// The type of a value written as hex bytes, "hex(N):", and its reading where it has one.
void type_bytes(RegistryValue& value, std::uint32_t type_number) {
  switch (type_number) {
    case 1:  // REG_SZ written as bytes
      value.type = RegistryValue::Type::String;
      value.text = utf16_bytes_to_utf8(value.data);
      break;
    case 2:
      value.type = RegistryValue::Type::ExpandString;
      break;
    case 3:
      value.type = RegistryValue::Type::Binary;
      break;
    case 4:  // REG_DWORD written as bytes; any other size cannot be read as one
      if (value.data.size() == 4) {
        value.type = RegistryValue::Type::DWord;
        value.dword = static_cast<std::uint32_t>(value.data[0]) |
                      (static_cast<std::uint32_t>(value.data[1]) << 8) |
                      (static_cast<std::uint32_t>(value.data[2]) << 16) |
                      (static_cast<std::uint32_t>(value.data[3]) << 24);
      } else {
        value.type = RegistryValue::Type::Other;
      }
      break;
    case 7:
      value.type = RegistryValue::Type::MultiString;
      break;
    default:
      value.type = RegistryValue::Type::Other;
      break;
  }
}

Parsed parse_data(std::string_view data) {
  Parsed parsed;
  data = text::trim_blanks(data);
  if (data == "-") {
    parsed.deleted = true;
    return parsed;
  }
  RegistryValue& value = parsed.value;
  if (!data.empty() && data.front() == '"') {
    std::size_t pos = 0;
    auto text = read_quoted(data, pos);
    if (!text || !text::trim_blanks(data.substr(pos)).empty()) {
      parsed.malformed = true;
      return parsed;
    }
    value.type = RegistryValue::Type::String;
    value.text = std::move(*text);
    return parsed;
  }
  std::size_t colon = data.find(':');
  if (colon == std::string_view::npos) {
    parsed.malformed = true;
    return parsed;
  }
  std::string_view kind = text::trim_blanks(data.substr(0, colon));
  std::string_view rest = data.substr(colon + 1);
  if (text::same_text(kind, "dword")) {
    auto number = parse_hex_number(text::trim_blanks(rest), 8);
    if (!number) {
      parsed.malformed = true;
      return parsed;
    }
    value.type = RegistryValue::Type::DWord;
    value.dword = *number;
    return parsed;
  }
  std::optional<std::uint32_t> type_number;
  if (text::same_text(kind, "hex")) {
    type_number = 3;  // REG_BINARY
  } else if (kind.size() > 5 && text::same_text(kind.substr(0, 4), "hex(") && kind.back() == ')') {
    type_number = parse_hex_number(kind.substr(4, kind.size() - 5), 8);
  }
  auto bytes = type_number ? parse_hex_bytes(rest) : std::nullopt;
  if (!bytes) {
    parsed.malformed = true;
    return parsed;
  }
  value.data = std::move(*bytes);
  type_bytes(value, *type_number);
  return parsed;
}

bool is_header(std::string_view line) {
  line = text::trim_blanks(line);
  return line == "Windows Registry Editor Version 5.00" || line == "REGEDIT4";
}

}  // namespace

std::string RegistryFile::default_path() {
  const char* from_environment = std::getenv("JAUNTER_REGISTRY");
  if (from_environment != nullptr && *from_environment != '\0') return from_environment;
  return "/etc/jaunter/jaunter.reg";
}

std::optional<RegistryValue> RegistryFile::read(std::string_view root, std::string_view key,
                                                std::string_view value_name) const {
  auto text = read_text(path_);
  if (!text) return std::nullopt;
  std::vector<std::string_view> lines = split_lines(*text);
  if (lines.empty() || !is_header(lines.front())) return std::nullopt;

  const std::string wanted_key = std::string(root) + "\\" + std::string(key);
  bool in_key = false;
  std::optional<RegistryValue> found;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::size_t line_number = i + 1;
    std::string_view line = text::trim_blanks(lines[i]);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::size_t close = line.rfind(']');
      std::string_view name =
          close == std::string_view::npos ? std::string_view() : line.substr(1, close - 1);
      // "[-key]" deletes the key and its subkeys with everything defined for them so far.
      if (!name.empty() && name.front() == '-') {
        std::string_view deleted = name.substr(1);
        if (text::same_text(deleted, wanted_key) ||
            (wanted_key.size() > deleted.size() && wanted_key[deleted.size()] == '\\' &&
             text::same_text(std::string_view(wanted_key).substr(0, deleted.size()), deleted))) {
          found.reset();
        }
      }
      in_key = text::same_text(name, wanted_key);
      continue;
    }
    if (!in_key) continue;

    std::string name;
    std::size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else if (line.front() == '"') {
      auto quoted = read_quoted(line, pos);
      if (!quoted) continue;  // cannot tell which value this is
      name = std::move(*quoted);
    } else {
      continue;
    }
    std::string_view rest = text::trim_blanks(line.substr(pos));
    if (rest.empty() || rest.front() != '=' || !text::same_text(name, value_name)) continue;

    // Hex lists continue on the following lines after a trailing backslash.
    std::string data(text::trim_blanks(rest.substr(1)));
    while (!data.empty() && data.back() == '\\') {
      data.pop_back();
      if (i + 1 >= lines.size()) break;
      data += text::trim_blanks(lines[++i]);
      data = std::string(text::trim_blanks(data));
    }
    Parsed parsed = parse_data(data);
    if (parsed.malformed) {
      throw vb::RuntimeError(kBadRegistry, "The registry file " + path_ +
                                               " has a malformed value " +
                                               (name.empty() ? "@" : "\"" + name + "\"") +
                                               " on line " + std::to_string(line_number) + ".");
    }
    if (parsed.deleted) {
      found.reset();
    } else {
      found = std::move(parsed.value);
    }
  }
  return found;
}

}  // namespace sys
