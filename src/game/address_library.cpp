#include "game/address_library.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>

namespace qm::game {
namespace {

constexpr char kGameName[] = "SkyrimSE.exe";
constexpr std::size_t kGameNameLength = sizeof kGameName - 1;
constexpr std::uint64_t kPointerSize = 8;
constexpr std::uint64_t kMaxValue = std::numeric_limits<std::uint64_t>::max();
// A version part is a 16-bit word of the executable's version resource.
constexpr std::int64_t kMaxVersionPart = 0xFFFF;
// Ids looked for per pass over the records, kept sorted on the stack; a
// longer request takes another pass.
constexpr std::size_t kIdsPerPass = 128;

// How a field follows from the previous record's value, by its 3-bit code.
enum FieldCode : std::uint8_t {
  kLiteral64 = 0,
  kNext = 1,
  kPlus8 = 2,
  kMinus8 = 3,
  kPlus16 = 4,
  kMinus16 = 5,
  kLiteral16 = 6,
  kLiteral32 = 7,
};
constexpr std::size_t kFieldWidth[8] = {8, 0, 1, 1, 2, 2, 2, 4};
constexpr std::uint8_t kIdCodeMask = 0x0F;
constexpr std::uint8_t kOffsetCodeShift = 4;
constexpr std::uint8_t kOffsetCodeMask = 0x07;
constexpr std::uint8_t kOffsetInPointers = 0x80;

LibraryOutcome Clean() { return {LibraryFault::kNone, 0, 0, 0, 0}; }

LibraryOutcome Malformed(std::size_t at, std::int64_t seen) {
  return {LibraryFault::kUnknownFormat, 0, 0, at, seen};
}

// Little-endian fields from a buffer that ends at `size`: every read is
// checked first, and a field that does not fit is reported where it begins.
class Cursor {
 public:
  Cursor(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

  std::size_t at() const { return at_; }
  bool Fits(std::size_t count) const { return size_ - at_ >= count; }
  LibraryOutcome Truncated() const {
    return {LibraryFault::kTruncated, 0, 0, at_, static_cast<std::int64_t>(size_)};
  }

  // Only after Fits(width).
  std::uint64_t Take(std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value |= static_cast<std::uint64_t>(bytes_[at_ + i]) << (8 * i);
    at_ += width;
    return value;
  }
  std::int32_t TakeInt32() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(Take(4))); }
  bool Matches(const char* text, std::size_t length) const { return std::memcmp(bytes_ + at_, text, length) == 0; }
  void Skip(std::size_t count) { at_ += count; }

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// The value a field stands for, from the previous one and the raw bytes;
// false when it would leave 64 bits (no real file wraps around, and a value
// that did could only be a guess).
bool Follow(std::uint8_t code, std::uint64_t previous, std::uint64_t raw, std::uint64_t* value) {
  switch (code) {
    case kLiteral64:
    case kLiteral16:
    case kLiteral32: *value = raw; return true;
    case kNext: raw = 1; [[fallthrough]];
    case kPlus8:
    case kPlus16:
      if (raw > kMaxValue - previous) return false;
      *value = previous + raw;
      return true;
    case kMinus8:
    case kMinus16:
      if (raw > previous) return false;
      *value = previous - raw;
      return true;
    default: return false;
  }
}

struct Header {
  std::uint64_t records = 0;
};

// The header, field by field in file order; a field is judged as soon as it
// is read, so a file for another runtime says so even when cut further on.
// `version` null: any version.
LibraryOutcome ReadHeader(Cursor& in, std::uint32_t format, const std::uint32_t* version, Header* header) {
  if (!in.Fits(4)) return in.Truncated();
  const std::int32_t fileFormat = in.TakeInt32();
  if ((fileFormat != 1 && fileFormat != 2) || static_cast<std::uint32_t>(fileFormat) != format) {
    return Malformed(0, fileFormat);
  }
  std::int64_t fileVersion[4] = {};
  for (std::int64_t& part : fileVersion) {
    if (!in.Fits(4)) return in.Truncated();
    const std::size_t at = in.at();
    part = in.TakeInt32();
    if (part < 0 || part > kMaxVersionPart) return Malformed(at, part);
  }
  if (version != nullptr && !std::equal(fileVersion, fileVersion + 4, version)) {
    std::uint64_t fileWord = 0;
    std::uint64_t runtimeWord = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      fileWord = fileWord << 16 | static_cast<std::uint64_t>(fileVersion[i]);
      runtimeWord = runtimeWord << 16 | std::min<std::uint64_t>(version[i], kMaxVersionPart);
    }
    return {LibraryFault::kWrongVersion, runtimeWord, 0, 0, static_cast<std::int64_t>(fileWord)};
  }
  if (!in.Fits(4)) return in.Truncated();
  const std::size_t lengthAt = in.at();
  const std::int32_t nameLength = in.TakeInt32();
  if (nameLength < 0) return Malformed(lengthAt, nameLength);
  const auto length = static_cast<std::size_t>(nameLength);
  if (!in.Fits(length)) return in.Truncated();
  if (length != kGameNameLength || !in.Matches(kGameName, length)) {
    return {LibraryFault::kWrongGame, 0, 0, in.at(), nameLength};
  }
  in.Skip(length);
  if (!in.Fits(4)) return in.Truncated();
  const std::size_t pointerAt = in.at();
  const std::int32_t pointerSize = in.TakeInt32();
  if (pointerSize != static_cast<std::int32_t>(kPointerSize)) return {LibraryFault::kWrongPointerSize, 0, 0, pointerAt, pointerSize};
  if (!in.Fits(4)) return in.Truncated();
  const std::size_t countAt = in.at();
  const std::int32_t count = in.TakeInt32();
  if (count < 0) return Malformed(countAt, count);
  header->records = static_cast<std::uint64_t>(count);
  return Clean();
}

// Every record in file order, each handed to `keep(id, offset)`; a false
// answer means the record contradicts one kept before.
template <class Keep>
LibraryOutcome DecodeRecords(Cursor& in, std::uint64_t records, Keep& keep) {
  std::uint64_t previousId = 0;
  std::uint64_t previousOffset = 0;
  for (std::uint64_t r = 0; r < records; ++r) {
    const std::size_t at = in.at();
    if (!in.Fits(1)) return in.Truncated();
    const auto type = static_cast<std::uint8_t>(in.Take(1));
    const auto idCode = static_cast<std::uint8_t>(type & kIdCodeMask);
    const auto offsetCode = static_cast<std::uint8_t>((type >> kOffsetCodeShift) & kOffsetCodeMask);
    const bool inPointers = (type & kOffsetInPointers) != 0;
    if (idCode >= 8) return Malformed(at, type);

    if (!in.Fits(kFieldWidth[idCode])) return in.Truncated();
    std::uint64_t id = 0;
    if (!Follow(idCode, previousId, in.Take(kFieldWidth[idCode]), &id)) return Malformed(at, type);

    if (!in.Fits(kFieldWidth[offsetCode])) return in.Truncated();
    // Counted in pointers, the previous offset is whole pointers too, the
    // remainder dropped, and the result is scaled back to bytes.
    const std::uint64_t base = inPointers ? previousOffset / kPointerSize : previousOffset;
    std::uint64_t offset = 0;
    if (!Follow(offsetCode, base, in.Take(kFieldWidth[offsetCode]), &offset)) return Malformed(at, type);
    if (inPointers) {
      if (offset > kMaxValue / kPointerSize) return Malformed(at, type);
      offset *= kPointerSize;
    }

    if (!keep(id, offset)) return {LibraryFault::kUnknownFormat, id, 0, at, type};
    previousId = id;
    previousOffset = offset;
  }
  return Clean();
}

struct Wanted {
  std::uint64_t id;
  std::uint64_t offset;
  bool found;
};

// The ids of one pass, sorted, with what the records say of them. An id the
// file gives twice must give the same offset both times.
class WantedIds {
 public:
  WantedIds(const std::uint64_t* ids, std::size_t count) : count_(count) {
    for (std::size_t i = 0; i < count; ++i) wanted_[i] = {ids[i], 0, false};
    std::sort(wanted_, wanted_ + count_, [](const Wanted& a, const Wanted& b) { return a.id < b.id; });
    lowest_ = count_ > 0 ? wanted_[0].id : 1;
    highest_ = count_ > 0 ? wanted_[count_ - 1].id : 0;
  }

