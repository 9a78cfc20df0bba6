// ChkEligWeb: the INI directory rules, the setting readers, the data directory, the connections
// and the failure reports, on a registry file and trip.ini written into temporary directories.
#include "config/ChkEligWeb.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "frame/module_state.h"
#include "platform/db/db.h"
#include "platform/sys/event_log.h"
#include "platform/sys/registry.h"
#include "platform/sys/services.h"
#include "platform/vb/errors.h"
#include "tests/support/temp_dir.h"

namespace {

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

  // The registry file with `line` under the application's key ("" writes no file).
  void set_registry(const std::string& line) {
    std::filesystem::remove(temp.path() / "jaunter.reg");
    if (line.empty()) return;
    temp.write("jaunter.reg",
               "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\"
               "Quillmark Software, Inc.\\Carline Transport Manager - Field Trip]\r\n" +
                   line + "\r\n");
  }
  void set_ini_path(const std::string& directory) {
    set_registry("\"INIPath\"=\"" + directory + "\"");
  }

  // trip.ini in dir(name) with the given lines in section "Carline Options".
  std::string write_ini(const std::string& name, const std::string& lines) {
    return temp.write(name + "/trip.ini", "[Carline Options]\r\n" + lines);
  }

  void create_databases(const std::vector<std::string>& names) {
    std::filesystem::create_directories(dir("data"));
    for (const std::string& name : names) db::Connection().create(dir("data") + "/" + name);
  }

  testing_support::TempDir temp;
  sys::RegistryFile registry{temp.path().string() + "/jaunter.reg"};
  sys::MemoryEventLog log;
  sys::Services services;
};

