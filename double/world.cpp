#include "world.h"

#include "double_offsets.h"
#include "image_header.h"
#include "spin_lock.h"
#include "stub_registry.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

namespace gd {
namespace {

World* activeWorld = nullptr;

// Past the physics plug-in's information block at scratch + 0x20000.
constexpr std::uintptr_t kUnnamedUpdateSourceInScratch = 0x30000;

std::string HexOffset(std::uintptr_t offset) {
  char text[24];
  std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(offset));
  return text;
}
std::atomic<std::uint64_t> worldsMade{0};

}  // namespace

World::World(const RuntimeOffsets& runtime) : World(ImageRegion::Acquire(ImageSizeOf(runtime)), runtime) {}

World::World(ImageRegion region, const RuntimeOffsets& runtime)
    : serial_(++worldsMade), runtime_(&runtime), region_(std::move(region)) {
  if (activeWorld != nullptr) throw std::logic_error("game double: one world per process");
  if (region_.size() < ImageSizeOf(runtime)) {
    throw std::runtime_error("game double: the image region is too small for runtime " + std::string(runtime.name));
  }
  // The plug-in learns the image's size from the header at its base, as in
  // the game: a region that declares another size would mislead it.
  if (DeclaredImageSize(region_.base()) != region_.size()) {
    throw std::logic_error("game double: the image header at the region's base declares " +
                           std::to_string(DeclaredImageSize(region_.base())) + " bytes, the region holds " +
                           std::to_string(region_.size()));
  }
  activeWorld = this;
  scriptSources_ = std::make_unique<ScriptEventSourceHolder>();
  std::memset(scriptSources_.get(), 0, sizeof(ScriptEventSourceHolder));
  InstallImage();
  NameSource(UpdateSource(), "update event source (+0x" + HexOffset(UpdateSourceOffset()) + ")");
  NameSource(HitSource(), "hit event source (ScriptEventSources +0x5D8)");
}

World::~World() {
  // Components go in reverse order of creation: later ones may refer to
  // earlier ones.
  while (!components_.empty()) components_.pop_back();
  for (BSTEventSource* source : {&UpdateSource(), &HitSource()}) std::free(source->sinks);
  activeWorld = nullptr;
}

World& World::Active() {
  if (activeWorld == nullptr) {
    std::fprintf(stderr, "game double: a game function was called with no world\n");
    std::abort();
  }
  return *activeWorld;
}

World* World::ActiveOrNull() { return activeWorld; }

// Every runtime has its update event source; where nobody has identified it,
// the double keeps it in its own scratch space.
std::uintptr_t World::UpdateSourceOffset() const {
  const std::uintptr_t placed = runtime_->updateEventSource.offset;
  return placed != 0 ? placed : runtime_->doubleScratch + kUnnamedUpdateSourceInScratch;
}

BSTEventSource& World::UpdateSource() { return *region_.At<BSTEventSource>(UpdateSourceOffset()); }

const RuntimeOffsets& Off() { return World::Active().runtime(); }
BSTEventSource& World::HitSource() { return scriptSources_->hitSource; }

void World::Violation(std::string what) {
  std::fprintf(stderr, "game double: %s\n", what.c_str());
  violations_.push_back(std::move(what));
}

void World::End() {
  for (auto& component : components_) component->AtEnd();
}

namespace {

template <class Sinks>
void EraseSink(Sinks& sinks, const EventSinkObj* sink) {
  const auto it = std::find(sinks.begin(), sinks.end(), sink);
  if (it != sinks.end()) sinks.erase(it);
}

template <class Sinks>
bool HasSink(const Sinks& sinks, const EventSinkObj* sink) {
  return std::find(sinks.begin(), sinks.end(), sink) != sinks.end();
}

constexpr std::uint32_t kContinue = 0;
constexpr std::uint32_t kStop = 1;

}  // namespace

void World::AddNow(BSTEventSource& source, EventSinkObj* sink) {
  for (std::uint32_t i = 0; i < source.size; ++i) {
    if (source.sinks[i] == sink) return;  // already registered: nothing
  }
  if (source.size == source.capacity) {
    const std::uint32_t capacity = source.capacity == 0 ? 4 : source.capacity * 2;
    auto* grown = static_cast<EventSinkObj**>(std::realloc(source.sinks, capacity * sizeof(EventSinkObj*)));
    if (grown == nullptr) throw std::bad_alloc();
    source.sinks = grown;
    source.capacity = capacity;
  }
  source.sinks[source.size++] = sink;
}

void World::RemoveNow(BSTEventSource& source, EventSinkObj* sink) {
  for (std::uint32_t i = 0; i < source.size; ++i) {
    if (source.sinks[i] == sink) {
      std::memmove(&source.sinks[i], &source.sinks[i + 1], (source.size - i - 1) * sizeof(EventSinkObj*));
      --source.size;
      return;
    }
  }
}

