#pragma once
// The double's own picture of the game's core objects. Layouts follow the
// game (runtime 1.5.39), asserted field by field.
#include <cstddef>
#include <cstdint>

namespace gd {

// What the bytes of an event record that the game leaves unset hold.
inline constexpr unsigned char kEventFillByte = 0xCD;

struct SpinLock {
  std::uint32_t owner;  // 0x0
  std::uint32_t count;  // 0x4
};
static_assert(offsetof(SpinLock, count) == 0x4 && sizeof(SpinLock) == 0x8);

struct BSFixedString {
  const char* text;  // 0x0
};

struct EventSinkVtbl;
struct EventSinkObj {
  const EventSinkVtbl* vtbl;  // 0x0
};
struct EventSinkVtbl {
  void* (*dtor)(EventSinkObj*, std::uint32_t);
  std::uint32_t (*receive)(EventSinkObj*, const void* event, void* source);
};

struct BSTEventSource {
  EventSinkObj** sinks;    // 0x00
  std::uint32_t capacity;  // 0x08
  std::uint32_t pad0C;
  std::uint32_t size;  // 0x10
  std::uint32_t pad14;
  std::uint8_t pendingRegister[0x18];    // 0x18
  std::uint8_t pendingUnregister[0x18];  // 0x30
  SpinLock lock;                         // 0x48
  std::uint8_t notifying;                // 0x50
  std::uint8_t pad51[7];
};
static_assert(offsetof(BSTEventSource, sinks) == 0x00);
static_assert(offsetof(BSTEventSource, size) == 0x10);
static_assert(offsetof(BSTEventSource, lock) == 0x48);
static_assert(sizeof(BSTEventSource) == 0x58);

// ScriptEventSourceHolder: the hit event source lies at +0x5D8.
struct ScriptEventSourceHolder {
  std::uint8_t other[0x5D8];
  BSTEventSource hitSource;  // 0x5D8
};
static_assert(offsetof(ScriptEventSourceHolder, hitSource) == 0x5D8);

}  // namespace gd
