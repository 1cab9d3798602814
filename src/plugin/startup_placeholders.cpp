// TEMPORARY: start-up steps whose subsystems are being written. Each is
// removed from here when its real implementation lands.
#include "engine/engine_start.h"
#include "plugin/freeze_filter.h"
#include "config/item_category.h"
#include "engine/item_entry.h"

namespace qm::engine {
void RegisterEngineSinks() {}
}
namespace qm::plugin {
void InstallFreezeFilter(game::EventSource*) {}
}
namespace qm::config {
ItemCategory CategoryOf(const game::TESForm*) { return ItemCategory::DefaultArmor; }
}
namespace qm::engine {
game::ExtraDataEntry* FindExtraData(game::ExtraDataList*, std::uint32_t) { return nullptr; }
game::InventoryChanges* InventoryChangesOf(game::ExtraDataList*) { return nullptr; }
float GetItemHealth(const ItemEntry&) { return 1.0f; }
ItemEntry FindWornWeapon(game::InventoryChanges*, const game::TESForm*, bool) { return {}; }
ItemEntry FindWornArmor(game::InventoryChanges*, std::uint32_t) { return {}; }
bool IsDurabilityItem(const ItemEntry&) { return false; }
bool IsBreakable(const ItemEntry&) { return false; }
}
namespace qm::config {
double GetBreakChanceFor(const game::TESForm*) { return 0.0; }
}
