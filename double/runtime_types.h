#pragma once
// The game's run-time type information, as far as the plug-in asks it: which
// classes an object's class table stands for, so that CastRuntimeType can
// answer as the game's dynamic cast does.
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace gd {

class RuntimeTypes : public WorldComponent {
 public:
  explicit RuntimeTypes(World& world) : world_(world) {}

  // Objects whose first word is classTable are of the class described by
  // typeDescriptor; the sub-object of that class lies at offset.
  void Register(const void* classTable, const void* typeDescriptor, std::ptrdiff_t offset = 0);

  // The game's cast: the object seen as toType, or null. fromType must be a
  // class the object is seen as at offset 0, as the game's cast assumes.
  void* Cast(void* object, const void* fromType, const void* toType);
  // Whether some class the game knows has this type descriptor among its bases.
  bool KnowsTypeDescriptor(const void* typeDescriptor);

  // The type descriptor at an offset of the image.
  const void* Descriptor(std::uintptr_t offset) const { return world_.region().At<const void>(offset); }

 private:
  struct Base {
    const void* typeDescriptor;
    std::ptrdiff_t offset;
  };
  World& world_;
  std::mutex mutex_;
  std::unordered_map<const void*, std::vector<Base>> classes_;
};

// Writes an MSVC type descriptor (type_info table, spare, decorated name) at
// an offset of the image, so that the image reads as the game's would.
void WriteTypeDescriptor(World& world, std::uintptr_t offset, const char* decoratedName);

}  // namespace gd
