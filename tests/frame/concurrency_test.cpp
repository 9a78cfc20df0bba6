// Requests of different users on different threads: each sees only its own error text.
#include <gtest/gtest.h>

#include <thread>

#include "tests/support/sample_data.h"

namespace {

using namespace testing_support;

TEST(Concurrency, requests_failing_at_the_same_time_each_write_only_their_own_report) {
  District district;
  add_sample_data(district);
  Simulator sim(district);
  sim.get("");
  web::Runtime& runtime = sim.runtime();
  auto signed_in_cookie = [&] {
    auto session = runtime.sessions().create();
    session->values.set("USER", "teacher");
    session->values.set("ROLE", "REQUESTER");
    runtime.sessions().commit(session);
    return std::string(web::Runtime::kSessionCookie) + "=" + session->id;
  };
  const std::string start = "Error in Procedure: RequestDetail_UserEvent of Module: Jaunter.  ";
  struct Worker {
    std::string event, report;
    int wrong = 0;
  } workers[] = {{"abc", start + "Error: 13.  Type mismatch."},
                 {"99999999999", start + "Error: 6.  Overflow."}};
  std::vector<std::thread> threads;
  for (Worker& worker : workers) {
    threads.emplace_back([&, cookie = signed_in_cookie()] {
      for (int i = 0; i < 200; ++i) {
        web::HttpRequest request;
        request.method = "GET";
        request.path = "/Jaunter.ASP";
        request.query = "WCI=RequestDetail&WCE=" + worker.event + "&WCU";
        request.cookie = cookie;
        if (message_of(runtime.handle(request).body) != worker.report) ++worker.wrong;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const Worker& worker : workers) EXPECT_EQ(worker.wrong, 0) << worker.event;
}

}  // namespace
