// The per-request context.
#include "frame/context.h"

#include "frame/keys.h"
#include "platform/vb/conversions.h"

namespace frame {

namespace {
constexpr const char* kTimeoutMessage =
    "Sorry, your session has timed out please log in again and retry.";
}  // namespace

RequestContext::RequestContext(web::Context& web, const sys::Services& services)
    : web_(web), module_(services) {}

RequestContext::~RequestContext() {
  while (!parts_.empty()) {
    parts_.back().destroy(parts_.back().object);
    parts_.pop_back();
  }
}

std::string RequestContext::session_text(std::string_view key) const {
  const vb::Variant& value = web_.session(key);
  return value.is_null() ? std::string() : vb::CStr(value);
}

void RequestContext::set_session(std::string_view key, vb::Variant value) {
  web_.set_session(key, std::move(value));
}

std::string RequestContext::application_text(std::string_view key) const {
  const vb::Variant value = web_.application(key);
  return value.is_null() ? std::string() : vb::CStr(value);
}

void RequestContext::set_application(std::string_view key, vb::Variant value) {
  web_.set_application(key, std::move(value));
}

bool RequestContext::application_flag(std::string_view key) const {
  const vb::Variant value = web_.application(key);
  if (value.is_bool()) return value.get<bool>();
  if (value.is_string()) return text::same_text(vb::Trim(value.get<std::string>()), "True");
  if (value.is_number()) return vb::CDbl(value) != 0;
  return false;
}

void RequestContext::procedure(const Procedure& definition, const std::function<void()>& work,
                               const std::function<void()>& cleanup) {
  run(module_, &web_.response(), definition, work, cleanup);
}

bool RequestContext::session_check() {
  if (!session_text(keys::kUser).empty()) return true;
  strTimeoutMessage_ = kTimeoutMessage;
  web_.set_next_item("Logout");
  return false;
}

bool RequestContext::district_header_tag(const std::string& tag_name,
                                         std::string& tag_contents) const {
  static const std::pair<const char*, const char*> tags[] = {{"WC@NAME", "DISTNAME"},
                                                             {"WC@ADDR1", "DISTADDR1"},
                                                             {"WC@CITYSTZIP", "DISTCITYSTZIP"},
                                                             {"WC@PHONE", "DISTPHONE"}};
  for (const auto& [tag, key] : tags) {
    if (text::same_text(tag_name, tag)) {
      tag_contents = web::html_escape(application_text(key));
      return true;
    }
  }
  return false;
}

}  // namespace frame
