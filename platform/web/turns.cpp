#include "platform/web/turns.h"

#include <time.h>

#include <algorithm>
#include <utility>

namespace web {
namespace {

std::int64_t thread_time() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace

Turns::Turns(std::size_t at_once, std::chrono::milliseconds longest_wait,
             std::chrono::microseconds short_cost)
    : at_once_(at_once),
      longest_wait_(longest_wait),
      short_cost_(std::chrono::duration_cast<std::chrono::nanoseconds>(short_cost).count()) {}

Turns::Turn::Turn(Turns& turns, std::string kind) : turns_(turns), kind_(std::move(kind)) {
  if (!turns_.limited()) return;
  held_ = turns_.enter(kind_);
  started_ = thread_time();
}

Turns::Turn::~Turn() {
  if (turns_.limited()) turns_.leave(held_, kind_, thread_time() - started_);
}

std::size_t Turns::running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

std::size_t Turns::waiting() const {
  std::lock_guard lock(mutex_);
  return waiting_.size();
}

bool Turns::enter(const std::string& kind) {
  std::unique_lock lock(mutex_);
  if (!kind.empty()) {
    const auto found = costs_.find(kind);
    if (found != costs_.end() && found->second < short_cost_) return false;
  }
  if (running_ < at_once_ && waiting_.empty()) {
    ++running_;
    return true;
  }
  const auto self = std::make_shared<Waiter>();
  waiting_.push_back(self);
  if (!self->woken.wait_for(lock, longest_wait_, [&] { return self->granted; })) {
    // Waited long enough: go ahead beside the running ones.
    waiting_.erase(std::find(waiting_.begin(), waiting_.end(), self));
    ++running_;
  }
  return true;
}

void Turns::leave(bool held, const std::string& kind, std::int64_t cost) {
  std::shared_ptr<Waiter> next;
  {
    std::lock_guard lock(mutex_);
    if (!kind.empty()) {
      const auto found = costs_.find(kind);
      if (found != costs_.end()) {
        found->second += (cost - found->second) / 8;
      } else if (costs_.size() < kMostKinds) {
        costs_.emplace(kind, cost);
      }
    }
    if (!held) return;
    // The turn passes to the oldest waiter, unless more are running than there are turns (some
    // went ahead after their wait).
    if (!waiting_.empty() && running_ <= at_once_) {
      next = std::move(waiting_.front());
      waiting_.pop_front();
      next->granted = true;
    } else {
      --running_;
    }
  }
  // Woken outside the lock, so that it need not wait for it on waking.
  if (next) next->woken.notify_one();
}

QuickKinds::QuickKinds(std::chrono::microseconds quick, unsigned runs_needed)
    : quick_(quick), runs_needed_(std::max(1u, runs_needed)) {}

bool QuickKinds::quick(const std::string& kind) const {
  if (kind.empty()) return false;
  std::lock_guard lock(mutex_);
  const auto found = streaks_.find(kind);
  return found != streaks_.end() && found->second >= runs_needed_;
}

void QuickKinds::learn(const std::string& kind, std::chrono::nanoseconds took) {
  if (kind.empty()) return;
  const bool was_quick = took < quick_;
  std::lock_guard lock(mutex_);
  auto found = streaks_.find(kind);
  if (found == streaks_.end()) {
    if (streaks_.size() >= kMostKinds) return;
    found = streaks_.emplace(kind, 0u).first;
  }
  found->second = was_quick ? std::min(found->second + 1, runs_needed_) : 0;
}

}  // namespace web
