#include "plugin/freeze_filter.h"

#include "game/game_bindings.h"
#include "platform/platform.h"
#include "plugin/msvc_rtti.h"
#include "plugin/saved_receive_functions.h"
#include "widget/auto_open_sink.h"

#include <atomic>
#include <cstddef>

namespace qm::plugin {
namespace {

constexpr const char* kFreezeHandlerClass = "class hdt::FreezeEventHandler";
constexpr const char* kWidgetMenuName = "Durability Menu";

// The filter reads nothing of a menu open/close event but its name.
struct MenuOpenCloseEventName {
  game::InternedString menuName;  // 0x00
};
static_assert(offsetof(MenuOpenCloseEventName, menuName) == 0x0);

game::InternedString MakeWidgetMenuName() {
  game::InternedString name;
  game::Bindings.InternString(&name, kWidgetMenuName);
  return name;
}

std::uint32_t FreezeEventFilter(game::Sink* sink, const void* event, game::EventSource* source) {
  // A function-local static is made once, thread-safely, and made again on
  // the next call if making it threw.
  static const game::InternedString widgetMenu = MakeWidgetMenuName();
  // No event to read a name from: the handler gets it as it came.
  if (event != nullptr && static_cast<const MenuOpenCloseEventName*>(event)->menuName.data == widgetMenu.data) {
    return 0;
  }
  auto saved = SavedReceiveFunctions.find(sink->dispatch);
  if (saved == SavedReceiveFunctions.end() || saved->second == nullptr) return 0;
  return saved->second(sink, event, source);
}

void PatchReceiveSlot(game::Sink* sink) {
  const game::SinkDispatch* table = sink->dispatch;
  auto* slot = const_cast<ReceiveFunction*>(&table->onEvent);
  // A second sink of the class finds its table saved and the filter already
  // in the slot: the saved entry keeps the real receive function. An entry
  // left null by a failed attempt is tried again.
  auto [saved, added] = SavedReceiveFunctions.try_emplace(table, nullptr);
  if (!added && saved->second != nullptr) return;
  if (*slot == &FreezeEventFilter) return;  // never save the filter as its own target
  std::uint32_t previous = 0;
  // Four bytes from an 8-byte-aligned slot lie in the page that holds all eight.
  if (!platform::ProtectMemory(slot, 4, platform::kPageExecuteReadWrite, &previous)) return;
  // The target is saved before the slot is swapped, so that an event that
  // reaches the filter at once finds where to go.
  saved->second = *slot;
  std::atomic_thread_fence(std::memory_order_release);
  *static_cast<ReceiveFunction volatile*>(slot) = &FreezeEventFilter;
  std::uint32_t ignored = 0;
  platform::ProtectMemory(slot, 4, previous, &ignored);
}

}  // namespace

void InstallFreezeFilter(game::EventSource* menuOpenCloseSource) {
  game::SpinLockGuard guard(menuOpenCloseSource->lock);
  for (std::uint32_t i = 0; i < menuOpenCloseSource->sinkCount; ++i) {
    game::Sink* sink = menuOpenCloseSource->sinks[i];
    // The widget's own sinks are no class of the game's: their tables have no
    // type information in front to read (a second data-loaded message finds
    // them there).
    if (widget::IsWidgetOpenCloseSink(sink)) continue;
    if (RuntimeClassName(sink) == kFreezeHandlerClass) PatchReceiveSlot(sink);
  }
}

}  // namespace qm::plugin
