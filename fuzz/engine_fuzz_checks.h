#pragma once
// What must hold after every event the engine fuzzer sends: item health only
// ever worn down (never below 1.0, never raised) except by tempering of
// undecided items; instances leave an inventory only by breaking; lists stay
// well-formed; the game heap holds exactly the health entries the plug-in
// linked into lists; the movie heap and the managed movie values balance;
// and the game double saw no broken contract. A failure aborts the process
// with the reason, which libFuzzer reports as a crash.
#include "engine_fuzz_game.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace qmfuzz {

enum class EventKind { Hit, Update, Other };

struct InstanceState {
  bool present = false;
  std::optional<float> health;
};

struct Snapshot {
  std::vector<InstanceState> instances;
  std::size_t removals = 0;
};

Snapshot TakeSnapshot(FuzzGame& game);
// Checks the game against the snapshot taken before the event.
void CheckAfter(FuzzGame& game, const Snapshot& before, EventKind kind);
// Checks that hold at any time (lists, heaps, movie values, contracts).
void CheckWorld(FuzzGame& game);

}  // namespace qmfuzz
