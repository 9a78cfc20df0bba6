// The page object: one per request, dispatching the runtime's calls through the item table.
#include "frame/items.h"

#include <stdexcept>

#include "platform/text/text.h"

namespace frame {

namespace {

class Page : public web::PageObject {
 public:
  Page(web::Context& web, const sys::Services& services, std::shared_ptr<const WebClass> table)
      : context_(web, services), table_(std::move(table)) {}

  void initialize() override {
    if (table_->before_request) table_->before_request(context_);
  }
  void start() override { table_->start(context_); }
  void respond(const std::string& item) override {
    if (const Handler& handler = find(item).respond) handler(context_);
  }
  void custom_event(const std::string& item, const std::string& event) override {
    for (const auto& [name, handler] : find(item).events) {
      if (event == name) return handler(context_);
    }
  }
  void user_event(const std::string& item, const std::string& event_name) override {
    if (const UserEventHandler& handler = find(item).user_event) handler(context_, event_name);
  }
  void process_tag(const std::string& item, const std::string& tag_name, std::string& contents,
                   bool& send_tags) override {
    if (text::same_text(tag_name, "WC@NOTICE")) {
      contents = context_.notice();
      return;
    }
    find(item).process_tag(context_, tag_name, contents, send_tags);
  }

 private:
  // The runtime hands over the item name as the table spells it.
  const Item& find(const std::string& name) const {
    for (const Item& item : table_->items) {
      if (item.name == name) return item;
    }
    throw std::logic_error("unknown web item " + name);
  }

  RequestContext context_;
  std::shared_ptr<const WebClass> table_;
};

}  // namespace

web::WebClassDef make_web_class_def(std::shared_ptr<const WebClass> web_class,
                                    const sys::Services& services) {
  web::WebClassDef def;
  def.host_page = "Jaunter.ASP";
  def.user_key = "USER";
  def.message_page = "message.htm";
  for (const Item& item : web_class->items) {
    web::ItemDef runtime_item;
    runtime_item.name = item.name;
    runtime_item.template_file = item.template_file;
    runtime_item.has_respond = static_cast<bool>(item.respond);
    runtime_item.kept_in_history = item.kept_in_history;
    runtime_item.reopened_after_sign_in = item.reopened_after_sign_in;
    for (const auto& event : item.events) runtime_item.custom_events.push_back(event.first);
    def.items.push_back(std::move(runtime_item));
  }
  def.make_page = [web_class, &services](web::Context& web) {
    return std::make_unique<Page>(web, services, web_class);
  };
  return def;
}

}  // namespace frame
