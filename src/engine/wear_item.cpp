#include "engine/wear_item.h"

#include "config/config_store.h"
#include "config/item_category.h"
#include "engine/engine_random.h"
#include "engine/recent_hits.h"
#include "game/game_bindings.h"

#include <algorithm>

namespace qm::engine {
namespace {


bool IsFollower(const game::Actor* actor) { return (game::BoolBitsOf(actor) & game::kActorFollowerOfPlayer) != 0; }

// Settings may be infinite. A factor of 0 turns the value off even then,
// where the plain product inf * 0 would be no number.
double ScaledBy(double value, double factor) { return value == 0.0 || factor == 0.0 ? 0.0 : value * factor; }

// A chance of 100 % or more always breaks; an infinite one is held at 100.
constexpr double kCertain = 100.0;

// The chance of breaking on this hit, in percent; 0 when the item may not
// break at all.
double BreakChance(const ItemEntry& item, game::Actor* actor, bool powerAttack, float health, float threshold) {
  const config::ConfigStore& store = config::Store();
  double chance = config::GetBreakChanceFor(item.form);
  if (chance == 0.0) return 0.0;
  if (!IsBreakable(item)) return 0.0;
  if (store.Get<config::Setting::IncreaseDurability>() == 1 && health > 1.0f) {
    // Falls linearly from the full chance at health 1.0 to none at the
    // threshold; the quotient is taken in single precision.
    const float worn = (health - 1.0f) / (threshold - 1.0f);
    chance = ScaledBy(chance, 1.0 - worn);
  }
  if (powerAttack) chance = ScaledBy(chance, store.Get<config::Setting::ChancePowerAttackMultiplier>());
  if (actor != *game::Bindings.Player) {
    chance = ScaledBy(chance, IsFollower(actor) ? store.Get<config::Setting::ChanceFollowerMultiplier>()
                                                : store.Get<config::Setting::ChanceNpcMultiplier>());
  }
  return std::min(chance, kCertain);
}

void LoseHealth(const ItemEntry& item, game::Actor* actor, bool powerAttack, float health) {
  const config::ConfigStore& store = config::Store();
  double rate = config::GetDegradationRateFor(item.form);
  if (rate == 0.0) return;
  if (powerAttack) rate = ScaledBy(rate, store.Get<config::Setting::RatePowerAttackMultiplier>());
  if (actor != *game::Bindings.Player) {
    rate = ScaledBy(rate, IsFollower(actor) ? store.Get<config::Setting::RateFollowerMultiplier>()
                                            : store.Get<config::Setting::RateNpcMultiplier>());
  }
  const double loss = UniformScaled(rate, (rate + 1.0) * (rate + 1.0));
  // An infinite or overflowing rate gives an infinite loss, or no number at
  // all (inf - inf on the way): either wears the item down to 1.0. The floor
  // is applied in double, so no value too large for a float is converted.
  const double worn = static_cast<double>(health) - loss;
  SetItemHealth(item, worn > 1.0 ? static_cast<float>(worn) : 1.0f);
}

}  // namespace

void WearItem(const ItemEntry& item, game::Actor* actor, bool powerAttack) {
  if (item.form == nullptr) return;
  if (!MarkRecentHit(actor)) return;

  const float health = GetItemHealth(item);
  const float threshold = config::Store().HealthThreshold;
  if (health <= threshold) {
    const double chance = BreakChance(item, actor, powerAttack, health, threshold);
    if (chance != 0.0 && RollRealPercent(chance)) {
      BreakItem(item, actor);
      return;
    }
  }
  // An item at or below the threshold that did not break still wears down
  // in the same step, as long as it is above 1.0.
  if (health > 1.0f) LoseHealth(item, actor, powerAttack, health);
}

}  // namespace qm::engine
