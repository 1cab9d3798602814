#pragma once
// Each part of the double registers the implementations of the game functions
// it provides, by the entry of the runtime table that places them; the world
// writes a jump to each at its offset on the runtime it simulates.
#include "runtime_offsets.h"

#include <cstdint>
#include <vector>

namespace gd {

using PlacedEntry = Placed RuntimeOffsets::*;

struct StubEntry {
  PlacedEntry where;
  const void* target;
  const char* name;
};

std::vector<StubEntry>& StubEntries();

struct StubRegistration {
  StubRegistration(PlacedEntry where, const void* target, const char* name) {
    StubEntries().push_back({where, target, name});
  }
};

// Every function binding the plug-in may call, with names for the report
// when one is reached that no part of the double implements.
struct BindingName {
  PlacedEntry where;
  const char* name;
};
const std::vector<BindingName>& AllFunctionBindings();

}  // namespace gd

#define GD_CONCAT_INNER(a, b) a##b
#define GD_CONCAT(a, b) GD_CONCAT_INNER(a, b)
#define GD_REGISTER_STUB(where, function)                                                                           \
  static const ::gd::StubRegistration GD_CONCAT(gdStub_, __LINE__)(where, reinterpret_cast<const void*>(&function), \
                                                                   #function)
