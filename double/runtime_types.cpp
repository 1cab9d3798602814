#include "runtime_types.h"

#include "extra_data.h"
#include "forms.h"
#include "runtime_offsets.h"
#include "stub_registry.h"

#include <cstring>

namespace gd {

void RuntimeTypes::Register(const void* classTable, const void* typeDescriptor, std::ptrdiff_t offset) {
  std::lock_guard<std::mutex> lock(mutex_);
  classes_[classTable].push_back({typeDescriptor, offset});
}

bool RuntimeTypes::KnowsTypeDescriptor(const void* typeDescriptor) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [classTable, bases] : classes_) {
    for (const Base& base : bases) {
      if (base.typeDescriptor == typeDescriptor) return true;
    }
  }
  return false;
}

void* RuntimeTypes::Cast(void* object, const void* fromType, const void* toType) {
  if (object == nullptr) return nullptr;
  const void* classTable = *static_cast<const void* const*>(object);
  std::vector<Base> bases;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = classes_.find(classTable);
    if (it == classes_.end()) {
      world_.Violation("CastRuntimeType on an object whose class table the game does not know");
      return nullptr;
    }
    bases = it->second;
  }
  // The game compares the target's decorated name: it reads whatever the
  // pointer points at.
  if (toType == nullptr || !KnowsTypeDescriptor(toType)) {
    world_.Violation("CastRuntimeType to something that is not a type descriptor the game has");
    return nullptr;
  }
  bool fromKnown = false;
  for (const Base& base : bases) fromKnown = fromKnown || (base.typeDescriptor == fromType && base.offset == 0);
  if (!fromKnown) {
    world_.Violation("CastRuntimeType from a type descriptor that is not the object's own class");
    return nullptr;
  }
  for (const Base& base : bases) {
    if (base.typeDescriptor == toType) return static_cast<std::uint8_t*>(object) + base.offset;
  }
  return nullptr;
}

void WriteTypeDescriptor(World& world, std::uintptr_t offset, const char* decoratedName) {
  auto* bytes = world.region().At<std::uint8_t>(offset);
  std::memset(bytes, 0, 0x10);
  std::memcpy(bytes + 0x10, decoratedName, std::strlen(decoratedName) + 1);
}

namespace {

// (object, 0, from-type, to-type, 0): the game's dynamic cast of a pointer.
void* CastRuntimeType(void* object, std::int32_t vfDelta, const void* fromType, const void* toType,
                      std::int32_t isReference) {
  World& world = World::Active();
  if (vfDelta != 0 || isReference != 0) world.Violation("CastRuntimeType expects (object, 0, from, to, 0)");
  // The classes the game always has: records and extra data.
  world.Component<Forms>();
  world.Component<ExtraData>();
  return world.Component<RuntimeTypes>().Cast(object, fromType, toType);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::castRuntimeType, CastRuntimeType);

}  // namespace
}  // namespace gd
