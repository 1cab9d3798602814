#pragma once
// A hash table keyed by address, with open addressing: one probe into one
// flat array where a node-based map would follow a bucket to a node. The
// double looks up every reference and heap block the plug-in hands it, so
// with a crowd of references around the player these lookups would
// otherwise cost more than the plug-in's own work that the benchmarks time.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace gd {

template <class Value>
class PointerTable {
 public:
  // Adds the key or replaces its value.
  void Set(const void* key, Value value) {
    if ((used_ + 1) * 4 > slots_.size() * 3) Grow();
    std::size_t i = Home(key);
    std::size_t reusable = kNone;
    for (;; i = Next(i)) {
      Slot& slot = slots_[i];
      if (slot.key == key) {
        slot.value = std::move(value);
        return;
      }
      if (slot.key == Removed() && reusable == kNone) reusable = i;
      if (slot.key == nullptr) break;
    }
    if (reusable != kNone) {
      i = reusable;
    } else {
      ++used_;
    }
    slots_[i] = Slot{key, std::move(value)};
    ++size_;
  }

  Value* Find(const void* key) {
    const std::size_t i = IndexOf(key);
    return i == kNone ? nullptr : &slots_[i].value;
  }
  const Value* Find(const void* key) const {
    const std::size_t i = IndexOf(key);
    return i == kNone ? nullptr : &slots_[i].value;
  }
  bool Contains(const void* key) const { return IndexOf(key) != kNone; }

  // False when the key was not there.
  bool Erase(const void* key) {
    const std::size_t i = IndexOf(key);
    if (i == kNone) return false;
    slots_[i] = Slot{Removed(), Value{}};
    --size_;
    return true;
  }

  std::size_t Size() const { return size_; }

  template <class Visit>
  void ForEach(Visit visit) const {
    for (const Slot& slot : slots_) {
      if (slot.key != nullptr && slot.key != Removed()) visit(slot.key, slot.value);
    }
  }

 private:
  struct Slot {
    const void* key = nullptr;
    Value value{};
  };
  static constexpr std::size_t kNone = ~std::size_t{0};

  // A key no allocation can have: the table's own removed marker.
  static const void* Removed() { return &kRemovedMarker; }
  static inline const char kRemovedMarker = 0;

  std::size_t Home(const void* key) const {
    // Blocks are at least 8-aligned; Fibonacci hashing spreads the rest.
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key) >> 3);
    return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> shift_);
  }
  std::size_t Next(std::size_t i) const { return (i + 1) & (slots_.size() - 1); }

  std::size_t IndexOf(const void* key) const {
    if (slots_.empty() || key == nullptr || key == Removed()) return kNone;
    for (std::size_t i = Home(key);; i = Next(i)) {
      if (slots_[i].key == key) return i;
      if (slots_[i].key == nullptr) return kNone;
    }
  }

  // Doubles the table when live entries fill half of it, and otherwise
  // rebuilds it at its size to clear the removed markers.
  void Grow() {
    std::size_t capacity = slots_.empty() ? 64 : slots_.size();
    if ((size_ + 1) * 2 > capacity) capacity *= 2;
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    shift_ = 64;
    for (std::size_t c = capacity; c > 1; c >>= 1) --shift_;
    used_ = 0;
    size_ = 0;
    for (Slot& slot : old) {
      if (slot.key != nullptr && slot.key != Removed()) Set(slot.key, std::move(slot.value));
    }
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;  // live entries and removed markers
  std::size_t size_ = 0;  // live entries
  int shift_ = 64;
};

}  // namespace gd
