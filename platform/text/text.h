// The small text jobs every layer shares, once each: case-blind comparison (ASCII letters, as
// the application compares keys, tags, buttons and flags), blank trimming, the comma splits of
// list items, UTF-8 character counts, and the decoding of web addresses and form bodies.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

char ascii_upper(char c);
char ascii_lower(char c);
std::string upper_ascii(std::string_view text);
std::string lower_ascii(std::string_view text);

// Equal without regard to the case of ASCII letters.
bool same_text(std::string_view a, std::string_view b);
// <0, 0, >0 as a is before, equal to or after b, without regard to case.
int compare_nocase(std::string_view a, std::string_view b);

// For ordered and hashed containers keyed without regard to case.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return compare_nocase(a, b) < 0; }
};
struct NoCaseHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const;
};
struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return same_text(a, b); }
};

// Blanks (spaces) only, not tabs or line breaks, as the language runtime's Trim.
std::string trim(std::string_view text);
// The same, in place: the part of `text` without its leading and trailing spaces.
std::string_view trim_view(std::string_view text);
std::string trim_left(std::string_view text);
std::string trim_right(std::string_view text);
// Spaces and tabs, as configuration files (registry, INI) lay out their lines.
bool is_blank(char c);
// A letter, digit or underscore: a character of a table, column or function name.
bool is_name_char(char c);
std::string_view trim_blanks(std::string_view text);

// List items are written "code, description". The code of an item: the text before its first
// comma, or "" when it has none (an item without a comma names nothing).
std::string code_of_item(std::string_view item);
// The text before the first comma, or the whole text when it has none (a typed value that is a
// code already).
std::string before_first_comma(std::string_view text);

// UTF-8: characters, not bytes, so that a name with accents is never cut inside a letter.
std::size_t utf8_length(std::string_view text);
// The byte offset of character `characters` (the size when the text is shorter).
std::size_t utf8_offset(std::string_view text, std::size_t characters);
// The first `characters` characters.
std::string utf8_prefix(std::string_view text, std::size_t characters);

// Percent-decoding: a form field or query component reads "+" as a blank; a path does not. A
// "%" not followed by two hex digits stays as it is.
std::string decode_form_component(std::string_view text);
std::string decode_path(std::string_view text);
// Everything but letters, digits and "-._~" percent-encoded, for a value inside an address.
std::string encode_component(std::string_view text);

}  // namespace text
