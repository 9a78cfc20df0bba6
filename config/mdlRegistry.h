// mdlRegistry: reading one value of the registry (the registry file on this platform).
#pragma once

#include <string_view>

#include "frame/module_state.h"
#include "platform/vb/variant.h"

namespace mdlRegistry {

// The only root key the application reads.
inline constexpr std::string_view HKEY_LOCAL_MACHINE = "HKEY_LOCAL_MACHINE";

// Text for a string value, a 32-bit integer for a double-word, a byte array for a raw byte value;
// Empty for any other type, a missing key or value, and any failure. An unexpected failure goes to
// the application event log ("RegistryGetKeyValue"), never to the module error string.
vb::Variant RegistryGetKeyValue(const frame::ModuleState& module, std::string_view root_key,
                                std::string_view key_name, std::string_view value_name);

}  // namespace mdlRegistry
