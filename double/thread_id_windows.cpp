#include "spin_lock.h"

#include <windows.h>

namespace gd {

std::uint32_t ThreadId() { return ::GetCurrentThreadId(); }

}  // namespace gd
