#pragma once
// World: one simulated game. It owns the image region and everything the
// plug-in can reach through it; a scenario's whole game is one World.
#include "double_layouts.h"
#include "game_heap.h"
#include "image_region.h"
#include "runtime_offsets.h"
#include "string_pool.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <unordered_set>
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
  // Linux: maps its own region. Windows: adopts the launcher's. The image is
  // laid out as the given runtime of the game lays it out.
  explicit World(const RuntimeOffsets& runtime = Runtime1_5_39());
  explicit World(ImageRegion region, const RuntimeOffsets& runtime = Runtime1_5_39());
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // The world the game's functions act on: the one alive in this process.
  static World& Active();
  static World* ActiveOrNull();

  ImageRegion& region() { return region_; }
  const RuntimeOffsets& runtime() const { return *runtime_; }
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
  std::uintptr_t UpdateSourceOffset() const;
  BSTEventSource& HitSource();
  ScriptEventSourceHolder& ScriptSources() { return *scriptSources_; }
  // As the game's event source: adding a sink already there does nothing;
  // during a dispatch an addition waits for the next dispatch and a removal
  // for the end of this one, and each cancels a waiting one of the other.
  void AttachSink(BSTEventSource& source, EventSinkObj* sink);
  void DetachSink(BSTEventSource& source, EventSinkObj* sink);
  // Delivers one event to every sink in order, under the source's lock, as
  // the game does: a sink answering 1 (stop) ends the delivery there. A sink
  // of the plug-in must answer 0 (continue) to every event.
  void Dispatch(BSTEventSource& source, const void* event);
  // The name violations give the source ("update event source (+0x2F4F028)").
  void NameSource(const BSTEventSource& source, std::string name);
  void ForgetSource(const BSTEventSource& source);
  std::string SourceName(const BSTEventSource& source) const;
  // A sink another module owns (the physics plug-in's, a test's recorder):
  // its answers are its own, not the plug-in's.
  void MarkOthersSink(const EventSinkObj* sink);
  // Whether the source holds the sink now or will once its dispatch ends.
  bool HoldsSink(const BSTEventSource& source, const EventSinkObj* sink) const;
  // Sinks lying in [begin, end) that a source holds or will hold: a sink
  // left registered inside an object the game destroys.
  std::vector<std::string> SinksInside(const void* begin, const void* end) const;

  // A call the game would not survive, or a broken contract: recorded so that
  // tests and scenarios fail on it.
  void Violation(std::string what);
  // Ends the run: every component checks what was left behind.
  void End();
  const std::vector<std::string>& Violations() const { return violations_; }

 private:
  void InstallImage();

  std::uint64_t serial_;  // unique per world of the process, never 0
  const RuntimeOffsets* runtime_;
  ImageRegion region_;
  GameHeapModel heap_;
  StringPool strings_;
  std::unique_ptr<ScriptEventSourceHolder> scriptSources_;
  struct PendingChanges {
    std::vector<EventSinkObj*> add;
    std::vector<EventSinkObj*> remove;
  };
  void ApplyPendingAdds(BSTEventSource& source);
  void ApplyPendingRemovals(BSTEventSource& source);
  void AddNow(BSTEventSource& source, EventSinkObj* sink);
  void RemoveNow(BSTEventSource& source, EventSinkObj* sink);
  bool HoldsSinkLocked(const BSTEventSource& source, const EventSinkObj* sink) const;
  // Sources are dispatched from several threads: the waiting changes of all
  // of them share this table.
  mutable std::mutex pendingMutex_;
  std::unordered_map<const BSTEventSource*, PendingChanges> pending_;
  std::unordered_map<const BSTEventSource*, std::string> sourceNames_;
  std::unordered_set<const EventSinkObj*> othersSinks_;
  std::vector<std::string> violations_;
  std::unordered_map<std::type_index, std::size_t> componentIndex_;
  std::vector<std::unique_ptr<WorldComponent>> components_;
};

}  // namespace gd
