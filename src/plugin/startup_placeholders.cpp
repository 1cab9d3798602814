// TEMPORARY: start-up steps whose subsystems are being written. Each is
// removed from here when its real implementation lands.
#include "engine/engine_start.h"
#include "plugin/freeze_filter.h"
#include "widget/menu_registration.h"
#include "config/item_category.h"

namespace qm::engine {
void RegisterEngineSinks() {}
}
namespace qm::widget {
bool RegisterDurabilityMenu() { return false; }
}
namespace qm::plugin {
void InstallFreezeFilter(game::EventSource*) {}
}
namespace qm::config {
ItemCategory CategoryOf(const game::TESForm*) { return ItemCategory::DefaultArmor; }
}
