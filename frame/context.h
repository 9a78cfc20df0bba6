// The per-request context every handler works on: the module state, the request and response,
// the session and application stores, the platform services, the error convention, and the
// per-request parts of the subsystems.
//
// Design note: one request is served by one context. The subsystems (the request form, the
// searches, the look-ups...) keep their per-request state in types of their own; the context
// makes each on first use and keeps it to the end of the request, so that a handler, the handler
// it hands over to, and the tag handler of the template it writes all see the same state. The
// context knows no subsystem: it holds them by type.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <utility>
#include <vector>

#include "frame/module_state.h"
#include "frame/procedure.h"
#include "platform/sys/services.h"
#include "platform/web/runtime.h"

namespace frame {

class RequestContext {
 public:
  RequestContext(web::Context& web, const sys::Services& services);
  ~RequestContext();
  RequestContext(const RequestContext&) = delete;
  RequestContext& operator=(const RequestContext&) = delete;

  // The part of type T of this request, made on first use with this context (T's constructor
  // takes a RequestContext&).
  template <class T>
  T& get();

  web::Context& web() { return web_; }
  ModuleState& module() { return module_; }
  const sys::Services& services() const { return module_.services; }
  web::Request& request() const { return web_.request(); }
  web::Response& response() { return web_.response(); }
  const sys::Clock& clock() const { return web_.clock(); }

  // Session(key) and Application(key). The texts read Empty and Null as "".
  const vb::Variant& session(std::string_view key) const { return web_.session(key); }
  std::string session_text(std::string_view key) const;
  void set_session(std::string_view key, vb::Variant value);
  vb::Variant application(std::string_view key) const { return web_.application(key); }
  std::string application_text(std::string_view key) const;
  void set_application(std::string_view key, vb::Variant value);
  // A yes/no key of the application store: True, a non-zero number or the text "True".
  bool application_flag(std::string_view key) const;

  void set_next_item(std::string item) { web_.set_next_item(std::move(item)); }
  void write_template(std::string_view item) { web_.write_template(item); }
  std::string url_for(std::string_view item, std::string_view event) const {
    return web_.url_for(item, event);
  }

  // Runs a web-class procedure under the error convention (trap, cleanup, exit step).
  void procedure(const Procedure& definition, const std::function<void()>& work,
                 const std::function<void()>& cleanup = {});
  // The session check: false, with the time-out message left for the Logout page and that page
  // next, when the session has no signed-in user.
  bool session_check();
  // The time-out message the session check left ("" when it passed).
  const std::string& timeout_message() const { return strTimeoutMessage_; }
  // What the request did, in a sentence for the page it shows (HTML, the WC@NOTICE tag of any
  // template); "" when there is nothing to say.
  void set_notice(std::string html) { notice_ = std::move(html); }
  const std::string& notice() const { return notice_; }
  // The district header tags (WC@NAME, WC@ADDR1, WC@CITYSTZIP, WC@PHONE); true when answered.
  bool district_header_tag(const std::string& tag_name, std::string& tag_contents) const;

 private:
  struct Part {
    std::type_index type;
    void* object;
    void (*destroy)(void*);
  };

  web::Context& web_;
  ModuleState module_;
  std::string strTimeoutMessage_;
  std::string notice_;
  std::vector<Part> parts_;  // destroyed last made first
};

template <class T>
T& RequestContext::get() {
  const std::type_index type(typeid(T));
  for (const Part& part : parts_) {
    if (part.type == type) return *static_cast<T*>(part.object);
  }
  auto made = std::make_unique<T>(*this);
  T& result = *made;
  parts_.push_back({type, made.release(), [](void* object) { delete static_cast<T*>(object); }});
  return result;
}

// What the subsystems' types share: the context and the module state by the names their
// handlers use, and the context's common operations.
class Subsystem {
 public:
  explicit Subsystem(RequestContext& context) : ctx_(context), module_(context.module()) {}

 protected:
  std::string session_text(std::string_view key) const { return ctx_.session_text(key); }
  std::string application_text(std::string_view key) const { return ctx_.application_text(key); }
  void set_session(std::string_view key, vb::Variant value) {
    ctx_.set_session(key, std::move(value));
  }
  void procedure(const Procedure& definition, const std::function<void()>& work,
                 const std::function<void()>& cleanup = {}) {
    ctx_.procedure(definition, work, cleanup);
  }
  bool session_check() { return ctx_.session_check(); }
  bool district_header_tag(const std::string& tag_name, std::string& tag_contents) const {
    return ctx_.district_header_tag(tag_name, tag_contents);
  }

  RequestContext& ctx_;
  ModuleState& module_;
};

}  // namespace frame
