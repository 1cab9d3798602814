#include "string_pool.h"

namespace gd {

const char* StringPool::Intern(const char* text) {
  if (text == nullptr) return nullptr;
  // Node-based set: a string's address never changes once inserted.
  const char* pooled = strings_.emplace(text).first->c_str();
  addresses_.insert(pooled);
  return pooled;
}

bool StringPool::Owns(const char* pointer) const { return pointer != nullptr && addresses_.count(pointer) != 0; }

}  // namespace gd
