#include "platform/SessionBus.h"

#include <cstdlib>

namespace vec {

void DisableSessionBusAutolaunch() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address == nullptr || *address == '\0') setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

}  // namespace vec
