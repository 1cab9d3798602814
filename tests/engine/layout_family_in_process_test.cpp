// The engine on a world of each layout family: the actor's flags, the
// cells' reference tables and the lists of loose items and holders are read
// where that family keeps them.
#include "support/in_process_game.h"

#include "cells.h"
#include "engine/dynamic_temper.h"
#include "engine/recent_hits.h"
#include "engine/wear_item.h"
#include "game/game_forms.h"

namespace {

class EngineOnEachFamily : public qmtest::InProcessGameOfEachFamily {
 protected:
  gd::Cells& cells() { return world().Component<gd::Cells>(); }
};

TEST_P(EngineOnEachFamily, TheFollowerFlagChoosesTheFollowersRate) {
  qm::config::ConfigStore& store = qm::config::Store();
  // A follower's sword loses at most 0.0001, another actor's at least 0.03.
  store.degradationRate.SetExisting("followermultiplier", 0.0);
  store.degradationRate.SetExisting("npcmultiplier", 100.0);
  // Two update cycles without hits empty the recent hits of earlier tests.
  qm::engine::ClearRecentHits();
  qm::engine::ClearRecentHits();
  gd::WeaponForm& sword = forms().AddWeapon(0x100, "Iron Sword", 1);
  gd::ActorRec& guard = refs().AddActor("guard", 0x800);
  gd::ActorRec& follower = refs().AddActor("follower", 0x801);
  guard.boolBits() = ~gd::kFollowerFlag;  // every other flag set
  follower.boolBits() = gd::kFollowerFlag;
  for (gd::ActorRec* actor : {&guard, &follower}) {
    refs().GiveProcess(*actor);
    gd::InstanceSpec spec = Spec(refs().NameOf(&actor->ref) + "'s sword", gd::Worn::Right);
    spec.health = 3.0f;
    items().GiveOne(actor->ref, &sword.form, spec);
    qm::engine::WearItem(Entry(spec.id), Actor(*actor), false);
  }
  store.degradationRate.SetExisting("followermultiplier", 1.0);
  store.degradationRate.SetExisting("npcmultiplier", 1.0);

  EXPECT_LT(*items().Health(*items().Find("guard's sword")), 2.98f);
  EXPECT_GT(*items().Health(*items().Find("follower's sword")), 2.9998f);
  EXPECT_EQ(qm::game::BoolBitsOf(Actor(follower)), gd::kFollowerFlag);
}

TEST_P(EngineOnEachFamily, TemperingDecidesWhatLiesAndIsHeldInThePlayersCell) {
  gd::WeaponForm& sword = forms().AddWeapon(0x100, "Iron Sword", 1);
  gd::ArmorForm& helmet = forms().AddArmor(0x101, "Iron Helmet", 0x1, 1);
  gd::FormHeader& chestBase = forms().AddForm(0x200, gd::form_type::kContainer, "Chest").form;
  gd::CellRec& room = cells().AddCell("room", true);
  gd::ActorRec& player = refs().AddActor("player", 0x14);
  refs().SetPlayer(&player);
  cells().Place(player.ref, room);
  gd::ReferenceRec& lying = refs().AddLooseItem("lying", 0x800, &sword.form);
  cells().Place(lying, room);
  gd::ReferenceRec& farAway = refs().AddLooseItem("far away", 0x801, &sword.form);
  refs().SetPosition(farAway, 8000.0f, 0.0f, 0.0f);
  cells().Place(farAway, room);
  gd::ReferenceRec& chest = refs().AddContainer("chest", 0x802, &chestBase);
  cells().Place(chest, room);
  items().GiveOne(chest, &helmet.form, Spec("helmet"));

  qm::engine::DynamicTemperPass();
  EXPECT_TRUE(extra().HealthOf(lying.extraList).has_value());
  EXPECT_TRUE(items().Health(*items().Find("helmet")).has_value());
  EXPECT_FALSE(extra().HealthOf(farAway.extraList).has_value());
}

QM_ON_EACH_LAYOUT_FAMILY(EngineOnEachFamily);

}  // namespace
