#include "address_library_writer.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace gd {
namespace {

using Pair = std::pair<std::uint64_t, std::uint64_t>;

constexpr char kExecutable[] = "SkyrimSE.exe";
constexpr std::uint64_t kPointer = 8;
constexpr std::uint64_t kAll = std::numeric_limits<std::uint64_t>::max();

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// One way of writing a value after `previous`: the 3-bit code of the format
// and the bytes that follow the type byte.
struct Encoding {
  bool fits;
  std::uint64_t raw;
  int bytes;
};

// Code 0: 8-byte value; 1: previous + 1; 2 and 3: previous plus or minus one
// byte; 4 and 5: plus or minus two bytes; 6: 2-byte value; 7: 4-byte value.
Encoding Encode(int code, std::uint64_t previous, std::uint64_t value) {
  const bool up = value >= previous;
  const std::uint64_t distance = up ? value - previous : previous - value;
  switch (code) {
    case 0: return {true, value, 8};
    case 1: return {up && distance == 1, 0, 0};
    case 2: return {up && distance <= 0xFF, distance, 1};
    case 3: return {!up && distance <= 0xFF, distance, 1};
    case 4: return {up && distance <= 0xFFFF, distance, 2};
    case 5: return {!up && distance <= 0xFFFF, distance, 2};
    case 6: return {value <= 0xFFFF, value, 2};
    default: return {value <= 0xFFFFFFFFu, value, 4};
  }
}

class RecordWriter {
 public:
  explicit RecordWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Write(std::uint64_t id, std::uint64_t offset) {
    int bestType = -1;
    for (int type = 0; type < 256; ++type) {
      if ((type & 0x0F) >= 8 || !Allows(type, id, offset)) continue;
      if (bestType < 0 || used_[type] < used_[bestType]) bestType = type;
    }
    const bool inPointers = (bestType & 0x80) != 0;
    const Encoding idField = Encode(bestType & 0x07, previousId_, id);
    const Encoding offsetField = inPointers ? Encode((bestType >> 4) & 0x07, previousOffset_ / kPointer, offset / kPointer)
                                            : Encode((bestType >> 4) & 0x07, previousOffset_, offset);
    out_.push_back(static_cast<std::uint8_t>(bestType));
    Put(out_, idField.raw, idField.bytes);
    Put(out_, offsetField.raw, offsetField.bytes);
    ++used_[bestType];
    previousId_ = id;
    previousOffset_ = offset;
  }

 private:
  bool Allows(int type, std::uint64_t id, std::uint64_t offset) const {
    if (!Encode(type & 0x07, previousId_, id).fits) return false;
    if ((type & 0x80) == 0) return Encode((type >> 4) & 0x07, previousOffset_, offset).fits;
    return offset % kPointer == 0 && Encode((type >> 4) & 0x07, previousOffset_ / kPointer, offset / kPointer).fits;
  }

  std::vector<std::uint8_t>& out_;
  std::array<std::uint64_t, 256> used_{};
  std::uint64_t previousId_ = 0;
  std::uint64_t previousOffset_ = 0;
};

// Ids the caller did not ask for, in the gap below `next`: the one right
// after the previous id and the one right before `next`, at offsets near the
// previous one, up and down by turns.
void AddFillers(std::vector<Pair>& records, std::uint64_t next, std::size_t& turn) {
  static constexpr std::int64_t kSteps[] = {0x28, 1, -0x10, 0x4000, -0x1F8, 0x30};
  const std::uint64_t previousId = records.empty() ? 0 : records.back().first;
  if (next == 0 || next - 1 <= previousId) return;
  std::uint64_t fillers[2] = {previousId + 1, next - 1};
  const int count = fillers[0] == fillers[1] ? 1 : 2;
  for (int i = 0; i < count; ++i) {
    const std::uint64_t from = records.empty() ? 0x1000 : records.back().second;
    const std::int64_t step = kSteps[turn++ % std::size(kSteps)];
    const bool down = step < 0 && from >= static_cast<std::uint64_t>(-step);
    const std::uint64_t offset = down ? from - static_cast<std::uint64_t>(-step)
                                      : (from <= kAll - 0x4000 ? from + static_cast<std::uint64_t>(step < 0 ? -step : step)
                                                               : from / 2);
    records.push_back({fillers[i], offset});
  }
}

}  // namespace

std::vector<std::uint8_t> WriteAddressLibrary(std::uint32_t format, const std::uint32_t (&version)[4],
                                              const std::vector<std::pair<std::uint64_t, std::uint64_t>>& idOffsets) {
  std::vector<Pair> wanted = idOffsets;
  std::sort(wanted.begin(), wanted.end());
  for (std::size_t i = 1; i < wanted.size(); ++i) {
    if (wanted[i].first == wanted[i - 1].first) throw std::invalid_argument("an id given twice");
  }
  std::vector<Pair> records;
  std::size_t turn = 0;
  for (const Pair& pair : wanted) {
    AddFillers(records, pair.first, turn);
    records.push_back(pair);
  }

  std::vector<std::uint8_t> out;
  Put(out, format, 4);
  for (std::uint32_t part : version) Put(out, part, 4);
  Put(out, sizeof kExecutable - 1, 4);
  out.insert(out.end(), kExecutable, kExecutable + sizeof kExecutable - 1);
  Put(out, kPointer, 4);
  Put(out, records.size(), 4);
  RecordWriter writer(out);
  for (const Pair& record : records) writer.Write(record.first, record.second);
  return out;
}

}  // namespace gd
