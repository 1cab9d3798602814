// The game's item naming: the stack count of an instance's extra-data list
// and the inventory name of an inventory-entry record built for one call.
#include "extra_data.h"
#include "forms.h"
#include "inventory.h"
#include "runtime_offsets.h"
#include "stub_registry.h"
#include "world.h"

#include <cstddef>
#include <cstdint>

namespace gd {
namespace {

// Every instance the double hands out is a stack of one.
std::int16_t StackCountOf(ExtraList* list) {
  if (list == nullptr) World::Active().Violation("StackCountOf needs an extra-data list");
  return 1;
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::stackCountOf, StackCountOf);

// The record is the caller's: form, a game list of extra-data lists, count.
// The list must live on the game heap, as the game frees such lists itself.
const char* EntryDisplayName(InventoryEntryRec* record) {
  World& world = World::Active();
  if (record == nullptr || record->form == nullptr || !world.Component<Forms>().IsForm(record->form)) {
    world.Violation("EntryDisplayName needs a record whose form is one of the game's records");
    return "";
  }
  const ListNode* lists = record->extraLists;
  if (lists == nullptr || !world.heap().IsLive(lists)) {
    world.Violation("EntryDisplayName: the record's list of extra-data lists is not on the game heap");
  } else if (lists->item == nullptr || lists->next != nullptr) {
    world.Violation("EntryDisplayName: the record's list does not hold exactly one extra-data list");
  }
  if (record->countDelta != 1)
    world.Violation("EntryDisplayName: the record's count is not the instance's stack count");
  // Weapons, armour and every other record keep their full name at +0x30.
  const auto* fullName = reinterpret_cast<const FullNameObj*>(reinterpret_cast<const std::uint8_t*>(record->form) +
                                                              offsetof(PlainForm, fullName));
  return fullName->text != nullptr ? fullName->text : "";
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::entryDisplayName, EntryDisplayName);

}  // namespace
}  // namespace gd
