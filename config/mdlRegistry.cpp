// mdlRegistry: the registry reader. It runs unattended, so its only report is the event log.
#include "config/mdlRegistry.h"

#include <new>
#include <optional>
#include <string>

#include "platform/vb/errors.h"

namespace mdlRegistry {
namespace {

// The runtime's numbers for failures that are not its own errors.
constexpr long kOutOfMemory = 7;
constexpr long kInvalidCall = 5;

void log_failure(const frame::ModuleState& module, long number, const std::string& description) {
  if (module.services.event_log == nullptr) return;
  try {
    module.services.event_log->write("RegistryGetKeyValue",
                                     "Error: " + std::to_string(number) + ". " + description);
  } catch (...) {
    // Nobody is waiting for this message; a log that cannot take it must not fail the read.
  }
}

vb::Variant convert(const sys::RegistryValue& value) {
  switch (value.type) {
    case sys::RegistryValue::Type::String:
      // A string value ends at its first NUL character.
      return std::string(value.text.substr(0, value.text.find('\0')));
    case sys::RegistryValue::Type::DWord:
      return static_cast<std::int32_t>(value.dword);
    case sys::RegistryValue::Type::Binary:
      return vb::Bytes(value.data);
    default:
      return vb::Variant();
  }
}

}  // namespace

vb::Variant RegistryGetKeyValue(const frame::ModuleState& module, std::string_view root_key,
                                std::string_view key_name, std::string_view value_name) {
  try {
    if (module.services.registry == nullptr) throw vb::err::object_not_set();
    std::optional<sys::RegistryValue> value =
        module.services.registry->read(root_key, key_name, value_name);
    if (!value) return vb::Variant();
    return convert(*value);
  } catch (const vb::RuntimeError& error) {
    log_failure(module, error.number(), error.description());
  } catch (const std::bad_alloc&) {
    log_failure(module, kOutOfMemory, "Out of memory");
  } catch (const std::exception& error) {
    log_failure(module, kInvalidCall, error.what());
  }
  return vb::Variant();
}

}  // namespace mdlRegistry
