#pragma once
// Core game objects shared by every subsystem: the interned string handle,
// event sinks and event sources. Layouts are the game's (runtime 1.5.39);
// dispatch tables are explicit so that slot numbers hold under any compiler.
#include "game/recursive_spin_lock.h"

#include <cstddef>
#include <cstdint>

namespace qm::game {

struct TESForm;
struct Reference;
struct Actor;
struct ExtraDataList;
struct EventSource;

// A handle into the game's string pool: equal texts share one pointer.
struct InternedString {
  const char* data = nullptr;  // 0x0
};
static_assert(sizeof(InternedString) == 0x8);

// An object the game delivers events to. Slot 0 is MSVC's deleting
// destructor, slot 1 the receive function.
struct Sink;
struct SinkDispatch {
  void* (*destroy)(Sink* self, std::uint32_t freeFlag);                          // slot 0
  std::uint32_t (*onEvent)(Sink* self, const void* event, EventSource* source);  // slot 1
};
static_assert(offsetof(SinkDispatch, destroy) == 0x0);
static_assert(offsetof(SinkDispatch, onEvent) == 0x8);

struct Sink {
  const SinkDispatch* dispatch;  // 0x0
};
static_assert(sizeof(Sink) == 0x8);

// The game's dispatcher for one event type.
struct EventSource {
  Sink** sinks;                // 0x00
  std::uint32_t capacity;      // 0x08
  std::uint32_t pad0C;         // 0x0C
  std::uint32_t sinkCount;     // 0x10
  std::uint32_t pad14;         // 0x14
  std::uint8_t pending[0x30];  // 0x18: pending register / unregister lists
  RecursiveSpinLock lock;      // 0x48
  std::uint8_t notifying;      // 0x50
  std::uint8_t pad51[7];       // 0x51
};
static_assert(offsetof(EventSource, sinks) == 0x00);
static_assert(offsetof(EventSource, sinkCount) == 0x10);
static_assert(offsetof(EventSource, lock) == 0x48);
static_assert(sizeof(EventSource) == 0x58);

}  // namespace qm::game
