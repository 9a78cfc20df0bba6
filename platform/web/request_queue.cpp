#include "platform/web/request_queue.h"

#include <algorithm>
#include <memory>
#include <system_error>
#include <utility>

namespace web {

RequestQueue::RequestQueue(unsigned threads, std::optional<std::chrono::milliseconds> longest_wait)
    : thread_count_(std::max(1u, threads)), longest_wait_(longest_wait) {}

RequestQueue::~RequestQueue() {
  stop();
}

void RequestQueue::start() {
  stopping_ = false;
  try {
    for (unsigned i = 0; i < thread_count_; ++i) threads_.emplace_back([this] { work(); });
    if (longest_wait_ && longest_wait_->count() > 0) overseer_ = std::thread([this] { oversee(); });
  } catch (...) {
    stop();
    throw;
  }
}

void RequestQueue::push(Job job) {
  std::unique_lock lock(mutex_);
  if (!ended_.empty()) reap(lock);
  jobs_.push_back({std::move(job), std::chrono::steady_clock::now()});
  if (jobs_.size() <= idle_) {
    lock.unlock();
    ready_.notify_one();
    return;
  }
  // Every thread is busy: this one will wait.
  if (!longest_wait_) return;
  if (longest_wait_->count() == 0) {
    if (give_own_thread(lock)) return;
  }
  if (!watching_) overdue_.notify_one();
}

void RequestQueue::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  ready_.notify_all();
  overdue_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
  if (overseer_.joinable()) overseer_.join();
  std::unique_lock lock(mutex_);
  extra_done_.wait(lock, [this] { return ended_.size() == extra_.size(); });
  reap(lock);
}

std::size_t RequestQueue::waiting() const {
  std::lock_guard lock(mutex_);
  return jobs_.size();
}

void RequestQueue::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!jobs_.empty()) {
      {
        Job job = std::move(jobs_.front().job);
        jobs_.pop_front();
        lock.unlock();
        job();
      }
      lock.lock();
      continue;
    }
    if (stopping_) return;
    ++idle_;
    ready_.wait(lock);
    --idle_;
  }
}

void RequestQueue::oversee() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (!ended_.empty()) reap(lock);
    if (jobs_.size() <= idle_) {
      watching_ = false;
      overdue_.wait(lock);
      continue;
    }
    watching_ = true;
    const auto due = jobs_.front().since + *longest_wait_;
    if (std::chrono::steady_clock::now() < due) {
      overdue_.wait_until(lock, due);
    } else if (!give_own_thread(lock)) {
      overdue_.wait_for(lock, *longest_wait_);  // no thread to be had now: try again later
    }
  }
}

bool RequestQueue::give_own_thread(std::unique_lock<std::mutex>&) {
  // Shared, so that the job is not lost when its thread cannot start.
  auto job = std::make_shared<Job>(std::move(jobs_.front().job));
  const auto since = jobs_.front().since;
  jobs_.pop_front();
  try {
    extra_.emplace_back();  // before the thread starts, so that keeping it cannot fail
    extra_.back() = std::thread([this, job] {
      (*job)();
      std::lock_guard lock(mutex_);
      ended_.push_back(std::this_thread::get_id());
      extra_done_.notify_all();
    });
  } catch (const std::exception&) {
    if (!extra_.empty() && !extra_.back().joinable()) extra_.pop_back();
    jobs_.push_front({std::move(*job), since});
    return false;
  }
  return true;
}

void RequestQueue::reap(std::unique_lock<std::mutex>&) {
  for (const std::thread::id id : ended_) {
    const auto found = std::find_if(extra_.begin(), extra_.end(),
                                    [id](const std::thread& t) { return t.get_id() == id; });
    if (found == extra_.end()) continue;
    found->join();  // it has let go of the lock and is ending
    extra_.erase(found);
  }
  ended_.clear();
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
