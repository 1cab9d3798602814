#pragma once
// The game's string pool: equal texts give the same pointer.
#include <string>
#include <unordered_set>

namespace gd {

class StringPool {
 public:
  const char* Intern(const char* text);
  // Never reads through the pointer: a caller may hand in anything.
  bool Owns(const char* pointer) const;

 private:
  std::unordered_set<std::string> strings_;
  std::unordered_set<const char*> addresses_;
};

}  // namespace gd
