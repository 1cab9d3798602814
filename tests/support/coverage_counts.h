#pragma once
// GCC's coverage counters are written when a process exits normally. Code
// that ends a process some other way (a child that calls _Exit, a process
// that aborts on purpose) saves them first through this, so that what it ran
// is counted. In a build without coverage the function is absent and nothing
// happens.

extern "C" void __gcov_dump(void) __attribute__((weak));

namespace qmtest {

inline void SaveCoverageCounts() {
  if (__gcov_dump != nullptr) __gcov_dump();
}

}  // namespace qmtest
