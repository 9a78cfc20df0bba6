// Turns for a thread per connection: at most a few requests run at once, the others wait in the
// order they came. With a hundred busy connections on a few cores, the kernel would otherwise
// switch between all of them and a request caught in the middle waits for every other one; in
// turn, each waits only for those ahead of it. A wait is bounded: whoever has waited
// `longest_wait` goes ahead anyway, so slow pages holding every turn delay the others but never
// stop them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

namespace web {

class Turns {
 public:
  // `at_once` 0: no limit, every request goes at once.
  Turns(std::size_t at_once, std::chrono::milliseconds longest_wait);
  Turns(const Turns&) = delete;
  Turns& operator=(const Turns&) = delete;

  // Waits for a turn (or for `longest_wait`); the turn ends with the Turn.
  class Turn {
   public:
    explicit Turn(Turns& turns);
    ~Turn();
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

   private:
    Turns& turns_;
  };

  std::size_t running() const;
  std::size_t waiting() const;

 private:
  struct Waiter {
    std::condition_variable woken;
    bool granted = false;
  };
  void enter();
  void leave();

  const std::size_t at_once_;
  const std::chrono::milliseconds longest_wait_;
  mutable std::mutex mutex_;
  std::size_t running_ = 0;
  std::deque<Waiter*> waiting_;  // the oldest first
};

}  // namespace web
