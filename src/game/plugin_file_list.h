#pragma once
// The game's list of plug-in files, as the data handler holds it. The same
// layout on 1.5.39, 1.5.97 and the Anniversary Edition. Only the fields the
// no-break list reads are laid out.
//
// The list holds every plug-in file the game knows, loaded or not, so a
// file's place in it says nothing of its forms: each record carries its own
// load-order index, and a light file its own light index.
#include <cstddef>
#include <cstdint>

namespace qm::game {

inline constexpr std::size_t kDataHandlerFileListOffset = 0xD60;
inline constexpr std::size_t kPluginFileNodeFileOffset = 0x0;
inline constexpr std::size_t kPluginFileNodeNextOffset = 0x8;
inline constexpr std::size_t kPluginFileNameOffset = 0x58;
inline constexpr std::size_t kPluginFileFlagsOffset = 0x438;
inline constexpr std::size_t kPluginFileLoadOrderIndexOffset = 0x478;
inline constexpr std::size_t kPluginFileLightIndexOffset = 0x47A;

// The file flag of a light file: its forms share the top byte 0xFE and are
// told apart by the light index.
inline constexpr std::uint32_t kLightPluginFileFlag = 0x200;
// The load-order index of a file the game has not loaded.
inline constexpr std::uint8_t kPluginFileNotLoaded = 0xFF;

struct PluginFileRecord {
  std::uint8_t pad000[kPluginFileNameOffset];
  char fileName[260];  // 0x58: NUL-terminated, e.g. "Skyrim.esm"
  std::uint8_t pad15C[kPluginFileFlagsOffset - kPluginFileNameOffset - 260];
  std::uint32_t fileFlags;  // 0x438: kLightPluginFileFlag among others
  std::uint8_t pad43C[kPluginFileLoadOrderIndexOffset - kPluginFileFlagsOffset - 4];
  std::uint8_t loadOrderIndex;  // 0x478: the top byte of a regular file's forms; kPluginFileNotLoaded
  std::uint8_t pad479;
  std::uint16_t lightIndex;  // 0x47A: a light file's index among the light files
};
static_assert(offsetof(PluginFileRecord, fileName) == kPluginFileNameOffset);
static_assert(offsetof(PluginFileRecord, fileFlags) == kPluginFileFlagsOffset);
static_assert(offsetof(PluginFileRecord, loadOrderIndex) == kPluginFileLoadOrderIndexOffset);
static_assert(offsetof(PluginFileRecord, lightIndex) == kPluginFileLightIndexOffset);

// A singly linked list whose first node lives inside the data handler.
struct PluginFileNode {
  PluginFileRecord* file;  // 0x0: null in the node of an empty list
  PluginFileNode* next;    // 0x8: null ends the list
};
static_assert(offsetof(PluginFileNode, file) == kPluginFileNodeFileOffset);
static_assert(offsetof(PluginFileNode, next) == kPluginFileNodeNextOffset);

struct DataHandler {
  std::uint8_t pad000[kDataHandlerFileListOffset];
  PluginFileNode files;  // 0xD60
};
static_assert(offsetof(DataHandler, files) == kDataHandlerFileListOffset);

}  // namespace qm::game
