#include "pe_header.h"

#include "double_offsets.h"

#include <cstddef>
#include <cstring>

namespace gd {
namespace {

struct DosHeader {
  std::uint16_t magic;  // 0x00: "MZ"
  std::uint8_t pad02[0x3A];
  std::int32_t peHeaderAt;  // 0x3C
};
static_assert(offsetof(DosHeader, peHeaderAt) == 0x3C);
static_assert(sizeof(DosHeader) == 0x40);

struct PeHeaders {
  std::uint32_t signature;  // 0x00: "PE\0\0"
  // The file header.
  std::uint16_t machine;             // 0x04
  std::uint16_t sectionCount;        // 0x06
  std::uint32_t timeStamp;           // 0x08
  std::uint32_t symbolTable;         // 0x0C
  std::uint32_t symbolCount;         // 0x10
  std::uint16_t optionalHeaderSize;  // 0x14
  std::uint16_t characteristics;     // 0x16
  // The optional header, PE32+.
  std::uint16_t magic;  // 0x18
  std::uint8_t pad1A[0x0E];
  std::uint32_t entryPoint;        // 0x28
  std::uint32_t codeBase;          // 0x2C
  std::uint64_t imageBase;         // 0x30
  std::uint32_t sectionAlignment;  // 0x38
  std::uint32_t fileAlignment;     // 0x3C
  std::uint8_t pad40[0x10];
  std::uint32_t sizeOfImage;    // 0x50
  std::uint32_t sizeOfHeaders;  // 0x54
  std::uint32_t checkSum;       // 0x58
  std::uint16_t subsystem;      // 0x5C
  std::uint8_t pad5E[0x26];
  std::uint32_t dataDirectoryCount;   // 0x84
  std::uint64_t dataDirectories[16];  // 0x88
};
static_assert(offsetof(PeHeaders, magic) == 0x18);
static_assert(offsetof(PeHeaders, imageBase) == 0x18 + 0x18);
static_assert(offsetof(PeHeaders, sizeOfImage) == 0x18 + 0x38);
static_assert(offsetof(PeHeaders, dataDirectoryCount) == 0x18 + 0x6C);
static_assert(offsetof(PeHeaders, dataDirectories) == 0x18 + 0x70);
static_assert(sizeof(PeHeaders) == 0x18 + 0xF0);

constexpr std::int32_t kPeHeaderAt = 0x80;
constexpr std::uint16_t kMz = 0x5A4D;
constexpr std::uint32_t kPe = 0x00004550;
constexpr std::uint16_t kPe32Plus = 0x020B;
static_assert(kPeHeaderAt + sizeof(PeHeaders) <= kImageHeaderBytes);
static_assert(kImageHeaderBytes * 0x100 <= off::kLowestBinding,
              "the game's lowest offset must stay far above the image's header");

}  // namespace

void WriteImageHeader(std::uintptr_t base, std::uint32_t sizeOfImage) {
  DosHeader dos{};
  dos.magic = kMz;
  dos.peHeaderAt = kPeHeaderAt;
  PeHeaders pe{};
  pe.signature = kPe;
  pe.machine = 0x8664;  // x64
  pe.optionalHeaderSize = 0xF0;
  pe.characteristics = 0x0022;  // an executable, large addresses
  pe.magic = kPe32Plus;
  pe.imageBase = base;
  pe.sectionAlignment = 0x1000;
  pe.fileAlignment = 0x200;
  pe.sizeOfImage = sizeOfImage;
  pe.sizeOfHeaders = static_cast<std::uint32_t>(kImageHeaderBytes);
  pe.subsystem = 2;  // a windowed program, as the game is
  pe.dataDirectoryCount = 16;
  auto* bytes = reinterpret_cast<std::uint8_t*>(base);
  std::memset(bytes, 0, kImageHeaderBytes);
  std::memcpy(bytes, &dos, sizeof dos);
  std::memcpy(bytes + kPeHeaderAt, &pe, sizeof pe);
}

std::uintptr_t SizeOfImageField(std::uintptr_t base) {
  DosHeader dos;
  std::memcpy(&dos, reinterpret_cast<const void*>(base), sizeof dos);
  if (dos.magic != kMz || dos.peHeaderAt < static_cast<std::int32_t>(sizeof dos) ||
      static_cast<std::size_t>(dos.peHeaderAt) > 0x1000 - sizeof(PeHeaders)) {
    return 0;
  }
  const std::uintptr_t at = base + static_cast<std::uintptr_t>(dos.peHeaderAt);
  PeHeaders pe;
  std::memcpy(&pe, reinterpret_cast<const void*>(at), sizeof pe);
  return pe.signature == kPe && pe.magic == kPe32Plus ? at + offsetof(PeHeaders, sizeOfImage) : 0;
}

std::uint32_t DeclaredImageSize(std::uintptr_t base) {
  const std::uintptr_t field = SizeOfImageField(base);
  if (field == 0) return 0;
  std::uint32_t size = 0;
  std::memcpy(&size, reinterpret_cast<const void*>(field), sizeof size);
  return size;
}

}  // namespace gd
