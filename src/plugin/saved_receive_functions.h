#pragma once
// The receive functions the freeze filter displaced, by the dispatch table
// they were taken from; null when the table could not be made writable.
// Filled once at start-up, only read afterwards.
#include "game/game_types.h"

#include <unordered_map>

namespace qm::plugin {

using ReceiveFunction = decltype(game::SinkDispatch::onEvent);

extern std::unordered_map<const game::SinkDispatch*, ReceiveFunction> SavedReceiveFunctions;

}  // namespace qm::plugin
