// Hits against the real module in the game double: which item of which
// actor a hit wears, how much, and when it breaks.
#include "support/engine_world.h"

#include <algorithm>
#include <iterator>

namespace qmtest {
namespace {

constexpr std::uint32_t kSword = 0x0001A000;
constexpr std::uint32_t kCuirass = 0x0001B000;
constexpr std::uint32_t kHelmet = 0x0001B001;
constexpr std::uint32_t kShield = 0x0001B002;

class HitTest : public EngineWorld {
 protected:
  // Hits only: tempering stays off so that update events only clear the
  // recent hits.
  void Start(const std::string& degradation = "", const std::string& more = "") {
    WriteSettings("[Degradation]\n" + degradation + "\n[DynamicTemper]\nDisableDynamicTemper=true\n" + more);
    StartPlugin();
  }
};

TEST_F(HitTest, SpellsAndStaffsWearNothingOnEitherSide) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  gd::WeaponForm& sword = Weapon(kSword);
  gd::WeaponForm& staff = Weapon(0x0001A001, 8);
  const std::uint32_t spell = forms().AddForm(0x0001C000, gd::form_type::kSpell, "Flames").form.formId;
  gd::ExtraList& playerSword = Wear(player, sword.form, 1.5f);
  gd::ExtraList& playerStaff = Wear(player, staff.form, 1.5f, true);
  gd::ExtraList& playerShield = Wear(player, Armor(kShield, 0x200).form, 1.5f);
  gd::ExtraList& banditCuirass = Wear(bandit, Armor(kCuirass, 0x4).form, 1.5f);
  Start("OnlyPlayer=false");

  Hit(bandit, player, spell);
  Hit(bandit, player, staff.form.formId);
  Hit(bandit, player, 0x00DEAD00);  // a source the game does not know
  EXPECT_EQ(Health(playerSword), 1.5f);
  EXPECT_EQ(Health(playerStaff), 1.5f);
  EXPECT_EQ(Health(playerShield), 1.5f) << "only a shield bash wears the caster's shield";
  EXPECT_EQ(Health(banditCuirass), 1.5f);

  Hit(bandit, player, kSword);  // the same actors with a sword: both worn
  EXPECT_LT(Health(playerSword), 1.5f);
  EXPECT_LT(Health(banditCuirass), 1.5f);
}

TEST_F(HitTest, OnlyPlayerWearsThePlayersSideAlone) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  gd::ActorRec& guard = Actor("guard");
  gd::WeaponForm& sword = Weapon(kSword);
  gd::ArmorForm& cuirass = Armor(kCuirass, 0x4);
  gd::ExtraList& playerSword = Wear(player, sword.form, 1.5f);
  gd::ExtraList& playerCuirass = Wear(player, cuirass.form, 1.5f);
  gd::ExtraList& banditSword = Wear(bandit, sword.form, 1.5f);
  gd::ExtraList& banditCuirass = Wear(bandit, cuirass.form, 1.5f);
  gd::ExtraList& guardCuirass = Wear(guard, cuirass.form, 1.5f);
  Start();  // OnlyPlayer is on by default

  Hit(guard, bandit, kSword);
  EXPECT_EQ(Health(banditSword), 1.5f);
  EXPECT_EQ(Health(guardCuirass), 1.5f);

  Hit(bandit, player, kSword);
  EXPECT_LT(Health(playerSword), 1.5f);
  EXPECT_EQ(Health(banditCuirass), 1.5f);

  ForgetRecentHits();
  Hit(player, bandit, kSword);
  EXPECT_LT(Health(playerCuirass), 1.5f);
  EXPECT_EQ(Health(banditSword), 1.5f);
}

