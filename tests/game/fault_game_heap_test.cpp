// The game heap refusing an allocation at the places the plug-in allocates
// from it, against the real module. The health entry of a newly decided item
// and the list head for a display name are the only allocations: hits write
// into entries that exist already, and a display name's list never needs a
// second node. (Tempering without memory and the widget's rows without memory
// have their own tests: scenarios/engine/health_entry_without_game_memory.json
// and widget_display_name_test.cpp.)
#include "engine_world.h"
#include "support/child_process.h"

namespace qmtest {
namespace {

constexpr std::uint32_t kSword = 0x00012EB7;

class FaultGameHeap : public EngineWorld {};

// The player's broken item is named on screen: its display name needs a list
// head from the game heap, and without one the process stops with the report.
TEST_F(FaultGameHeap, ThePlayersItemBreakingWithoutMemoryStopsWithTheReport) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Weapon(kSword);
  gd::ExtraList& sword = Wear(player, *forms().Find(kSword), 1.0f);
  WriteSettings("[BreakChance]\r\nWeaponSword=100\r\n");
  StartPlugin();
  const ChildResult child = RunInChild([&] {
    world().heap().FailAllocation(1);
    Hit(bandit, player, kSword);
  });
  EXPECT_TRUE(child.signaled);
  EXPECT_NE(child.output.find("Assertion failed in GameTypes (558): p\n"), std::string::npos) << child.output;
  const std::vector<std::string> log = ReadLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "Assertion failed in GameTypes (558): p");
  // In this process, with memory, the same hit breaks the sword and names it.
  Hit(bandit, player, kSword);
  EXPECT_FALSE(Holds(player.ref, sword));
  EXPECT_EQ(world().heap().LiveBlocks(), 0u);
}

// Another actor's item breaks without a name on screen: no game memory is
// asked for, so a heap that has none changes nothing.
TEST_F(FaultGameHeap, AnotherActorsItemBreaksWithoutAskingForMemory) {
  Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  gd::ActorRec& guard = Actor("guard");
  Weapon(kSword);
  gd::ExtraList& sword = Wear(bandit, *forms().Find(kSword), 1.0f);
  WriteSettings("[Degradation]\r\nOnlyPlayer=false\r\n[BreakChance]\r\nWeaponSword=100\r\n");
  StartPlugin();
  const std::uint64_t allocations = world().heap().Allocations();
  world().heap().FailAll(true);
  Hit(guard, bandit, kSword);
  world().heap().FailAll(false);
  EXPECT_FALSE(Holds(bandit.ref, sword));
  EXPECT_EQ(world().heap().Allocations(), allocations);
  EXPECT_EQ(world().heap().LiveBlocks(), 0u);
}

// Hits only change health entries that exist: a heap with no memory at all
// leaves every hit's wear intact.
TEST_F(FaultGameHeap, HitsNeedNoGameMemory) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Weapon(kSword);
  gd::ExtraList& worn = Wear(player, *forms().Find(kSword), 1.5f);
  gd::ExtraList& undecided = Wear(bandit, *forms().Find(kSword));
  StartPlugin();
  world().heap().FailAll(true);
  for (int i = 0; i < 20; ++i) {
    Hit(bandit, player, kSword);
    Hit(player, bandit, kSword);
    ForgetRecentHits();
  }
  world().heap().FailAll(false);
  EXPECT_LT(Health(worn), 1.5f);
  EXPECT_GE(Health(worn), 1.0f);
  EXPECT_FALSE(Decided(undecided));
  EXPECT_EQ(world().heap().Failures(), 0u);
}

}  // namespace
}  // namespace qmtest
