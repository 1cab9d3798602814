#pragma once
// The game's recursive spin lock (8 bytes: owner thread id, count). The game's
// event sources carry one; the engine uses the same lock for its own guards.
#include <cstddef>
#include <cstdint>

namespace qm::game {

struct RecursiveSpinLock {
  std::uint32_t owner = 0;  // 0x0: thread id of the holder, 0 when free
  std::uint32_t count = 0;  // 0x4: recursion depth

  void Acquire();
  void Release();
};
static_assert(sizeof(RecursiveSpinLock) == 0x8);
static_assert(offsetof(RecursiveSpinLock, owner) == 0x0);
static_assert(offsetof(RecursiveSpinLock, count) == 0x4);

// Holds a RecursiveSpinLock for one scope.
class SpinLockGuard {
 public:
  explicit SpinLockGuard(RecursiveSpinLock& lock) : lock_(lock) { lock_.Acquire(); }
  ~SpinLockGuard() { lock_.Release(); }
  SpinLockGuard(const SpinLockGuard&) = delete;
  SpinLockGuard& operator=(const SpinLockGuard&) = delete;

 private:
  RecursiveSpinLock& lock_;
};

}  // namespace qm::game
