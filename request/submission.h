// One request per submit: every rendered request form carries a one-time token, and a saving post
// whose token and content were already saved in this session (a double click, a re-post after a
// lost reply) shows what the first post saved instead of saving again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "frame/context.h"

namespace request {

// The form field that carries the token.
inline constexpr const char* kFormTokenField = "FormToken";

// A fresh token for one rendering of the form.
std::string new_form_token();

// The request an earlier post of the same form saved, when the current post repeats it: same
// token, same posted values. A post without a token is never a repeat.
std::optional<std::int32_t> earlier_submission(const frame::RequestContext& context);

// Remembers that the current post saved `number`.
void remember_submission(frame::RequestContext& context, std::int32_t number);

}  // namespace request
