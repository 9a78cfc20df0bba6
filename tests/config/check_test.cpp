// The configuration check: a sound district passes, and each broken link of the chain fails on
// its own line, naming the problem; the health probe names the first problem.
#include "config/check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/sys/clock.h"
#include "platform/sys/event_log.h"
#include "platform/vb/errors.h"
#include "tests/support/simulator.h"

namespace {

namespace fs = std::filesystem;
using config::CheckStatus;

struct Fixture {
  testing_support::District district;
  std::string app_dir = JAUNTER_DEFAULT_APP_DIR;
  bool smtp_answers = true;

  Fixture() { district.add_district_rows(); }
  std::vector<config::CheckLine> run() const {
    sys::RegistryFile registry(district.registry_path());
    sys::FixedClock clock;
    sys::MemoryEventLog log;
    sys::Services services{&clock, &registry, &log, nullptr};
    config::CheckOptions options{app_dir, {"login1.htm", "TripSearch1.htm"}};
    options.probe_smtp = [this](const sys::SmtpSettings&) {
      if (!smtp_answers) throw vb::RuntimeError(5, "The mail server 127.0.0.1:2525 did not answer");
    };
    return config::check_configuration(services, district.registry_path(), options);
  }
};

std::vector<std::string> failures(const std::vector<config::CheckLine>& lines) {
  std::vector<std::string> failed;
  for (const auto& line : lines) {
    if (line.status == CheckStatus::Failed) failed.push_back(line.subject + ": " + line.detail);
  }
  return failed;
}

// The rollback journal (the desktop tools' mode) only warns.
TEST(Check, a_sound_district_passes_every_link_and_the_rollback_journal_warns) {
  const auto lines = Fixture().run();
  EXPECT_EQ(failures(lines), std::vector<std::string>{});
  // registry, trip.ini, data dir, 3 databases, settings, mail, templates
  EXPECT_EQ(lines.size(), 9u);
  Fixture journal;
  journal.district.sql("request", "PRAGMA journal_mode=DELETE");
  const auto warned = journal.run();
  EXPECT_EQ(failures(warned), std::vector<std::string>{});
  EXPECT_TRUE(std::any_of(warned.begin(), warned.end(), [](const auto& line) {
    return line.subject == "Tripschl.db" && line.status == CheckStatus::Warning &&
           line.detail.find("journal mode delete") != std::string::npos;
  }));
}

TEST(Check, each_broken_link_fails_on_its_own_line) {
  struct Case {
    const char* damage;  // "rm FILE", "ini KEY=VALUE", "sql STATEMENT", or a named damage
    const char* subject;
    const char* fragment;
  };
  const Case cases[] = {
      {"rm jaunter.reg", "registry", "does not exist"},
      {"no INIPath", "registry", "no value INIPath"},
      {"rm trip.ini", "trip.ini", "does not exist"},
      {"no CarlinePath", "data directory", "has no CarlinePath"},
      {"ini CarlinePath=/nowhere/at/all", "data directory", "is not a directory"},
      {"rm qsclsc1.db", "qsclsc1.db", "does not exist"},
      {"not a database", "Tripschl.db", "cannot be"},
      {"sql DROP TABLE FUND", "trip.db", "table FUND"},
      {"sql ALTER TABLE CUSTOMER DROP COLUMN CUSTSPEC", "trip.db", "CUSTOMER.CUSTSPEC"},
      {"ini SessionTimeOut=twenty", "settings", "SessionTimeOut"},
      {"sql DELETE FROM District", "settings", "District"},
      {"ini SmtpServer=", "settings", "SmtpServer"},
      {"ini SmtpPort=smtp", "mail server", "SmtpPort 'smtp'"},
      {"mail server silent", "mail server", "did not answer"},
      {"templates elsewhere", "templates", "login1.htm"},
  };
  for (const Case& c : cases) {
    Fixture f;
    const std::string damage = c.damage, rest = damage.substr(damage.find(' ') + 1);
    if (damage.rfind("rm ", 0) == 0) fs::remove(f.district.dir() + "/" + rest);
    if (damage.rfind("sql ", 0) == 0) f.district.sql("trip", rest);
    if (damage.rfind("ini ", 0) == 0) {
      f.district.set_ini(rest.substr(0, rest.find('=')), rest.substr(rest.find('=') + 1));
    }
    if (damage == "no INIPath") {
      std::ofstream(f.district.registry_path()) << "Windows Registry Editor Version 5.00\n";
    }
    if (damage == "no CarlinePath") f.district.remove_ini("CarlinePath");
    if (damage == "not a database") {
      std::ofstream(f.district.dir() + "/Tripschl.db", std::ios::trunc) << std::string(4096, 'x');
    }
    if (damage == "mail server silent") f.smtp_answers = false;
    if (damage == "templates elsewhere") f.app_dir = f.district.dir();
    const auto failed = failures(f.run());
    ASSERT_EQ(failed.size(), 1u) << c.damage;
    EXPECT_EQ(failed[0].rfind(std::string(c.subject) + ": ", 0), 0u) << failed[0];
    EXPECT_NE(failed[0].find(c.fragment), std::string::npos) << failed[0];
  }
}

TEST(Health, answers_nothing_when_the_databases_answer_and_the_reason_when_one_is_gone) {
  Fixture fixture;
  sys::RegistryFile registry(fixture.district.registry_path());
  sys::FixedClock clock;
  sys::MemoryEventLog log;
  const sys::Services services{&clock, &registry, &log, nullptr};
  testing_support::reset_thread_paths();
  EXPECT_EQ(config::health_problem(services), "");
  fs::remove(fixture.district.dir() + "/Tripschl.db");
  EXPECT_NE(config::health_problem(services).find("Tripschl.db does not exist"), std::string::npos);
  testing_support::reset_thread_paths();
}

}  // namespace
