#include "engine/recent_hits.h"

namespace qm::engine {

RecentHitSet::RecentHitSet() {
  // Eight buckets at a load factor of at most 1.0 to begin with.
  actors_.max_load_factor(1.0f);
  actors_.rehash(8);
}

bool RecentHitSet::Mark(const void* actor) {
  if (!actors_.insert(actor).second) return false;
  RecentHitPending = true;
  return true;
}

void RecentHitSet::Clear() {
  if (RecentHitPending) {
    RecentHitPending = false;
  } else if (!actors_.empty()) {
    actors_.clear();
  }
}

bool MarkRecentHit(const void* actor) {
  game::SpinLockGuard guard(RecentHitLock);
  return RecentHitActors.Mark(actor);
}

void ClearRecentHits() {
  game::SpinLockGuard guard(RecentHitLock);
  RecentHitActors.Clear();
}

}  // namespace qm::engine
