#include "widget/menu_table.h"

#include "game/game_bindings.h"

namespace qm::widget {

game::IMenu* LookUpMenu(const game::MenuManager& manager, game::InternedString name) {
  if (name.data == nullptr || manager.menuBuckets == nullptr || manager.menuBucketCount == 0) return nullptr;

  std::uint32_t hash = 0;
  game::Bindings.HashInternedKey(&hash, name.data);
  const game::MenuTableEntry* entry = &manager.menuBuckets[hash & (manager.menuBucketCount - 1)];
  if (entry->next == nullptr) return nullptr;  // an empty bucket

  // The chain starts in the bucket itself and ends at the manager's marker.
  while (entry != nullptr) {
    if (entry->name.data == name.data) return entry->menu;
    if (entry->next == manager.chainEnd) return nullptr;
    entry = entry->next;
  }
  return nullptr;
}

}  // namespace qm::widget
