#pragma once
// Each part of the double registers the implementations of the game functions
// it provides; the world writes a jump to each at its offset.
#include <cstdint>
#include <vector>

namespace gd {

struct StubEntry {
  std::uintptr_t offset;
  const void* target;
  const char* name;
};

std::vector<StubEntry>& StubEntries();

struct StubRegistration {
  StubRegistration(std::uintptr_t offset, const void* target, const char* name) {
    StubEntries().push_back({offset, target, name});
  }
};

// Function offsets of every binding the plug-in may call, with names for the
// report when one is reached that no part of the double implements.
struct BindingName {
  std::uintptr_t offset;
  const char* name;
};
const std::vector<BindingName>& AllFunctionBindings();

}  // namespace gd

#define GD_CONCAT_INNER(a, b) a##b
#define GD_CONCAT(a, b) GD_CONCAT_INNER(a, b)
#define GD_REGISTER_STUB(offset, function)                                                                           \
  static const ::gd::StubRegistration GD_CONCAT(gdStub_, __LINE__)(offset, reinterpret_cast<const void*>(&function), \
                                                                   #function)
