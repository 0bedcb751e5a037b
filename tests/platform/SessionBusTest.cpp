// The saver never has a session bus launched for it: without an address it sets one that
// names no bus, and a given address stays as it is.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/SessionBus.h"

namespace vec {
namespace {

TEST(SessionBus, AMissingAddressBecomesOneThatNamesNoBus) {
  const char* saved = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  const std::string keep = saved ? saved : "";
  struct Case {
    const char* given;  // nullptr: not set
    const char* expected;
  };
  const Case cases[] = {{nullptr, "disabled:"},
                        {"", "disabled:"},
                        {"unix:path=/run/user/1000/bus", "unix:path=/run/user/1000/bus"}};
  for (const auto& c : cases) {
    if (c.given)
      setenv("DBUS_SESSION_BUS_ADDRESS", c.given, 1);
    else
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
    DisableSessionBusAutolaunch();
    const char* now = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_NE(now, nullptr);
    EXPECT_STREQ(now, c.expected);
  }
  if (saved)
    setenv("DBUS_SESSION_BUS_ADDRESS", keep.c_str(), 1);
  else
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

}  // namespace
}  // namespace vec