void World::AttachSink(BSTEventSource& source, EventSinkObj* sink) {
  SpinLockGuard guard(source.lock);
  std::lock_guard<std::mutex> lock(pendingMutex_);
  PendingChanges& pending = pending_[&source];
  if (source.notifying != 0) {
    if (!HasSink(pending.add, sink)) pending.add.push_back(sink);
  } else {
    AddNow(source, sink);
  }
  EraseSink(pending.remove, sink);
}

void World::DetachSink(BSTEventSource& source, EventSinkObj* sink) {
  SpinLockGuard guard(source.lock);
  std::lock_guard<std::mutex> lock(pendingMutex_);
  PendingChanges& pending = pending_[&source];
  if (source.notifying != 0) {
    if (!HasSink(pending.remove, sink)) pending.remove.push_back(sink);
  } else {
    RemoveNow(source, sink);
  }
  EraseSink(pending.add, sink);
}

void World::ApplyPendingAdds(BSTEventSource& source) {
  std::lock_guard<std::mutex> lock(pendingMutex_);
  auto it = pending_.find(&source);
  if (it == pending_.end()) return;
  std::vector<EventSinkObj*> adds = std::move(it->second.add);
  it->second.add.clear();
  for (EventSinkObj* sink : adds) AddNow(source, sink);
}

void World::ApplyPendingRemovals(BSTEventSource& source) {
  std::lock_guard<std::mutex> lock(pendingMutex_);
  auto it = pending_.find(&source);
  if (it == pending_.end()) return;
  std::vector<EventSinkObj*> removals = std::move(it->second.remove);
  it->second.remove.clear();
  for (EventSinkObj* sink : removals) RemoveNow(source, sink);
}

void World::Dispatch(BSTEventSource& source, const void* event) {
  SpinLockGuard guard(source.lock);
  const std::uint8_t wasNotifying = source.notifying;
  source.notifying = 1;
  if (wasNotifying == 0) ApplyPendingAdds(source);
  for (std::uint32_t i = 0; i < source.size; ++i) {
    EventSinkObj* sink = source.sinks[i];
    const std::uint32_t result = sink->vtbl->receive(sink, event, &source);
    if (result != kContinue && othersSinks_.count(sink) == 0) {
      Violation("sink " + std::to_string(i) + " of the " + SourceName(source) + " answered " + std::to_string(result) +
                " to an event (slot 1 must return 0, continue; 1 stops the delivery)");
    }
    if (result == kStop) break;
  }
  if (wasNotifying == 0) ApplyPendingRemovals(source);
  source.notifying = wasNotifying;
}

void World::NameSource(const BSTEventSource& source, std::string name) { sourceNames_[&source] = std::move(name); }

void World::ForgetSource(const BSTEventSource& source) {
  sourceNames_.erase(&source);
  std::lock_guard<std::mutex> lock(pendingMutex_);
  pending_.erase(&source);
}

std::string World::SourceName(const BSTEventSource& source) const {
  const auto it = sourceNames_.find(&source);
  return it != sourceNames_.end() ? it->second
                                  : "event source at " + std::to_string(reinterpret_cast<std::uintptr_t>(&source));
}

void World::MarkOthersSink(const EventSinkObj* sink) { othersSinks_.insert(sink); }

bool World::HoldsSink(const BSTEventSource& source, const EventSinkObj* sink) const {
  std::lock_guard<std::mutex> lock(pendingMutex_);
  return HoldsSinkLocked(source, sink);
}

bool World::HoldsSinkLocked(const BSTEventSource& source, const EventSinkObj* sink) const {
  const auto it = pending_.find(&source);
  for (std::uint32_t i = 0; i < source.size; ++i) {
    if (source.sinks[i] == sink) return it == pending_.end() || !HasSink(it->second.remove, sink);
  }
  return it != pending_.end() && HasSink(it->second.add, sink);
}

std::vector<std::string> World::SinksInside(const void* begin, const void* end) const {
  const auto inside = [&](const void* sink) {
    return std::less_equal<const void*>()(begin, sink) && std::less<const void*>()(sink, end);
  };
  std::lock_guard<std::mutex> lock(pendingMutex_);
  std::vector<std::string> found;
  for (const auto& [source, name] : sourceNames_) {
    for (std::uint32_t i = 0; i < source->size; ++i) {
      if (inside(source->sinks[i]) && HoldsSinkLocked(*source, source->sinks[i])) found.push_back(name);
    }
    const auto it = pending_.find(source);
    if (it == pending_.end()) continue;
    for (const EventSinkObj* sink : it->second.add) {
      if (inside(sink)) found.push_back(name + " (waiting to be added)");
    }
  }
  return found;
}

}  // namespace gd
