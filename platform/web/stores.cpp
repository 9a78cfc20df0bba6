// Session and application stores.
#include "platform/web/stores.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>

namespace web {

namespace {
const vb::Variant kEmpty;
}  // namespace

const vb::Variant& KeyedValues::get(std::string_view key) const {
  auto it = values_.find(key);
  return it == values_.end() ? kEmpty : it->second;
}

void KeyedValues::set(std::string_view key, vb::Variant value) {
  auto it = values_.find(key);
  if (it == values_.end()) {
    values_.emplace(std::string(key), std::move(value));
  } else {
    it->second = std::move(value);
  }
}

vb::Variant ApplicationStore::get(std::string_view key) const {
  std::lock_guard lock(mutex_);
  return values_.get(key);
}

void ApplicationStore::set(std::string_view key, vb::Variant value) {
  std::lock_guard lock(mutex_);
  values_.set(key, std::move(value));
}

std::map<std::string, vb::Variant, NoCaseLess> ApplicationStore::snapshot() const {
  std::lock_guard lock(mutex_);
  return values_.all();
}

SessionStore::SessionStore(std::size_t max_sessions, TimeSource now)
    : max_sessions_(std::max<std::size_t>(1, max_sessions)), now_(std::move(now)) {
  if (!now_) now_ = [] { return std::chrono::steady_clock::now(); };
}

std::string SessionStore::new_identifier() {
  // The identifier is the only credential of a signed-in user: take it from the kernel's
  // random source, not from a seeded generator.
  unsigned char bytes[16];
  std::random_device device;
  for (std::size_t i = 0; i < sizeof bytes; i += 4) {
    const unsigned value = device();
    for (std::size_t j = 0; j < 4; ++j) bytes[i + j] = static_cast<unsigned char>(value >> (8 * j));
  }
  static const char* digits = "0123456789abcdef";
  std::string id;
  id.reserve(32);
  for (unsigned char b : bytes) {
    id.push_back(digits[b >> 4]);
    id.push_back(digits[b & 15]);
  }
  return id;
}

bool SessionStore::expired(const Session& session,
                           std::chrono::steady_clock::time_point now) const {
  return now - session.last_access > std::chrono::minutes(session.timeout_minutes);
}

std::shared_ptr<Session> SessionStore::find(std::string_view id) {
  if (id.size() != 32) return nullptr;
  const auto now = now_();
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(std::string(id));
  if (it == sessions_.end()) return nullptr;
  if (expired(*it->second, now)) {
    sessions_.erase(it);
    return nullptr;
  }
  it->second->last_access = now;
  return it->second;
}

std::shared_ptr<Session> SessionStore::peek(std::string_view id) const {
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(std::string(id));
  return it == sessions_.end() ? nullptr : it->second;
}

std::shared_ptr<Session> SessionStore::create() {
  auto session = std::make_shared<Session>();
  session->id = new_identifier();
  session->last_access = now_();
  return session;
}

void SessionStore::evict_one_locked() {
  // Anonymous sessions go before signed-in ones, so that a flood of strangers cannot sign anyone
  // out; within each kind the longest idle goes.
  auto victim = sessions_.end();
  for (auto it = sessions_.begin(); it != sessions_.end(); ++it) {
    if (victim == sessions_.end()) {
      victim = it;
      continue;
    }
    const bool signed_in = it->second->signed_in, victim_signed_in = victim->second->signed_in;
    if (signed_in != victim_signed_in ? !signed_in
                                      : it->second->last_access < victim->second->last_access) {
      victim = it;
    }
  }
  if (victim != sessions_.end()) sessions_.erase(victim);
}

void SessionStore::commit(const std::shared_ptr<Session>& session) {
  std::lock_guard lock(mutex_);
  if (sessions_.count(session->id)) return;
  if (sessions_.size() >= max_sessions_) {
    // Drop the timed-out ones first; only when that frees nothing does another one go.
    const auto now = now_();
    std::erase_if(sessions_, [&](const auto& entry) { return expired(*entry.second, now); });
    if (sessions_.size() >= max_sessions_) evict_one_locked();
  }
  sessions_.emplace(session->id, session);
}

std::string SessionStore::renew(const std::shared_ptr<Session>& session) {
  std::lock_guard lock(mutex_);
  sessions_.erase(session->id);
  session->id = new_identifier();
  sessions_.emplace(session->id, session);
  return session->id;
}

void SessionStore::remove(std::string_view id) {
  std::lock_guard lock(mutex_);
  sessions_.erase(std::string(id));
}

void SessionStore::sweep() {
  const auto now = now_();
  std::lock_guard lock(mutex_);
  std::erase_if(sessions_, [&](const auto& entry) { return expired(*entry.second, now); });
}

std::size_t SessionStore::size() const {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

}  // namespace web
