#include "swf_check.hpp"

#include <cstdio>
#include <set>

namespace swf {
namespace {

std::string Hex(size_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%zx", value);
  return text;
}

unsigned U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | (static_cast<uint32_t>(U16(b, at + 2)) << 16); }

// Single-byte actions the compiler writes.
// Functions nested deeper than this are reported, not followed.
constexpr int kMaxFunctionNesting = 64;

const std::set<uint8_t> kPlainActions = {0x0B, 0x0C, 0x0D, 0x12, 0x17, 0x1C, 0x1D, 0x26, 0x3D, 0x3E, 0x3F, 0x40,
                                         0x42, 0x43, 0x44, 0x47, 0x48, 0x49, 0x4C, 0x4E, 0x4F, 0x50, 0x51, 0x52,
                                         0x53, 0x54, 0x60, 0x61, 0x62, 0x63, 0x64, 0x66, 0x67};

class ActionChecker {
 public:
  ActionChecker(const std::vector<uint8_t>& file, CheckResult& result) : b_(file), result_(result) {}

  // One action list [begin, end): the top level of a DoAction.
  void TopLevel(size_t begin, size_t end) {
    pool_size_ = 0;
    Block(begin, end, 4, true);
  }

 private:
  void Fault(size_t at, const std::string& what) { result_.faults.push_back("at byte " + Hex(at) + ": " + what); }

  // Returns false when a string runs past `end`.
  bool ReadString(size_t& at, size_t end, std::string* text) {
    size_t stop = at;
    while (stop < end && b_[stop] != 0) ++stop;
    if (stop >= end) return false;
    if (text) text->assign(reinterpret_cast<const char*>(&b_[at]), stop - at);
    at = stop + 1;
    return true;
  }

  void Block(size_t begin, size_t end, int registers, bool top_level) {
    std::set<size_t> starts;
    std::vector<std::pair<size_t, size_t>> branches;  // action offset, target
    size_t at = begin;
    bool ended = false;
    while (at < end) {
      if (ended) {
        Fault(at, "action after End");
        return;
      }
      starts.insert(at);
      ++result_.action_count;
      const size_t action = at;
      const uint8_t code = b_[at++];
      if (code < 0x80) {
        if (code == 0x00) {
          if (!top_level) Fault(action, "End inside a function body");
          ended = true;
        } else if (!kPlainActions.count(code)) {
          Fault(action, "action " + Hex(code) + " is not one we write");
        }
        continue;
      }
      if (at + 2 > end) {
        Fault(action, "action " + Hex(code) + " has no room for its length");
        return;
      }
      const size_t length = U16(b_, at);
      at += 2;
      const size_t data_end = at + length;
      if (data_end > end) {
        Fault(action, "action " + Hex(code) + " of length " + std::to_string(length) + " runs past its block");
        return;
      }
      switch (code) {
        case 0x96: Push(action, at, data_end, registers); break;
        case 0x87:
          if (length != 1) Fault(action, "StoreRegister of length " + std::to_string(length));
          else if (b_[at] >= registers) Fault(action, "StoreRegister r" + std::to_string(b_[at]) + " with " + std::to_string(registers) + " registers");
          break;
        case 0x88: Pool(action, at, data_end); break;
        case 0x99:
        case 0x9D:
          if (length != 2) {
            Fault(action, "branch of length " + std::to_string(length));
          } else {
            branches.emplace_back(action, data_end + static_cast<size_t>(static_cast<int16_t>(U16(b_, at))));
          }
          break;
        case 0x8E: {
          const size_t body_end = Function(action, at, data_end, end);
          if (body_end == 0) return;
          at = body_end;
          continue;
        }
        default: Fault(action, "action " + Hex(code) + " is not one we write");
      }
      at = data_end;
    }
    if (top_level && !ended) Fault(end, "action list without End");
    for (const auto& [action, target] : branches) {
      // A branch may land on any action of its own block, or just past its last.
      if (target != end && !starts.count(target)) Fault(action, "branch to " + Hex(target) + ", not an action of its function");
    }
  }

