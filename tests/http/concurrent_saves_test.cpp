// Many users at once on databases the desktop system made and keeps reading: saves and searches
// over real sockets, none of them refused as locked.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/sample_data.h"
#include "tests/support/server_process.h"
#include "tests/support/smtp_sink.h"

namespace {

using namespace testing_support;
using Handle = std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)>;

// A connection of another program on one of the district's files.
Handle other_program(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  return Handle(db, sqlite3_close_v2);
}
long long run(const Handle& db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
  const int step = sqlite3_step(stmt);
  EXPECT_TRUE(step == SQLITE_ROW || step == SQLITE_DONE) << sqlite3_errmsg(db.get());
  const long long n = step == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  return n;
}

// A user with a cookie of their own; keeps what went wrong on any page.
struct Browser {
  void post(const std::string& target, const std::string& form) {
    const HttpReply reply = http_request(port, "POST", target, form, cookie);
    const auto set = reply.headers.find("set-cookie");
    if (cookie.empty() && set != reply.headers.end()) {
      cookie = set->second.substr(0, set->second.find(';'));
    }
    for (const char* text : {"database is locked", "Error in Procedure", "could not finish"}) {
      const auto at = reply.body.find(text);
      if (reply.status >= 400 || at != std::string::npos) {
        failures.push_back(std::to_string(reply.status) + " " +
                           reply.body.substr(at == std::string::npos ? 0 : at, 300));
        break;
      }
    }
  }
  int port;
  std::string cookie;
  std::vector<std::string> failures;
};

std::string new_request_form() {
  std::time_t now = std::time(nullptr);
  std::tm today{};
  localtime_r(&now, &today);  // called from several threads at once
  return "dropDownChange=&New=NEW&cust=LHS%2C+Lakeview+High+School"
         "&RequestorEmail=teacher%40example.org&Contact=Ms+Smith&dest=11&DESTSPEC="
         "&Dep_month=Mar&Dep_date=16&Dep_year=" +
         std::to_string(today.tm_year + 1901) +
         "&chkDefaultReturnDate=ON&DEP_HOUR=9&DEP_MIN=0&DEP_AMPM=AM&RET_HOUR=3&RET_MIN=30"
         "&RET_AMPM=PM&NUMADULTS=2&NUMSTUDENTS=25&NUMHAND=0&ESTTIME=4&ESTMILE=12&PURPOSE=Concert"
         "&CUSTSPEC=&TRIPCOM=&PO=&INTTRIPNUM=&tripcat=FLD&grade=5&fund=100&btnSubmit=Save";
}

// As shipped and with a fixed pool of two page threads.
class ConcurrentSaves : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(ConcurrentSaves, savers_and_searchers_get_no_error_page_while_another_program_reads) {
  constexpr int kSavers = 20, kSearchers = 10, kSavesEach = 2;
  District district;
  add_sample_data(district);
  SmtpSink sink;
  district.set_ini("SmtpPort", std::to_string(sink.port()));
  // The desktop system's own tools leave its files in the rollback journal.
  for (const char* file : {"/trip.db", "/qsclsc1.db", "/Tripschl.db"}) {
    run(other_program(district.dir() + file), "PRAGMA journal_mode = DELETE");
  }
  ServerProcess server(GetParam(), {{"JAUNTER_REGISTRY", district.registry_path()}});
  ASSERT_EQ(http_request(server.port(), "GET", "/Jaunter.ASP").status, 200);  // settings loaded

  // Meanwhile a desktop user's report keeps reading the requests.
  const Handle desktop = other_program(district.dir() + "/Tripschl.db");
  const long long before = run(desktop, "SELECT count(*) FROM TRIPSREQ");
  run(desktop, "BEGIN");
  run(desktop, "SELECT count(*) FROM TRIPSREQ");

  std::mutex mutex;
  std::vector<std::string> failures;
  std::vector<std::thread> users;
  for (int i = 0; i < kSavers + kSearchers; ++i) {
    users.emplace_back([&, saver = i < kSavers] {
      Browser browser{server.port(), "", {}};
      browser.post("/Jaunter.ASP?WCI=Login&WCE=LoginValidateUser&WCU",
                   std::string("user=teacher&password=apple&btnsubmit=") +
                       (saver ? "Enter+a+New+Trip+Request" : "Work+With+Trip+Requests"));
      for (int n = 0; n < kSavesEach; ++n) {
        if (!saver) {
          browser.post("/Jaunter.ASP?WCI=RequestSearch&WCE=TripRequests&WCU",
                       "DepFrom=&DepTo=&EnterFrom=&EnterTo=&IntNum=&btnsubmit=Search");
          continue;
        }
        if (n) {
          browser.post("/Jaunter.ASP?WCI=RequestSearch&WCE=Navigate&WCU",
                       "btnsubmit=Enter+New+Request");
        }
        browser.post("/Jaunter.ASP?WCI=RequestDetail&WCE=TripRequestDetail&WCU",
                     new_request_form());
      }
      std::lock_guard lock(mutex);
      failures.insert(failures.end(), browser.failures.begin(), browser.failures.end());
    });
  }
  for (std::thread& user : users) user.join();
  run(desktop, "COMMIT");

  EXPECT_EQ(failures.size(), 0u) << (failures.empty() ? "" : failures.front());
  EXPECT_EQ(run(desktop, "SELECT count(*) FROM TRIPSREQ"), before + kSavers * kSavesEach);
}

INSTANTIATE_TEST_SUITE_P(Servers, ConcurrentSaves,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"--threads", "2"}),
                         [](const auto& info) {
                           return info.param.empty() ? "as_shipped" : "pool_of_two";
                         });

}  // namespace
