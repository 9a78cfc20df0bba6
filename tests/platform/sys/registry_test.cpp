// The registry file: the Registry Editor export format, its encodings and value types, and how a
// missing or damaged file reads.
#include "platform/sys/registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

using Type = sys::RegistryValue::Type;
using testing_support::TempDir;

constexpr const char* kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
constexpr const char* kKeyLine =
    "[HKEY_LOCAL_MACHINE\\Software\\Quillmark Software, Inc.\\Carline Transport Manager - Field "
    "Trip]\r\n";
constexpr const char* kKey =
    "Software\\Quillmark Software, Inc.\\Carline Transport Manager - Field Trip";

std::optional<sys::RegistryValue> read_from(const std::string& contents,
                                            const std::string& value_name = "INIPath",
                                            const std::string& key = kKey) {
  TempDir dir;
  sys::RegistryFile registry(dir.write("jaunter.reg", contents));
  return registry.read("HKEY_LOCAL_MACHINE", key, value_name);
}

std::optional<sys::RegistryValue> read_line(const std::string& value_line,
                                            const std::string& value_name = "INIPath") {
  return read_from(std::string(kHeader) + kKeyLine + value_line + "\r\n", value_name);
}

TEST(RegistryFile, value_types_are_read_as_their_registry_types) {
  struct Case {
    std::string line;
    Type type;
    std::string text;
    std::uint32_t dword;
    std::vector<std::uint8_t> data;
  };
  const std::vector<Case> cases = {
      {"\"INIPath\"=\"C:\\\\D\\\\ \\\"x\\\"\"", Type::String, "C:\\D\\ \"x\"", 0, {}},
      {"\"INIPath\"=DWORD:FFFFFFFF", Type::DWord, "", 0xFFFFFFFFu, {}},
      {"\"INIPath\"=hex:01,ab,FF", Type::Binary, "", 0, {0x01, 0xAB, 0xFF}},
      {"\"INIPath\"=hex(2):2f,\\\r\n  00", Type::ExpandString, "", 0, {0x2F, 0}},
      {"\"INIPath\"=hex(7):61,00,00,00,00,00", Type::MultiString, "", 0, {0x61, 0, 0, 0, 0, 0}},
      {"\"INIPath\"=hex(4):1e,00,00,00", Type::DWord, "", 30, {0x1E, 0, 0, 0}},
      {"\"INIPath\"=hex(4):1e,00", Type::Other, "", 0, {0x1E, 0}},
      // Continuation and malformed lines of other values are not read as values; the last
      // definition wins.
      {"\"B\"=dword:zz\r\nx\r\n\"INIPath\"=\"a\"\r\n\"INIPath\"=\"b\"", Type::String, "b", 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    auto value = read_line(c.line);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, c.type);
    EXPECT_EQ(value->text, c.text);
    EXPECT_EQ(value->dword, c.dword);
    EXPECT_EQ(value->data, c.data);
  }
}

TEST(RegistryFile, key_and_value_names_match_without_regard_to_case) {
  const std::string file = std::string(kHeader) +
                           "[hkey_local_machine\\SOFTWARE\\quillmark software, inc.\\CARLINE "
                           "Transport Manager - FIELD TRIP]\r\n\"inipath\"=\"/etc/trip\"\r\n";
  EXPECT_EQ(read_from(file, "INIPATH")->text, "/etc/trip");
}

TEST(RegistryFile, the_default_value_is_asked_for_with_an_empty_name) {
  EXPECT_EQ(read_line("\"@\"=\"named at\"\r\n@=\"default text\"", "")->text, "default text");
}

TEST(RegistryFile, utf16le_file_with_byte_order_mark_is_read) {
  const std::u16string text =
      u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Quillmark "
      u"Software, Inc.\\Carline Transport Manager - Field Trip]\r\n"
      u"\"INIPath\"=\"/srv/caf\u00e9/\U0001F68C\"\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  auto value = read_from(bytes);
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->text, "/srv/caf\xC3\xA9/\xF0\x9F\x9A\x8C");
}

TEST(RegistryFile, what_is_not_there_or_deleted_reads_as_missing) {
  const std::string good_value = "\"INIPath\"=\"/srv\"\r\n";
  const std::pair<const char*, std::string> cases[] = {
      {"another value only", std::string(kHeader) + kKeyLine + "\"IniPathX\"=\"/srv\"\r\n"},
      {"another key",
       std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n" + good_value},
      {"a value before any key", std::string(kHeader) + good_value + kKeyLine},
      {"no header", std::string(kKeyLine) + good_value},
      {"UTF-16 without a byte-order mark", std::string("W\0i\0n\0", 6)},
      {"a dash deletes", std::string(kHeader) + kKeyLine + good_value + "\"INIPath\"=-\r\n"},
      {"a deleted key", std::string(kHeader) + kKeyLine + good_value +
                            "[-HKEY_LOCAL_MACHINE\\Software\\Quillmark Software, Inc.]\r\n"},
  };
  for (const auto& [what, contents] : cases) EXPECT_FALSE(read_from(contents).has_value()) << what;
}

TEST(RegistryFile, malformed_line_of_the_value_asked_for_is_an_unexpected_failure) {
  const std::vector<std::string> lines = {
      "\"INIPath\"=\"unterminated",
      "\"INIPath\"=\"text\" trailing",
      "\"INIPath\"=dword:xyz",
      "\"INIPath\"=hex:100",
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    EXPECT_THROW(read_line(line), std::runtime_error);
  }
}

}  // namespace
