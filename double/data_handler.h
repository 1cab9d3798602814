#pragma once
// The game's data handler, as far as the plug-in reads it: the list of every
// plug-in file the game knows, loaded or not, each record with the indices
// the game gave it. Its pointer lies in the image at kDataHandlerPtr; without
// this component that pointer stays null, as before the game has loaded its
// data.
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gd {

struct TESFileRecord {
  std::uint8_t pad000[0x58];
  char fileName[0x104];  // 0x58: MAX_PATH characters, NUL-terminated
  std::uint8_t pad15C[0x2DC];
  std::uint32_t recordFlags;  // 0x438: 0x200 marks a light file
  std::uint8_t pad43C[0x3C];
  std::uint8_t compileIndex;  // 0x478: the top byte of its forms; 0xFE light, 0xFF not loaded
  std::uint8_t pad479;
  std::uint16_t smallFileCompileIndex;  // 0x47A: a light file's number among the light files
  std::uint8_t pad47C[0x4C];
};
static_assert(offsetof(TESFileRecord, fileName) == 0x58);
static_assert(offsetof(TESFileRecord, recordFlags) == 0x438);
static_assert(offsetof(TESFileRecord, compileIndex) == 0x478);
static_assert(offsetof(TESFileRecord, smallFileCompileIndex) == 0x47A);
static_assert(sizeof(TESFileRecord) == 0x4C8);

inline constexpr std::uint32_t kSmallFileFlag = 0x200;
inline constexpr std::uint8_t kLightCompileIndex = 0xFE;
inline constexpr std::uint8_t kNotLoadedCompileIndex = 0xFF;
// The game loads regular files at 0x00 to 0xFD and light files at light
// indices 0x000 to 0xFFF; a file past either end stays unloaded.
inline constexpr std::uint8_t kLastRegularCompileIndex = 0xFD;
inline constexpr std::uint16_t kLastSmallFileIndex = 0xFFF;

// One file of the list. By default the double numbers the files as the game
// does: each loaded regular file takes the next compile index, each loaded
// light file the next light index; a test may force either.
struct PluginFileSetup {
  std::string name;
  bool active = true;
  bool light = false;
  std::optional<std::uint8_t> compileIndex;
  std::optional<std::uint16_t> lightIndex;
};

struct FileListNode {
  TESFileRecord* item;  // 0x0
  FileListNode* next;   // 0x8
};
static_assert(offsetof(FileListNode, item) == 0x0 && offsetof(FileListNode, next) == 0x8);
static_assert(sizeof(FileListNode) == 0x10);

struct TESDataHandlerObject {
  std::uint8_t pad000[0xD60];
  FileListNode files;  // 0xD60: the list's first node is part of the object
  std::uint8_t padD70[0x690];
};
static_assert(offsetof(TESDataHandlerObject, files) == 0xD60);

class DataHandler : public WorldComponent {
 public:
  explicit DataHandler(World& world);
  ~DataHandler() override;

  // Appends a loaded regular file to the list.
  void AddPluginFile(const std::string& name);
  void AddPluginFile(const PluginFileSetup& file);
  // Appends a node without a file record: the game's list ends its useful
  // part there.
  void AddEmptyNode();

  TESDataHandlerObject& object() { return *object_; }

 private:
  FileListNode& AppendNode();

  World& world_;
  std::unique_ptr<TESDataHandlerObject> object_;
  std::vector<std::unique_ptr<TESFileRecord>> records_;
  std::vector<std::unique_ptr<FileListNode>> nodes_;  // every node after the embedded one
  bool firstNodeUsed_ = false;
  unsigned regularFiles_ = 0;  // loaded so far, in list order
  unsigned lightFiles_ = 0;
};

}  // namespace gd
