// The page queue: a bounded number run at once, the rest in the order they came, none waiting
// past its longest wait.
#include "platform/web/request_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace web {
namespace {

using namespace std::chrono_literals;

template <class Condition>
bool soon(Condition condition) {
  for (int i = 0; i < 2000 && !condition(); ++i) std::this_thread::sleep_for(1ms);
  return condition();
}

// A job that holds its thread until the gate opens.
struct Gate {
  std::atomic<int> held{0};
  std::atomic<bool> opened{false};
  RequestQueue::Job holder() {
    return [this] {
      ++held;
      while (!opened) std::this_thread::sleep_for(1ms);
    };
  }
};

TEST(RequestQueue, jobs_wait_in_the_order_they_came_and_none_past_its_longest_wait) {
  Gate gate;
  std::mutex order_mutex;
  std::string order;
  {
    RequestQueue queue(1, 10s);
    queue.start();
    queue.push(gate.holder());
    ASSERT_TRUE(soon([&] { return gate.held == 1; }));
    for (char name : {'c', 'd', 'e'}) {
      queue.push([&, name] {
        std::lock_guard lock(order_mutex);
        order += name;
      });
    }
    EXPECT_EQ(queue.waiting(), 3u);
    gate.opened = true;
  }  // stopping runs what is queued
  EXPECT_EQ(order, "cde");

  // Every thread held: a job goes ahead on a thread of its own after its longest wait, at once
  // with a wait of 0, and never without one.
  struct Case {
    std::optional<std::chrono::milliseconds> longest_wait;
    bool runs_while_held;
  } cases[] = {{50ms, true}, {0ms, true}, {std::nullopt, false}};
  for (const Case& c : cases) {
    Gate held;
    std::atomic<bool> ran{false};
    RequestQueue queue(1, c.longest_wait);
    queue.start();
    queue.push(held.holder());
    ASSERT_TRUE(soon([&] { return held.held == 1; }));
    const auto pushed = std::chrono::steady_clock::now();
    queue.push([&] { ran = true; });
    if (c.runs_while_held) {
      EXPECT_TRUE(soon([&] { return ran.load(); }));
      EXPECT_GE(std::chrono::steady_clock::now() - pushed, *c.longest_wait);
    } else {
      std::this_thread::sleep_for(100ms);
      EXPECT_FALSE(ran.load());
    }
    held.opened = true;
    queue.stop();
    EXPECT_TRUE(ran.load());
  }
}

}  // namespace
}  // namespace web
