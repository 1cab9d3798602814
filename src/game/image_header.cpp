#include "game/image_header.h"

#include <cstring>

namespace qm::game {
namespace {

// The DOS stub's "MZ", and at +0x3C where the PE headers begin.
constexpr std::uint16_t kDosMagic = 0x5A4D;
constexpr std::uintptr_t kPeHeaderAtField = 0x3C;
// "PE\0\0", then the 20-byte file header, then the optional header: its magic
// (0x20B for a 64-bit image) at +0x00 and SizeOfImage at +0x38.
constexpr std::uint32_t kPeSignature = 0x00004550;
constexpr std::uintptr_t kOptionalHeaderAt = 4 + 20;
constexpr std::uint16_t kPe64Magic = 0x020B;
constexpr std::uintptr_t kSizeOfImageAt = 0x38;
// The headers lie in the image's first page, the only one known to be mapped.
constexpr std::uintptr_t kHeaderPage = 0x1000;

template <class T>
T Read(std::uintptr_t address) {
  T value;
  std::memcpy(&value, reinterpret_cast<const void*>(address), sizeof value);
  return value;
}

}  // namespace

std::uint64_t GameImageSize(std::uintptr_t base) {
  if (base == 0 || Read<std::uint16_t>(base) != kDosMagic) return 0;
  const auto peAt = Read<std::int32_t>(base + kPeHeaderAtField);
  if (peAt < static_cast<std::int32_t>(kPeHeaderAtField + 4) ||
      static_cast<std::uintptr_t>(peAt) + kOptionalHeaderAt + kSizeOfImageAt + 4 > kHeaderPage) {
    return 0;
  }
  const std::uintptr_t pe = base + static_cast<std::uintptr_t>(peAt);
  if (Read<std::uint32_t>(pe) != kPeSignature) return 0;
  if (Read<std::uint16_t>(pe + kOptionalHeaderAt) != kPe64Magic) return 0;
  return Read<std::uint32_t>(pe + kOptionalHeaderAt + kSizeOfImageAt);
}

}  // namespace qm::game
