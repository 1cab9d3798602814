// The Address Library reader against the two real files, files the double's
// writer makes, hand-made records for every field encoding, and every way a
// file can be wrong: each refused with where it went wrong, never read past
// its end.
#include "game/address_library.h"

#include "address_library_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace qm::game {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Pairs = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

constexpr std::uint32_t kSe[4] = {1, 5, 97, 0};
constexpr std::uint32_t kAe[4] = {1, 6, 353, 0};
constexpr std::uint64_t kImage = 0x03700000;
// Header of a written file: format, version, name length, name, pointer size, count.
constexpr std::size_t kVersionAt = 4;
constexpr std::size_t kNameLengthAt = 20;
constexpr std::size_t kNameAt = 24;
constexpr std::size_t kPointerSizeAt = 36;
constexpr std::size_t kCountAt = 40;
constexpr std::size_t kRecordsAt = 44;

Bytes Fixture(const char* name) {
  std::ifstream in(std::string(QM_ADDRESS_LIBRARY_FIXTURES) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutInt32(Bytes& bytes, std::size_t at, std::int32_t value) {
  const auto word = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(word >> (8 * i));
}

struct Resolved {
  LibraryOutcome outcome;
  std::vector<std::uint64_t> offsets;
};

// Resolves from a copy of exactly `size` bytes, so that a read past the end
// lands outside the allocation, where the address sanitizer sees it.
Resolved Resolve(const Bytes& file, const std::vector<std::uint64_t>& ids, std::size_t size,
                 std::uint32_t format = 1, const std::uint32_t (&version)[4] = kSe, std::uint64_t image = kImage) {
  const Bytes exact(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
  Resolved resolved{{}, std::vector<std::uint64_t>(ids.size(), 0)};
  LibraryRequest request{format, {version[0], version[1], version[2], version[3]}, image, ids.data(), ids.size(),
                         resolved.offsets.data()};
  resolved.outcome = ResolveAddressLibraryIds(exact.data(), exact.size(), request);
  return resolved;
}

Resolved Resolve(const Bytes& file, const std::vector<std::uint64_t>& ids) { return Resolve(file, ids, file.size()); }

std::string Described(const LibraryOutcome& outcome, std::size_t room = 256) {
  std::vector<char> text(room, '#');
  DescribeLibraryOutcome(outcome, "Data/SKSE/Plugins/version-1-5-97-0.bin", text.data(), text.size());
  return text.data();
}

// A written file whose records follow a hand-made first one: `records` is
// appended after the header, with the count set to `count`.
Bytes HandMade(const Bytes& records, std::int32_t count) {
  Bytes file = gd::WriteAddressLibrary(1, kSe, {});
  PutInt32(file, kCountAt, count);
  file.insert(file.end(), records.begin(), records.end());
  return file;
}

TEST(AddressLibrary, RealFilesDecodeToTheirLastByte) {
  for (const auto& [name, format, records] : {std::tuple{"version-1-5-97-0.bin", 1u, 778674u},
                                              std::tuple{"versionlib-1-6-353-0.bin", 2u, 415925u}}) {
    const Bytes file = Fixture(name);
    ASSERT_FALSE(file.empty()) << name;
    LibraryTableExtent extent{};
    EXPECT_EQ(MeasureAddressLibrary(file.data(), file.size(), format, &extent).fault, LibraryFault::kNone) << name;
    EXPECT_EQ(extent.records, records) << name;
    EXPECT_EQ(extent.endByte, file.size()) << name;
  }
}

TEST(AddressLibrary, WrittenFilesGiveBackEveryOffsetInBothFormats) {
  std::mt19937_64 random(20240728);
  for (std::uint32_t format : {1u, 2u}) {
    for (int trial = 0; trial < 20; ++trial) {
      // Ids dense and sparse, offsets small, pointer-aligned, and beyond 32 bits;
      // more ids than one pass over the records takes.
      Pairs pairs;
      std::vector<std::uint64_t> ids;
      const std::size_t count = trial == 0 ? 300 : 1 + random() % 80;
      std::uint64_t id = random() % 4;
      while (pairs.size() < count) {
        id += 1 + (random() % 3 == 0 ? random() % 100000 : random() % 3);
        std::uint64_t offset = random() % 5 == 0 ? (random() % 0x400000) * 8 : random() % 0x3600000;
        if (random() % 10 == 0) offset = random() >> (random() % 40);
        pairs.push_back({id, offset});
        ids.push_back(id);
      }
      std::shuffle(pairs.begin(), pairs.end(), random);
      std::shuffle(ids.begin(), ids.end(), random);
      const Bytes file = gd::WriteAddressLibrary(format, kAe, pairs);
      const Resolved got = Resolve(file, ids, file.size(), format, kAe, std::numeric_limits<std::uint64_t>::max());
      ASSERT_EQ(got.outcome.fault, LibraryFault::kNone) << Described(got.outcome);
      for (std::size_t i = 0; i < ids.size(); ++i) {
        const auto it = std::find_if(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == ids[i]; });
        ASSERT_EQ(got.offsets[i], it->second) << "id " << ids[i] << ", trial " << trial;
      }
    }
  }
}

TEST(AddressLibrary, EachFieldEncodingFollowsThePreviousRecord) {
  // A first record sets id 1000 and offset 0x1234: not a whole number of
  // pointers, so counted in pointers it is 0x246, the remainder dropped.
  const Bytes first = {0x00, 0xE8, 0x03, 0, 0, 0, 0, 0, 0, 0x34, 0x12, 0, 0, 0, 0, 0, 0};
  struct Case {
    Bytes record;
    std::uint64_t id;
    std::uint64_t offset;
  };
  const Case cases[] = {
      {{0x10, 0xD0, 0x07, 0, 0, 0, 0, 0, 0}, 2000, 0x1235},
      {{0x01, 0, 0, 0, 0, 0, 0, 0, 0x80}, 1001, 0x8000000000000000},
      {{0x12, 0x10}, 1016, 0x1235},
      {{0x13, 0x10}, 984, 0x1235},
      {{0x24, 0x00, 0x01, 0x05}, 1256, 0x1239},
      {{0x35, 0x00, 0x01, 0x05}, 744, 0x122F},
      {{0x46, 0x34, 0x12, 0x00, 0x01}, 0x1234, 0x1334},
      {{0x57, 0x78, 0x56, 0x34, 0x12, 0x34, 0x02}, 0x12345678, 0x1000},
      {{0x61, 0xCD, 0xAB}, 1001, 0xABCD},
      {{0x71, 0x78, 0x56, 0x34, 0x12}, 1001, 0x12345678},
      {{0x81, 0x01, 0, 0, 0, 0, 0, 0, 0}, 1001, 8},
      {{0x91}, 1001, 0x1238},
      {{0xA1, 0x02}, 1001, 0x1240},
      {{0xB1, 0x06}, 1001, 0x1200},
      {{0xC1, 0x00, 0x01}, 1001, 0x1A30},
      {{0xD1, 0x00, 0x01}, 1001, 0xA30},
      {{0xE1, 0x10, 0x00}, 1001, 0x80},
      {{0xF1, 0x00, 0x00, 0x01, 0x00}, 1001, 0x80000},
  };
  for (const Case& c : cases) {
    Bytes records = first;
    records.insert(records.end(), c.record.begin(), c.record.end());
    const Resolved got = Resolve(HandMade(records, 2), {c.id, 1000}, kRecordsAt + records.size(), 1, kSe, ~0ull);
    ASSERT_EQ(got.outcome.fault, LibraryFault::kNone) << "type " << int(c.record[0]) << ": " << Described(got.outcome);
    EXPECT_EQ(got.offsets[0], c.offset) << "type " << int(c.record[0]);
    EXPECT_EQ(got.offsets[1], 0x1234u);
  }
}

TEST(AddressLibrary, TruncatedAtEveryByteIsRefusedWhereTheMissingFieldBegins) {
  Pairs pairs;
  for (std::uint64_t id = 1; id <= 40; ++id) pairs.push_back({id * 7, 0x140000 + id * id * 0x18 + (id % 3)});
  const Bytes file = gd::WriteAddressLibrary(1, kSe, pairs);
  const std::vector<std::uint64_t> ids = {7, 140, 280};
  ASSERT_EQ(Resolve(file, ids).outcome.fault, LibraryFault::kNone);
  for (std::size_t size = 0; size < file.size(); ++size) {
    const LibraryOutcome outcome = Resolve(file, ids, size).outcome;
    ASSERT_EQ(outcome.fault, LibraryFault::kTruncated) << "cut to " << size << " bytes";
    EXPECT_LE(outcome.byteAt, size);
    EXPECT_GT(outcome.byteAt + 12, size) << "the missing field, 12 bytes at most, begins before the end";
    EXPECT_EQ(outcome.seen, static_cast<std::int64_t>(size));
  }
  EXPECT_EQ(Described(Resolve(file, ids, kRecordsAt).outcome),
            "Address Library file Data/SKSE/Plugins/version-1-5-97-0.bin: truncated at byte 44 of 44");
}

TEST(AddressLibrary, HeaderFaultsAreNamedWithWhatTheFileHolds) {
  const Bytes good = gd::WriteAddressLibrary(1, kSe, {{11045, 0x1000}});
  const std::vector<std::uint64_t> ids = {11045};
  auto with = [&](std::size_t at, std::int32_t value) {
    Bytes changed = good;
    PutInt32(changed, at, value);
    return Resolve(changed, ids).outcome;
  };
  struct Case {
    LibraryOutcome outcome;
    LibraryFault fault;
    std::size_t byteAt;
    std::int64_t seen;
  };
  const Case cases[] = {
      {with(0, 3), LibraryFault::kUnknownFormat, 0, 3},
      {with(0, 2), LibraryFault::kUnknownFormat, 0, 2},  // a format-2 file where format 1 is expected
      {with(kVersionAt + 8, 0x10061), LibraryFault::kUnknownFormat, kVersionAt + 8, 0x10061},
      {with(kVersionAt + 4, -5), LibraryFault::kUnknownFormat, kVersionAt + 4, -5},
      {with(kNameLengthAt, -1), LibraryFault::kUnknownFormat, kNameLengthAt, -1},
      {with(kNameLengthAt, 0x7FFFFFFF), LibraryFault::kTruncated, kNameAt, static_cast<std::int64_t>(good.size())},
      {with(kNameLengthAt, 11), LibraryFault::kWrongGame, kNameAt, 11},
      {with(kNameAt, 0x6D697253), LibraryFault::kWrongGame, kNameAt, 12},  // "Srim..."
      {with(kPointerSizeAt, 4), LibraryFault::kWrongPointerSize, kPointerSizeAt, 4},
      {with(kCountAt, -1), LibraryFault::kUnknownFormat, kCountAt, -1},
      {with(kCountAt, 0x7FFFFFFF), LibraryFault::kTruncated, good.size(), static_cast<std::int64_t>(good.size())},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.outcome.fault, c.fault) << Described(c.outcome);
    EXPECT_EQ(c.outcome.byteAt, c.byteAt) << Described(c.outcome);
    EXPECT_EQ(c.outcome.seen, c.seen) << Described(c.outcome);
  }

  const LibraryOutcome older = Resolve(gd::WriteAddressLibrary(1, {1, 5, 80, 0}, {{11045, 0x1000}}), ids).outcome;
  EXPECT_EQ(older.fault, LibraryFault::kWrongVersion);
  EXPECT_EQ(Described(older),
            "Address Library file Data/SKSE/Plugins/version-1-5-97-0.bin: is for SkyrimSE.exe 1.5.80.0, not 1.5.97.0");
  EXPECT_EQ(Described(older, 40), "Address Library file Data/SKSE/Plugins/");
  EXPECT_EQ(Resolve(good, ids, good.size(), 2, kSe).outcome.fault, LibraryFault::kUnknownFormat)
      << "a format-1 file where format 2 is expected";
}

TEST(AddressLibrary, RecordsNoFileCanHoldAreRefusedNotGuessed) {
  const Bytes start = {0x00, 0xE8, 0x03, 0, 0, 0, 0, 0, 0, 0x34, 0x12, 0, 0, 0, 0, 0, 0};  // id 1000 at 0x1234
  const Bytes highestId = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
  const Bytes highestOffset = {0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  struct Case {
    const Bytes& first;
    Bytes second;
    bool refused;
  };
  // Each refused record beside the nearest one that is sound.
  const Case cases[] = {
      {start, {0x08}, true},  // an id code the format does not have
      {start, {0x0F}, true},
      {start, {0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},
      {highestId, {0x61, 0x00, 0x00}, true},  // the id after the highest
      {highestId, {0x62, 0x01, 0x00, 0x00}, true},
      {highestId, {0x63, 0x01, 0x00, 0x00}, false},
      {start, {0x65, 0xE9, 0x03, 0x00, 0x00}, true},  // id 1000 - 1001
      {start, {0x65, 0xE8, 0x03, 0x00, 0x00}, false},
      {highestOffset, {0x11}, true},  // the offset after the highest
      {start, {0x51, 0x35, 0x12}, true},  // offset 0x1234 - 0x1235
      {start, {0x51, 0x34, 0x12}, false},
      {start, {0xD1, 0x47, 0x02}, true},  // 0x246 - 0x247 pointers
      {start, {0xD1, 0x46, 0x02}, false},
      {start, {0x81, 0, 0, 0, 0, 0, 0, 0, 0x20}, true},  // 2^61 pointers: 2^64 bytes
      {start, {0x81, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F}, false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    Bytes records = cases[i].first;
    records.insert(records.end(), cases[i].second.begin(), cases[i].second.end());
    const LibraryOutcome outcome = Resolve(HandMade(records, 2), {}).outcome;
    if (!cases[i].refused) {
      EXPECT_EQ(outcome.fault, LibraryFault::kNone) << "case " << i << ": " << Described(outcome);
      continue;
    }
    EXPECT_EQ(outcome.fault, LibraryFault::kUnknownFormat) << "case " << i;
    EXPECT_EQ(outcome.byteAt, kRecordsAt + cases[i].first.size()) << "case " << i;
    EXPECT_EQ(outcome.seen, cases[i].second[0]) << "case " << i;
  }
}

TEST(AddressLibrary, AnIdGivenTwiceMustKeepItsOffset) {
  const Bytes once = {0x00, 0x05, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x10, 0, 0, 0, 0, 0, 0};  // id 5 at 0x1000
  Bytes same = once;
  same.insert(same.end(), {0x31, 0x00, 0x10});  // id 5 again, 0x1000 again
  EXPECT_EQ(Resolve(HandMade(same, 2), {5}).outcome.fault, LibraryFault::kNone);
  Bytes other = once;
  other.insert(other.end(), {0x21, 0x01});  // id 6 at 0x1001, then id 5 at 0x1002
  other.insert(other.end(), {0x23, 0x01, 0x01});
  const LibraryOutcome outcome = Resolve(HandMade(other, 3), {5}).outcome;
  EXPECT_EQ(outcome.fault, LibraryFault::kUnknownFormat);
  EXPECT_EQ(outcome.id, 5u);
  EXPECT_EQ(outcome.byteAt, kRecordsAt + once.size() + 2);
  // An id not asked for may repeat: only what the plug-in uses is judged.
  EXPECT_EQ(Resolve(HandMade(other, 3), {6}).outcome.fault, LibraryFault::kNone);
}

TEST(AddressLibrary, TheFirstIdAskedForThatIsMissingOrOutsideTheImageIsNamed) {
  const Bytes file = gd::WriteAddressLibrary(2, kAe, {{10, 0x1000}, {20, kImage - 1}, {30, kImage}, {40, 0x2000}});
  auto resolve = [&](const std::vector<std::uint64_t>& ids) { return Resolve(file, ids, file.size(), 2, kAe).outcome; };
  const LibraryOutcome missing = resolve({40, 25, 30, 26});
  EXPECT_EQ(missing.fault, LibraryFault::kIdMissing);
  EXPECT_EQ(missing.id, 25u);
  EXPECT_EQ(Described(missing), "Address Library file Data/SKSE/Plugins/version-1-5-97-0.bin: has no id 25");
  const LibraryOutcome outside = resolve({20, 10, 30, 25});
  EXPECT_EQ(outside.fault, LibraryFault::kOffsetOutsideImage);
  EXPECT_EQ(outside.id, 30u);
  EXPECT_EQ(outside.offset, kImage);
  EXPECT_EQ(resolve({20, 40, 10}).fault, LibraryFault::kNone);
  // The filler records the writer puts between real ones are there, and the
  // ids around them are not.
  EXPECT_EQ(resolve({11}).fault, LibraryFault::kNone);
  EXPECT_EQ(resolve({15}).fault, LibraryFault::kIdMissing);
}

}  // namespace
}  // namespace qm::game
