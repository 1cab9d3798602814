#include "image_region.h"

#include "image_header.h"

#include <windows.h>

#include <new>

namespace gd {

ImageRegion ImageRegion::Acquire(std::size_t size) {
  void* p = ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE);
  if (p == nullptr) throw std::bad_alloc();
  // A region of its own stands for the whole image, headers included.
  WriteImageHeader(reinterpret_cast<std::uintptr_t>(p), static_cast<std::uint32_t>(size));
  return ImageRegion(reinterpret_cast<std::uintptr_t>(p), size, true);
}

ImageRegion::~ImageRegion() {
  if (owned_ && base_ != 0) ::VirtualFree(reinterpret_cast<void*>(base_), 0, MEM_RELEASE);
}

bool ImageRegion::SetReadOnly(std::uintptr_t offset, std::size_t size, bool readOnly) {
  DWORD previous = 0;
  return ::VirtualProtect(reinterpret_cast<void*>(base_ + offset), size,
                          readOnly ? PAGE_READONLY : PAGE_EXECUTE_READWRITE, &previous) != FALSE;
}

}  // namespace gd
