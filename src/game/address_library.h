#pragma once
// The Address Library file players install beside the script extender
// (Data/SKSE/Plugins/version-1-5-97-0.bin, versionlib-1-6-1170-0.bin, ...):
// for one runtime of the game, the offset from the image base of every
// function and datum by a number that stays the same across runtimes. The
// plug-in asks it for the few dozen numbers it needs. Decoding only: the
// caller reads the file (platform::ReadWholeFile) and says what it expects.
//
// Layout, formats 1 and 2 alike, little-endian:
//   int32 format, int32 version[4], int32 name length, the name
//   ("SkyrimSE.exe"), int32 pointer size (8), int32 record count, then the
//   records. A record is a type byte and up to two fields: the low four bits
//   say how the id follows from the previous record's id, bits 4 to 6 the same
//   of the offset, and bit 7 that the offset (and the previous one it builds
//   on) is counted in pointers rather than bytes.
#include <cstddef>
#include <cstdint>

namespace qm::game {

enum class LibraryFault : std::uint8_t {
  kNone,
  kNoFile,      // the caller found no file at the path
  kUnreadable,  // the caller could not read it
  kTruncated,
  kUnknownFormat,
  kWrongGame,
  kWrongVersion,
  kWrongPointerSize,
  kIdMissing,
  kOffsetOutsideImage,
};

struct LibraryRequest {
  std::uint32_t format;        // 1 or 2, as the file name implies
  std::uint32_t version[4];    // the runtime's, e.g. {1, 5, 97, 0}
  std::uint64_t imageSize;     // every offset must lie below it
  const std::uint64_t* ids;    // the ids needed, any order, no repeats
  std::size_t idCount;
  std::uint64_t* offsets;      // out: offsets[i] of ids[i]; only meaningful with kNone
};

// What is wrong, and where. The fields each fault fills (the others are 0):
//   kTruncated          byteAt: where the field that runs past the end begins; seen: the file's size
//   kUnknownFormat      byteAt: the value no library file holds there; seen: that value (the format,
//                       a version part, the name length, the record count, or a record's type byte);
//                       id: an id the file gives twice with different offsets (byteAt: its second record)
//   kWrongGame          byteAt: where the name begins; seen: its length
//   kWrongVersion       seen: the file's version, id: the runtime's, each 16 bits a part, major first
//   kWrongPointerSize   byteAt, seen: the pointer size
//   kIdMissing          id: the first id asked for that the file lacks
//   kOffsetOutsideImage id, offset; seen: the image size
struct LibraryOutcome {
  LibraryFault fault;
  std::uint64_t id;
  std::uint64_t offset;
  std::size_t byteAt;
  std::int64_t seen;
};

// Checks the header against the request, decodes every record once and keeps
// the offsets of the ids asked for. Never reads at or past bytes + size.
// The first id asked for (in the order given) that is missing or outside the
// image decides the fault when the file itself is sound.
LibraryOutcome ResolveAddressLibraryIds(const std::uint8_t* bytes, std::size_t size, const LibraryRequest& request);

// One log line (no newline) saying what is wrong with the file at `path`, e.g.
// "Address Library file <path>: truncated at byte 1234 of 5678". Always
// terminated; cut to outSize.
void DescribeLibraryOutcome(const LibraryOutcome& outcome, const char* path, char* out, std::size_t outSize);

// The whole record table decoded once, keeping nothing: how many records the
// header promises and where the last of them ends. For checking complete files;
// the header's version is not compared with anything.
struct LibraryTableExtent {
  std::uint64_t records;
  std::size_t endByte;
};
LibraryOutcome MeasureAddressLibrary(const std::uint8_t* bytes, std::size_t size, std::uint32_t format,
                                     LibraryTableExtent* extent);

}  // namespace qm::game
