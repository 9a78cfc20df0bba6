// ChkEligWeb: the INI directory rules, the setting readers, the data directory, the connections
// and the failure reports, on a registry file and trip.ini written into temporary directories.
#include "config/ChkEligWeb.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/module_state.h"
#include "platform/db/db.h"
#include "platform/sys/event_log.h"
#include "platform/sys/registry.h"
#include "platform/sys/services.h"
#include "platform/vb/errors.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr const char* kKeyLine =
    "[HKEY_LOCAL_MACHINE\\Software\\Quillmark Software, Inc.\\Carline Transport Manager - Field "
    "Trip]\r\n";

std::string error_reading(const std::string& file, const std::string& key) {
  return "Error in Procedure: INIGetSettingString of Module: ChkEligWeb.  Error reading " + file +
         ", Carline Options - " + key +
         ".  Please make sure the appropriate user has permissions to read this file and that the "
         "lastest version of the ini file is in the correct path.  Contact the transportation "
         "webmaster.";
}

class ChkEligWebTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame::thread_paths() = frame::ThreadPaths{};
    services.registry = &registry;
    services.event_log = &log;
  }
  void TearDown() override { frame::thread_paths() = frame::ThreadPaths{}; }

  std::string dir(const std::string& name) const { return temp.path().string() + "/" + name; }

  void set_ini_path(const std::string& directory) {
    temp.write("jaunter.reg", std::string("Windows Registry Editor Version 5.00\r\n\r\n") +
                                  kKeyLine + "\"INIPath\"=\"" + directory + "\"\r\n");
  }

  // trip.ini in `directory` with the given lines in section "Carline Options".
  std::string write_ini(const std::string& directory, const std::string& lines) {
    return temp.write(relative(directory) + "/trip.ini", "[Carline Options]\r\n" + lines);
  }

  void create_databases(const std::string& directory, const std::vector<std::string>& names) {
    std::filesystem::create_directories(directory);
    for (const std::string& name : names) {
      db::Connection connection;
      connection.create(directory + "/" + name);
    }
  }

  std::string relative(const std::string& directory) const {
    return std::filesystem::path(directory).lexically_relative(temp.path()).string();
  }

  testing_support::TempDir temp;
  sys::RegistryFile registry{temp.path().string() + "/jaunter.reg"};
  sys::MemoryEventLog log;
  sys::Services services;
};

// "Multiple" in any case means the application's directory; a path may end with a separator.
TEST_F(ChkEligWebTest, ini_path_multiple_or_a_directory_reads_the_trip_ini_it_names) {
  write_ini(dir("app"), "CalendarUrl=app\r\n");
  write_ini(dir("conf"), "CalendarUrl=conf\r\n");
  const std::pair<std::string, const char*> cases[] = {
      {"MULTIPLE", "app"}, {"multiple", "app"}, {dir("conf"), "conf"}, {dir("conf") + "/", "conf"}};
  for (const auto& [path, expected] : cases) {
    set_ini_path(path);
    frame::ModuleState module(services);
    module.paths.strAppPath = dir("app") + "/";
    EXPECT_EQ(ChkEligWeb::GetCalendarUrl(module), expected) << path;
    EXPECT_EQ(module.error, "NA");
  }
}

