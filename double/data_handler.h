#pragma once
// The game's data handler, as far as the plug-in reads it: the list of plug-in
// files in load order. Its pointer lies in the image at kDataHandlerPtr;
// without this component that pointer stays null, as before the game has
// loaded its data.
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gd {

struct TESFileRecord {
  std::uint8_t pad000[0x58];
  char fileName[0x104];  // 0x58: MAX_PATH characters, NUL-terminated
  std::uint8_t pad15C[0x2DC];
};
static_assert(offsetof(TESFileRecord, fileName) == 0x58);
static_assert(sizeof(TESFileRecord) == 0x438);

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

  // Appends a file at the end of the load order.
  void AddPluginFile(const std::string& name);
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
};

}  // namespace gd
