// The game heap refusing an allocation at the places the plug-in allocates
// from it, against the real module. The health entry of a newly decided item
// and the list head for a display name are the only allocations: hits write
// into entries that exist already, and a display name's list never needs a
// second node. (Tempering without memory and the widget's rows without memory
// have their own tests: scenarios/engine/health_entry_without_game_memory.json
// and widget_display_name_test.cpp.)
#include "support/child_process.h"
#include "support/engine_world.h"
#include "ui_world.h"

#include <cstdio>
#include <string>

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

// Every allocation of a session that decides items, shows the widget's rows
// and breaks the player's sword fails in turn, each in a process of its own:
// either the session goes on with every game-heap block linked into a list
// (an item left undecided), or it stops with the report.
TEST_F(FaultGameHeap, EachAllocationOfASessionFailingInTurn) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  gd::CellRec& hall = cells().AddCell("hall", true);
  cells().Place(player.ref, hall);
  Weapon(kSword);
  Armor(0x12E4D, 0x1);
  for (std::uint32_t keyword : {0x8F95Au, 0x8F95Bu, 0x6D930u}) forms().Keyword(keyword);
  Wear(player, *forms().Find(kSword), 1.0f);
  Wear(player, *forms().Find(0x12E4D), 1.3f);
  gd::ReferenceRec& chest = Container("chest");
  cells().Place(chest, hall);
  std::vector<gd::ExtraList*> stored;
  for (int i = 0; i < 3; ++i) stored.push_back(&Give(chest, *forms().Find(i == 0 ? kSword : 0x12E4D)));
  WriteSettings("[BreakChance]\r\nWeaponSword=100\r\n");
  gd::UiWorld& ui = world().Component<gd::UiWorld>();
  ui.Create(gd::UiOptions{});
  LoadPlugin();
  host().SetEventDispatcher(3, &ui.ActionSource());
  ASSERT_TRUE(host().Query());
  ASSERT_TRUE(host().Load());
  host().SendMessage(8);

  // The session; prints the allocations it made and whether the game heap
  // holds only linked health entries.
  const auto session = [&](std::uint64_t failing) {
    const std::uint64_t before = world().heap().Allocations();
    world().heap().FailAllocation(failing);
    ui.OpenMenu(ui.options().triggerMenu, 0);
    ui.CloseMenu(ui.options().triggerMenu);
    ui.Frames(12);
    Updates(201);
    ui.Frames(11);
    Hit(bandit, player, kSword);
    ui.Frames(11);
    std::size_t linked = 0;
    for (gd::ExtraList* list : stored) linked += Decided(*list) && world().heap().IsLive(list->first()) ? 1 : 0;
    const bool balanced = linked == world().heap().LiveBlocks() && world().Violations().empty();
    std::printf("allocations %llu %s\n", static_cast<unsigned long long>(world().heap().Allocations() - before),
                balanced ? "balanced" : "unbalanced");
  };
  const ChildResult clean = RunInChild([&] { session(0); });
  ASSERT_TRUE(clean.exited);
  unsigned long long allocations = 0;
  char balance[16] = {};
  ASSERT_EQ(std::sscanf(clean.output.substr(clean.output.rfind("allocations ")).c_str(), "allocations %llu %15s",
                        &allocations, balance),
            2);
  EXPECT_STREQ(balance, "balanced");
  ASSERT_GE(allocations, 5u);  // three decided items, the rows' names, the broken sword's name

  int wentOn = 0;
  int stopped = 0;
  for (std::uint64_t failing = 1; failing <= allocations; ++failing) {
    const ChildResult child = RunInChild([&] { session(failing); });
    if (child.signaled) {
      EXPECT_NE(child.output.find("Assertion failed in GameTypes (558): p\n"), std::string::npos)
          << "allocation " << failing << ": " << child.output;
      ++stopped;
    } else {
      EXPECT_TRUE(child.exited && child.exitCode == 0) << "allocation " << failing;
      EXPECT_NE(child.output.find(" balanced\n"), std::string::npos) << "allocation " << failing;
      ++wentOn;
    }
  }
  EXPECT_GT(wentOn, 0);
  EXPECT_GT(stopped, 0);
  RecordProperty("allocations", std::to_string(allocations));
}

}  // namespace
}  // namespace qmtest