TEST_F(ChkEligWebTest, readers_return_their_settings) {
  set_ini_path(dir("conf"));
  write_ini(dir("conf"),
            "SessionTimeOut=45\r\nDOTNETInstalled=True\r\nCalendarUrl=http://cal/\r\n"
            "InquiryUrl=http://inq/\r\nSmtpServer=mail.example.org\r\nSmtpPort=587\r\n"
            "SmtpAuthentication=True\r\nSmtpUsername=trips\r\nSmtpPassword=\"s3cret \"\r\n"
            "EmailFromAddress=trips@example.org\r\nEmailFromName=Field Trips\r\n");
  frame::ModuleState module(services);
  EXPECT_EQ(ChkEligWeb::GetSessionTimeOut(module), 45);
  EXPECT_TRUE(ChkEligWeb::GetDOTNETInstalled(module));
  EXPECT_EQ(ChkEligWeb::GetCalendarUrl(module), "http://cal/");
  EXPECT_EQ(ChkEligWeb::GetInquiryUrl(module), "http://inq/");
  EXPECT_EQ(ChkEligWeb::GetSmtpServer(module), "mail.example.org");
  EXPECT_EQ(ChkEligWeb::GetSmtpPort(module), "587");
  EXPECT_TRUE(ChkEligWeb::GetSmtpAuthentication(module));
  EXPECT_EQ(ChkEligWeb::GetSmtpUsername(module), "trips");
  EXPECT_EQ(ChkEligWeb::GetSmtpPassword(module), "s3cret ");
  EXPECT_EQ(ChkEligWeb::GetEmailFromAddress(module), "trips@example.org");
  EXPECT_EQ(ChkEligWeb::GetEmailFromName(module), "Field Trips");
  EXPECT_EQ(module.error, "NA");
}