TEST_F(HitTest, BlockedHitWearsTheShieldThenTheRightHandWeapon) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ArmorForm& shield = Armor(kShield, 0x200);
  gd::ExtraList& shieldList = Wear(player, shield.form, 1.5f, true);
  gd::ExtraList& cuirass = Wear(player, Armor(kCuirass, 0x4).form, 1.5f);
  gd::ExtraList& mace = Wear(player, Weapon(0x0001A002, 4).form, 1.5f);
  gd::ExtraList& helmet = Wear(player, Armor(kHelmet, 0x1).form, 1.5f);  // never blocks
  Start();

  Hit(player, bandit, kSword, gd::kHitBlocked);
  EXPECT_LT(Health(shieldList), 1.5f);
  EXPECT_EQ(Health(cuirass), 1.5f);
  EXPECT_EQ(Health(mace), 1.5f);

  // Without a shield the weapon in the right hand takes the blow.
  extra().SetPresenceBit(shieldList, gd::extra_type::kWornLeft, false);
  ForgetRecentHits();
  Hit(player, bandit, kSword, gd::kHitBlocked);
  EXPECT_LT(Health(mace), 1.5f);
  EXPECT_EQ(Health(cuirass), 1.5f);
  EXPECT_EQ(Health(helmet), 1.5f);

  // Blocking with empty hands wears nothing.
  player.process()->rightHand = nullptr;
  ForgetRecentHits();
  const float maceBefore = Health(mace);
  Hit(player, bandit, kSword, gd::kHitBlocked);
  EXPECT_EQ(Health(mace), maceBefore);
  EXPECT_EQ(Health(cuirass), 1.5f);
}

TEST_F(HitTest, BlockingWithAnExcludedWeaponWearsNothing) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList& excluded = Wear(player, Weapon(0x0001A003, 1, 0x2000).form, 1.5f);
  gd::ExtraList& cuirass = Wear(player, Armor(kCuirass, 0x4).form, 1.5f);
  Start();

  Hit(player, bandit, kSword, gd::kHitBlocked);
  EXPECT_EQ(Health(excluded), 1.5f);
  EXPECT_EQ(Health(cuirass), 1.5f);

  // Flags beside the one that excludes leave a weapon blocking as any other.
  gd::ExtraList& flagged = Wear(player, Weapon(0x0001A004, 1, 0x0001 | 0x4000).form, 1.5f);
  ForgetRecentHits();
  Hit(player, bandit, kSword, gd::kHitBlocked);
  EXPECT_LT(Health(flagged), 1.5f);
}

TEST_F(HitTest, BlockingWithASpellInTheRightHandWearsNothing) {
  // A spell record is far smaller than a weapon's: its weapon flags are not
  // read, and no worn instance of it exists.
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList& cuirass = Wear(player, Armor(kCuirass, 0x4).form, 1.5f);
  references().GiveProcess(player).rightHand = &forms().AddForm(0x0001C001, gd::form_type::kSpell, "Ward").form;
  Start();

  Hit(player, bandit, kSword, gd::kHitBlocked);
  EXPECT_EQ(Health(cuirass), 1.5f);
}

TEST_F(HitTest, UnblockedHitFindsNoArmourOutsideTheFourSlots) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList& ring = Wear(player, Armor(0x0001B010, 0x40).form, 1.5f);
  gd::ExtraList& carried = Give(player.ref, Armor(kCuirass, 0x4).form, 1.5f);  // not worn
  Start();

  for (int i = 0; i < 8; ++i) {
    Hit(player, bandit, kSword);
    ForgetRecentHits();
  }
  EXPECT_EQ(Health(ring), 1.5f);
  EXPECT_EQ(Health(carried), 1.5f);
}

TEST_F(HitTest, UnblockedHitsStrikeTheFourSlotsInARandomOrder) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList* pieces[] = {
      &Wear(player, Armor(kHelmet, 0x1).form, 1.5f), &Wear(player, Armor(kCuirass, 0x4).form, 1.5f),
      &Wear(player, Armor(0x0001B011, 0x8).form, 1.5f), &Wear(player, Armor(0x0001B012, 0x80).form, 1.5f)};
  Start();

  int worn = 0;
  for (int i = 0; i < 16; ++i) {
    Hit(player, bandit, kSword);
    ForgetRecentHits();
    const int nowWorn = static_cast<int>(std::count_if(std::begin(pieces), std::end(pieces),
                                                       [this](gd::ExtraList* list) { return Health(*list) < 1.5f; }));
    EXPECT_LE(nowWorn, worn + 1) << "one piece per hit";
    worn = nowWorn;
  }
  EXPECT_EQ(worn, 4) << "every slot is struck now and then, not always the first";
}

