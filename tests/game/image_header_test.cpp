// The image's size from the executable's headers: read from a real layout,
// and 0 from anything that is not a 64-bit PE header, without reading past
// the image's first page.
#include "game/image_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace qm::game {
namespace {

// A page holding the headers of a 64-bit executable whose PE headers start
// at `peAt`, declaring an image of 0x3100000 bytes.
struct HeaderPage {
  alignas(4096) std::uint8_t bytes[4096] = {};

  explicit HeaderPage(std::uint32_t peAt = 0x108) {
    Put16(0, 0x5A4D);       // "MZ"
    Put32(0x3C, peAt);      // where the PE headers begin
    Put32(peAt, 0x4550);    // "PE\0\0"
    Put16(peAt + 4, 0x8664);
    Put16(peAt + 24, 0x20B);                // PE32+
    Put32(peAt + 24 + 0x38, 0x3100000);     // SizeOfImage
  }
  void Put16(std::size_t at, std::uint16_t v) { std::memcpy(bytes + at, &v, sizeof v); }
  void Put32(std::size_t at, std::uint32_t v) { std::memcpy(bytes + at, &v, sizeof v); }
  std::uint64_t Size() const { return GameImageSize(reinterpret_cast<std::uintptr_t>(bytes)); }
};

TEST(ImageHeader, SizeOfImageIsReadWhereverThePeHeadersBegin) {
  EXPECT_EQ(HeaderPage().Size(), 0x3100000u);
  EXPECT_EQ(HeaderPage(0x40).Size(), 0x3100000u);
  // The last start that keeps SizeOfImage inside the page.
  EXPECT_EQ(HeaderPage(0x1000 - 24 - 0x3C).Size(), 0x3100000u);
}

TEST(ImageHeader, AnythingButA64BitPeHeaderHasNoSize) {
  EXPECT_EQ(GameImageSize(0), 0u);
  HeaderPage notDos;
  notDos.Put16(0, 0x457F);  // an ELF file's first bytes
  EXPECT_EQ(notDos.Size(), 0u);
  HeaderPage noPe;
  noPe.Put32(0x108, 0x4551);
  EXPECT_EQ(noPe.Size(), 0u);
  HeaderPage pe32;
  pe32.Put16(0x108 + 24, 0x10B);
  EXPECT_EQ(pe32.Size(), 0u);
  // PE headers said to start inside the DOS header, before the page, or
  // where SizeOfImage would lie past the page.
  for (std::uint32_t peAt : {0x00u, 0x3Cu, 0x80000000u, 0xFFFFFFF0u, 0x1000u - 24 - 0x3C + 1}) {
    HeaderPage wild;
    wild.Put32(0x3C, peAt);
    EXPECT_EQ(wild.Size(), 0u) << std::hex << peAt;
  }
}

}  // namespace
}  // namespace qm::game
