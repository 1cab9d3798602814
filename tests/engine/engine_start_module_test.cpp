// Which of the engine's sinks the settings let the game reach, and when.
#include "support/engine_world.h"

namespace qmtest {
namespace {

class EngineStartTest : public EngineWorld {
 protected:
  std::uint32_t HitSinks() { return world().HitSource().size; }
  std::uint32_t UpdateSinks() { return world().UpdateSource().size; }
  // The two switches, "true" or "false" as the settings file spells them.
  void Start(const std::string& disableDegradation, const std::string& disableTemper) {
    WriteSettings("[Degradation]\nDisableDegradation=" + disableDegradation +
                  "\n[DynamicTemper]\nDisableDynamicTemper=" + disableTemper + "\n");
    StartPlugin();
  }
};

TEST_F(EngineStartTest, BothOnRegistersBothSinks) {
  Start("false", "false");
  EXPECT_EQ(HitSinks(), 1u);
  EXPECT_EQ(UpdateSinks(), 1u);
}

TEST_F(EngineStartTest, TemperingOffKeepsTheUpdateSinkForClearing) {
  Start("false", "true");
  EXPECT_EQ(HitSinks(), 1u);
  EXPECT_EQ(UpdateSinks(), 1u);
}

TEST_F(EngineStartTest, DegradationOffRegistersOnlyTheUpdateSink) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(0x0003A000).form, 1.5f);
  gd::ExtraList& worn = Wear(player, Armor(0x0003B000, 0x4).form, 1.5f);
  gd::CellRec& room = cells().AddCell("room", true);
  cells().Place(player.ref, room);
  gd::ReferenceRec& chest = Container("chest");
  cells().Place(chest, room);
  gd::ExtraList& stored = Give(chest, Armor(0x0003B001, 0x4).form);
  Start("true", "false");

  EXPECT_EQ(HitSinks(), 0u);
  EXPECT_EQ(UpdateSinks(), 1u);
  Hit(player, bandit, 0x0003A000);
  EXPECT_EQ(Health(worn), 1.5f);
  Updates(201);
  EXPECT_TRUE(Decided(stored));
}

TEST_F(EngineStartTest, BothOffRegistersNothing) {
  Start("true", "true");
  EXPECT_EQ(HitSinks(), 0u);
  EXPECT_EQ(UpdateSinks(), 0u);
}

TEST_F(EngineStartTest, OnlyTheDataLoadedMessageRegisters) {
  LoadPlugin();
  ASSERT_TRUE(host().Query());
  ASSERT_TRUE(host().Load());
  EXPECT_EQ(HitSinks() + UpdateSinks(), 0u);
  for (std::uint32_t type : {0u, 1u, 2u, 7u, 9u}) host().SendMessage(type);
  EXPECT_EQ(HitSinks() + UpdateSinks(), 0u);
  host().SendMessage(8);
  EXPECT_EQ(HitSinks(), 1u);
  EXPECT_EQ(UpdateSinks(), 1u);
}

}  // namespace
}  // namespace qmtest
