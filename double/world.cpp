#include "world.h"

#include "double_offsets.h"
#include "spin_lock.h"
#include "stub_registry.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace gd {
namespace {

World* activeWorld = nullptr;
std::atomic<std::uint64_t> worldsMade{0};

}  // namespace

World::World() : World(ImageRegion::Acquire(off::kImageSize)) {}

World::World(ImageRegion region) : serial_(++worldsMade), region_(std::move(region)) {
  if (activeWorld != nullptr) throw std::logic_error("game double: one world per process");
  activeWorld = this;
  scriptSources_ = std::make_unique<ScriptEventSourceHolder>();
  std::memset(scriptSources_.get(), 0, sizeof(ScriptEventSourceHolder));
  InstallImage();
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

BSTEventSource& World::UpdateSource() { return *region_.At<BSTEventSource>(off::kUpdateEventSource); }
BSTEventSource& World::HitSource() { return scriptSources_->hitSource; }

void World::Violation(std::string what) {
  std::fprintf(stderr, "game double: %s\n", what.c_str());
  violations_.push_back(std::move(what));
}

void World::End() {
  for (auto& component : components_) component->AtEnd();
}

void World::AttachSink(BSTEventSource& source, EventSinkObj* sink) {
  SpinLockGuard guard(source.lock);
  if (source.notifying != 0) {
    pending_[&source].add.push_back(sink);
    return;
  }
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

void World::DetachSink(BSTEventSource& source, EventSinkObj* sink) {
  SpinLockGuard guard(source.lock);
  if (source.notifying != 0) {
    pending_[&source].remove.push_back(sink);
    return;
  }
  for (std::uint32_t i = 0; i < source.size; ++i) {
    if (source.sinks[i] == sink) {
      std::memmove(&source.sinks[i], &source.sinks[i + 1], (source.size - i - 1) * sizeof(EventSinkObj*));
      --source.size;
      return;
    }
  }
}

void World::Dispatch(BSTEventSource& source, const void* event) {
  {
    SpinLockGuard guard(source.lock);
    const std::uint8_t wasNotifying = source.notifying;
    source.notifying = 1;
    for (std::uint32_t i = 0; i < source.size; ++i) {
      EventSinkObj* sink = source.sinks[i];
      sink->vtbl->receive(sink, event, &source);
    }
    source.notifying = wasNotifying;
  }
  if (source.notifying != 0) return;
  auto it = pending_.find(&source);
  if (it == pending_.end()) return;
  PendingChanges changes = std::move(it->second);
  pending_.erase(it);
  for (EventSinkObj* sink : changes.add) AttachSink(source, sink);
  for (EventSinkObj* sink : changes.remove) DetachSink(source, sink);
}

}  // namespace gd
