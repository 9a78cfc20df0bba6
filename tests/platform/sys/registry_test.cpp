// The registry file: the Registry Editor export format, its encodings and value types, and how a
// missing or damaged file reads.
#include "platform/sys/registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

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

// The file as Windows' Registry Editor writes it by default: UTF-16LE with a byte-order mark.
std::string utf16le_with_bom(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
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
      {"\"INIPath\"=\"/srv/jaunter\"", Type::String, "/srv/jaunter", 0, {}},
      {"\"INIPath\"=\"\"", Type::String, "", 0, {}},
      {"\"INIPath\"=\"C:\\\\Data\\\\\"", Type::String, "C:\\Data\\", 0, {}},
      {"\"INIPath\"=\"say \\\"hi\\\"\"", Type::String, "say \"hi\"", 0, {}},
      {"\"INIPath\"=dword:0000001e", Type::DWord, "", 30, {}},
      {"\"INIPath\"=DWORD:FFFFFFFF", Type::DWord, "", 0xFFFFFFFFu, {}},
      {"\"INIPath\"=hex:01,ab,FF", Type::Binary, "", 0, {0x01, 0xAB, 0xFF}},
      {"\"INIPath\"=hex:", Type::Binary, "", 0, {}},
      {"\"INIPath\"=hex(2):2f,00,78,00,00,00", Type::ExpandString, "", 0, {0x2F, 0, 0x78, 0, 0, 0}},
      {"\"INIPath\"=hex(7):61,00,00,00,00,00", Type::MultiString, "", 0, {0x61, 0, 0, 0, 0, 0}},
      {"\"INIPath\"=hex(0):", Type::Other, "", 0, {}},
      {"\"INIPath\"=hex(b):01,00,00,00,00,00,00,00", Type::Other, "", 0, {1, 0, 0, 0, 0, 0, 0, 0}},
      {"\"INIPath\"=hex(1):2f,00,64,00,00,00",
       Type::String,
       std::string("/d\0", 3),
       0,
       {0x2F, 0, 0x64, 0, 0, 0}},
      {"\"INIPath\"=hex(4):1e,00,00,00", Type::DWord, "", 30, {0x1E, 0, 0, 0}},
      {"\"INIPath\"=hex(4):1e,00", Type::Other, "", 0, {0x1E, 0}},
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

TEST(RegistryFile, hex_lists_continue_after_a_trailing_backslash) {
  auto value = read_line(
      "\"INIPath\"=hex(2):2f,00,73,00,\\\r\n"
      "  72,00,76,00,\\\r\n"
      "  00,00");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, Type::ExpandString);
  EXPECT_EQ(value->data, (std::vector<std::uint8_t>{0x2F, 0, 0x73, 0, 0x72, 0, 0x76, 0, 0, 0}));
}

TEST(RegistryFile, continuation_lines_of_another_value_are_not_read_as_values) {
  auto value = read_line(
      "\"Other\"=hex:01,02,\\\r\n"
      "  03,04\r\n"
      "\"INIPath\"=\"/srv\"");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->text, "/srv");
}

TEST(RegistryFile, key_and_value_names_match_without_regard_to_case) {
  const std::string file = std::string(kHeader) +
                           "[hkey_local_machine\\SOFTWARE\\quillmark software, inc.\\CARLINE "
                           "Transport Manager - FIELD TRIP]\r\n\"inipath\"=\"/etc/trip\"\r\n";
  auto value = read_from(file, "INIPATH", kKey);
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->text, "/etc/trip");
}

TEST(RegistryFile, the_default_value_is_asked_for_with_an_empty_name) {
  auto value = read_line("@=\"default text\"\r\n\"@\"=\"named at\"", "");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->text, "default text");
  auto named = read_line("@=\"default text\"\r\n\"@\"=\"named at\"", "@");
  ASSERT_TRUE(named.has_value());
  EXPECT_EQ(named->text, "named at");
}

TEST(RegistryFile, utf16le_file_with_byte_order_mark_is_read) {
  const std::u16string text =
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_LOCAL_MACHINE\\Software\\Quillmark Software, Inc.\\Carline Transport Manager - "
      u"Field Trip]\r\n"
      u"\"INIPath\"=\"/srv/caf\u00e9/\U0001F68C\"\r\n";
  TempDir dir;
  sys::RegistryFile registry(dir.write("jaunter.reg", utf16le_with_bom(text)));
  auto value = registry.read("HKEY_LOCAL_MACHINE", kKey, "INIPath");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, Type::String);
  EXPECT_EQ(value->text, "/srv/caf\xC3\xA9/\xF0\x9F\x9A\x8C");
}

