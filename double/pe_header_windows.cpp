#include "pe_header.h"

#include <windows.h>

#include <cstring>

namespace gd {

bool DeclareImageSize(std::uintptr_t base, std::uint32_t sizeOfImage) {
  const std::uintptr_t field = SizeOfImageField(base);
  if (field == 0) return false;
  auto* at = reinterpret_cast<void*>(field);
  DWORD previous = 0;
  if (::VirtualProtect(at, sizeof sizeOfImage, PAGE_READWRITE, &previous) == FALSE) return false;
  std::memcpy(at, &sizeOfImage, sizeof sizeOfImage);
  DWORD ignored = 0;
  ::VirtualProtect(at, sizeof sizeOfImage, previous, &ignored);
  return true;
}

}  // namespace gd
