#pragma once
// World: one simulated game. It owns the image region and everything the
// plug-in can reach through it; a scenario's whole game is one World.
#include "double_layouts.h"
#include "game_heap.h"
#include "image_region.h"
#include "string_pool.h"

#include <cstdint>
#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace gd {

// A part of the simulated game that a subsystem of the double adds
// (forms, actors, the user interface, ...). Created on first use.
class WorldComponent {
 public:
  virtual ~WorldComponent() = default;
  // The run is over: a last chance to report what was left broken.
  virtual void AtEnd() {}
};

class World {
 public:
  // Linux: maps its own region. Windows: adopts the launcher's.
  World();
  explicit World(ImageRegion region);
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // The world the game's functions act on: the one alive in this process.
  static World& Active();
  static World* ActiveOrNull();

  ImageRegion& region() { return region_; }
  std::uintptr_t base() const { return region_.base(); }
  GameHeapModel& heap() { return heap_; }
  StringPool& strings() { return strings_; }

  template <typename T>
  T& Component() {
    // The game's functions ask for their parts on every call: each thread
    // notes the last answer per part and world, sparing the type look-up.
    thread_local std::uint64_t notedSerial = 0;
    thread_local T* noted = nullptr;
    if (notedSerial == serial_) return *noted;
    const std::type_index key(typeid(T));
    T* found = nullptr;
    if (auto it = componentIndex_.find(key); it != componentIndex_.end()) {
      found = static_cast<T*>(components_[it->second].get());
    } else {
      auto made = std::make_unique<T>(*this);
      found = made.get();
      componentIndex_.emplace(key, components_.size());
      components_.push_back(std::move(made));
    }
    notedSerial = serial_;
    noted = found;
    return *found;
  }

  // The component when something has made it already, otherwise null: for
  // onlookers that must not bring a part of the game into being.
  template <typename T>
  T* FindComponent() {
    const auto it = componentIndex_.find(std::type_index(typeid(T)));
    return it == componentIndex_.end() ? nullptr : static_cast<T*>(components_[it->second].get());
  }

  // Event sources of the game.
  BSTEventSource& UpdateSource();
  BSTEventSource& HitSource();
  ScriptEventSourceHolder& ScriptSources() { return *scriptSources_; }
  void AttachSink(BSTEventSource& source, EventSinkObj* sink);
  void DetachSink(BSTEventSource& source, EventSinkObj* sink);
  // Delivers one event to every sink, as the game does: under the source's
  // lock; sinks added or removed meanwhile take effect afterwards.
  void Dispatch(BSTEventSource& source, const void* event);

  // A call the game would not survive, or a broken contract: recorded so that
  // tests and scenarios fail on it.
  void Violation(std::string what);
  // Ends the run: every component checks what was left behind.
  void End();
  const std::vector<std::string>& Violations() const { return violations_; }

 private:
  void InstallImage();

  std::uint64_t serial_;  // unique per world of the process, never 0
  ImageRegion region_;
  GameHeapModel heap_;
  StringPool strings_;
  std::unique_ptr<ScriptEventSourceHolder> scriptSources_;
  struct PendingChanges {
    std::vector<EventSinkObj*> add;
    std::vector<EventSinkObj*> remove;
  };
  std::unordered_map<BSTEventSource*, PendingChanges> pending_;
  std::vector<std::string> violations_;
  std::unordered_map<std::type_index, std::size_t> componentIndex_;
  std::vector<std::unique_ptr<WorldComponent>> components_;
};

}  // namespace gd
