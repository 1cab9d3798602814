#include "pe_header.h"

#include <cstring>

namespace gd {

// The region the double maps on Linux is writable throughout.
bool DeclareImageSize(std::uintptr_t base, std::uint32_t sizeOfImage) {
  const std::uintptr_t field = SizeOfImageField(base);
  if (field == 0) return false;
  std::memcpy(reinterpret_cast<void*>(field), &sizeOfImage, sizeof sizeOfImage);
  return true;
}

}  // namespace gd
