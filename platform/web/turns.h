// Turns for a thread per connection: at most a few requests run at once, the others wait in the
// order they came. With a hundred busy connections on a few cores, the kernel would otherwise
// switch between all of them and a request caught in the middle waits for every other one; in
// turn, each waits only for those ahead of it. A wait is bounded: whoever has waited
// `longest_wait` goes ahead anyway, so slow pages holding every turn delay the others but never
// stop them.
//
// A turn costs a sleep and a wake-up, more than a small page costs to make, and a page that
// short is never caught in the middle. So the processor time each kind of request takes is
// learnt as it runs, and a kind known to take less than `short_cost` goes at once, beside the
// turns.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace web {

class Turns {
 public:
  // `at_once` 0: no limit, every request goes at once.
  Turns(std::size_t at_once, std::chrono::milliseconds longest_wait,
        std::chrono::microseconds short_cost = std::chrono::microseconds(100));
  Turns(const Turns&) = delete;
  Turns& operator=(const Turns&) = delete;

  // Waits for a turn (or for `longest_wait`), unless requests of `kind` are known to be short;
  // the turn ends with the Turn, which learns its kind's cost. An empty kind is never known.
  class Turn {
   public:
    explicit Turn(Turns& turns, std::string kind = {});
    ~Turn();
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

   private:
    Turns& turns_;
    std::string kind_;
    bool held_ = false;         // took a turn, rather than going beside them
    std::int64_t started_ = 0;  // the thread's processor time, in nanoseconds
  };

  // Whether requests take turns at all (`at_once` not 0).
  bool limited() const { return at_once_ != 0; }
  std::size_t running() const;
  std::size_t waiting() const;

 private:
  struct Waiter {
    std::condition_variable woken;
    bool granted = false;
  };
  // Whether `kind` goes beside the turns; else waits for one.
  bool enter(const std::string& kind);
  void leave(bool held, const std::string& kind, std::int64_t cost);

  // Kinds beyond these are not learnt: the table stays small whatever the requests name.
  static constexpr std::size_t kMostKinds = 256;
  const std::size_t at_once_;
  const std::chrono::milliseconds longest_wait_;
  const std::int64_t short_cost_;  // nanoseconds
  mutable std::mutex mutex_;
  std::size_t running_ = 0;
  // The oldest first; shared, so that a waiter woken after its wait is still there to wake.
  std::deque<std::shared_ptr<Waiter>> waiting_;
  std::unordered_map<std::string, std::int64_t> costs_;  // a running mean per kind, nanoseconds
};

// For a pool: the kinds of request quick enough to answer on the polling thread itself, where
// the hand-over to a pool thread and back would cost more than the page. A kind qualifies once
// it took under `quick` of wall-clock time `runs_needed` times in a row; one slower run
// disqualifies it again, since a page that waits (for a lock, the disk, a pause) would hold up
// every connection while it waits. Wall-clock, not processor, time for that reason.
class QuickKinds {
 public:
  explicit QuickKinds(std::chrono::microseconds quick = std::chrono::microseconds(100),
                      unsigned runs_needed = 16);
  QuickKinds(const QuickKinds&) = delete;
  QuickKinds& operator=(const QuickKinds&) = delete;

  // An empty kind is never quick.
  bool quick(const std::string& kind) const;
  void learn(const std::string& kind, std::chrono::nanoseconds took);

 private:
  static constexpr std::size_t kMostKinds = 256;
  const std::chrono::nanoseconds quick_;
  const unsigned runs_needed_;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, unsigned> streaks_;  // quick runs in a row, per kind
};

}  // namespace web
