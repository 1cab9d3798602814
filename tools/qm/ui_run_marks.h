#pragma once
// What the user-interface steps share: the balance mark the heaps and managed
// values are compared against, and the reading of a menu with its flags.
#include "scenario.h"
#include "ui_world.h"
#include "world.h"

#include <cstdint>
#include <string>
#include <utility>

namespace qm::scenario {

struct UiRunMarks : gd::WorldComponent {
  explicit UiRunMarks(gd::World&) {}
  void Mark(gd::World& world) {
    gameHeapBlocks = world.heap().LiveBlocks();
    movieHeapBlocks = world.Component<gd::UiWorld>().movieHeapModel().LiveBlocks();
  }
  std::size_t gameHeapBlocks = 0;
  std::size_t movieHeapBlocks = 0;
};

// "Name" or {"name": "Name", "flags": 1}.
inline std::pair<std::string, std::uint32_t> ReadMenuSpec(const Json& value, const std::string& place) {
  if (value.is_string()) return {value.get<std::string>(), 0};
  CheckKeys(value, {"name", "flags"}, place);
  const std::string name = ReadString(Member(value, "name", place), place + ".name");
  const std::uint32_t flags = value.contains("flags") ? ReadU32(value["flags"], place + ".flags") : 0;
  return {name, flags};
}

}  // namespace qm::scenario