TEST_F(HitTest, AHelmetCoveringOnlyTheHairCountsForTheHead) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList& hood = Wear(player, Armor(kHelmet, 0x2).form, 1.5f);
  Start();

  Hit(player, bandit, kSword);
  EXPECT_LT(Health(hood), 1.5f);

  // With the other three slots filled, the hood takes the head's share.
  const float before = Health(hood);
  Wear(player, Armor(kCuirass, 0x4).form, 1.5f);
  Wear(player, Armor(0x0001B011, 0x8).form, 1.5f);
  Wear(player, Armor(0x0001B012, 0x80).form, 1.5f);
  for (int i = 0; i < 24 && Health(hood) == before; ++i) {
    ForgetRecentHits();
    Hit(player, bandit, kSword);
  }
  EXPECT_LT(Health(hood), before);
}

TEST_F(HitTest, TheSameWeaponInBothHandsWearsTheHandThatSwung) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  gd::WeaponForm& dagger = Weapon(0x0001A004, 2);
  gd::ExtraList& right = Wear(player, dagger.form, 1.5f, false);
  gd::ExtraList& left = Wear(player, dagger.form, 1.5f, true);
  Start();

  references().SetLeftHandAttack(player, true);
  Hit(bandit, player, dagger.form.formId);
  EXPECT_LT(Health(left), 1.5f);
  EXPECT_EQ(Health(right), 1.5f);

  // When the graph cannot tell, the right hand is worn.
  const float leftAfterFirst = Health(left);
  references().SetLeftHandAttack(player, std::nullopt);
  ForgetRecentHits();
  Hit(bandit, player, dagger.form.formId);
  EXPECT_LT(Health(right), 1.5f);
  EXPECT_EQ(Health(left), leftAfterFirst);
  EXPECT_EQ(references().GraphReads(&player), 2u);

  // A weapon held only in the left hand wears the left-hand instance without
  // asking the graph.
  gd::WeaponForm& mace = Weapon(0x0001A005, 4);
  gd::ExtraList& leftMace = Wear(player, mace.form, 1.5f, true);
  ForgetRecentHits();
  const float rightBefore = Health(right);
  Hit(bandit, player, mace.form.formId);
  EXPECT_LT(Health(leftMace), 1.5f);
  EXPECT_EQ(Health(right), rightBefore);
  EXPECT_EQ(references().GraphReads(&player), 2u);
}

TEST_F(HitTest, WearTakesARandomLossWithinTheRatesRange) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList& cuirass = Wear(player, Armor(kCuirass, 0x4).form, 1.5f);
  Start("", "[DegradationRate]\nHeavyArmor=3\nPowerAttackMultiplier=2\n");

  // Rate 3: a loss in [3, 16) * 0.0001.
  Hit(player, bandit, kSword);
  const float afterNormal = Health(cuirass);
  EXPECT_LE(afterNormal, 1.5f - 0.0003f);
  EXPECT_GT(afterNormal, 1.5f - 0.0016f);

  // A power attack doubles the rate: [6, 49) * 0.0001.
  ForgetRecentHits();
  Hit(player, bandit, kSword, gd::kHitPowerAttack);
  const float loss = afterNormal - Health(cuirass);
  EXPECT_GE(loss, 0.0006f - 1e-6f);
  EXPECT_LT(loss, 0.0049f + 1e-6f);
}

TEST_F(HitTest, WearStopsAtOneAndAnItemAtOneOnlyRollsToBreak) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList& nearlyWorn = Wear(player, Armor(kCuirass, 0x4).form, 1.0004f);
  Start("", "[DegradationRate]\nHeavyArmor=100\n");

  Hit(player, bandit, kSword);
  EXPECT_EQ(Health(nearlyWorn), 1.0f);

  for (int i = 0; i < 5; ++i) {
    ForgetRecentHits();
    Hit(player, bandit, kSword);
  }
  EXPECT_EQ(Health(nearlyWorn), 1.0f);
  EXPECT_TRUE(Holds(player.ref, nearlyWorn));  // break chance 0 by default
}

