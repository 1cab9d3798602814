#include "engine/display_name.h"

#include "config/config_store.h"
#include "game/game_bindings.h"
#include "game/game_list.h"
#include "game/name_records.h"

#include <charconv>

namespace qm::engine {
namespace {

const char* PoisonName(const game::TESForm* poison) {
  const auto* component = reinterpret_cast<const game::FullNameComponent*>(
      reinterpret_cast<const std::uint8_t*>(poison) + game::kPoisonFullNameOffset);
  const char* name = component->dispatch->GetName(component);
  return name != nullptr ? name : "";
}

// " <poison name> (<count>)" for a weapon that carries a poison, unless the
// settings hide it.
void AppendPoisonSuffix(ItemEntry& item) {
  if (item.form->formType != game::kFormWeapon) return;
  if (config::Store().Get<config::Setting::HidePoisonName>() != 0) return;
  if (!game::HasExtraType(item.extraList, game::kExtraPoison)) return;
  const auto* datum = reinterpret_cast<const game::ExtraPoison*>(FindExtraData(item.extraList, game::kExtraPoison));
  if (datum == nullptr || datum->poison == nullptr) return;

  char count[16];
  const auto written = std::to_chars(count, count + sizeof count, datum->count);
  item.displayName += ' ';
  item.displayName += PoisonName(datum->poison);
  item.displayName += " (";
  item.displayName.append(count, written.ptr);
  item.displayName += ')';
}

}  // namespace

void BuildDisplayName(ItemEntry& item) {
  if (item.form == nullptr || item.extraList == nullptr) return;

  const std::int32_t count = game::Bindings.StackCountOf(item.extraList);
  game::GameListNode* lists = game::CreateGameList();
  game::AppendToGameList(lists, item.extraList);

  game::InventoryEntryRecord record{};
  record.form = item.form;
  record.extraLists = game::AsTypedList<game::ExtraDataList>(lists);
  record.count = count;
  const char* name = game::Bindings.EntryDisplayName(&record);
  item.displayName.assign(name != nullptr ? name : "");

  AppendPoisonSuffix(item);
  game::DestroyGameList(lists);
}

}  // namespace qm::engine
