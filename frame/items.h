// The item table of the web class, and the page object that dispatches a request through it.
//
// Design note: the runtime knows items as data (name, template, events); this table adds the
// handler of each item and event, each a call on the subsystem type that owns it. The table is
// built in one place (web_class.cpp), the only file of the frame that knows the subsystems.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frame/context.h"
#include "platform/web/runtime.h"

namespace frame {

using Handler = std::function<void(RequestContext&)>;
using UserEventHandler = std::function<void(RequestContext&, const std::string& event_name)>;
using TagHandler = std::function<void(RequestContext&, const std::string& tag_name,
                                      std::string& tag_contents, bool& send_tags)>;

struct Item {
  std::string name;
  std::string template_file;
  Handler respond;              // empty: the item has no _Respond
  UserEventHandler user_event;  // empty: the item has no _UserEvent
  TagHandler process_tag;
  std::vector<std::pair<std::string, Handler>> events;  // the custom events
  // Back returns to this item's page as it was filled (see web::ItemDef).
  bool kept_in_history = false;
  // A link to this item followed without a session opens it after the sign-in.
  bool reopened_after_sign_in = false;
};

struct WebClass {
  Handler start;  // WebClass_Start
  std::vector<Item> items;
  // Runs before each request's handler (the district settings are kept loaded there).
  Handler before_request;
};

// The runtime's definition of the web class: its items, and a page object per request that
// dispatches to the table's handlers.
web::WebClassDef make_web_class_def(std::shared_ptr<const WebClass> web_class,
                                    const sys::Services& services);

// Binds a subsystem's handlers: the part of type T of the request, then its member.
template <class T>
Handler on(void (T::*handler)()) {
  return [handler](RequestContext& context) { (context.get<T>().*handler)(); };
}
template <class T>
UserEventHandler on(void (T::*handler)(const std::string&)) {
  return [handler](RequestContext& context, const std::string& event_name) {
    (context.get<T>().*handler)(event_name);
  };
}
template <class T>
TagHandler on(void (T::*handler)(const std::string&, std::string&, bool&)) {
  return [handler](RequestContext& context, const std::string& tag_name, std::string& contents,
                   bool& send_tags) { (context.get<T>().*handler)(tag_name, contents, send_tags); };
}

}  // namespace frame
