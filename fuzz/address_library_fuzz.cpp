// Random Address Library files: nothing is read past the input (the address
// sanitizer watches the exact buffer libFuzzer hands over), every fault says
// a place inside the file, a file accepted gives every id an offset inside
// the image whatever order the ids are asked in, and the decoding that counts
// the records agrees with the one that resolves them.
#include "game/address_library.h"

#include "fuzz_input_file.h"

#include <cstring>

namespace {

using qm::game::LibraryFault;
using qmfuzz::Require;

constexpr std::uint64_t kImageSize = 0x03700000;
constexpr std::uint64_t kIds[] = {2, 3, 10, 50, 100, 200, 298};
constexpr std::size_t kIdCount = sizeof kIds / sizeof kIds[0];

std::uint32_t Word(const std::uint8_t* data, std::size_t size, std::size_t at, std::uint32_t otherwise) {
  if (size < at + 4) return otherwise;
  std::uint32_t word = 0;
  std::memcpy(&word, data + at, sizeof word);
  return word;
}

qm::game::LibraryOutcome Resolve(const std::uint8_t* data, std::size_t size, const qm::game::LibraryRequest& base,
                                 const std::uint64_t* ids, std::uint64_t* offsets) {
  qm::game::LibraryRequest request = base;
  request.ids = ids;
  request.offsets = offsets;
  return qm::game::ResolveAddressLibraryIds(data, size, request);
}

bool DecodingFault(LibraryFault fault) {
  return fault == LibraryFault::kTruncated || fault == LibraryFault::kUnknownFormat;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The runtime the file claims to be for, so that the records are reached.
  const std::uint32_t format = Word(data, size, 0, 1) == 2 ? 2 : 1;
  qm::game::LibraryRequest request{
      format,     {Word(data, size, 4, 1), Word(data, size, 8, 5), Word(data, size, 12, 97), Word(data, size, 16, 0)},
      kImageSize, nullptr,
      kIdCount,   nullptr};
  std::uint64_t offsets[kIdCount] = {};
  const qm::game::LibraryOutcome outcome = Resolve(data, size, request, kIds, offsets);
  Require(outcome.byteAt <= size, "a fault placed past the file's end");
  if (outcome.fault == LibraryFault::kTruncated) {
    Require(outcome.seen == static_cast<std::int64_t>(size), "a truncation that does not give the file's size");
  }

  if (outcome.fault == LibraryFault::kNone) {
    std::uint64_t reversed[kIdCount];
    std::uint64_t reversedOffsets[kIdCount] = {};
    for (std::size_t i = 0; i < kIdCount; ++i) reversed[i] = kIds[kIdCount - 1 - i];
    Require(Resolve(data, size, request, reversed, reversedOffsets).fault == LibraryFault::kNone,
            "the same ids in another order refused");
    for (std::size_t i = 0; i < kIdCount; ++i) {
      Require(offsets[i] < kImageSize, "an offset outside the image accepted");
      Require(reversedOffsets[kIdCount - 1 - i] == offsets[i], "an id's offset depends on the order asked");
    }
  }

  // Counting decodes as resolving does: the same decoding faults at the same
  // place. Resolving alone refuses an id asked for that the file gives twice
  // with two offsets, and stops there, before any later fault.
  const bool repeatedId = outcome.fault == LibraryFault::kUnknownFormat && outcome.id != 0;
  qm::game::LibraryTableExtent extent{};
  const qm::game::LibraryOutcome measured = qm::game::MeasureAddressLibrary(data, size, format, &extent);
  if (DecodingFault(measured.fault)) {
    Require(repeatedId ? outcome.byteAt < measured.byteAt
                       : outcome.fault == measured.fault && outcome.byteAt == measured.byteAt,
            "counting and resolving disagree on a broken file");
  } else if (measured.fault == LibraryFault::kNone) {
    Require(extent.endByte <= size, "records said to end past the file");
    Require(!DecodingFault(outcome.fault) || repeatedId, "resolving refuses records that counting reads");
  }

  char line[48];
  std::memset(line, '#', sizeof line);
  qm::game::DescribeLibraryOutcome(outcome, "versionlib-1-6-1170-0.bin", line, sizeof line);
  Require(std::memchr(line, '\0', sizeof line) != nullptr, "a description not terminated inside its buffer");
  return 0;
}
