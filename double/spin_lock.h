#pragma once
// The game's recursive spin lock, as the double's own event sources take it.
#include "double_layouts.h"

namespace gd {

void LockSpin(SpinLock& lock);
void UnlockSpin(SpinLock& lock);

class SpinLockGuard {
 public:
  explicit SpinLockGuard(SpinLock& lock) : lock_(lock) { LockSpin(lock_); }
  ~SpinLockGuard() { UnlockSpin(lock_); }
  SpinLockGuard(const SpinLockGuard&) = delete;
  SpinLockGuard& operator=(const SpinLockGuard&) = delete;

 private:
  SpinLock& lock_;
};

std::uint32_t ThreadId();

}  // namespace gd
