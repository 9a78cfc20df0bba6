// The INI reader with the rules of the Windows one: section and key names match without regard
// to case; the value is the text after the first "=", blanks around it removed and one pair of
// surrounding double quotes removed; lines starting with ";" are comments; the first matching key
// of the first matching section wins.
#pragma once

#include <string>
#include <string_view>

namespace sys {

// GetPrivateProfileString: copies at most buffer_size - 1 characters of the value (or of
// `default_value` when the file, section or key is missing) and returns them. A missing or
// unreadable file gives the default.
std::string get_private_profile_string(std::string_view section, std::string_view key,
                                       std::string_view default_value, const std::string& file,
                                       std::size_t buffer_size = 256);

}  // namespace sys
