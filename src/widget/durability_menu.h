#pragma once
// DurabilityMenu: the widget's menu object. The game creates it through the
// factory registered as "Durability Menu", drives it through the menu slots
// and destroys it through slot 0; three event sinks are embedded after the
// menu base, each with its own dispatch table.
#include "game/game_ui.h"

#include <cstddef>
#include <cstdint>

namespace qm::widget {

inline constexpr const char* kMenuName = "Durability Menu";
inline constexpr const char* kMovieName = "DurabilityMenu";

struct DurabilityMenu {
  game::IMenu menu;              // 0x00
  game::Sink menuOpenCloseSink;  // 0x30: BSTEventSink<MenuOpenCloseEvent>
  game::Sink actionSink;         // 0x38: BSTEventSink<SKSEActionEvent>
  game::Sink inputSink;          // 0x40: BSTEventSink<InputEvent>
  std::uint32_t frameCount;      // 0x48: frame-slot calls since the last update
  std::uint8_t showItems;        // 0x4C: rows carry the equipped items
  std::uint8_t pad4D[3];         // 0x4D
};
static_assert(offsetof(DurabilityMenu, menu) == 0x00);  // the IMenu part's offsets hold as asserted there
static_assert(offsetof(DurabilityMenu, menuOpenCloseSink) == 0x30);
static_assert(offsetof(DurabilityMenu, actionSink) == 0x38);
static_assert(offsetof(DurabilityMenu, inputSink) == 0x40);
static_assert(offsetof(DurabilityMenu, frameCount) == 0x48);
static_assert(offsetof(DurabilityMenu, showItems) == 0x4C);
static_assert(sizeof(DurabilityMenu) == 0x50);

extern const game::IMenuDispatch kDurabilityMenuDispatch;

// The creation callback: a new menu on the movie heap with its movie
// loaded, or null when the heap gives no memory.
game::IMenu* CreateDurabilityMenu();

// Recovers the menu from one of its embedded sinks.
template <std::size_t SinkOffset>
DurabilityMenu* MenuOfSink(game::Sink* sink) {
  return reinterpret_cast<DurabilityMenu*>(reinterpret_cast<std::uint8_t*>(sink) - SinkOffset);
}

}  // namespace qm::widget
