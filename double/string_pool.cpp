#include "string_pool.h"

namespace gd {

const char* StringPool::Intern(const char* text) {
  if (text == nullptr) return nullptr;
  // Node-based set: a string's address never changes once inserted.
  return strings_.emplace(text).first->c_str();
}

bool StringPool::Owns(const char* pointer) const {
  if (pointer == nullptr) return false;
  auto it = strings_.find(pointer);
  return it != strings_.end() && it->c_str() == pointer;
}

}  // namespace gd
