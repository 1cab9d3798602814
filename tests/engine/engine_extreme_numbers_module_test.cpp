// Settings files that hold the largest numbers the reader takes (infinity in
// any spelling, 1e308, the largest float) and health values no wear could
// make: whatever the wear step computes, the health it saves is a finite
// number of at least 1.0, and a zero factor still turns the wear off.
#include "support/engine_world.h"

#include <cmath>
#include <limits>
#include <random>

namespace qmtest {
namespace {

constexpr std::uint32_t kSword = 0x0001A000;
constexpr float kLargestFloat = std::numeric_limits<float>::max();

class ExtremeNumbersTest : public EngineWorld {
 protected:
  void Start(const std::string& ini) {
    WriteSettings("[Degradation]\nOnlyPlayer=false\n[DynamicTemper]\nDisableDynamicTemper=true\n" + ini);
    StartPlugin();
  }
  // An actor of its own wearing one body armour of the given weight class.
  gd::ExtraList& ActorInArmor(const std::string& name, std::uint32_t armorId, std::uint32_t weightClass, float health,
                              bool follower = false) {
    gd::ActorRec& actor = Actor(name);
    if (follower) actor.boolBits() |= gd::kFollowerFlag;
    actors_.push_back(&actor);
    return Wear(actor, Armor(armorId, 0x4, weightClass).form, health);
  }
  std::vector<gd::ActorRec*> actors_;
};

void ExpectWornOut(float health, const char* what) {
  EXPECT_TRUE(std::isfinite(health)) << what << ": " << health;
  EXPECT_EQ(health, 1.0f) << what;
}

TEST_F(ExtremeNumbersTest, InfiniteAndOverflowingRatesWearDownToExactlyOne) {
  gd::ActorRec& player = Actor("player");
  gd::ExtraList& sword = Wear(player, Weapon(kSword).form, 1.5f);
  // Heavy: infinite, so the loss's range is inf - inf. Light: 1e308 doubled
  // by a power attack. Other armour (weight class 2): the largest float,
  // whose loss is far below what a float can hold. Clothing would need a
  // keyword; other armour serves.
  gd::ExtraList& heavy = ActorInArmor("heavy", 0x0001B000, 1, 1.5f);
  gd::ExtraList& light = ActorInArmor("light", 0x0001B001, 0, kLargestFloat);
  gd::ExtraList& other = ActorInArmor("other", 0x0001B002, 2, 2.0f);
  Start(
      "[DegradationRate]\nHeavyArmor=INF\nLightArmor=1e308\nDefaultArmor=3.4028234663852886e38\n"
      "WeaponSword=Infinity\nWeaponDagger=-inf\n");

  for (gd::ActorRec* actor : actors_) Hit(*actor, player, kSword, gd::kHitPowerAttack);
  ExpectWornOut(Health(heavy), "infinite rate");
  ExpectWornOut(Health(light), "1e308 times a power attack");
  ExpectWornOut(Health(other), "the largest float");
  ExpectWornOut(Health(sword), "infinite weapon rate");
}

TEST_F(ExtremeNumbersTest, AZeroMultiplierTurnsAnInfiniteRateOff) {
  // An infinite rate times a zero multiplier is rate 0: the loss stays in
  // [0, 1) * 0.0001, as for any rate turned to 0 by a multiplier.
  gd::ActorRec& player = Actor("player");
  Wear(player, Weapon(kSword).form, 1.5f);
  gd::ExtraList& npc = ActorInArmor("npc", 0x0001B000, 1, 1.5f);
  gd::ExtraList& follower = ActorInArmor("follower", 0x0001B001, 1, 1.5f, true);
  gd::ExtraList& powered = ActorInArmor("powered", 0x0001B002, 0, 1.5f);
  Start(
      "[DegradationRate]\nHeavyArmor=inf\nLightArmor=inf\nNPCMultiplier=0\nFollowerMultiplier=0\n"
      "PowerAttackMultiplier=0\n");

  Hit(*actors_[0], player, kSword);
  Hit(*actors_[1], player, kSword);
  Hit(*actors_[2], player, kSword, gd::kHitPowerAttack);
  for (gd::ExtraList* list : {&npc, &follower, &powered}) {
    EXPECT_LE(Health(*list), 1.5f);
    EXPECT_GT(Health(*list), 1.5f - 0.0001f - 1e-6f);
  }
}

TEST_F(ExtremeNumbersTest, AnInfiniteBreakChanceTimesZeroMakesNoRoll) {
  // The blocking NPC's shield is worn out (health 1.0) and its chance is
  // inf * NPCMultiplier 0: no roll, so no draw. The player's sword then wears
  // with the generator's first two outputs.
  gd::ActorRec& player = Actor("player");
  gd::ExtraList& sword = Wear(player, Weapon(kSword).form, 1.5f);
  gd::ActorRec& guard = Actor("guard");
  gd::ExtraList& shield = Wear(guard, Armor(0x0001B005, 0x200).form, 1.0f, true);
  Start("[BreakChance]\nHeavyArmor=inf\nNPCMultiplier=0\n");

  Hit(guard, player, kSword, gd::kHitBlocked);
  EXPECT_TRUE(Holds(guard.ref, shield));
  EXPECT_EQ(Health(shield), 1.0f);

  std::mt19937 generator(5489);
  const double o1 = generator();
  const double o2 = generator();
  const double u = (o1 + o2 * 4294967296.0) / 18446744073709551616.0;
  const double loss = (3.0 + u * (16.0 - 3.0)) * 0.0001;
  EXPECT_EQ(Health(sword), static_cast<float>(1.5 - loss));
}

TEST_F(ExtremeNumbersTest, AnInfiniteBreakChanceBreaksEveryWornOutItem) {
  gd::ActorRec& player = Actor("player");
  Wear(player, Weapon(kSword).form, 1.5f);
  gd::ExtraList& worn = ActorInArmor("worn", 0x0001B000, 1, 1.0f);
  gd::ExtraList& fresh = ActorInArmor("fresh", 0x0001B001, 1, 1.5f);
  Start("[BreakChance]\nHeavyArmor=inf\nNPCMultiplier=1e308\n");

  Hit(*actors_[0], player, kSword);
  Hit(*actors_[1], player, kSword);
  EXPECT_FALSE(Holds(actors_[0]->ref, worn));
  EXPECT_TRUE(Holds(actors_[1]->ref, fresh));  // above the threshold: no roll
}

TEST_F(ExtremeNumbersTest, StoredHealthThatIsNoFiniteNumberIsNeverSavedAgain) {
  // A NaN health (as an earlier version saved) reads as worn out: it can
  // break again. An infinite one wears from the largest float.
  gd::ActorRec& player = Actor("player");
  Wear(player, Weapon(kSword).form, 1.5f);
  gd::ExtraList& notANumber = ActorInArmor("nan", 0x0001B000, 1, std::numeric_limits<float>::quiet_NaN());
  gd::ExtraList& infinite = ActorInArmor("inf", 0x0001B001, 0, std::numeric_limits<float>::infinity());
  Start("[BreakChance]\nHeavyArmor=100\n");

  Hit(*actors_[0], player, kSword);
  Hit(*actors_[1], player, kSword);
  EXPECT_FALSE(Holds(actors_[0]->ref, notANumber));
  EXPECT_TRUE(std::isfinite(Health(infinite)));
  EXPECT_EQ(Health(infinite), kLargestFloat);  // a loss of 0.0016 at most is lost in rounding
}

}  // namespace
}  // namespace qmtest
