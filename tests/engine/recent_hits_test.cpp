#include "engine/recent_hits.h"

#include <gtest/gtest.h>

namespace qm::engine {
namespace {

const int actorA = 0;
const int actorB = 1;

TEST(RecentHits, AnActorIsWornOnceUntilTheSetIsEmptied) {
  RecentHitSet set;
  EXPECT_TRUE(set.Mark(&actorA));
  EXPECT_FALSE(set.Mark(&actorA));
  EXPECT_FALSE(set.Mark(&actorA));
  EXPECT_TRUE(set.Mark(&actorB));  // per actor, not per hit
}

TEST(RecentHits, FirstUpdateOnlyClearsThePendingMarkSecondEmpties) {
  // Hit A, update, hit A, update, hit A.
  RecentHitSet set;
  EXPECT_TRUE(set.Mark(&actorA));
  set.Clear();
  EXPECT_FALSE(set.Pending());
  EXPECT_TRUE(set.Contains(&actorA));
  EXPECT_FALSE(set.Mark(&actorA));
  set.Clear();
  EXPECT_EQ(set.Size(), 0u);
  EXPECT_TRUE(set.Mark(&actorA));
}

TEST(RecentHits, ANewActorBetweenUpdatesKeepsTheOthersBlockedOneMoreInterval) {
  RecentHitSet set;
  EXPECT_TRUE(set.Mark(&actorA));
  set.Clear();                      // only the pending mark goes
  EXPECT_TRUE(set.Mark(&actorB));   // pending again
  set.Clear();                      // again only the mark
  EXPECT_FALSE(set.Mark(&actorA));  // A still blocked
  set.Clear();                      // nothing new: emptied
  EXPECT_TRUE(set.Mark(&actorA));
  EXPECT_TRUE(set.Mark(&actorB));
}

TEST(RecentHits, ClearingAnEmptySetChangesNothing) {
  RecentHitSet set;
  set.Clear();
  set.Clear();
  EXPECT_EQ(set.Size(), 0u);
  EXPECT_FALSE(set.Pending());
  EXPECT_TRUE(set.Mark(&actorA));
  EXPECT_TRUE(set.Pending());
}

TEST(RecentHits, ManyActorsGrowTheSetBeyondItsFirstBuckets) {
  RecentHitSet set;
  static int actors[100];
  for (int& actor : actors) EXPECT_TRUE(set.Mark(&actor));
  for (int& actor : actors) EXPECT_FALSE(set.Mark(&actor));
  EXPECT_EQ(set.Size(), 100u);
}

TEST(RecentHits, ProcessWideOperationsFollowTheSameRules) {
  // The process's set outlives a test: a repeated run starts it empty again.
  ClearRecentHits();
  ClearRecentHits();
  EXPECT_TRUE(MarkRecentHit(&actorA));
  EXPECT_FALSE(MarkRecentHit(&actorA));
  ClearRecentHits();
  EXPECT_FALSE(MarkRecentHit(&actorA));
  ClearRecentHits();
  EXPECT_TRUE(MarkRecentHit(&actorA));
}

}  // namespace
}  // namespace qm::engine
