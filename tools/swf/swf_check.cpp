#include "swf_check.h"

#include "action_list_check.h"
#include "file_bytes.h"

namespace qm::swf {

CheckResult CheckMovie(const std::vector<std::uint8_t>& file) {
  CheckResult result;
  auto fault = [&](std::size_t at, const std::string& what) { AddFault(result, at, what); };
  if (file.size() < 8 || file[1] != 'W' || file[2] != 'S' || (file[0] != 'F' && file[0] != 'C' && file[0] != 'Z')) {
    fault(0, "not a SWF file");
    return result;
  }
  if (file[0] != 'F') {
    fault(0, "compressed SWF: only uncompressed files are checked");
    return result;
  }
  result.version = file[3];
  if (U32(file, 4) != file.size())
    fault(4, "header says " + std::to_string(U32(file, 4)) + " bytes, file has " + std::to_string(file.size()));
  if (file.size() < 9) {
    fault(8, "no stage rectangle");
    return result;
  }
  const int bits = file[8] >> 3;
  const std::size_t rectBytes = (5 + 4 * static_cast<std::size_t>(bits) + 7) / 8;
  if (8 + rectBytes + 4 > file.size()) {
    fault(8, "header cut short");
    return result;
  }
  auto field = [&](int index) {
    std::int64_t value = 0;
    for (int i = 0; i < bits; ++i) {
      const std::size_t bit = 5 + static_cast<std::size_t>(index * bits + i);
      value = (value << 1) | ((file[8 + bit / 8] >> (7 - bit % 8)) & 1);
    }
    if (bits && (value >> (bits - 1)) & 1) value -= std::int64_t{1} << bits;  // signed
    return value;
  };
  result.width = static_cast<int>((field(1) - field(0)) / 20);
  result.height = static_cast<int>((field(3) - field(2)) / 20);
  std::size_t at = 8 + rectBytes;
  result.frameCount = static_cast<int>(U16(file, at + 2));
  at += 4;

  int shown = 0;
  bool ended = false;
  while (at < file.size()) {
    const std::size_t tag = at;
    if (at + 2 > file.size()) {
      fault(tag, "tag header cut short");
      return result;
    }
    const unsigned code = U16(file, at) >> 6;
    std::size_t length = U16(file, at) & 63;
    at += 2;
    if (length == 63) {
      if (at + 4 > file.size()) {
        fault(tag, "long tag header cut short");
        return result;
      }
      length = U32(file, at);
      at += 4;
    }
    if (at + length > file.size()) {
      fault(tag, "tag " + std::to_string(code) + " of length " + std::to_string(length) + " runs past the file");
      return result;
    }
    if (code == 0) {
      ended = true;
      if (at + length != file.size()) fault(tag, "bytes after the End tag");
      break;
    }
    if (code == 1) ++shown;
    if (code == 12) CheckActionList(file, at, at + length, result);
    if (code == 59) {
      if (length < 2) fault(tag, "DoInitAction without a sprite id");
      else CheckActionList(file, at + 2, at + length, result);
    }
    at += length;
  }
  if (!ended) fault(file.size(), "no End tag");
  if (shown != result.frameCount)
    fault(8 + rectBytes + 2,
          "header says " + std::to_string(result.frameCount) + " frames, " + std::to_string(shown) + " shown");
  return result;
}

}  // namespace qm::swf
