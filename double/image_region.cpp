#include "image_region.h"

#include <cstring>

namespace gd {

ImageRegion::ImageRegion(ImageRegion&& other) noexcept : base_(other.base_), size_(other.size_), owned_(other.owned_) {
  other.base_ = 0;
  other.size_ = 0;
  other.owned_ = false;
}

bool ImageRegion::Contains(const void* p, std::size_t bytes) const {
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  return at >= base_ && at + bytes <= base_ + size_ && at + bytes >= at;
}

void ImageRegion::WriteJump(std::uintptr_t offset, const void* target) {
  auto* code = At<unsigned char>(offset);
  const unsigned char prefix[6] = {0xFF, 0x25, 0x00, 0x00, 0x00, 0x00};
  std::memcpy(code, prefix, sizeof prefix);
  const auto address = reinterpret_cast<std::uint64_t>(target);
  std::memcpy(code + 6, &address, sizeof address);
}

}  // namespace gd
