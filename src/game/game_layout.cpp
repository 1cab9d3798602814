#include "game/game_layout.h"

#include "game/game_cells.h"
#include "game/game_forms.h"

#include <cstddef>

namespace qm::game {
namespace {

template <typename List, typename ActorLayout, typename Cell>
constexpr MovedPositions PositionsFrom() {
  return MovedPositions{
      offsetof(List, first),           offsetof(List, presence),       offsetof(ActorLayout, actorState),
      offsetof(ActorLayout, boolBits), offsetof(ActorLayout, process), offsetof(ActorLayout, selectedPower),
      offsetof(Cell, slotCount),       offsetof(Cell, slots),
  };
}

constexpr MovedPositions kSpecialEditionPositions = PositionsFrom<ExtraDataListSE, ActorSE, TESObjectCELLSE>();
constexpr MovedPositions kAnniversaryPositions = PositionsFrom<ExtraDataListAE, ActorAE, TESObjectCELLAE>();

constinit LayoutFamily selectedFamily = LayoutFamily::kSpecialEdition;

}  // namespace

namespace layout_detail {
constinit MovedPositions chosenPositions = kSpecialEditionPositions;
}  // namespace layout_detail

const MovedPositions& PositionsOf(LayoutFamily family) {
  return family == LayoutFamily::kAnniversary ? kAnniversaryPositions : kSpecialEditionPositions;
}

void SelectLayoutFamily(LayoutFamily family) {
  selectedFamily = family;
  layout_detail::chosenPositions = PositionsOf(family);
}

LayoutFamily SelectedLayoutFamily() { return selectedFamily; }

void SelectRuntimeLayouts(const SupportedRuntime& runtime) { SelectLayoutFamily(runtime.family); }

}  // namespace qm::game
