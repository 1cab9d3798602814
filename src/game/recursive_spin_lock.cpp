#include "game/recursive_spin_lock.h"

#include "platform/platform.h"

#include <immintrin.h>

#include <atomic>

namespace qm::game {
namespace {

bool TryTake(std::uint32_t& count) {
  std::uint32_t expected = 0;
  return std::atomic_ref<std::uint32_t>(count).compare_exchange_strong(expected, 1);
}


}  // namespace

void RecursiveSpinLock::Acquire() {
  const std::uint32_t self = platform::CurrentThreadId();
  std::atomic_ref<std::uint32_t> ownerRef(owner);
  if (ownerRef.load() == self) {
    std::atomic_ref<std::uint32_t>(count).fetch_add(1);
    return;
  }
  if (!TryTake(count)) {
    _mm_pause();
    if (!TryTake(count)) {
      std::uint32_t retries = 0;
      do {
        ++retries;
        platform::SleepMilliseconds(retries < 10000 ? 0 : 1);
      } while (!TryTake(count));
    }
  }
  ownerRef.store(self);
}

void RecursiveSpinLock::Release() {
  const std::uint32_t self = platform::CurrentThreadId();
  std::atomic_ref<std::uint32_t> ownerRef(owner);
  if (ownerRef.load() != self) return;
  std::atomic_ref<std::uint32_t> countRef(count);
  if (countRef.load() == 1) {
    ownerRef.store(0);
    std::atomic_thread_fence(std::memory_order_seq_cst);
    std::uint32_t expected = 1;
    countRef.compare_exchange_strong(expected, 0);
  } else {
    countRef.fetch_sub(1);
  }
}

}  // namespace qm::game
