#include "image_region.h"

#include "image_header.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>

namespace gd {

ImageRegion ImageRegion::Acquire(std::size_t size) {
  void* p =
      ::mmap(nullptr, size, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  // A region of its own stands for the whole image, headers included.
  WriteImageHeader(reinterpret_cast<std::uintptr_t>(p), static_cast<std::uint32_t>(size));
  return ImageRegion(reinterpret_cast<std::uintptr_t>(p), size, true);
}

ImageRegion::~ImageRegion() {
  if (owned_ && base_ != 0) ::munmap(reinterpret_cast<void*>(base_), size_);
}

bool ImageRegion::SetReadOnly(std::uintptr_t offset, std::size_t size, bool readOnly) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const std::uintptr_t start = (base_ + offset) & ~(page - 1);
  const std::uintptr_t end = (base_ + offset + size + page - 1) & ~(page - 1);
  const int prot = readOnly ? PROT_READ : (PROT_READ | PROT_WRITE | PROT_EXEC);
  return ::mprotect(reinterpret_cast<void*>(start), end - start, prot) == 0;
}

}  // namespace gd
