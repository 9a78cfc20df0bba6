#include "platform/web/turns.h"

#include <algorithm>

namespace web {

Turns::Turns(std::size_t at_once, std::chrono::milliseconds longest_wait)
    : at_once_(at_once), longest_wait_(longest_wait) {}

Turns::Turn::Turn(Turns& turns) : turns_(turns) {
  turns_.enter();
}

Turns::Turn::~Turn() {
  turns_.leave();
}

std::size_t Turns::running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

std::size_t Turns::waiting() const {
  std::lock_guard lock(mutex_);
  return waiting_.size();
}

void Turns::enter() {
  std::unique_lock lock(mutex_);
  if (at_once_ == 0 || (running_ < at_once_ && waiting_.empty())) {
    ++running_;
    return;
  }
  Waiter self;
  waiting_.push_back(&self);
  if (!self.woken.wait_for(lock, longest_wait_, [&] { return self.granted; })) {
    // Waited long enough: go ahead beside the running ones.
    waiting_.erase(std::find(waiting_.begin(), waiting_.end(), &self));
    ++running_;
  }
}

void Turns::leave() {
  std::lock_guard lock(mutex_);
  // The turn passes to the oldest waiter, unless more are running than there are turns (some
  // went ahead after their wait).
  if (!waiting_.empty() && running_ <= at_once_) {
    Waiter* next = waiting_.front();
    waiting_.pop_front();
    next->granted = true;
    next->woken.notify_one();
    return;
  }
  --running_;
}

}  // namespace web
