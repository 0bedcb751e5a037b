#include "base/Clock.h"

#include <chrono>
#include <thread>

namespace vec {

uint32_t SteadyClock::Ticks() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SteadyClock::Sleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace vec
