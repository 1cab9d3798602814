#include "plugin/msvc_rtti.h"

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace qm::plugin {
namespace {

// MSVC's x64 type information; every cross-reference is an offset from the
// module's image base.
struct CompleteObjectLocator {
  std::uint32_t signature;        // 0x00: 1 on x64
  std::int32_t offset;            // 0x04
  std::uint32_t cdOffset;         // 0x08
  std::uint32_t typeDescriptor;   // 0x0C
  std::uint32_t classDescriptor;  // 0x10
  std::uint32_t self;             // 0x14
};
static_assert(offsetof(CompleteObjectLocator, typeDescriptor) == 0x0C);
static_assert(offsetof(CompleteObjectLocator, classDescriptor) == 0x10);
static_assert(offsetof(CompleteObjectLocator, self) == 0x14);
static_assert(sizeof(CompleteObjectLocator) == 0x18);

struct ClassHierarchyDescriptor {
  std::uint32_t signature;       // 0x00
  std::uint32_t attributes;      // 0x04
  std::uint32_t baseClassCount;  // 0x08
  std::uint32_t baseClassArray;  // 0x0C: offsets of the base class descriptors
};
static_assert(offsetof(ClassHierarchyDescriptor, baseClassArray) == 0x0C);

// Only the first field is read: the first base class is the class itself.
struct BaseClassDescriptor {
  std::uint32_t typeDescriptor;  // 0x00
};

constexpr std::uint32_t kLocatorSignature = 1;
constexpr std::size_t kTypeNameOffset = 0x10;  // after type_info's table and a spare word
constexpr std::size_t kMaxNameLength = 512;
constexpr std::uintptr_t kPageSize = 0x1000;

template <typename T>
bool ReadAt(std::uintptr_t address, T* out) {
  if (address == 0 || !platform::IsReadable(reinterpret_cast<const void*>(address), sizeof(T))) return false;
  std::memcpy(out, reinterpret_cast<const void*>(address), sizeof(T));
  return true;
}

// The decorated name, read only as far as its memory is readable.
bool ReadName(std::uintptr_t address, std::string* out) {
  for (std::size_t i = 0; i < kMaxNameLength; ++i) {
    const std::uintptr_t at = address + i;
    if ((i == 0 || at % kPageSize == 0) && !platform::IsReadable(reinterpret_cast<const void*>(at), 1)) return false;
    const char c = *reinterpret_cast<const char*>(at);
    if (c == '\0') return true;
    out->push_back(c);
  }
  return false;
}

}  // namespace

std::string RuntimeClassName(const void* object) {
  std::uintptr_t table = 0;
  if (!ReadAt(reinterpret_cast<std::uintptr_t>(object), &table) || table < sizeof(std::uintptr_t)) return {};
  // The slot before the dispatch table points at the complete object locator.
  std::uintptr_t locatorAddress = 0;
  CompleteObjectLocator locator{};
  if (!ReadAt(table - sizeof(std::uintptr_t), &locatorAddress) || !ReadAt(locatorAddress, &locator)) return {};
  if (locator.signature != kLocatorSignature || locator.self > locatorAddress) return {};
  if (locator.typeDescriptor == 0 || locator.classDescriptor == 0) return {};
  const std::uintptr_t imageBase = locatorAddress - locator.self;

  // The class hierarchy must name the same type descriptor as its first base
  // (the class itself): offsets that disagree are not type information.
  ClassHierarchyDescriptor hierarchy{};
  std::uint32_t firstBase = 0;
  BaseClassDescriptor self{};
  if (!ReadAt(imageBase + locator.classDescriptor, &hierarchy) || hierarchy.baseClassCount == 0 ||
      hierarchy.baseClassArray == 0 || !ReadAt(imageBase + hierarchy.baseClassArray, &firstBase) || firstBase == 0 ||
      !ReadAt(imageBase + firstBase, &self) || self.typeDescriptor != locator.typeDescriptor) {
    return {};
  }
  std::string decorated;
  if (!ReadName(imageBase + locator.typeDescriptor + kTypeNameOffset, &decorated)) return {};
  return UndecorateClassName(decorated);
}

std::string UndecorateClassName(std::string_view decorated) {
  std::string_view prefix;
  if (decorated.substr(0, 4) == ".?AV") prefix = "class ";
  if (decorated.substr(0, 4) == ".?AU") prefix = "struct ";
  if (prefix.empty()) return {};
  std::string_view rest = decorated.substr(4);
  std::vector<std::string_view> parts;
  while (!rest.empty() && rest.front() != '@') {
    const std::size_t end = rest.find('@');
    if (end == std::string_view::npos) return {};
    const std::string_view part = rest.substr(0, end);
    // Templates (?$) and back-references (digits) are not undecorated here.
    if (part.find_first_of("?$") != std::string_view::npos || (part.front() >= '0' && part.front() <= '9')) {
      return {};
    }
    parts.push_back(part);
    rest = rest.substr(end + 1);
  }
  // The list of parts ends with an extra '@' and nothing after it.
  if (parts.empty() || rest != "@") return {};
  std::string name(prefix);
  for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
    if (it != parts.rbegin()) name += "::";
    name += *it;
  }
  return name;
}

}  // namespace qm::plugin
