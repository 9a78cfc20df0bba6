// What a browser gets from the runtime: a bare answer inside the message page, error pages with
// the way back, and the pages of the items kept in history stored for Back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/sys/clock.h"
#include "platform/web/runtime.h"

namespace web {
namespace {

namespace fs = std::filesystem;

class Answers : public PageObject {
 public:
  explicit Answers(Context& context) : context_(context) {}
  void start() override {}
  void respond(const std::string& item) override { context_.write_template(item); }
  void custom_event(const std::string&, const std::string& event) override {
    if (event == "Message") context_.response().Write("<p>Destination is required.</p>");
    if (event == "Warned") {
      context_.response().Write("<p>Careful.</p>");
      context_.write_template("Form");
    }
  }
  void user_event(const std::string&, const std::string&) override {}
  void process_tag(const std::string&, const std::string&, std::string&, bool&) override {}

 private:
  Context& context_;
};

class UxMessagePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("jaunter-ux-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    std::ofstream(dir_ / "shell.htm") << "<html>[<WC@MESSAGE></WC@MESSAGE>]<WC@HOME>home</WC@HOME>";
    std::ofstream(dir_ / "form.htm") << "<!DOCTYPE html><body id='b'><form></form>";
    WebClassDef def;
    def.message_page = "shell.htm";
    def.items = {{"Form", "form.htm", {"Message", "Warned"}, true, true},
                 {"List", "form.htm", {}, true}};
    def.make_page = [](Context& context) { return std::make_unique<Answers>(context); };
    RuntimeOptions options;
    options.app_dir = dir_.string();
    options.clock = &clock_;
    runtime_ = std::make_unique<Runtime>(std::move(def), options);
  }
  void TearDown() override { fs::remove_all(dir_); }

  HttpResponse get(const std::string& query, const std::string& accept = "text/html,*/*") {
    HttpRequest request;
    request.method = "GET";
    request.path = "/Jaunter.ASP";
    request.query = query;
    request.accept = accept;
    return runtime_->handle(request);
  }

  fs::path dir_;
  sys::FixedClock clock_;
  std::unique_ptr<Runtime> runtime_;
};

TEST_F(UxMessagePageTest, a_browser_gets_a_message_inside_the_page_and_other_clients_alone) {
  EXPECT_EQ(get("WCI=Form&WCE=Message").body, "<html>[<p>Destination is required.</p>]");
  EXPECT_EQ(get("WCI=Form&WCE=Message", "").body, "<p>Destination is required.</p>");
  EXPECT_EQ(get("WCI=Form").body, "<!DOCTYPE html><body id='b'><form></form>");
}

TEST_F(UxMessagePageTest, a_message_ahead_of_a_page_goes_to_the_top_of_its_body) {
  EXPECT_EQ(get("WCI=Form&WCE=Warned").body,
            "<!DOCTYPE html><body id='b'><div class='card message ahead' role='alert'><p>Careful."
            "</p></div><form></form>");
}

TEST_F(UxMessagePageTest, error_pages_keep_the_way_back_to_the_start) {
  const HttpResponse missing = get("WCI=Nowhere");
  EXPECT_EQ(missing.status, 404);
  EXPECT_EQ(missing.body, "<html>[<h1>Not found</h1><p>There is no page named Nowhere.</p>]home");
}

TEST_F(UxMessagePageTest, only_items_kept_in_history_may_be_stored_for_back) {
  EXPECT_EQ(*get("WCI=Form&WCE=Message").header("Cache-Control"), "private, max-age=0");
  EXPECT_EQ(*get("WCI=List").header("Cache-Control"), "no-store");
}

}  // namespace
}  // namespace web