  bool operator()(std::uint64_t id, std::uint64_t offset) {
    if (id < lowest_ || id > highest_) return true;
    // An id asked for twice is kept twice: both entries stay side by side.
    for (Wanted* it = Find(id); it != wanted_ + count_ && it->id == id; ++it) {
      if (it->found && it->offset != offset) return false;
      it->found = true;
      it->offset = offset;
    }
    return true;
  }

  const Wanted& Of(std::uint64_t id) { return *Find(id); }

 private:
  Wanted* Find(std::uint64_t id) {
    return std::lower_bound(wanted_, wanted_ + count_, id, [](const Wanted& w, std::uint64_t key) { return w.id < key; });
  }

  Wanted wanted_[kIdsPerPass];
  std::size_t count_;
  std::uint64_t lowest_;
  std::uint64_t highest_;
};

// One pass: the records decoded for the ids [first, first + count) of the
// request, then those ids judged in the order asked.
LibraryOutcome ResolvePass(Cursor in, std::uint64_t records, const LibraryRequest& request, std::size_t first,
                           std::size_t count) {
  WantedIds wanted(request.ids + first, count);
  if (const LibraryOutcome decoded = DecodeRecords(in, records, wanted); decoded.fault != LibraryFault::kNone) {
    return decoded;
  }
  for (std::size_t i = first; i < first + count; ++i) {
    const Wanted& entry = wanted.Of(request.ids[i]);
    if (!entry.found) return {LibraryFault::kIdMissing, entry.id, 0, 0, 0};
    if (entry.offset >= request.imageSize) {
      return {LibraryFault::kOffsetOutsideImage, entry.id, entry.offset, 0,
              static_cast<std::int64_t>(std::min<std::uint64_t>(request.imageSize, std::numeric_limits<std::int64_t>::max()))};
    }
    request.offsets[i] = entry.offset;
  }
  return Clean();
}

}  // namespace