  void Push(size_t action, size_t at, size_t end, int registers) {
    if (at == end) Fault(action, "Push without items");
    while (at < end) {
      const uint8_t type = b_[at++];
      static const int kSizes[] = {-1, 4, 0, 0, 1, 1, 8, 4, 1, 2};
      if (type > 9) {
        Fault(action, "Push item of type " + std::to_string(type));
        return;
      }
      if (type == 0) {
        if (!ReadString(at, end, nullptr)) {
          Fault(action, "Push string runs past the action");
          return;
        }
        continue;
      }
      if (at + static_cast<size_t>(kSizes[type]) > end) {
        Fault(action, "Push item of type " + std::to_string(type) + " runs past the action");
        return;
      }
      if (type == 4 && b_[at] >= registers)
        Fault(action, "Push of r" + std::to_string(b_[at]) + " with " + std::to_string(registers) + " registers");
      if (type == 5 && b_[at] > 1) Fault(action, "Push of boolean " + std::to_string(b_[at]));
      const size_t index = type == 8 ? b_[at] : type == 9 ? U16(b_, at) : 0;
      if ((type == 8 || type == 9) && index >= pool_size_)
        Fault(action, "Push of constant " + std::to_string(index) + " with a pool of " + std::to_string(pool_size_));
      at += static_cast<size_t>(kSizes[type]);
    }
  }

  void Pool(size_t action, size_t at, size_t end) {
    if (at + 2 > end) {
      Fault(action, "ConstantPool without a count");
      return;
    }
    const size_t count = U16(b_, at);
    at += 2;
    for (size_t i = 0; i < count; ++i) {
      if (!ReadString(at, end, nullptr)) {
        Fault(action, "ConstantPool holds fewer than its " + std::to_string(count) + " strings");
        return;
      }
    }
    if (at != end) Fault(action, "ConstantPool has bytes after its strings");
    pool_size_ = count;
  }

  // Checks a DefineFunction2 record and its body; returns the offset after
  // the body, or 0 when the rest of the block cannot be read.
  size_t Function(size_t action, size_t at, size_t record_end, size_t block_end) {
    FunctionInfo info;
    if (!ReadString(at, record_end, &info.name) || at + 5 > record_end) {
      Fault(action, "DefineFunction2 record cut short");
      return 0;
    }
    const unsigned count = U16(b_, at);
    info.register_count = b_[at + 2];
    const unsigned flags = U16(b_, at + 3);
    at += 5;
    // Preloaded values take r1 upwards: this, arguments, super, _root, _parent, _global.
    int preloaded = 0;
    for (unsigned bit : {0x01u, 0x04u, 0x10u, 0x40u, 0x80u, 0x100u}) preloaded += (flags & bit) ? 1 : 0;
    if (preloaded && preloaded >= info.register_count)
      Fault(action, "function '" + info.name + "' preloads " + std::to_string(preloaded) + " values into " + std::to_string(info.register_count) + " registers");
    for (unsigned i = 0; i < count; ++i) {
      if (at >= record_end) {
        Fault(action, "DefineFunction2 parameters cut short");
        return 0;
      }
      const int reg = b_[at++];
      std::string name;
      if (!ReadString(at, record_end, &name)) {
        Fault(action, "DefineFunction2 parameter name cut short");
        return 0;
      }
      if (reg >= info.register_count)
        Fault(action, "parameter '" + name + "' in r" + std::to_string(reg) + " with " + std::to_string(info.register_count) + " registers");
      else if (reg != 0 && reg <= preloaded)
        Fault(action, "parameter '" + name + "' shares r" + std::to_string(reg) + " with a preloaded value");
      info.parameters.push_back(name);
    }
    if (at + 2 != record_end) {
      Fault(action, "DefineFunction2 record length does not match its fields");
      return 0;
    }
    if (nesting_ >= kMaxFunctionNesting) {
      Fault(action, "functions nested more than " + std::to_string(kMaxFunctionNesting) + " deep");
      return 0;
    }
    info.body_size = U16(b_, at);
    const size_t body_begin = record_end, body_end = record_end + info.body_size;
    if (body_end > block_end) {
      Fault(action, "function '" + info.name + "' body runs past its enclosing block");
      return 0;
    }
    result_.functions.push_back(info);
    ++nesting_;
    Block(body_begin, body_end, info.register_count, false);
    --nesting_;
    return body_end;
  }