TEST_F(HitTest, AnUntemperedItemNeverGetsAHealthEntryFromWear) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList& plain = Wear(player, Armor(kCuirass, 0x4).form);
  Start("", "[DegradationRate]\nHeavyArmor=50\n");

  Hit(player, bandit, kSword);
  EXPECT_FALSE(Decided(plain));
}

TEST_F(HitTest, ACertainBreakRemovesTheWornInstanceAndTellsThePlayer) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ArmorForm& cuirass = Armor(kCuirass, 0x4);
  gd::ExtraList& spare = Give(player.ref, cuirass.form);
  gd::ExtraList& worn = Wear(player, cuirass.form);
  Start("", "[BreakChance]\nHeavyArmor=100\n");

  Hit(player, bandit, kSword);
  EXPECT_FALSE(Holds(player.ref, worn));
  EXPECT_TRUE(Holds(player.ref, spare));
  ASSERT_EQ(references().Removals().size(), 1u);
  EXPECT_EQ(references().Removals()[0].list, &worn);
  EXPECT_EQ(world().Component<gd::Hud>().Notifications().size(), 1u);
}

TEST_F(HitTest, SmallBreakChancesAreRolledAndNoneOrAnUnbreakableItemNeverBreaks) {
  // A thousand worn-out cuirasses of each kind, hit once each by the player:
  // a 1 % chance breaks about ten of them, a chance of 0 and the item the
  // game never lets break none.
  gd::ActorRec& player = Actor("player");
  Wear(player, Weapon(kSword).form, 1.5f);
  gd::ArmorForm& heavy = Armor(kCuirass, 0x4);
  gd::ArmorForm& light = Armor(0x0001B030, 0x4, 0);
  gd::ArmorForm& neverBreaks = Armor(0x000001F4, 0x4);
  struct Worn {
    gd::ActorRec* actor;
    gd::ExtraList* item;
  };
  std::vector<Worn> groups[3];
  for (int i = 0; i < 1000; ++i) {
    gd::FormHeader* forms[3] = {&heavy.form, &light.form, &neverBreaks.form};
    for (int group = 0; group < 3; ++group) {
      gd::ActorRec& actor = Actor("npc" + std::to_string(group) + "_" + std::to_string(i));
      groups[group].push_back({&actor, &Wear(actor, *forms[group], 1.0f)});
    }
  }
  Start("OnlyPlayer=false", "[BreakChance]\nHeavyArmor=1\nLightArmor=0\n");

  int broken[3] = {};
  for (int group = 0; group < 3; ++group) {
    for (const Worn& worn : groups[group]) {
      Hit(*worn.actor, player, kSword);
      broken[group] += Holds(worn.actor->ref, *worn.item) ? 0 : 1;
    }
  }
  EXPECT_GE(broken[0], 2);
  EXPECT_LE(broken[0], 25);
  EXPECT_EQ(broken[1], 0);
  EXPECT_EQ(broken[2], 0);
}

TEST_F(HitTest, ThePlayerIgnoresTheNpcMultipliersAndOnlyWornOutItemsRoll) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList& sword = Wear(player, Weapon(0x0001A002).form, 1.5f);
  gd::ExtraList& cuirass = Wear(player, Armor(kCuirass, 0x4).form);
  gd::ExtraHealthEntry& cuirassHealth = extra().AddHealth(cuirass, 1.5f);
  Start("OnlyPlayer=false\nIncreaseDurability=false",
        "[BreakChance]\nHeavyArmor=100\nNPCMultiplier=0\n"
        "[DegradationRate]\nHeavyArmor=0\nWeaponSword=1\nNPCMultiplier=0\n");

  // Above the threshold even a certain chance is not rolled; a rate of 0
  // wears nothing at all.
  Hit(player, bandit, kSword);
  EXPECT_TRUE(Holds(player.ref, cuirass));
  EXPECT_EQ(Health(cuirass), 1.5f);
  // A rate of 1 still wears: [1, 4) * 0.0001.
  ForgetRecentHits();
  Hit(bandit, player, 0x0001A002);
  EXPECT_LE(Health(sword), 1.5f - 0.0001f + 1e-6f);
  EXPECT_GT(Health(sword), 1.5f - 0.0004f);
  // Worn out, the player's cuirass breaks: the NPC multiplier of 0 is not his.
  cuirassHealth.health = 1.0f;
  ForgetRecentHits();
  Hit(player, bandit, kSword);
  EXPECT_FALSE(Holds(player.ref, cuirass));
}

