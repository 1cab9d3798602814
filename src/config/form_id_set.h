#pragma once
// A set of 32-bit form identifiers, asked for membership on the game's threads
// once start-up has filled it.
#include <cstddef>
#include <cstdint>
#include <unordered_set>

namespace qm::config {

class FormIdSet {
 public:
  bool Contains(std::uint32_t formId) const {
    // An empty list is the common case: answer it without hashing.
    if (ids_.empty()) return false;
    return ids_.find(formId) != ids_.end();
  }
  void Add(std::uint32_t formId) { ids_.insert(formId); }
  void Clear() { ids_.clear(); }
  std::size_t Size() const { return ids_.size(); }

 private:
  std::unordered_set<std::uint32_t> ids_;
};

}  // namespace qm::config
