// Many users at once on databases the desktop system made and keeps reading: saves and searches
// over real sockets, none of them refused as locked.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/sample_data.h"
#include "tests/support/server_process.h"
#include "tests/support/smtp_sink.h"

namespace {

using namespace testing_support;

constexpr int kSavers = 20;
constexpr int kSearchers = 10;
constexpr int kSavesEach = 2;
constexpr int kSearchesEach = 3;

// A connection of another program on one of the district's files.
class OtherProgram {
 public:
  explicit OtherProgram(const std::string& path) {
    sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  }
  ~OtherProgram() { sqlite3_close_v2(db_); }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;
  void run(const std::string& sql) {
    ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db_);
  }
  long long count(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
    const long long n = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return n;
  }

 private:
  sqlite3* db_ = nullptr;
};

std::string cookie_of(const HttpReply& reply) {
  const auto found = reply.headers.find("set-cookie");
  return found == reply.headers.end() ? "" : found->second.substr(0, found->second.find(';'));
}

class Browser {
 public:
  explicit Browser(int port) : port_(port) {}
  HttpReply get(const std::string& target) {
    return keep(http_request(port_, "GET", target, "", cookie_));
  }
  HttpReply post(const std::string& target, const std::string& form) {
    return keep(http_request(port_, "POST", target, form, cookie_));
  }
  void sign_in(const std::string& button) {
    get("/Jaunter.ASP");
    post("/Jaunter.ASP?WCI=Login&WCE=LoginValidateUser&WCU",
         "user=teacher&password=apple&btnsubmit=" + button);
  }
  std::vector<std::string> failures;

 private:
  HttpReply keep(HttpReply reply) {
    if (cookie_.empty()) cookie_ = cookie_of(reply);
    const bool ok = reply.status >= 200 && reply.status < 400;
    for (const char* text :
         {"database is locked", "Error in Procedure", "The server could not finish this page"}) {
      const auto at = reply.body.find(text);
      if (!ok || at != std::string::npos) {
        // What went wrong, not the page's head.
        const auto from = at == std::string::npos ? 0 : at;
        failures.push_back(std::to_string(reply.status) + " " + reply.body.substr(from, 300));
        break;
      }
    }
    return reply;
  }
  int port_;
  std::string cookie_;
};

std::string new_request_form() {
  std::time_t now = std::time(nullptr);
  const std::string year = std::to_string(std::localtime(&now)->tm_year + 1901);
  return "dropDownChange=&New=NEW&cust=LHS%2C+Lakeview+High+School"
         "&RequestorEmail=teacher%40example.org&Contact=Ms+Smith&dest=11&DESTSPEC="
         "&Dep_month=Mar&Dep_date=16&Dep_year=" +
         year +
         "&chkDefaultReturnDate=ON&DEP_HOUR=9&DEP_MIN=0&DEP_AMPM=AM&RET_HOUR=3&RET_MIN=30"
         "&RET_AMPM=PM&NUMADULTS=2&NUMSTUDENTS=25&NUMHAND=0&ESTTIME=4&ESTMILE=12&PURPOSE=Concert"
         "&CUSTSPEC=&TRIPCOM=&PO=&INTTRIPNUM=&tripcat=FLD&grade=5&fund=100&btnSubmit=Save";
}

TEST(ConcurrentSaves, savers_and_searchers_get_no_error_page_while_another_program_reads) {
  District district;
  add_sample_data(district);
  SmtpSink sink;
  district.set_ini("SmtpPort", std::to_string(sink.port()));
  // The desktop system's own tools leave its files in the rollback journal.
  for (const char* file : {"/trip.db", "/qsclsc1.db", "/Tripschl.db"}) {
    OtherProgram(district.dir() + file).run("PRAGMA journal_mode = DELETE");
  }
  ServerProcess server({}, {{"JAUNTER_REGISTRY", district.registry_path()}});
  Browser first(server.port());
  first.sign_in("Work+With+Trip+Requests");
  ASSERT_EQ(first.failures, std::vector<std::string>{});

  // Meanwhile a desktop user's report keeps reading the requests.
  OtherProgram desktop(district.dir() + "/Tripschl.db");
  const long long before = desktop.count("SELECT count(*) FROM TRIPSREQ");
  desktop.run("BEGIN");
  desktop.count("SELECT count(*) FROM TRIPSREQ");

  std::mutex mutex;
  std::vector<std::string> failures;
  std::vector<std::thread> users;
  for (int i = 0; i < kSavers + kSearchers; ++i) {
    users.emplace_back([&, saver = i < kSavers] {
      Browser browser(server.port());
      browser.sign_in(saver ? "Enter+a+New+Trip+Request" : "Work+With+Trip+Requests");
      for (int n = 0; n < (saver ? kSavesEach : kSearchesEach); ++n) {
        if (saver) {
          if (n)
            browser.post("/Jaunter.ASP?WCI=RequestSearch&WCE=Navigate&WCU",
                         "btnsubmit=Enter+New+Request");
          browser.post("/Jaunter.ASP?WCI=RequestDetail&WCE=TripRequestDetail&WCU",
                       new_request_form());
        } else {
          browser.post("/Jaunter.ASP?WCI=RequestSearch&WCE=TripRequests&WCU",
                       "DepFrom=&DepTo=&EnterFrom=&EnterTo=&IntNum=&btnsubmit=Search");
        }
      }
      std::lock_guard lock(mutex);
      failures.insert(failures.end(), browser.failures.begin(), browser.failures.end());
    });
  }
  for (std::thread& user : users) user.join();
  desktop.run("COMMIT");

  EXPECT_EQ(failures.size(), 0u) << (failures.empty() ? "" : failures.front());
  EXPECT_EQ(desktop.count("SELECT count(*) FROM TRIPSREQ"), before + kSavers * kSavesEach);
}

}  // namespace
