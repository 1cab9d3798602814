// The plug-in's table of moved positions against the double's own, written
// apart from it: a wrong number on either side fails here.
#include "support/in_process_game.h"

#include "double_layouts.h"
#include "game/game_layout.h"

namespace {

class LayoutFamilies : public qmtest::InProcessGameOfEachFamily {};

TEST_P(LayoutFamilies, PlugInAndGameAgreeOnEveryMovedPosition) {
  const qm::game::MovedPositions& plugin = qm::game::PositionsOf(qmtest::PluginFamily(GetParam()));
  const gd::FamilyLayout& game = gd::LayoutOf(GetParam());
  EXPECT_EQ(plugin.extraFirst, game.listFirst);
  EXPECT_EQ(plugin.extraPresence, game.listPresence);
  EXPECT_EQ(plugin.actorState, game.actorState);
  EXPECT_EQ(plugin.actorBoolBits, game.actorBoolBits);
  EXPECT_EQ(plugin.actorProcess, game.actorProcess);
  EXPECT_EQ(plugin.actorSelectedPower, game.actorSelectedPower);
  EXPECT_EQ(plugin.cellSlotCount, game.cellSlotCount);
  EXPECT_EQ(plugin.cellSlots, game.cellSlots);
}

TEST_P(LayoutFamilies, TheWeaponStateIsReadWhereTheChosenFamilyKeepsIt) {
  EXPECT_EQ(qm::game::SelectedLayoutFamily(), qmtest::PluginFamily(GetParam()));
  gd::ActorRec& player = refs().AddActor("player", 0x14);
  player.stateWord() = (3u << 5) | 0x1F;
  EXPECT_EQ(qm::game::ActorStateOf(Actor(player)), (3u << 5) | 0x1F);
}

QM_ON_EACH_LAYOUT_FAMILY(LayoutFamilies);

}  // namespace