  const std::vector<uint8_t>& b_;
  CheckResult& result_;
  size_t pool_size_ = 0;
  int nesting_ = 0;
};

}  // namespace

CheckResult CheckMovie(const std::vector<uint8_t>& b) {
  CheckResult result;
  auto fault = [&](size_t at, const std::string& what) { result.faults.push_back("at byte " + Hex(at) + ": " + what); };
  if (b.size() < 8 || b[1] != 'W' || b[2] != 'S' || (b[0] != 'F' && b[0] != 'C' && b[0] != 'Z')) {
    fault(0, "not a SWF file");
    return result;
  }
  if (b[0] != 'F') {
    fault(0, "compressed SWF: only uncompressed files are checked");
    return result;
  }
  result.version = b[3];
  if (U32(b, 4) != b.size()) fault(4, "header says " + std::to_string(U32(b, 4)) + " bytes, file has " + std::to_string(b.size()));
  if (b.size() < 9) {
    fault(8, "no stage rectangle");
    return result;
  }
  const int bits = b[8] >> 3;
  const size_t rect_bytes = (5 + 4 * static_cast<size_t>(bits) + 7) / 8;
  if (8 + rect_bytes + 4 > b.size()) {
    fault(8, "header cut short");
    return result;
  }
  auto field = [&](int index) {
    int64_t value = 0;
    for (int i = 0; i < bits; ++i) {
      const size_t bit = 5 + static_cast<size_t>(index * bits + i);
      value = (value << 1) | ((b[8 + bit / 8] >> (7 - bit % 8)) & 1);
    }
    if (bits && (value >> (bits - 1)) & 1) value -= int64_t{1} << bits;  // signed
    return value;
  };
  result.width = static_cast<int>((field(1) - field(0)) / 20);
  result.height = static_cast<int>((field(3) - field(2)) / 20);
  size_t at = 8 + rect_bytes;
  result.frame_count = static_cast<int>(U16(b, at + 2));
  at += 4;

  ActionChecker actions(b, result);
  int shown = 0;
  bool ended = false;
  while (at < b.size()) {
    const size_t tag = at;
    if (at + 2 > b.size()) {
      fault(tag, "tag header cut short");
      return result;
    }
    const unsigned code = U16(b, at) >> 6;
    size_t length = U16(b, at) & 63;
    at += 2;
    if (length == 63) {
      if (at + 4 > b.size()) {
        fault(tag, "long tag header cut short");
        return result;
      }
      length = U32(b, at);
      at += 4;
    }
    if (at + length > b.size()) {
      fault(tag, "tag " + std::to_string(code) + " of length " + std::to_string(length) + " runs past the file");
      return result;
    }
    if (code == 0) {
      ended = true;
      if (at + length != b.size()) fault(tag, "bytes after the End tag");
      break;
    }
    if (code == 1) ++shown;
    if (code == 12) actions.TopLevel(at, at + length);
    if (code == 59) {
      if (length < 2) fault(tag, "DoInitAction without a sprite id");
      else actions.TopLevel(at + 2, at + length);
    }
    at += length;
  }
  if (!ended) fault(b.size(), "no End tag");
  if (shown != result.frame_count)
    fault(8 + rect_bytes + 2, "header says " + std::to_string(result.frame_count) + " frames, " + std::to_string(shown) + " shown");
  return result;
}

}  // namespace swf
