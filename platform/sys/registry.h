// The registry stand-in: a text file in the Windows Registry Editor export format.
//
// First line "Windows Registry Editor Version 5.00"; UTF-8, or UTF-16LE with a byte-order mark.
// Keys are "[HKEY_LOCAL_MACHINE\Software\...]" lines; values are "name"=... lines ("@" for the
// default value): "text" a string, dword:0000001e a double-word, hex:.. raw bytes, hex(2):.. an
// expandable string, hex(7):.. a multi-string, hex(N):.. other types. Key and value names match
// without regard to case. A missing or unreadable file behaves like a missing key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

struct RegistryValue {
  enum class Type { String, DWord, Binary, ExpandString, MultiString, Other };
  Type type = Type::Other;
  std::string text;                // String (UTF-8)
  std::uint32_t dword = 0;         // DWord
  std::vector<std::uint8_t> data;  // raw bytes of Binary and the hex(N) types
};

class Registry {
 public:
  virtual ~Registry() = default;
  // The value `value_name` of the key `root`\`key` ("HKEY_LOCAL_MACHINE", "Software\\..."), or
  // nullopt when the key or the value is missing. Throws std::runtime_error only on an unexpected
  // failure (for example a malformed file line naming the value asked for).
  virtual std::optional<RegistryValue> read(std::string_view root, std::string_view key,
                                            std::string_view value_name) const = 0;
};

// Reads the file at `path` on every call (the registry is never cached by the application).
class RegistryFile : public Registry {
 public:
  explicit RegistryFile(std::string path) : path_(std::move(path)) {}
  // The file named by JAUNTER_REGISTRY, default /etc/jaunter/jaunter.reg.
  static std::string default_path();
  std::optional<RegistryValue> read(std::string_view root, std::string_view key,
                                    std::string_view value_name) const override;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace sys