TEST_F(ChkEligWebTest, yes_no_settings_follow_their_own_letter_case_rules) {
  struct Case {
    std::string text;
    bool dotnet_installed;
    bool smtp_authentication;
  };
  const std::vector<Case> cases = {
      {"True", true, true},  {"true", true, false},    {"TRUE", true, false},
      {"tRuE", true, false}, {"False", false, false},  {"yes", false, false},
      {"1", false, false},   {"\"True\"", true, true}, {"  True  ", true, true},
  };
  set_ini_path(dir("conf"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    write_ini(dir("conf"),
              "DOTNETInstalled=" + c.text + "\r\nSmtpAuthentication=" + c.text + "\r\n");
    frame::ModuleState module(services);
    EXPECT_EQ(ChkEligWeb::GetDOTNETInstalled(module), c.dotnet_installed);
    EXPECT_EQ(ChkEligWeb::GetSmtpAuthentication(module), c.smtp_authentication);
    EXPECT_EQ(module.error, "NA");
  }
}

TEST_F(ChkEligWebTest, session_timeout_that_is_not_a_whole_number_raises_to_the_caller) {
  struct Case {
    std::string line;
    long error_number;
  };
  const std::vector<Case> cases = {
      {"SessionTimeOut=abc\r\n", vb::err::kTypeMismatch},
      {"SessionTimeOut=40000\r\n", vb::err::kOverflow},
      {"SessionTimeOut=\r\n", vb::err::kTypeMismatch},
      {"Other=1\r\n", vb::err::kTypeMismatch},
  };
  set_ini_path(dir("conf"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    write_ini(dir("conf"), c.line);
    frame::ModuleState module(services);
    try {
      ChkEligWeb::GetSessionTimeOut(module);
      ADD_FAILURE() << "no failure raised";
    } catch (const vb::RuntimeError& error) {
      EXPECT_EQ(error.number(), c.error_number);
    }
  }
}

// Without a readable INIPath (no file, no value, a value of another type) trip.ini is looked
// for at the root.
TEST_F(ChkEligWebTest, without_a_usable_ini_path_trip_ini_is_looked_for_at_the_root) {
  write_ini(dir("conf"), "CalendarUrl=http://cal/\r\n");
  // The directory name written as UTF-16LE bytes, as the Registry Editor exports hex(2).
  std::string bytes;
  for (char c : dir("conf")) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02x,00,", static_cast<unsigned char>(c));
    bytes += hex;
  }
  for (const std::string& value :
       {std::string(), std::string("\"Other\"=\"x\""), "\"INIPath\"=hex(2):" + bytes + "00,00"}) {
    SCOPED_TRACE(value);
    std::filesystem::remove(temp.path() / "jaunter.reg");
    if (!value.empty()) {
      temp.write("jaunter.reg", std::string("Windows Registry Editor Version 5.00\r\n\r\n") +
                                    kKeyLine + value + "\r\n");
    }
    frame::ModuleState module(services);
    EXPECT_EQ(ChkEligWeb::GetCalendarUrl(module), "");
    EXPECT_EQ(module.error, error_reading("/trip.ini", "CalendarUrl"));
  }
  EXPECT_TRUE(log.entries().empty());
}

TEST_F(ChkEligWebTest, missing_or_empty_setting_gives_the_error_reading_message) {
  set_ini_path(dir("conf"));
  const std::string file = dir("conf") + "/trip.ini";
  struct Case {
    const char* what;
    std::string ini;  // "" writes no file
  };
  const std::vector<Case> cases = {
      {"no trip.ini", ""},
      {"key missing", "CalendarUrlX=1\r\n"},
      {"value empty", "CalendarUrl=\r\n"},
      {"value an empty pair of quotes", "CalendarUrl=\"\"\r\n"},
      {"key in another section only", "[Other]\r\nCalendarUrl=http://cal/\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(file);
    if (!c.ini.empty()) write_ini(dir("conf"), c.ini);
    frame::ModuleState module(services);
    EXPECT_EQ(ChkEligWeb::GetCalendarUrl(module), "");
    EXPECT_EQ(module.error, error_reading(file, "CalendarUrl"));
  }
}

TEST_F(ChkEligWebTest, the_last_setting_that_cannot_be_read_leaves_its_message) {
  set_ini_path(dir("conf"));
  const std::string file = write_ini(dir("conf"), "SmtpServer=mail\r\n");
  frame::ModuleState module(services);
  ChkEligWeb::GetCalendarUrl(module);
  EXPECT_EQ(ChkEligWeb::GetSmtpServer(module), "mail");
  ChkEligWeb::GetInquiryUrl(module);
  EXPECT_EQ(module.error, error_reading(file, "InquiryUrl"));
}

TEST_F(ChkEligWebTest,
       ini_get_setting_string_reports_the_section_key_and_file_or_returns_the_default) {
  frame::ModuleState module(services);
  const std::string file = dir("nowhere/settings.ini");
  EXPECT_EQ(ChkEligWeb::INIGetSettingString(module, "Mail", "Server", file, ""), "");
  EXPECT_EQ(module.error,
            "Error in Procedure: INIGetSettingString of Module: ChkEligWeb.  Error reading " +
                file +
                ", Mail - Server.  Please make sure the appropriate user has permissions to read "
                "this file and that the lastest version of the ini file is in the correct path.  "
                "Contact the transportation webmaster.");
  frame::ModuleState other(services);  // a default given answers without a message
  EXPECT_EQ(ChkEligWeb::INIGetSettingString(other, "Carline Options", "CarlinePath",
                                            dir("absent.ini"), "/default/"),
            "/default/");
  EXPECT_EQ(other.error, "NA");
}

TEST_F(ChkEligWebTest, carline_path_gives_the_data_directory_and_the_three_data_sources) {
  set_ini_path(dir("conf"));
  create_databases(dir("data"), {"trip.db", "qsclsc1.db", "Tripschl.db"});
  for (const std::string& carline_path : {dir("data"), dir("data") + "/"}) {
    SCOPED_TRACE(carline_path);
    write_ini(dir("conf"), "CarlinePath=" + carline_path + "\r\n");
    frame::thread_paths() = frame::ThreadPaths{};
    frame::ModuleState module(services);
    ChkEligWeb::SetTripPaths(module);
    EXPECT_EQ(module.paths.strTripDataPath, dir("data") + "/");
    EXPECT_FALSE(module.paths.data_path_failed);
    ChkEligWeb::SetTripDBConnections(module);
    EXPECT_EQ(module.error, "NA");
    ASSERT_TRUE(module.trip && module.security && module.request);
    EXPECT_TRUE(module.trip->is_open());
    EXPECT_TRUE(module.security->is_open());
    EXPECT_TRUE(module.request->is_open());
    EXPECT_EQ(module.trip->path(), dir("data") + "/trip.db");
    EXPECT_EQ(module.security->path(), dir("data") + "/qsclsc1.db");
    EXPECT_EQ(module.request->path(), dir("data") + "/Tripschl.db");
    ChkEligWeb::CloseTripDBConnections(module);
  }
}

TEST_F(ChkEligWebTest, missing_trip_ini_or_carline_path_leaves_the_root_for_this_request) {
  set_ini_path(dir("conf"));
  for (const bool with_file : {false, true}) {
    if (with_file) write_ini(dir("conf"), "SessionTimeOut=20\r\n");
    frame::ModuleState module(services);
    ChkEligWeb::SetTripPaths(module);
    EXPECT_EQ(module.error, error_reading(dir("conf") + "/trip.ini", "CarlinePath"));
    EXPECT_EQ(module.paths.strTripDataPath, "/");
    EXPECT_TRUE(module.paths.data_path_failed);
  }
}

// A data directory that could not be read is not kept for the thread's later requests.
TEST_F(ChkEligWebTest, after_a_failed_data_directory_the_next_request_reads_it_again) {
  set_ini_path(dir("conf"));
  {
    frame::ModuleState first_request(services);
    ChkEligWeb::SetTripPaths(first_request);
    EXPECT_EQ(first_request.paths.strTripDataPath, "/");
  }
  write_ini(dir("conf"), "CarlinePath=" + dir("data") + "\r\n");
  frame::ModuleState next_request(services);
  EXPECT_EQ(next_request.paths.strTripDataPath, "");
  ChkEligWeb::SetTripPaths(next_request);
  EXPECT_EQ(next_request.error, "NA");
  EXPECT_EQ(next_request.paths.strTripDataPath, dir("data") + "/");
  EXPECT_FALSE(next_request.paths.data_path_failed);
}

TEST_F(ChkEligWebTest, missing_database_file_reports_the_error_and_the_data_directory) {
  create_databases(dir("data"), {"trip.db", "Tripschl.db"});
  frame::ModuleState module(services);
  module.paths.strTripDataPath = dir("data") + "/";
  ChkEligWeb::SetTripDBConnections(module);
  EXPECT_EQ(module.error,
            "Error in Procedure: SetTripDBConnections of Module: ChkEligWeb.  Error: -2147467259 - "
            "Could not find file &#39;" +
                dir("data") + "/qsclsc1.db&#39;.; strTripDataPath=" + dir("data") + "/.");
  ASSERT_TRUE(module.trip && module.security && module.request);
  EXPECT_TRUE(module.trip->is_open());
  EXPECT_FALSE(module.security->is_open());
  EXPECT_FALSE(module.request->is_open());
}

TEST_F(ChkEligWebTest, close_is_harmless_before_twice_after_a_failure_or_a_lost_connection) {
  create_databases(dir("data"), {"trip.db", "qsclsc1.db", "Tripschl.db"});
  frame::ModuleState module(services);
  ChkEligWeb::CloseTripDBConnections(module);
  EXPECT_EQ(module.error, "NA");
  module.paths.strTripDataPath = dir("data") + "/";
  ChkEligWeb::SetTripDBConnections(module);
  ASSERT_EQ(module.error, "NA");
  ChkEligWeb::CloseTripDBConnections(module);
  EXPECT_EQ(module.trip, nullptr);
  EXPECT_EQ(module.security, nullptr);
  EXPECT_EQ(module.request, nullptr);
  ChkEligWeb::CloseTripDBConnections(module);
  EXPECT_EQ(module.error, "NA");
  EXPECT_THROW(module.trip_db(), vb::RuntimeError);

  // A connection already gone ends the close quietly; the module state closes the rest.
  ChkEligWeb::SetTripDBConnections(module);
  module.trip.reset();
  ChkEligWeb::CloseTripDBConnections(module);
  EXPECT_EQ(module.error, "NA");
  ASSERT_NE(module.security, nullptr);
  EXPECT_TRUE(module.security->is_open());

  // After a failed open the close keeps the report of the failure.
  std::filesystem::remove(dir("data") + "/qsclsc1.db");
  frame::ModuleState failed(services);
  failed.paths.strTripDataPath = dir("data") + "/";
  ChkEligWeb::SetTripDBConnections(failed);
  const std::string report = failed.error;
  ASSERT_NE(report, "NA");
  ChkEligWeb::CloseTripDBConnections(failed);
  EXPECT_EQ(failed.error, report);
  EXPECT_EQ(failed.trip, nullptr);
}

}  // namespace
