#pragma once
// The headers a Windows loader leaves at an executable's load address, as the
// plug-in reads them to learn how large the game's image is: the double's
// region carries a minimal 64-bit PE header whose SizeOfImage is the region's
// size, below everything placed at the game's offsets.
#include <cstddef>
#include <cstdint>

namespace gd {

// What the header takes at the region's start; the lowest offset the game
// places anything at lies far above it.
constexpr std::size_t kImageHeaderBytes = 0x200;

// A DOS stub header, "PE\0\0", an x64 file header and a PE32+ optional header
// declaring `sizeOfImage` and `base` as the image base.
void WriteImageHeader(std::uintptr_t base, std::uint32_t sizeOfImage);

// SizeOfImage of the header at `base`; 0 when it is not a 64-bit PE header.
std::uint32_t DeclaredImageSize(std::uintptr_t base);

// Changes SizeOfImage in the header at `base`, making its page writable for
// the change when it is not (on Windows the launcher's own header, which the
// loader maps read-only); false when no 64-bit PE header is there or the page
// cannot be written.
bool DeclareImageSize(std::uintptr_t base, std::uint32_t sizeOfImage);

// Where SizeOfImage lies in the header at `base`; 0 when it is not a 64-bit
// PE header.
std::uintptr_t SizeOfImageField(std::uintptr_t base);

}  // namespace gd
