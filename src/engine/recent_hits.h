#pragma once
// RecentHitActors: the actors whose equipment was worn since the set was last
// emptied, so that an actor in a continuous fight is worn at most once per
// update cycle. Guarded by RecentHitLock, held for one set operation only.
#include "game/recursive_spin_lock.h"

#include <unordered_set>

namespace qm::engine {

class RecentHitSet {
 public:
  RecentHitSet();

  // Inserts the actor; true when it was not in the set (and marks the set
  // pending), false when it already was.
  bool Mark(const void* actor);
  // At an update event: a pending set only loses its pending mark; a set
  // with no new actor since the last update event is emptied.
  void Clear();

  bool Contains(const void* actor) const { return actors_.count(actor) != 0; }
  std::size_t Size() const { return actors_.size(); }
  bool Pending() const { return RecentHitPending; }

 private:
  std::unordered_set<const void*> actors_;
  bool RecentHitPending = false;
};

// The process-wide set and its guard (process_state.cpp).
extern RecentHitSet RecentHitActors;
extern game::RecursiveSpinLock RecentHitLock;

bool MarkRecentHit(const void* actor);
void ClearRecentHits();

}  // namespace qm::engine
