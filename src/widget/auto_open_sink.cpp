#include "widget/auto_open_sink.h"

#include "game/game_bindings.h"
#include "game/game_ui.h"
#include "widget/durability_menu.h"
#include "widget/visibility_sinks.h"
#include "widget/widget_sources.h"
#include "widget/widget_state.h"

namespace qm::widget {
namespace {

AutoOpenDurabilityMenuSink* AsAutoOpen(game::Sink* sink) { return reinterpret_cast<AutoOpenDurabilityMenuSink*>(sink); }

void* Destroy(game::Sink* sink, std::uint32_t freeFlag) {
  if ((freeFlag & 1) != 0) delete AsAutoOpen(sink);
  return sink;
}

bool IsTriggerClosing(const game::MenuOpenCloseEvent& event, const game::InterfaceStrings& names) {
  return event.menuName.data == names.entryE8.data && event.opening == 0;
}

void RequestWidgetOpening() {
  void* queue = *game::Bindings.MenuMessageQueue;
  if (queue == nullptr) return;
  game::InternedString name;
  game::Bindings.InternString(&name, kMenuName);
  game::Bindings.PostMenuMessage(queue, &name, game::kMessageOpen, nullptr);
}

std::uint32_t OnEvent(game::Sink* sink, const void* event, game::EventSource*) {
  const auto* names = static_cast<const game::InterfaceStrings*>(*game::Bindings.InterfaceStrings);
  const auto* closing = static_cast<const game::MenuOpenCloseEvent*>(event);
  if (names == nullptr || closing == nullptr || !IsTriggerClosing(*closing, *names)) return 0;

  game::MenuManager* manager = TheMenuManager();
  if (manager == nullptr) return 0;
  // While that other menu is open the widget waits for the next closing.
  if (game::Bindings.MenuOpenQuery(manager, &names->entryA8)) return 0;

  if (OpenWidgetMenu == nullptr) RequestWidgetOpening();
  game::Bindings.DetachSink(&manager->openCloseSource, sink);
  Destroy(sink, 1);
  return 0;
}

constexpr game::SinkDispatch kAutoOpenDispatch{Destroy, OnEvent};

}  // namespace

bool IsWidgetOpenCloseSink(const game::Sink* sink) {
  return sink != nullptr && (sink->dispatch == &kAutoOpenDispatch || sink->dispatch == &kMenuOpenCloseSinkDispatch);
}

void ArmAutoOpen() {
  game::EventSource* source = MenuOpenCloseSource();
  if (source == nullptr) return;
  auto* created = new AutoOpenDurabilityMenuSink{{&kAutoOpenDispatch}};
  game::Bindings.AttachSink(source, &created->sink);
}

}  // namespace qm::widget