// "Multiple" in any case means the application's directory; a path may end with a separator.
TEST_F(ChkEligWebTest, ini_path_multiple_or_a_directory_reads_the_trip_ini_it_names) {
  write_ini("app", "CalendarUrl=app\r\n");
  write_ini("conf", "CalendarUrl=conf\r\n");
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

// The other readers show in the application store at start-up.
TEST_F(ChkEligWebTest, readers_return_their_settings_without_quotes) {
  set_ini_path(dir("conf"));
  write_ini("conf", "InquiryUrl=http://inq/\r\nSmtpUsername=trips\r\nSmtpPassword=\"s3cret \"\r\n");
  frame::ModuleState module(services);
  EXPECT_EQ(ChkEligWeb::GetInquiryUrl(module), "http://inq/");
  EXPECT_EQ(ChkEligWeb::GetSmtpUsername(module), "trips");
  EXPECT_EQ(ChkEligWeb::GetSmtpPassword(module), "s3cret ");
  EXPECT_EQ(module.error, "NA");
}

// DOTNETInstalled ignores letter case; SmtpAuthentication takes "True" alone.
TEST_F(ChkEligWebTest, yes_no_settings_follow_their_own_letter_case_rules) {
  struct Case {
    std::string text;
    bool dotnet_installed, smtp_authentication;
  };
  const Case cases[] = {
      {"True", true, true},     {"tRuE", true, false},    {"yes", false, false},
      {"\"True\"", true, true}, {"  True  ", true, true},
  };
  set_ini_path(dir("conf"));
  for (const Case& c : cases) {
    write_ini("conf", "DOTNETInstalled=" + c.text + "\r\nSmtpAuthentication=" + c.text + "\r\n");
    frame::ModuleState module(services);
    EXPECT_EQ(ChkEligWeb::GetDOTNETInstalled(module), c.dotnet_installed) << c.text;
    EXPECT_EQ(ChkEligWeb::GetSmtpAuthentication(module), c.smtp_authentication) << c.text;
  }
}

TEST_F(ChkEligWebTest, session_timeout_that_is_not_a_whole_number_raises_to_the_caller) {
  const std::pair<std::string, long> cases[] = {{"SessionTimeOut=abc\r\n", vb::err::kTypeMismatch},
                                                {"SessionTimeOut=40000\r\n", vb::err::kOverflow}};
  set_ini_path(dir("conf"));
  for (const auto& [line, number] : cases) {
    write_ini("conf", line);
    frame::ModuleState module(services);
    try {
      ChkEligWeb::GetSessionTimeOut(module);
      ADD_FAILURE() << "no failure raised for " << line;
    } catch (const vb::RuntimeError& error) {
      EXPECT_EQ(error.number(), number) << line;
    }
  }
}

// Without a readable INIPath (no file, no value) trip.ini is looked for at the root.
TEST_F(ChkEligWebTest, missing_or_empty_setting_gives_the_error_reading_message) {
  const std::string ini_path = "\"INIPath\"=\"" + dir("conf") + "\"",
                    file = dir("conf") + "/trip.ini";
  const std::tuple<std::string, const char*, std::string> cases[] = {
      {ini_path, "", file},  // "" writes no trip.ini
      {ini_path, "CalendarUrlX=1\r\n", file},
      {ini_path, "CalendarUrl=\"\"\r\n", file},
      {ini_path, "[Other]\r\nCalendarUrl=http://cal/\r\n", file},
      {"", "CalendarUrl=http://cal/\r\n", "/trip.ini"},
      {"\"Other\"=\"x\"", "CalendarUrl=http://cal/\r\n", "/trip.ini"},
  };
  for (const auto& [registry_line, ini, read] : cases) {
    set_registry(registry_line);
    std::filesystem::remove(file);
    if (*ini) write_ini("conf", ini);
    frame::ModuleState module(services);
    EXPECT_EQ(ChkEligWeb::GetCalendarUrl(module), "") << registry_line << ini;
    EXPECT_EQ(module.error, error_reading(read, "CalendarUrl")) << registry_line << ini;
  }
  EXPECT_TRUE(log.entries().empty());
}

TEST_F(ChkEligWebTest, carline_path_gives_the_data_directory_and_the_three_data_sources) {
  set_ini_path(dir("conf"));
  create_databases({"trip.db", "qsclsc1.db", "Tripschl.db"});
  for (const std::string& carline_path : {dir("data"), dir("data") + "/"}) {
    write_ini("conf", "CarlinePath=" + carline_path + "\r\n");
    frame::thread_paths() = frame::ThreadPaths{};
    frame::ModuleState module(services);
    ChkEligWeb::CloseTripDBConnections(module);  // harmless before the open
    ChkEligWeb::SetTripPaths(module);
    EXPECT_EQ(module.paths.strTripDataPath, dir("data") + "/");
    EXPECT_FALSE(module.paths.data_path_failed);
    ChkEligWeb::SetTripDBConnections(module);
    ASSERT_TRUE(module.trip && module.security && module.request);
    EXPECT_EQ(module.trip->path(), dir("data") + "/trip.db");
    EXPECT_EQ(module.security->path(), dir("data") + "/qsclsc1.db");
    EXPECT_EQ(module.request->path(), dir("data") + "/Tripschl.db");
    EXPECT_TRUE(module.request->is_open());
    ChkEligWeb::CloseTripDBConnections(module);
    ChkEligWeb::CloseTripDBConnections(module);  // and harmless twice
    EXPECT_EQ(module.request, nullptr);
    EXPECT_EQ(module.error, "NA");
    EXPECT_THROW(module.trip_db(), vb::RuntimeError);
  }
}

// A data directory that could not be read is not kept for the thread's later requests.
TEST_F(ChkEligWebTest, a_missing_carline_path_leaves_the_root_for_this_request_only) {
  set_ini_path(dir("conf"));
  for (const bool with_file : {false, true}) {
    if (with_file) write_ini("conf", "SessionTimeOut=20\r\n");
    frame::ModuleState module(services);
    ChkEligWeb::SetTripPaths(module);
    EXPECT_EQ(module.error, error_reading(dir("conf") + "/trip.ini", "CarlinePath"));
    EXPECT_EQ(module.paths.strTripDataPath, "/");
    EXPECT_TRUE(module.paths.data_path_failed);
  }
  write_ini("conf", "CarlinePath=" + dir("data") + "\r\n");
  frame::ModuleState next_request(services);
  EXPECT_EQ(next_request.paths.strTripDataPath, "");
  ChkEligWeb::SetTripPaths(next_request);
  EXPECT_EQ(next_request.paths.strTripDataPath, dir("data") + "/");
  EXPECT_FALSE(next_request.paths.data_path_failed);
}

TEST_F(ChkEligWebTest, missing_database_file_reports_the_error_and_the_data_directory) {
  create_databases({"trip.db", "Tripschl.db"});
  frame::ModuleState module(services);
  module.paths.strTripDataPath = dir("data") + "/";
  ChkEligWeb::SetTripDBConnections(module);
  const std::string report = module.error;
  EXPECT_EQ(report,
            "Error in Procedure: SetTripDBConnections of Module: ChkEligWeb.  Error: -2147467259 - "
            "Could not find file &#39;" +
                dir("data") + "/qsclsc1.db&#39;.; strTripDataPath=" + dir("data") + "/.");
  ASSERT_TRUE(module.trip && module.security && module.request);
  EXPECT_TRUE(module.trip->is_open());
  EXPECT_FALSE(module.request->is_open());
  ChkEligWeb::CloseTripDBConnections(module);  // keeps the report of the failure
  EXPECT_EQ(module.error, report);
  EXPECT_EQ(module.trip, nullptr);
}

// A connection already gone ends the close quietly; the module state closes the rest.
TEST_F(ChkEligWebTest, close_after_a_lost_connection_is_quiet) {
  create_databases({"trip.db", "qsclsc1.db", "Tripschl.db"});
  frame::ModuleState module(services);
  module.paths.strTripDataPath = dir("data") + "/";
  ChkEligWeb::SetTripDBConnections(module);
  module.trip.reset();
  ChkEligWeb::CloseTripDBConnections(module);
  EXPECT_EQ(module.error, "NA");
  ASSERT_NE(module.security, nullptr);
  EXPECT_TRUE(module.security->is_open());
}

}  // namespace