TEST(RegistryFile, what_is_not_there_reads_as_missing) {
  struct Case {
    const char* what;
    std::string contents;
    std::string key;
  };
  const std::string good_value = "\"INIPath\"=\"/srv\"\r\n";
  const std::vector<Case> cases = {
      {"another value only", std::string(kHeader) + kKeyLine + "\"IniPathX\"=\"/srv\"\r\n", kKey},
      {"the value under another key",
       std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n" + good_value, kKey},
      {"the value under a subkey",
       std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\" + kKey + "\\Sub]\r\n" + good_value, kKey},
      {"a value before any key", std::string(kHeader) + good_value + kKeyLine, kKey},
      {"a commented-out value", std::string(kHeader) + kKeyLine + ";" + good_value, kKey},
      {"no header", std::string(kKeyLine) + good_value, kKey},
      {"UTF-16 without a byte-order mark", std::string("W\0i\0n\0", 6), kKey},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(read_from(c.contents, "INIPath", c.key).has_value());
  }
}

TEST(RegistryFile, a_later_definition_replaces_an_earlier_one_and_a_dash_deletes) {
  auto later = read_line("\"INIPath\"=\"/first\"\r\n\"INIPath\"=\"/second\"");
  ASSERT_TRUE(later.has_value());
  EXPECT_EQ(later->text, "/second");

  EXPECT_FALSE(read_line("\"INIPath\"=\"/first\"\r\n\"INIPath\"=-").has_value());

  auto again = read_from(std::string(kHeader) + kKeyLine + "\"INIPath\"=\"/first\"\r\n" +
                         "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n\"x\"=\"y\"\r\n" + kKeyLine +
                         "\"INIPath\"=\"/again\"\r\n");
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->text, "/again");

  EXPECT_FALSE(read_from(std::string(kHeader) + kKeyLine + "\"INIPath\"=\"/first\"\r\n" +
                         "[-HKEY_LOCAL_MACHINE\\Software\\Quillmark Software, Inc.]\r\n")
                   .has_value());
}

TEST(RegistryFile, malformed_line_of_the_value_asked_for_is_an_unexpected_failure) {
  const std::vector<std::string> lines = {
      "\"INIPath\"=\"unterminated", "\"INIPath\"=\"text\" trailing", "\"INIPath\"=dword:xyz",
      "\"INIPath\"=hex:1g",         "\"INIPath\"=hex:100",           "\"INIPath\"=hex(zz):00",
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    EXPECT_THROW(read_line(line), std::runtime_error);
  }
}

TEST(RegistryFile, malformed_lines_of_other_values_do_not_hide_a_good_one) {
  auto value = read_line(
      "\"Broken\"=dword:zz\r\n\"Unterminated=\"x\r\ngarbage line\r\n\"INIPath\"=\"/srv\"");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->text, "/srv");
}

TEST(RegistryFile, the_file_is_read_again_on_every_call) {
  TempDir dir;
  const std::string path =
      dir.write("jaunter.reg", std::string(kHeader) + kKeyLine + "\"INIPath\"=\"/one\"\r\n");
  sys::RegistryFile registry(path);
  EXPECT_EQ(registry.read("HKEY_LOCAL_MACHINE", kKey, "INIPath")->text, "/one");
  dir.write("jaunter.reg", std::string(kHeader) + kKeyLine + "\"INIPath\"=\"/two\"\r\n");
  EXPECT_EQ(registry.read("HKEY_LOCAL_MACHINE", kKey, "INIPath")->text, "/two");
}

// Restores JAUNTER_REGISTRY as it was.
class RegistryEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = getenv("JAUNTER_REGISTRY");
    if (old != nullptr) saved_ = old;
  }
  void TearDown() override {
    if (saved_) {
      setenv("JAUNTER_REGISTRY", saved_->c_str(), 1);
    } else {
      unsetenv("JAUNTER_REGISTRY");
    }
  }

 private:
  std::optional<std::string> saved_;
};

TEST_F(RegistryEnvironment, default_path_comes_from_the_environment_or_etc) {
  setenv("JAUNTER_REGISTRY", "/tmp/some/jaunter.reg", 1);
  EXPECT_EQ(sys::RegistryFile::default_path(), "/tmp/some/jaunter.reg");
  unsetenv("JAUNTER_REGISTRY");
  EXPECT_EQ(sys::RegistryFile::default_path(), "/etc/jaunter/jaunter.reg");
  setenv("JAUNTER_REGISTRY", "", 1);
  EXPECT_EQ(sys::RegistryFile::default_path(), "/etc/jaunter/jaunter.reg");
}

}  // namespace
