#pragma once
// The memory that stands for the game executable's image: the plug-in forms
// every binding as base + offset, so jumps and data are written at exactly the
// game's offsets.
#include <cstddef>
#include <cstdint>

namespace gd {

class ImageRegion {
 public:
  // Maps a fresh region with an image header at its start that declares its
  // size; or adopts one whose header is already there: on Windows the
  // launcher's own image, followed by the range it reserved after it.
  static ImageRegion Acquire(std::size_t size);
  static ImageRegion Adopt(std::uintptr_t base, std::size_t size) { return ImageRegion(base, size, false); }

  ImageRegion(ImageRegion&& other) noexcept;
  ImageRegion& operator=(ImageRegion&&) = delete;
  ~ImageRegion();

  std::uintptr_t base() const { return base_; }
  std::size_t size() const { return size_; }
  bool Contains(const void* p, std::size_t bytes = 1) const;

  template <typename T>
  T* At(std::uintptr_t offset) const {
    return reinterpret_cast<T*>(base_ + offset);
  }

  // FF 25 00000000 <target>: jmp [rip+0], the 14-byte absolute jump.
  void WriteJump(std::uintptr_t offset, const void* target);

  // Makes [offset, offset + size) read-only (a class table the game keeps in
  // its read-only data), or writable again.
  bool SetReadOnly(std::uintptr_t offset, std::size_t size, bool readOnly);

 private:
  ImageRegion(std::uintptr_t base, std::size_t size, bool owned) : base_(base), size_(size), owned_(owned) {}
  std::uintptr_t base_ = 0;
  std::size_t size_ = 0;
  bool owned_ = false;
};

}  // namespace gd
