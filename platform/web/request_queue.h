// The server's pages are made by a few threads taking the requests in the order they came.
// With a hundred busy connections on a few cores, a thread for each would have the kernel switch
// between all of them, and a request caught in the middle waits for every other one; in turn,
// each waits only for those ahead of it. A wait may be bounded: a request that has waited
// `longest_wait` gets a thread of its own, so that slow pages holding every thread delay the
// others but never stop them.
//
// A hand-over to another thread and back costs more than a small page, so the server answers
// pages seen to be quick on the thread that read them (QuickKinds).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace web {

class RequestQueue {
 public:
  using Job = std::function<void()>;

  // `threads` (at least one) take the jobs in order; without `longest_wait` a job waits for one
  // however long, with it (0 too) a job that has waited that long gets a thread of its own.
  RequestQueue(unsigned threads, std::optional<std::chrono::milliseconds> longest_wait);
  RequestQueue(const RequestQueue&) = delete;
  RequestQueue& operator=(const RequestQueue&) = delete;
  ~RequestQueue();

  // Throws std::system_error when a thread cannot be started, after ending those that were.
  void start();
  // A job must not throw. When no thread can be started for a job that waited its longest, it
  // waits on for the pool's threads.
  void push(Job job);
  // Runs what is queued, then ends the threads; start() may follow.
  void stop();

  std::size_t waiting() const;

 private:
  struct Waiting {
    Job job;
    std::chrono::steady_clock::time_point since;
  };
  void work();
  void oversee();
  // Under the lock: runs the oldest job on a thread of its own; false when none can start.
  bool give_own_thread(std::unique_lock<std::mutex>& lock);
  void reap(std::unique_lock<std::mutex>& lock);

  const unsigned thread_count_;
  const std::optional<std::chrono::milliseconds> longest_wait_;
  mutable std::mutex mutex_;
  std::condition_variable ready_;       // a job came, or stopping
  std::condition_variable overdue_;     // a job may wait long: the overseer watches it
  std::condition_variable extra_done_;  // a thread of its own ended
  std::deque<Waiting> jobs_;
  std::size_t idle_ = 0;  // pool threads waiting for a job
  bool stopping_ = false;
  bool watching_ = false;  // the overseer waits for the oldest job's time to run out
  std::vector<std::thread> threads_;
  std::thread overseer_;
  // Threads of their own; an ended one is joined by the next push, the overseer or stop().
  std::list<std::thread> extra_;
  std::vector<std::thread::id> ended_;
};

// The kinds of request quick enough to answer on the thread that read them. A kind qualifies
// once it took under `quick` of wall-clock time `runs_needed` times in a row; one slower run
// disqualifies it again, since a page that waits (for a lock, the disk, a pause) would hold up
// every connection of that thread while it waits. Wall-clock, not processor, time for that
// reason.
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
  // Kinds beyond these are not learnt: the table stays small whatever the requests name.
  static constexpr std::size_t kMostKinds = 256;
  const std::chrono::nanoseconds quick_;
  const unsigned runs_needed_;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, unsigned> streaks_;  // quick runs in a row, per kind
};

}  // namespace web
