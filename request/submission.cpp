// The one-time form tokens of the request form and the session's memory of saved posts.
#include "request/submission.h"

#include <algorithm>
#include <charconv>

#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "platform/web/stores.h"

namespace request {

namespace {

// The session keeps "token fingerprint number" per saved post, newest last.
constexpr std::size_t kRemembered = 32;

// Every field the save path reads, so that an edited re-post is a new save.
constexpr const char* kSavedFields[] = {"btnSubmit",
                                        "New",
                                        "tripnum",
                                        "cust",
                                        "RequestorEmail",
                                        "contact",
                                        "fund",
                                        "dest",
                                        "destspec",
                                        "dep_month",
                                        "dep_date",
                                        "dep_year",
                                        "rtn_month",
                                        "rtn_date",
                                        "rtn_year",
                                        "chkDefaultReturnDate",
                                        "dep_hour",
                                        "dep_min",
                                        "dep_ampm",
                                        "ret_hour",
                                        "ret_min",
                                        "ret_ampm",
                                        "arrive_hour",
                                        "arrive_min",
                                        "arrive_ampm",
                                        "leave_hour",
                                        "leave_min",
                                        "leave_ampm",
                                        "numadults",
                                        "numstudents",
                                        "numhand",
                                        "esttime",
                                        "estmile",
                                        "purpose",
                                        "custspec",
                                        "tripcom",
                                        "po",
                                        "inttripnum",
                                        "tripcat",
                                        "grade",
                                        "Approve",
                                        "STATUS_COMMENT"};

std::string fingerprint(const web::Request& request) {
  std::string text;
  for (const char* field : kSavedFields) {
    text += request.Form(field);
    text += '\x1f';
  }
  return std::to_string(std::hash<std::string>{}(text));
}

std::string posted_token(const web::Request& request) {
  const std::string token = vb::Trim(request.Form(kFormTokenField));
  // Tokens are ours: 32 hex digits. Anything else is no token.
  const bool ours = token.size() == 32 && std::all_of(token.begin(), token.end(), [](char c) {
                      return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                    });
  return ours ? token : std::string();
}

vb::StringArray remembered(const frame::RequestContext& ctx) {
  const vb::Variant value = ctx.session(keys::kSubmissions);
  if (const auto* items = value.get_if<vb::StringArray>()) return *items;
  return {};
}

}  // namespace

std::string new_form_token() {
  return web::SessionStore::new_identifier();
}

std::optional<std::int32_t> earlier_submission(const frame::RequestContext& ctx) {
  const web::Request& request = ctx.request();
  const std::string token = posted_token(request);
  if (token.empty()) return std::nullopt;
  const std::string prefix = token + " " + fingerprint(request) + " ";
  for (const std::string& entry : remembered(ctx)) {
    if (entry.compare(0, prefix.size(), prefix) != 0) continue;
    std::int32_t number = 0;
    const char* first = entry.data() + prefix.size();
    const char* last = entry.data() + entry.size();
    if (std::from_chars(first, last, number).ec == std::errc()) return number;
  }
  return std::nullopt;
}

void remember_submission(frame::RequestContext& ctx, std::int32_t number) {
  const web::Request& request = ctx.request();
  const std::string token = posted_token(request);
  if (token.empty()) return;
  vb::StringArray entries = remembered(ctx);
  entries.push_back(token + " " + fingerprint(request) + " " + std::to_string(number));
  if (entries.size() > kRemembered) entries.erase(entries.begin());
  ctx.set_session(keys::kSubmissions, std::move(entries));
}

}  // namespace request
