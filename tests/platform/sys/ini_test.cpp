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
    std::string contents;
    std::string key;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"plain value", "[Carline Options]\nCarlinePath=/srv/data\n", "CarlinePath", "/srv/data"},
      {"key without regard to case", "[Carline Options]\nCARLINEPATH=/srv\n", "carlinepath",
       "/srv"},
      {"section without regard to case", "[CARLINE options]\nCarlinePath=/srv\n", "CarlinePath",
       "/srv"},
      {"blanks around key and value", "[Carline Options]\n  CarlinePath \t=  /srv data \t\n",
       "CarlinePath", "/srv data"},
      {"text after the first equals sign", "[Carline Options]\nCalendarUrl=a=b=c\n", "CalendarUrl",
       "a=b=c"},
      {"one pair of double quotes removed", "[Carline Options]\nName=\"  Quoted  \"\n", "Name",
       "  Quoted  "},
      {"only one pair removed", "[Carline Options]\nName=\"\"x\"\"\n", "Name", "\"x\""},
      {"a lone quote kept", "[Carline Options]\nName=\"x\n", "Name", "\"x"},
      {"single quotes kept", "[Carline Options]\nName='x'\n", "Name", "'x'"},
      {"a bare pair of quotes is empty", "[Carline Options]\nName=\"\"\n", "Name", ""},
      {"empty value is not the default", "[Carline Options]\nName=\n", "Name", ""},
      {"semicolon lines are comments", "[Carline Options]\n;Name=commented\nName=live\n", "Name",
       "live"},
      {"indented comment", "[Carline Options]\n   ; Name=commented\n", "Name", "(default)"},
      {"a semicolon inside a value is kept", "[Carline Options]\nName=a ; b\n", "Name", "a ; b"},
      {"first matching key wins", "[Carline Options]\nName=first\nNAME=second\n", "Name", "first"},
      {"first matching section wins",
       "[Carline Options]\nName=first\n[carline options]\nName=second\n", "Name", "first"},
      {"later section of the same name is not searched",
       "[Carline Options]\nOther=1\n[Carline Options]\nName=second\n", "Name", "(default)"},
      {"key of another section", "[Other]\nName=x\n[Carline Options]\nOther=y\n", "Name",
       "(default)"},
      {"key before any section", "Name=x\n[Carline Options]\n", "Name", "(default)"},
      {"missing section", "[Other]\nName=x\n", "Name", "(default)"},
      {"line without equals sign", "[Carline Options]\nName\n", "Name", "(default)"},
      {"section name with blanks inside brackets", "[ Carline Options ]\nName=x\n", "Name", "x"},
      {"CRLF line ends", "[Carline Options]\r\nName=x\r\nOther=y\r\n", "Name", "x"},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[Carline Options]\nName=x\n", "Name", "x"},
      {"last line without line end", "[Carline Options]\nName=x", "Name", "x"},
      {"empty file", "", "Name", "(default)"},
      {"binary rubbish", std::string("\0\xFF[\n=\n]\r\r\n", 10), "Name", "(default)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(read_from(c.contents, "Carline Options", c.key), c.expected);
  }
}

TEST(PrivateProfileString, missing_or_unreadable_file_gives_the_default) {
  TempDir dir;
  EXPECT_EQ(sys::get_private_profile_string("Carline Options", "Name", "fallback",
                                            (dir.str() + "/") + "absent.ini"),
            "fallback");
  EXPECT_EQ(
      sys::get_private_profile_string("Carline Options", "Name", "fallback", (dir.str() + "/")),
      "fallback");
  EXPECT_EQ(
      sys::get_private_profile_string("Carline Options", "Name", "", (dir.str() + "/") + "x.ini"),
      "");
}

TEST(PrivateProfileString, a_300_character_value_is_read_as_its_first_255) {
  const std::string value(300, 'v');
  const std::string read =
      read_from("[Carline Options]\nLong=" + value + "\n", "Carline Options", "Long");
  EXPECT_EQ(read, std::string(255, 'v'));
}

TEST(PrivateProfileString, the_buffer_holds_one_character_less_than_its_size) {
  const std::string contents = "[S]\nK=abcdef\n";
  EXPECT_EQ(read_from(contents, "S", "K", "", 4), "abc");
  EXPECT_EQ(read_from(contents, "S", "K", "", 7), "abcdef");
  EXPECT_EQ(read_from(contents, "S", "K", "", 1), "");
  EXPECT_EQ(read_from(contents, "S", "K", "", 0), "");
  EXPECT_EQ(read_from(contents, "S", "Missing", "defaults", 4), "def");
}

TEST(PrivateProfileString, the_limit_counts_characters_and_never_cuts_one) {
  // "é" is two bytes in UTF-8; 300 of them come back as 255 whole characters.
  std::string value;
  for (int i = 0; i < 300; ++i) value += "\xC3\xA9";
  std::string expected;
  for (int i = 0; i < 255; ++i) expected += "\xC3\xA9";
  EXPECT_EQ(read_from("[S]\nK=" + value + "\n", "S", "K"), expected);
}

}  // namespace