TEST_F(HitTest, IncreaseDurabilityScalesTheBreakChanceDownToNoneAtTheThreshold) {
  // T = 1.2: at health 1.1 half of the 50 % chance is left, at T none.
  gd::ActorRec& player = Actor("player");
  Wear(player, Weapon(kSword).form, 1.5f);
  gd::ArmorForm& cuirass = Armor(kCuirass, 0x4);
  std::vector<gd::ActorRec*> halfway;
  std::vector<gd::ExtraList*> halfwayItems;
  std::vector<gd::ExtraList*> atThresholdItems;
  std::vector<gd::ActorRec*> atThreshold;
  for (int i = 0; i < 400; ++i) {
    gd::ActorRec& actor = Actor("halfway" + std::to_string(i));
    halfwayItems.push_back(&Wear(actor, cuirass.form, 1.1f));
    halfway.push_back(&actor);
  }
  for (int i = 0; i < 100; ++i) {
    gd::ActorRec& actor = Actor("threshold" + std::to_string(i));
    atThresholdItems.push_back(&Wear(actor, cuirass.form, 1.2f));
    atThreshold.push_back(&actor);
  }
  Start("OnlyPlayer=false\nIncreaseDurability=true\nEquipmentHealthThreshold=200",
        "[BreakChance]\nHeavyArmor=50\n[DegradationRate]\nHeavyArmor=0\n");

  for (gd::ActorRec* actor : halfway) Hit(*actor, player, kSword);
  for (gd::ActorRec* actor : atThreshold) Hit(*actor, player, kSword);
  int broken = 0;
  for (std::size_t i = 0; i < halfway.size(); ++i) broken += Holds(halfway[i]->ref, *halfwayItems[i]) ? 0 : 1;
  EXPECT_GT(broken, 70);  // 25 % of 400 is 100; the full chance would give 200
  EXPECT_LT(broken, 130);
  for (std::size_t i = 0; i < atThreshold.size(); ++i) EXPECT_TRUE(Holds(atThreshold[i]->ref, *atThresholdItems[i]));
}

TEST_F(HitTest, AnActorIsWornOncePerUpdateCycle) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  gd::ActorRec& wolf = Actor("wolf");
  Wear(bandit, Weapon(kSword).form, 1.5f);
  gd::ExtraList& cuirass = Wear(player, Armor(kCuirass, 0x4).form, 1.5f);
  gd::ExtraList& wolfHide = Wear(wolf, Armor(0x0001B020, 0x4).form, 1.5f);
  Start("OnlyPlayer=false");

  auto worn = [&, last = 1.5f]() mutable {
    const float now = Health(cuirass);
    const bool changed = now != last;
    last = now;
    return changed;
  };
  Hit(player, bandit, kSword);
  EXPECT_TRUE(worn());
  Hit(player, bandit, kSword);
  EXPECT_FALSE(worn());
  Updates(1);  // clears only the pending mark
  Hit(player, bandit, kSword);
  EXPECT_FALSE(worn());
  Updates(1);  // nothing new since: emptied
  Hit(player, bandit, kSword);
  EXPECT_TRUE(worn());

  // A newly hit actor between the update events keeps the player blocked
  // one more interval.
  Updates(1);
  Hit(wolf, bandit, kSword);
  EXPECT_LT(Health(wolfHide), 1.5f);
  Updates(1);
  Hit(player, bandit, kSword);
  EXPECT_FALSE(worn());
  Updates(1);
  Hit(player, bandit, kSword);
  EXPECT_TRUE(worn());
}

