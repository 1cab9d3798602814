#pragma once
// Dispatch tables of the double's game objects: every slot the double does
// not model records a violation instead of jumping into nothing.
#include <array>
#include <cstddef>
#include <utility>

namespace gd {

void ReportUnmodelledSlot(std::size_t slot);

template <std::size_t Slot>
void* UnmodelledSlot() {
  ReportUnmodelledSlot(Slot);
  return nullptr;
}

template <std::size_t... I>
constexpr std::array<void*, sizeof...(I)> MakeSlotTraps(std::index_sequence<I...>) {
  return {reinterpret_cast<void*>(&UnmodelledSlot<I>)...};
}

// N slots, each a trap; the owner overwrites the slots it models.
template <std::size_t N>
std::array<void*, N> SlotTraps() {
  return MakeSlotTraps(std::make_index_sequence<N>{});
}

}  // namespace gd