LibraryOutcome ResolveAddressLibraryIds(const std::uint8_t* bytes, std::size_t size, const LibraryRequest& request) {
  Cursor in(bytes, size);
  Header header;
  if (const LibraryOutcome read = ReadHeader(in, request.format, request.version, &header);
      read.fault != LibraryFault::kNone) {
    return read;
  }
  // Even a request for nothing decodes the records once: a file that is
  // broken further on is reported now, not at the first real use.
  std::size_t first = 0;
  do {
    const std::size_t count = std::min(kIdsPerPass, request.idCount - first);
    if (const LibraryOutcome pass = ResolvePass(in, header.records, request, first, count);
        pass.fault != LibraryFault::kNone) {
      return pass;
    }
    first += count;
  } while (first < request.idCount);
  return Clean();
}

LibraryOutcome MeasureAddressLibrary(const std::uint8_t* bytes, std::size_t size, std::uint32_t format,
                                     LibraryTableExtent* extent) {
  Cursor in(bytes, size);
  Header header;
  if (const LibraryOutcome read = ReadHeader(in, format, nullptr, &header); read.fault != LibraryFault::kNone) {
    return read;
  }
  auto keepNothing = [](std::uint64_t, std::uint64_t) { return true; };
  if (const LibraryOutcome decoded = DecodeRecords(in, header.records, keepNothing);
      decoded.fault != LibraryFault::kNone) {
    return decoded;
  }
  *extent = {header.records, in.at()};
  return Clean();
}

namespace {

// "1.5.97.0" from four 16-bit parts, major first.
void VersionText(std::uint64_t word, char* out, std::size_t outSize) {
  std::snprintf(out, outSize, "%u.%u.%u.%u", static_cast<unsigned>(word >> 48 & 0xFFFF),
                static_cast<unsigned>(word >> 32 & 0xFFFF), static_cast<unsigned>(word >> 16 & 0xFFFF),
                static_cast<unsigned>(word & 0xFFFF));
}

}  // namespace

void DescribeLibraryOutcome(const LibraryOutcome& outcome, const char* path, char* out, std::size_t outSize) {
  if (out == nullptr || outSize == 0) return;
  const char* file = path != nullptr ? path : "";
  const auto at = static_cast<unsigned long long>(outcome.byteAt);
  const auto seen = static_cast<long long>(outcome.seen);
  const auto id = static_cast<unsigned long long>(outcome.id);
  char fileVersion[32] = {};
  char runtimeVersion[32] = {};
  switch (outcome.fault) {
    case LibraryFault::kNone: std::snprintf(out, outSize, "Address Library file %s: every id found", file); return;
    case LibraryFault::kNoFile: std::snprintf(out, outSize, "Address Library file %s: no such file", file); return;
    case LibraryFault::kUnreadable: std::snprintf(out, outSize, "Address Library file %s: cannot be read", file); return;
    case LibraryFault::kTruncated:
      std::snprintf(out, outSize, "Address Library file %s: truncated at byte %llu of %lld", file, at, seen);
      return;
    case LibraryFault::kUnknownFormat:
      if (outcome.id != 0) {
        std::snprintf(out, outSize, "Address Library file %s: gives id %llu twice, with different offsets (again at byte %llu)",
                      file, id, at);
      } else if (outcome.byteAt == 0) {
        std::snprintf(out, outSize, "Address Library file %s: is of format %lld, not the one its name announces", file,
                      seen);
      } else {
        std::snprintf(out, outSize, "Address Library file %s: is malformed at byte %llu (value %lld)", file, at, seen);
      }
      return;
    case LibraryFault::kWrongGame:
      std::snprintf(out, outSize, "Address Library file %s: is not for %s (its %lld-byte name at byte %llu)", file,
                    kGameName, seen, at);
      return;
    case LibraryFault::kWrongVersion:
      VersionText(static_cast<std::uint64_t>(outcome.seen), fileVersion, sizeof fileVersion);
      VersionText(outcome.id, runtimeVersion, sizeof runtimeVersion);
      std::snprintf(out, outSize, "Address Library file %s: is for %s %s, not %s", file, kGameName, fileVersion,
                    runtimeVersion);
      return;
    case LibraryFault::kWrongPointerSize:
      std::snprintf(out, outSize, "Address Library file %s: counts pointers of %lld bytes, not %lld (at byte %llu)",
                    file, seen, static_cast<long long>(kPointerSize), at);
      return;
    case LibraryFault::kIdMissing: std::snprintf(out, outSize, "Address Library file %s: has no id %llu", file, id); return;
    case LibraryFault::kOffsetOutsideImage:
      std::snprintf(out, outSize,
                    "Address Library file %s: places id %llu at offset 0x%llX, outside the game's image of 0x%llX bytes",
                    file, id, static_cast<unsigned long long>(outcome.offset), static_cast<unsigned long long>(seen));
      return;
  }
  std::snprintf(out, outSize, "Address Library file %s: fault %u", file, static_cast<unsigned>(outcome.fault));
}

}  // namespace qm::game
