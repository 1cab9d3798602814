#pragma once
// The seven rows of the widget, collected from the player's equipment.
#include "engine/item_entry.h"

#include <array>

namespace qm::widget {

inline constexpr std::size_t kWidgetRowCount = 7;
using WidgetRows = std::array<engine::ItemEntry, kWidgetRowCount>;

// Head, body, hands, feet, left hand, right hand, power or shout; blank rows
// where nothing is found, and all blank when the items are not shown.
void CollectWidgetRows(bool showItems, WidgetRows& rows);

}  // namespace qm::widget
