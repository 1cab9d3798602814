// Platform calls whose contract the C++ runtime already keeps on every
// platform.
#include "platform/platform.h"

#include <cstdlib>
#include <random>

namespace qm::platform {

std::uint32_t RandomDeviceValue() {
  // A fixed seed makes a run repeatable: modders comparing settings and the
  // project's own tests set QUELLMARK_SEED; players never need it.
  if (const char* fixed = std::getenv("QUELLMARK_SEED"); fixed != nullptr && *fixed != '\0') {
    return static_cast<std::uint32_t>(std::strtoul(fixed, nullptr, 0));
  }
  std::random_device device;
  return static_cast<std::uint32_t>(device());
}

}  // namespace qm::platform
