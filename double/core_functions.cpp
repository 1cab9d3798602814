// The game's heap, string pool and event-source functions.
#include "runtime_offsets.h"
#include "stub_registry.h"
#include "world.h"

#include <cstdint>
#include <string>

namespace gd {
namespace {

bool IsGameHeap(World& world, const void* heap) {
  if (heap == world.region().At<void>(Off().memoryManager.offset)) return true;
  world.Violation("a heap call named an object that is not the game's heap");
  return false;
}

void* GameHeapAlloc(void* heap, std::size_t size, std::uint32_t alignment, bool aligned) {
  World& world = World::Active();
  if (!IsGameHeap(world, heap)) return nullptr;
  if (alignment != 0 || aligned) world.Violation("GameHeapAlloc expects (heap, size, 0, 0)");
  return world.heap().Allocate(size);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::gameHeapAlloc, GameHeapAlloc);

void GameHeapRelease(void* heap, void* memory, bool aligned) {
  World& world = World::Active();
  if (!IsGameHeap(world, heap)) return;
  if (aligned) world.Violation("GameHeapRelease expects (heap, memory, 0)");
  if (memory == nullptr) return;
  if (!world.heap().Release(memory)) world.Violation("GameHeapRelease of memory the game heap does not hold");
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::gameHeapRelease, GameHeapRelease);

// The game's pool reads the text and writes the handle: both must be there.
BSFixedString* InternString(BSFixedString* out, const char* text) {
  World& world = World::Active();
  if (out == nullptr || text == nullptr) {
    world.Violation("InternString (+0xC28C50) expects (out InternedString, text), neither null");
    if (out != nullptr) out->text = world.strings().Intern("");
    return out;
  }
  out->text = world.strings().Intern(text);
  return out;
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::internString, InternString);

bool IsEventSource(World& world, BSTEventSource* source) {
  if (source != nullptr) return true;
  world.Violation("a sink call named no event source");
  return false;
}

void AttachSink(BSTEventSource* source, EventSinkObj* sink) {
  World& world = World::Active();
  if (!IsEventSource(world, source)) return;
  if (sink == nullptr || sink->vtbl == nullptr) {
    world.Violation("AttachSink with a sink that has no dispatch table");
    return;
  }
  world.AttachSink(*source, sink);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::attachSink, AttachSink);

void DetachSink(BSTEventSource* source, EventSinkObj* sink) {
  World& world = World::Active();
  if (!IsEventSource(world, source)) return;
  world.DetachSink(*source, sink);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::detachSink, DetachSink);

ScriptEventSourceHolder* ScriptEventSources() { return &World::Active().ScriptSources(); }
GD_REGISTER_STUB(&::gd::RuntimeOffsets::scriptEventSources, ScriptEventSources);

}  // namespace
}  // namespace gd
