#include "spin_lock.h"

#include <atomic>
#include <thread>

namespace gd {

void LockSpin(SpinLock& lock) {
  const std::uint32_t self = ThreadId();
  std::atomic_ref<std::uint32_t> owner(lock.owner);
  std::atomic_ref<std::uint32_t> count(lock.count);
  if (owner.load() == self) {
    count.fetch_add(1);
    return;
  }
  for (;;) {
    std::uint32_t expected = 0;
    if (count.compare_exchange_weak(expected, 1)) break;
    std::this_thread::yield();
  }
  owner.store(self);
}

void UnlockSpin(SpinLock& lock) {
  std::atomic_ref<std::uint32_t> owner(lock.owner);
  std::atomic_ref<std::uint32_t> count(lock.count);
  if (owner.load() != ThreadId()) return;
  if (count.load() == 1) {
    owner.store(0);
    count.store(0);
  } else {
    count.fetch_sub(1);
  }
}

}  // namespace gd
