// The INI reader: the Windows reader's rules for sections, keys, values, comments, the buffer
// limit and missing files.
#include "platform/sys/ini.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

std::string read_from(const std::string& contents, const std::string& section,
                      const std::string& key, const std::string& default_value = "(default)",
                      std::size_t buffer_size = 256) {
  TempDir dir;
  return sys::get_private_profile_string(section, key, default_value,
                                         dir.write("trip.ini", contents), buffer_size);
}

TEST(PrivateProfileString, values_are_read_by_the_windows_rules) {
  struct Case {
    const char* what;
    std::string contents, key, expected;
  };
  const std::vector<Case> cases = {
      {"names without regard to case", "[carline OPTIONS]\nKEY=/srv/data\n", "key", "/srv/data"},
      {"blanks around key and value", "[Carline Options]\n  K \t=  /srv data \t\n", "K",
       "/srv data"},
      {"text after the first equals sign", "[Carline Options]\nK=a=b=c\n", "K", "a=b=c"},
      {"one pair of double quotes removed", "[Carline Options]\nK=\"\"  x  \"\"\n", "K",
       "\"  x  \""},
      {"empty value is not the default", "[Carline Options]\nK=\n", "K", ""},
      {"semicolon lines are comments", "[Carline Options]\n;K=commented\nK=a ; b\n", "K", "a ; b"},
      {"first matching key wins", "[Carline Options]\nK=first\nk=second\n", "K", "first"},
      {"first matching section only", "[Carline Options]\nO=1\n[Carline Options]\nK=2\n", "K",
       "(default)"},
      {"key of another section", "[Other]\nK=x\n[Carline Options]\nO=y\n", "K", "(default)"},
      {"line without equals sign", "[Carline Options]\nK\n", "K", "(default)"},
      {"CRLF line ends", "[Carline Options]\r\nK=x\r\nO=y\r\n", "K", "x"},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[Carline Options]\nK=x", "K", "x"},
      {"binary rubbish", std::string("\0\xFF[\n=\n]\r\r\n", 10), "K", "(default)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(read_from(c.contents, "Carline Options", c.key), c.expected) << c.what;
  }
}

TEST(PrivateProfileString, missing_or_unreadable_file_gives_the_default) {
  TempDir dir;
  EXPECT_EQ(sys::get_private_profile_string("S", "K", "fallback", dir.str() + "/absent.ini"),
            "fallback");
  EXPECT_EQ(sys::get_private_profile_string("S", "K", "fallback", dir.str() + "/"), "fallback");
}

TEST(PrivateProfileString, the_buffer_holds_one_character_less_than_its_size_and_255_whole_ones) {
  EXPECT_EQ(read_from("[S]\nK=abcdef\n", "S", "K", "", 4), "abc");
  EXPECT_EQ(read_from("[S]\nK=abcdef\n", "S", "K", "", 0), "");
  EXPECT_EQ(read_from("[S]\nK=abcdef\n", "S", "Missing", "defaults", 4), "def");
  // "é" is two bytes in UTF-8; 300 of them come back as 255 whole characters.
  std::string value, expected;
  for (int i = 0; i < 300; ++i) value += "\xC3\xA9";
  for (int i = 0; i < 255; ++i) expected += "\xC3\xA9";
  EXPECT_EQ(read_from("[S]\nK=" + value + "\n", "S", "K"), expected);
}

}  // namespace
