#include "widget/row_values.h"

#include "config/config_store.h"
#include "config/item_category.h"
#include "engine/display_name.h"
#include "game/game_bindings.h"
#include "game/name_records.h"
#include "widget/widget_icons.h"

#include <cmath>

namespace qm::widget {
namespace {

constexpr double kNoDurability = -1.0;

double Colour(config::Setting setting) { return static_cast<double>(config::Store().Whole(setting)); }

// The name of a record that is neither weapon nor armour; empty when it has
// no full-name component.
const char* FullName(game::TESForm* form) {
  const auto* component = static_cast<const game::FullNameComponent*>(
      game::Bindings.CastRuntimeType(form, 0, game::Bindings.TypeFormBase, game::Bindings.TypeFullName, 0));
  if (component == nullptr) return "";
  const char* name = component->dispatch->GetName(component);
  return name != nullptr ? name : "";
}

// An item that wears: its durability points, and the breakable colour once
// it is worn down far enough to break and its category can break.
void ApplyWear(const engine::ItemEntry& row, RowValues& values) {
  const float health = engine::GetItemHealth(row);
  values.durability = DurabilityPoints(health);
  const bool breakable = config::GetBreakChanceFor(row.form) != 0.0 && !(health > config::Store().HealthThreshold) &&
                         engine::IsBreakable(row);
  values.colour = Colour(breakable ? config::Setting::BreakableColor : config::Setting::UnbreakableColor);
}

}  // namespace

double DurabilityPoints(float health) {
  const float worn = health - 1.0f;
  const double points = std::round(static_cast<double>(worn) * 1000.0);
  return points > 0.0 ? points : 0.0;  // a NaN fails the test too
}

RowValues ComputeRowValues(engine::ItemEntry& row) {
  RowValues values{IconFor(row.form), "", kNoDurability, Colour(config::Setting::UnbreakableColor)};
  if (row.form == nullptr) return values;

  switch (row.form->formType) {
    case game::kFormWeapon:
      engine::BuildDisplayName(row);
      values.name = row.displayName.c_str();
      if (engine::IsDurabilityItem(row)) ApplyWear(row, values);
      break;
    case game::kFormArmor:
      engine::BuildDisplayName(row);
      values.name = row.displayName.c_str();
      ApplyWear(row, values);
      break;
    default: values.name = FullName(row.form); break;
  }
  return values;
}

}  // namespace qm::widget
