// RegistryGetKeyValue: what each registry type reads as, and the event-log path of unexpected
// failures.
#include "config/mdlRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/ChkEligWeb.h"
#include "frame/module_state.h"
#include "platform/sys/event_log.h"
#include "platform/sys/registry.h"
#include "platform/sys/services.h"
#include "platform/vb/errors.h"
#include "tests/support/temp_dir.h"

namespace {

using Value = sys::RegistryValue;
using Type = Value::Type;
using Answer = std::function<std::optional<sys::RegistryValue>()>;

// A registry whose answer the test decides.
class StubRegistry : public sys::Registry {
 public:
  Answer answer;
  mutable std::string asked;
  std::optional<sys::RegistryValue> read(std::string_view root, std::string_view key,
                                         std::string_view value_name) const override {
    asked = std::string(root) + "|" + std::string(key) + "|" + std::string(value_name);
    return answer();
  }
};

class RegistryGetKeyValueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame::thread_paths() = frame::ThreadPaths{};
    services.registry = &registry;
    services.event_log = &log;
  }
  // Reads INIPath; the error string must stay "NA" whatever happens.
  vb::Variant read() {
    frame::ModuleState module(services);
    vb::Variant value = mdlRegistry::RegistryGetKeyValue(module, mdlRegistry::HKEY_LOCAL_MACHINE,
                                                         ChkEligWeb::kRegistryKey, "INIPath");
    EXPECT_EQ(module.error, "NA");
    return value;
  }

  StubRegistry registry;
  sys::MemoryEventLog log;
  sys::Services services;
};

TEST_F(RegistryGetKeyValueTest,
       each_registry_type_reads_as_its_variant_from_the_local_machine_key) {
  struct Case {
    std::optional<sys::RegistryValue> stored;
    vb::Variant expected;
  };
  const Case cases[] = {
      {Value{Type::String, "/srv/ini", 0, {}}, vb::Variant(std::string("/srv/ini"))},
      {Value{Type::String, std::string("/srv\0junk", 9), 0, {}}, vb::Variant(std::string("/srv"))},
      {Value{Type::DWord, "", 0xFFFFFFFEu, {}}, vb::Variant(std::int32_t{-2})},
      {Value{Type::Binary, "", 0, {1, 2, 255}}, vb::Variant(vb::Bytes{1, 2, 255})},
      {Value{Type::ExpandString, "", 0, {0x2F, 0, 0, 0}}, vb::Variant()},
      {std::nullopt, vb::Variant()},
  };
  for (const Case& c : cases) {
    registry.answer = [&] { return c.stored; };
    EXPECT_EQ(read(), c.expected);
  }
  EXPECT_TRUE(log.entries().empty());
  EXPECT_EQ(registry.asked,
            "HKEY_LOCAL_MACHINE|Software\\Quillmark Software, Inc.\\Carline Transport Manager - "
            "Field Trip|INIPath");
}

TEST_F(RegistryGetKeyValueTest, unexpected_failures_go_to_the_event_log_not_the_error_string) {
  const std::pair<Answer, std::string> cases[] = {
      {[]() -> std::optional<sys::RegistryValue> {
         throw vb::RuntimeError(1009, "The configuration registry database is corrupt.");
       },
       "RegistryGetKeyValue: Error: 1009. The configuration registry database is corrupt."},
      {[]() -> std::optional<sys::RegistryValue> { throw std::runtime_error("disk trouble"); },
       "RegistryGetKeyValue: Error: 5. disk trouble"},
      {[]() -> std::optional<sys::RegistryValue> { throw std::bad_alloc(); },
       "RegistryGetKeyValue: Error: 7. Out of memory"},
  };
  for (const auto& [failure, entry] : cases) {
    sys::MemoryEventLog fresh;
    services.event_log = &fresh;
    registry.answer = failure;
    EXPECT_EQ(read(), vb::Variant());
    EXPECT_EQ(fresh.entries(), std::vector<std::string>{entry});
  }
}

TEST_F(RegistryGetKeyValueTest, a_malformed_registry_file_is_logged_with_its_line) {
  testing_support::TempDir dir;
  const std::string path = dir.write(
      "jaunter.reg",
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Quillmark Software, Inc.\\Carline Transport Manager - "
      "Field Trip]\r\n\"INIPath\"=dword:nonsense\r\n");
  sys::RegistryFile file(path);
  services.registry = &file;
  EXPECT_EQ(read(), vb::Variant());
  const std::string entry = "RegistryGetKeyValue: Error: 1009. The registry file " + path +
                            " has a malformed value \"INIPath\" on line 4.";
  EXPECT_EQ(log.entries(), std::vector<std::string>{entry});
}

TEST_F(RegistryGetKeyValueTest, without_a_registry_or_a_log_it_still_reads_as_empty) {
  services.registry = nullptr;
  EXPECT_EQ(read(), vb::Variant());
  EXPECT_EQ(log.entries(), std::vector<std::string>{
                               "RegistryGetKeyValue: Error: 91. Object variable or With block "
                               "variable not set"});
  services.event_log = nullptr;
  EXPECT_EQ(read(), vb::Variant());
}

}  // namespace
