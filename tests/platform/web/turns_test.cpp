// Turns: a bounded number run at once, the rest in the order they came, none waiting forever.
#include "platform/web/turns.h"

#include <gtest/gtest.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace web {
namespace {

using namespace std::chrono_literals;

template <class Condition>
bool soon(Condition condition) {
  for (int i = 0; i < 2000 && !condition(); ++i) std::this_thread::sleep_for(1ms);
  return condition();
}

TEST(Turns, waiters_go_in_the_order_they_came_and_none_waits_past_the_longest_wait) {
  Turns turns(2, 10s);
  std::optional<Turns::Turn> first(std::in_place, turns), second(std::in_place, turns);
  std::mutex order_mutex;
  std::string order;
  std::vector<std::thread> waiters;
  for (char name : {'c', 'd', 'e'}) {
    waiters.emplace_back([&, name] {
      const Turns::Turn turn(turns);
      std::lock_guard lock(order_mutex);
      order += name;
    });
    ASSERT_TRUE(soon([&] { return turns.waiting() == static_cast<std::size_t>(name - 'b'); }));
  }
  EXPECT_EQ(turns.running(), 2u);
  first.reset();  // c, d and e follow one another through this turn
  for (std::thread& waiter : waiters) waiter.join();
  EXPECT_EQ(order, "cde");
  EXPECT_EQ(turns.running(), 1u);
  second.reset();
  EXPECT_EQ(turns.running(), 0u);

  // Every turn held: a waiter goes ahead after the longest wait.
  Turns short_wait(1, 50ms);
  const Turns::Turn held(short_wait);
  const auto started = std::chrono::steady_clock::now();
  {
    const Turns::Turn late(short_wait);
    EXPECT_EQ(short_wait.running(), 2u);
  }
  EXPECT_GE(std::chrono::steady_clock::now() - started, 50ms);
  EXPECT_EQ(short_wait.running(), 1u);

  Turns unlimited(0, 10s);
  const Turns::Turn a(unlimited), b(unlimited), c(unlimited);  // none waits
  EXPECT_EQ(unlimited.waiting(), 0u);
}

// A kind of request learnt to be short goes at once, beside the turns; an unknown kind, or one
// learnt to be long, waits for a turn.
TEST(Turns, a_kind_learnt_to_be_short_goes_beside_the_turns) {
  Turns turns(1, 500ms, 1ms);
  const auto burn = [](std::chrono::nanoseconds length) {
    timespec at{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &at);
    const auto start = std::chrono::seconds(at.tv_sec) + std::chrono::nanoseconds(at.tv_nsec);
    for (auto now = start; now - start < length;) {
      clock_gettime(CLOCK_THREAD_CPUTIME_ID, &at);
      now = std::chrono::seconds(at.tv_sec) + std::chrono::nanoseconds(at.tv_nsec);
    }
  };
  { const Turns::Turn learnt(turns, "GET /?WCI=Small"); }
  {
    const Turns::Turn learnt(turns, "GET /?WCI=Big");
    burn(5ms);
  }
  const Turns::Turn held(turns, "GET /?WCI=Big");
  {
    const Turns::Turn small(turns, "GET /?WCI=Small");
    EXPECT_EQ(turns.running(), 1u);
    EXPECT_EQ(turns.waiting(), 0u);
  }
  for (const char* kind : {"GET /?WCI=Big", "GET /?WCI=New", ""}) {
    std::thread waiter([&] { const Turns::Turn turn(turns, kind); });
    EXPECT_TRUE(soon([&] { return turns.waiting() == 1u; })) << kind;
    waiter.join();  // after the longest wait
  }
}

TEST(QuickKinds, a_kind_is_quick_after_enough_quick_runs_in_a_row_until_one_slow_run) {
  QuickKinds kinds(100us, 3);
  kinds.learn("GET /a", 10us);
  kinds.learn("GET /a", 10us);
  EXPECT_FALSE(kinds.quick("GET /a"));
  kinds.learn("GET /a", 99us);
  EXPECT_TRUE(kinds.quick("GET /a"));
  EXPECT_FALSE(kinds.quick("GET /b"));
  kinds.learn("GET /a", 100us);
  EXPECT_FALSE(kinds.quick("GET /a"));
  for (int i = 0; i < 5; ++i) kinds.learn("", 1us);
  EXPECT_FALSE(kinds.quick(""));
}

}  // namespace
}  // namespace web
