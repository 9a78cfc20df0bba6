// The configuration check: a sound district passes, and each broken link of the chain fails on
// its own line, naming the problem.
#include "config/check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/sys/clock.h"
#include "platform/sys/event_log.h"
#include "platform/vb/errors.h"
#include "tests/support/simulator.h"

namespace {

using config::CheckStatus;
using testing_support::District;

struct CheckRun {
  std::vector<config::CheckLine> lines;
  bool failed(const std::string& subject, const std::string& fragment) const {
    for (const auto& line : lines) {
      if (line.status == CheckStatus::Failed && line.subject == subject &&
          line.detail.find(fragment) != std::string::npos) {
        return true;
      }
    }
    return false;
  }
  int failures() const {
    int count = 0;
    for (const auto& line : lines) count += line.status == CheckStatus::Failed;
    return count;
  }
};

struct Fixture {
  District district;
  std::string app_dir = JAUNTER_DEFAULT_APP_DIR;
  bool smtp_answers = true;

  Fixture() {
    district.add_district_rows();
    district.write_ini();
    district.write_registry(district.dir());
  }
  CheckRun run(const std::string& registry_path) const {
    sys::RegistryFile registry(registry_path);
    sys::FixedClock clock;
    sys::MemoryEventLog log;
    sys::Services services{&clock, &registry, &log, nullptr};
    config::CheckOptions options;
    options.app_dir = app_dir;
    options.template_files = {"login1.htm", "TripSearch1.htm"};
    options.probe_smtp = [this](const sys::SmtpSettings&) {
      if (!smtp_answers) throw vb::RuntimeError(5, "The mail server 127.0.0.1:2525 did not answer");
    };
    return {config::check_configuration(services, registry_path, options)};
  }
  CheckRun run() const { return run(district.registry_path()); }
};

TEST(Check, a_sound_district_passes_every_link) {
  Fixture fixture;
  const CheckRun run = fixture.run();
  EXPECT_EQ(run.failures(), 0);
  ASSERT_EQ(run.lines.size(), 9u);  // registry, trip.ini, data dir, 3 databases, settings, mail,
                                    // templates
  for (const auto& line : run.lines) EXPECT_NE(line.status, CheckStatus::Failed) << line.detail;
}

TEST(Check, each_broken_link_fails_on_its_own_line) {
  namespace fs = std::filesystem;
  struct Case {
    const char* name;
    std::function<void(Fixture&)> damage;
    const char* subject;
    const char* fragment;
  };
  const Case cases[] = {
      {"no registry file", [](Fixture& f) { fs::remove(f.district.registry_path()); }, "registry",
       "does not exist"},
      {"no INIPath",
       [](Fixture& f) {
         std::ofstream(f.district.registry_path()) << "Windows Registry Editor Version 5.00\n";
       },
       "registry", "no value INIPath"},
      {"no trip.ini", [](Fixture& f) { fs::remove(f.district.dir() + "/trip.ini"); }, "trip.ini",
       "does not exist"},
      {"no CarlinePath",
       [](Fixture& f) {
         f.district.remove_ini("CarlinePath");
         f.district.write_ini();
       },
       "data directory", "has no CarlinePath"},
      {"CarlinePath not a directory",
       [](Fixture& f) {
         f.district.set_ini("CarlinePath", f.district.dir() + "/nowhere");
         f.district.write_ini();
       },
       "data directory", "is not a directory"},
      {"a database missing", [](Fixture& f) { fs::remove(f.district.dir() + "/qsclsc1.db"); },
       "qsclsc1.db", "does not exist"},
      {"not a database",
       [](Fixture& f) {
         fs::remove(f.district.dir() + "/Tripschl.db");
         std::ofstream(f.district.dir() + "/Tripschl.db") << std::string(4096, 'x');
       },
       "Tripschl.db", "cannot be"},
      {"a table missing", [](Fixture& f) { f.district.sql("trip", "DROP TABLE FUND"); }, "trip.db",
       "table FUND"},
      {"a column missing",
       [](Fixture& f) { f.district.sql("trip", "ALTER TABLE CUSTOMER DROP COLUMN CUSTSPEC"); },
       "trip.db", "CUSTOMER.CUSTSPEC"},
      {"session time-out not a number",
       [](Fixture& f) {
         f.district.set_ini("SessionTimeOut", "twenty");
         f.district.write_ini();
       },
       "settings", "SessionTimeOut"},
      {"no District row", [](Fixture& f) { f.district.sql("trip", "DELETE FROM District"); },
       "settings", "District"},
      {"no mail server",
       [](Fixture& f) {
         f.district.set_ini("SmtpServer", "");
         f.district.write_ini();
       },
       "settings", "SmtpServer"},
      {"port not a number",
       [](Fixture& f) {
         f.district.set_ini("SmtpPort", "smtp");
         f.district.write_ini();
       },
       "mail server", "SmtpPort 'smtp'"},
      {"mail server silent", [](Fixture& f) { f.smtp_answers = false; }, "mail server",
       "did not answer"},
      {"templates elsewhere", [](Fixture& f) { f.app_dir = f.district.dir(); }, "templates",
       "login1.htm"},
  };
  for (const Case& c : cases) {
    Fixture fixture;
    c.damage(fixture);
    const CheckRun run = fixture.run();
    EXPECT_TRUE(run.failed(c.subject, c.fragment)) << c.name;
    EXPECT_EQ(run.failures(), 1) << c.name;
  }
}

TEST(Check, missing_indexes_and_the_rollback_journal_warn_without_failing) {
  Fixture fixture;
  fixture.district.sql("request", "PRAGMA journal_mode=DELETE");
  const CheckRun run = fixture.run();
  EXPECT_EQ(run.failures(), 0);
  bool warned = false;
  for (const auto& line : run.lines) {
    warned = warned || (line.subject == "Tripschl.db" && line.status == CheckStatus::Warning &&
                        line.detail.find("journal mode delete") != std::string::npos);
  }
  EXPECT_TRUE(warned);
}

}  // namespace

namespace {

TEST(Health, answers_nothing_when_the_databases_answer_and_the_reason_when_one_is_gone) {
  Fixture fixture;
  sys::RegistryFile registry(fixture.district.registry_path());
  sys::FixedClock clock;
  sys::MemoryEventLog log;
  const sys::Services services{&clock, &registry, &log, nullptr};
  testing_support::reset_thread_paths();
  EXPECT_EQ(config::health_problem(services), "");
  std::filesystem::remove(fixture.district.dir() + "/Tripschl.db");
  EXPECT_NE(config::health_problem(services).find("Tripschl.db does not exist"), std::string::npos);
  testing_support::reset_thread_paths();
}

}  // namespace
