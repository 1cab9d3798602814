#pragma once
// What one widget row shows: icon, name, durability and text colour.
#include "engine/item_entry.h"

namespace qm::widget {

struct RowValues {
  const char* icon;   // static
  const char* name;   // the row's own display name or the game record's name
  double durability;  // -1.0 for rows without durability
  double colour;
};

// May build the row's display name, which the result then points into.
RowValues ComputeRowValues(engine::ItemEntry& row);

// Durability points shown for a health value: (health - 1) x 1000, rounded
// half away from zero, never below 0.
double DurabilityPoints(float health);

}  // namespace qm::widget
