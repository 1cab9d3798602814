#pragma once
// The game's string pool: equal texts give the same pointer.
#include <string>
#include <unordered_set>

namespace gd {

class StringPool {
 public:
  const char* Intern(const char* text);
  bool Owns(const char* pointer) const;

 private:
  std::unordered_set<std::string> strings_;
};

}  // namespace gd