TEST_F(HitTest, AnActorHittingItselfIsWornOnlyAsTheTarget) {
  gd::ActorRec& player = Actor("player");
  gd::ExtraList& sword = Wear(player, Weapon(kSword).form, 1.5f);
  gd::ExtraList& cuirass = Wear(player, Armor(kCuirass, 0x4).form, 1.5f);
  Start();

  Hit(player, player, kSword);
  EXPECT_LT(Health(cuirass), 1.5f);
  EXPECT_EQ(Health(sword), 1.5f);
}

TEST_F(HitTest, AShieldBashWearsTheAttackersShield) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& bandit = Actor("bandit");
  gd::ExtraList& shield = Wear(player, Armor(kShield, 0x200).form, 1.5f, true);
  gd::ExtraList& banditCuirass = Wear(bandit, Armor(kCuirass, 0x4).form, 1.5f);
  Start("OnlyPlayer=false");

  Hit(bandit, player, kShield);
  EXPECT_LT(Health(shield), 1.5f);
  EXPECT_LT(Health(banditCuirass), 1.5f);
}

TEST_F(HitTest, OnlyTheFollowerFlagMakesAFollower) {
  gd::ActorRec& player = Actor("player");
  gd::ActorRec& guard = Actor("guard");
  guard.boolBits() = ~gd::kFollowerFlag;  // every other flag set
  gd::ActorRec& follower = Actor("follower");
  follower.boolBits() = gd::kFollowerFlag;
  gd::ExtraList& guardsCuirass = Wear(guard, Armor(kCuirass, 0x4).form, 1.5f);
  gd::ExtraList& followersCuirass = Wear(follower, Armor(0x0001B010, 0x4).form, 1.5f);
  Wear(player, Weapon(kSword).form, 1.5f);
  Start("OnlyPlayer=false", "[DegradationRate]\nNPCMultiplier=0\nFollowerMultiplier=1\n");

  Hit(guard, player, kSword);
  Hit(follower, player, kSword);
  // A rate of 0 loses less than 0.0001; the default rate of 3 at least 0.0003.
  EXPECT_GT(Health(guardsCuirass), 1.5f - 0.0001f) << "the NPC multiplier of 0 holds";
  EXPECT_LT(Health(followersCuirass), 1.5f - 0.0003f) << "the follower multiplier of 1 holds";
}

TEST_F(HitTest, HitsWithoutActorsOrInventoriesChangeNothing) {
  gd::ActorRec& player = Actor("player");
  gd::ExtraList& sword = Wear(player, Weapon(kSword).form, 1.5f);
  gd::ReferenceRec& chest = Container("chest");
  Start("OnlyPlayer=false");

  gd::DispatchHit(world(), nullptr, &player.ref, kSword, 0);
  EXPECT_LT(Health(sword), 1.5f);  // the attacker's side still runs
  ForgetRecentHits();
  const float before = Health(sword);
  gd::DispatchHit(world(), &chest, nullptr, kSword, 0);
  gd::DispatchHit(world(), nullptr, nullptr, kSword, 0);
  // No event at all, as another plug-in sending through the source can
  // deliver: passed on (0) untouched.
  world().Dispatch(world().HitSource(), nullptr);
  EXPECT_EQ(Health(sword), before);
  // An actor who never held anything has no inventory to wear.
  gd::FormHeader& base = forms().AddForm(0x00FFF001, gd::form_type::kNpc, "ghost").form;
  gd::ActorRec& ghost = references().AddActor("ghost", 0x00FFF000, &base);
  references().GiveProcess(ghost);
  ForgetRecentHits();
  Hit(ghost, player, kSword);
  EXPECT_LT(Health(sword), before);  // the attacker's side still runs
  EXPECT_EQ(references().FindInventory(ghost.ref), nullptr);
}

}  // namespace
}  // namespace qmtest
