// The input source's deliveries (chains of input events, button events
// recognised by the game's run-time cast) and the script extender's action
// events (weapon drawn, weapon sheathed).
#include "dispatch_traps.h"
#include "runtime_offsets.h"
#include "runtime_types.h"
#include "ui_world.h"

#include <array>
#include <cstring>

namespace gd {
namespace {

constexpr std::size_t kInputEventSlots = 4;
constexpr std::uint32_t kActionWeaponDrawn = 8;
constexpr std::uint32_t kActionWeaponSheathed = 10;
constexpr std::uintptr_t kActorStateWord = 0xC4;  // weapon state in bits 5 to 7
constexpr std::uint32_t kWeaponStateMask = 0xE0;
constexpr std::uint32_t kWeaponDrawnState = 3u << 5;

// Class tables of the two kinds of input event: the cast finds a button
// event only behind the button table.
const std::array<void*, kInputEventSlots>& ButtonEventTable() {
  static const std::array<void*, kInputEventSlots> table = SlotTraps<kInputEventSlots>();
  return table;
}
const std::array<void*, kInputEventSlots>& OtherInputEventTable() {
  static const std::array<void*, kInputEventSlots> table = SlotTraps<kInputEventSlots>();
  return table;
}

}  // namespace

void UiWorld::RegisterInputTypes() {
  WriteTypeDescriptor(world_, Off().tdInputEvent.offset, ".?AVInputEvent@@");
  WriteTypeDescriptor(world_, Off().tdButtonEvent.offset, ".?AVButtonEvent@@");
  RuntimeTypes& types = world_.Component<RuntimeTypes>();
  const void* inputType = types.Descriptor(Off().tdInputEvent.offset);
  const void* buttonType = types.Descriptor(Off().tdButtonEvent.offset);
  types.Register(ButtonEventTable().data(), inputType, 0);
  types.Register(ButtonEventTable().data(), buttonType, 0);
  types.Register(OtherInputEventTable().data(), inputType, 0);
}

void UiWorld::DeliverInput(const std::vector<InputSpec>& chain) {
  if (chain.empty()) return;
  std::vector<InputEventRec> events(chain.size());
  for (std::size_t i = 0; i < chain.size(); ++i) {
    InputEventRec& event = events[i];
    std::memset(&event, kEventFillByte, sizeof event);
    const InputSpec& spec = chain[i];
    event.vtbl = spec.eventType == 0 ? ButtonEventTable().data() : OtherInputEventTable().data();
    event.device = spec.device;
    event.eventType = spec.eventType;
    event.next = i + 1 < chain.size() ? &events[i + 1] : nullptr;
    event.keyCode = spec.keyCode;
    event.value = spec.value;
    event.heldSeconds = spec.heldSeconds;
  }
  // The sinks receive the address of the pointer to the first event.
  InputEventRec* first = events.data();
  world_.Dispatch(*inputSource_, &first);
}

void UiWorld::DeliverAction(std::uint32_t type, bool byPlayer) {
  void* actor = byPlayer ? *world_.region().At<void*>(Off().playerPtr.offset) : OtherActor();
  if (actor == nullptr) {
    world_.Violation("an action event of the player, but the world has no player");
    return;
  }
  auto* state = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(actor) + kActorStateWord);
  if (type == kActionWeaponDrawn) *state = (*state & ~kWeaponStateMask) | kWeaponDrawnState;
  if (type == kActionWeaponSheathed) *state &= ~kWeaponStateMask;
  ActionEventRec event;
  std::memset(&event, kEventFillByte, sizeof event);
  event.type = type;
  event.actor = actor;
  world_.Dispatch(*actionSource_, &event);
}

}  // namespace gd
