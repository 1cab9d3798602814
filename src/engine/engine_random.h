#pragma once
// EngineRandom, the engine's one random source, and the draws the engine
// makes from it. The draws are computed from the generator's raw 32-bit
// outputs by hand (the standard library's distributions differ between
// compilers), so one seed gives the same wear and temper everywhere.
#include "engine/mt19937.h"
#include "game/recursive_spin_lock.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace qm::engine {

// The process-wide generator, seeded once at load, and its guard; every draw
// holds RngLock for the draw alone (process_state.cpp).
extern Mt19937 EngineRandom;
extern game::RecursiveSpinLock RngLock;

// A real number in [0, 1) from two consecutive outputs o1, o2:
// (o1 + o2 * 2^32) / 2^64, rounded once to double; the few pairs at the very
// top that round to 1.0 give the largest double below 1.0 instead.
double RealFromOutputs(std::uint32_t o1, std::uint32_t o2);
double RealFrom(Mt19937& generator);

// A whole number in [low, high], uniform. With n = high - low + 1, an output
// o is accepted when o < 2^32 - (2^32 mod n) and gives low + o mod n; other
// outputs are thrown away and the next one is drawn. The full 32-bit range
// takes the first output as it is.
std::uint32_t WholeFrom(Mt19937& generator, std::uint32_t low, std::uint32_t high);

// Fisher-Yates from the front: for k = 1 .. n-1, swap item k with item j,
// j uniform in [0, k].
void ShuffleFrom(Mt19937& generator, std::uint32_t* items, std::size_t count);

// The engine's draws, each under RngLock.
// A percentage chance: false when chance <= 0 or no number, else
// chance > 100 * u.
bool RollRealPercent(double chance);
// An unsigned percentage: false when 0, else a whole number in [0, 99] is
// below it, so 100 or more always succeeds.
bool RollIntPercent(std::uint32_t chance);
// (low + u * (high - low)) * 0.0001, u in [0, 1).
double UniformScaled(double low, double high);
// Shuffles the four armour slot masks a hit tries in turn.
void ShuffleSlots(std::array<std::uint32_t, 4>& masks);

}  // namespace qm::engine
