#pragma once
// The game's list of plug-in files, as the data handler holds it (runtime
// 1.5.39). Only the fields the no-break list reads are laid out.
#include <cstddef>
#include <cstdint>

namespace qm::game {

struct PluginFileRecord {
  std::uint8_t pad00[0x58];
  char fileName[260];  // 0x58: NUL-terminated, e.g. "Skyrim.esm"
};
static_assert(offsetof(PluginFileRecord, fileName) == 0x58);

// A singly linked list whose first node lives inside the data handler.
struct PluginFileNode {
  PluginFileRecord* file;  // 0x0: null in the node of an empty list
  PluginFileNode* next;    // 0x8: null ends the list
};
static_assert(offsetof(PluginFileNode, file) == 0x0);
static_assert(offsetof(PluginFileNode, next) == 0x8);

struct DataHandler {
  std::uint8_t pad000[0xD60];
  PluginFileNode files;  // 0xD60
};
static_assert(offsetof(DataHandler, files) == 0xD60);

}  // namespace qm::game
