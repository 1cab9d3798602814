// The game's recursive spin lock as the plug-in takes it for its own guards.
#include "game/recursive_spin_lock.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace qm::game {
namespace {

std::uint32_t OwnerOf(RecursiveSpinLock& lock) { return std::atomic_ref<std::uint32_t>(lock.owner).load(); }
std::uint32_t CountOf(RecursiveSpinLock& lock) { return std::atomic_ref<std::uint32_t>(lock.count).load(); }

TEST(RecursiveSpinLock, TheOwnerTakesItAgainAndReleasesEachLevel) {
  RecursiveSpinLock lock;
  lock.Acquire();
  lock.Acquire();
  lock.Acquire();
  EXPECT_EQ(OwnerOf(lock), platform::CurrentThreadId());
  EXPECT_EQ(CountOf(lock), 3u);
  lock.Release();
  lock.Release();
  EXPECT_EQ(OwnerOf(lock), platform::CurrentThreadId());
  EXPECT_EQ(CountOf(lock), 1u);
  lock.Release();
  EXPECT_EQ(OwnerOf(lock), 0u);
  EXPECT_EQ(CountOf(lock), 0u);
}

TEST(RecursiveSpinLock, ReleaseByAThreadThatDoesNotOwnItDoesNothing) {
  RecursiveSpinLock lock;
  lock.Acquire();
  lock.Acquire();
  std::thread([&lock] {
    lock.Release();
    lock.Release();
  }).join();
  EXPECT_EQ(OwnerOf(lock), platform::CurrentThreadId());
  EXPECT_EQ(CountOf(lock), 2u);
  lock.Release();
  lock.Release();
  EXPECT_EQ(CountOf(lock), 0u);

  // Releasing a free lock is just as harmless.
  lock.Release();
  EXPECT_EQ(OwnerOf(lock), 0u);
  EXPECT_EQ(CountOf(lock), 0u);
}

TEST(RecursiveSpinLock, AWaitingThreadEntersOnlyAfterTheOwnerLetsGo) {
  RecursiveSpinLock lock;
  std::atomic<bool> entered{false};
  lock.Acquire();
  std::thread waiter([&] {
    SpinLockGuard guard(lock);
    entered = true;
    EXPECT_EQ(OwnerOf(lock), platform::CurrentThreadId());
  });
  platform::SleepMilliseconds(50);
  EXPECT_FALSE(entered.load());
  lock.Release();
  waiter.join();
  EXPECT_TRUE(entered.load());
  EXPECT_EQ(CountOf(lock), 0u);
}

TEST(RecursiveSpinLock, ContendedThreadsNeverOverlap) {
  RecursiveSpinLock lock;
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  long long total = 0;  // plain memory: only the lock orders it
  int inside = 0;
  std::atomic<int> overlaps{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        SpinLockGuard outer(lock);
        SpinLockGuard inner(lock);  // recursion under contention
        if (++inside != 1) ++overlaps;
        ++total;
        --inside;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(total, static_cast<long long>(kThreads) * kRounds);
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(OwnerOf(lock), 0u);
  EXPECT_EQ(CountOf(lock), 0u);
}

}  // namespace
}  // namespace qm::game
