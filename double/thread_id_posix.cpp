#include "spin_lock.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace gd {

// The same thread identity the plug-in's platform layer reports, so that a
// lock one side holds is recognised by the other.
std::uint32_t ThreadId() {
  // Kept per thread: the locks ask on every acquisition.
  thread_local const auto id = static_cast<std::uint32_t>(::syscall(SYS_gettid));
  return id;
}

}  // namespace gd
