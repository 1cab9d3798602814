#include "widget/display_name.h"

#include "config/config_store.h"
#include "plugin/game_bindings.h"
#include "widget/game_list.h"
#include "widget/widget_forms.h"

#include <charconv>

namespace qm::widget {
namespace {

const char* PoisonName(const game::TESForm* poison) {
  const auto* component = reinterpret_cast<const game::FullNameComponent*>(
      reinterpret_cast<const std::uint8_t*>(poison) + game::kPoisonFullNameOffset);
  const char* name = component->dispatch->GetName(component);
  return name != nullptr ? name : "";
}

// " <poison name> (<count>)" for a weapon that carries a poison, unless the
// settings hide it.
void AppendPoisonSuffix(engine::ItemEntry& item) {
  if (item.form->formType != game::kFormWeapon) return;
  if (config::Store().GetWidget("HidePoisonName") != 0) return;
  if (!game::HasExtraType(item.extraList, engine::kExtraPoison)) return;
  const auto* datum =
      reinterpret_cast<const game::ExtraPoison*>(engine::FindExtraData(item.extraList, engine::kExtraPoison));
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

void BuildDisplayName(engine::ItemEntry& item) {
  if (item.form == nullptr || item.extraList == nullptr) return;

  const std::int32_t count = game::Bindings.StackCountOf(item.extraList);
  GameListNode* lists = CreateGameList();
  AppendToGameList(lists, item.extraList);

  game::InventoryEntryRecord record{};
  record.form = item.form;
  record.extraLists = AsTypedList<game::ExtraDataList>(lists);
  record.count = count;
  const char* name = game::Bindings.EntryDisplayName(&record);
  item.displayName.assign(name != nullptr ? name : "");

  AppendPoisonSuffix(item);
  DestroyGameList(lists);
}

}  // namespace qm::widget
