// The system log stand-in for the application event log.
#include "platform/sys/event_log.h"

#include <gtest/gtest.h>

namespace {

// A message carrying printf directives must be logged as text, never read as a format.
TEST(SysLog, text_with_format_directives_is_written_as_it_stands) {
  sys::SysLog log;
  EXPECT_NO_FATAL_FAILURE(log.write("RegistryGetKeyValue %s%n", "Error: 5. %s%s%s%n%n"));
}

}  // namespace
