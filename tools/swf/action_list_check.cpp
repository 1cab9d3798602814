#include "action_list_check.h"

#include "action_codes.h"
#include "file_bytes.h"

#include <set>

namespace qm::swf {
namespace {

// Functions nested deeper than this are reported, not followed.
constexpr int kMaxFunctionNesting = 64;

// Single-byte actions the compiler writes.
const std::set<std::uint8_t> kPlainActions = {
    op::kSubtract,      op::kMultiply,     op::kDivide,       op::kNot,       op::kPop,       op::kGetVariable,
    op::kSetVariable,   op::kTrace,        op::kCallFunction, op::kReturn,    op::kModulo,    op::kNewObject,
    op::kInitArray,     op::kInitObject,   op::kTypeOf,       op::kAdd2,      op::kLess2,     op::kEquals2,
    op::kPushDuplicate, op::kGetMember,    op::kSetMember,    op::kIncrement, op::kDecrement, op::kCallMethod,
    op::kNewMethod,     op::kInstanceOf,   op::kBitAnd,       op::kBitOr,     op::kBitXor,    op::kBitLShift,
    op::kBitRShift,     op::kStrictEquals, op::kGreater};

class ActionChecker {
 public:
  ActionChecker(const std::vector<std::uint8_t>& file, CheckResult& result) : file_(file), result_(result) {}

  // One action list [begin, end): the top level of a DoAction.
  void TopLevel(std::size_t begin, std::size_t end) {
    poolSize_ = 0;
    Block(begin, end, 4, true);
  }

 private:
  void Fault(std::size_t at, const std::string& what) { AddFault(result_, at, what); }

  // Returns false when a string runs past `end`.
  bool ReadString(std::size_t& at, std::size_t end, std::string* text) {
    std::size_t stop = at;
    while (stop < end && file_[stop] != 0) ++stop;
    if (stop >= end) return false;
    if (text) text->assign(reinterpret_cast<const char*>(&file_[at]), stop - at);
    at = stop + 1;
    return true;
  }

  void Block(std::size_t begin, std::size_t end, int registers, bool topLevel) {
    std::set<std::size_t> starts;
    std::vector<std::pair<std::size_t, std::size_t>> branches;  // action offset, target
    std::size_t at = begin;
    bool ended = false;
    while (at < end) {
      if (ended) {
        Fault(at, "action after End");
        return;
      }
      starts.insert(at);
      ++result_.actionCount;
      const std::size_t action = at;
      const std::uint8_t code = file_[at++];
      if (code < 0x80) {
        if (code == op::kEnd) {
          if (!topLevel) Fault(action, "End inside a function body");
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
      const std::size_t length = U16(file_, at);
      at += 2;
      const std::size_t dataEnd = at + length;
      if (dataEnd > end) {
        Fault(action, "action " + Hex(code) + " of length " + std::to_string(length) + " runs past its block");
        return;
      }
      switch (code) {
        case op::kPush: Push(action, at, dataEnd, registers); break;
        case op::kStoreRegister:
          if (length != 1) {
            Fault(action, "StoreRegister of length " + std::to_string(length));
          } else if (file_[at] >= registers) {
            Fault(action,
                  "StoreRegister r" + std::to_string(file_[at]) + " with " + std::to_string(registers) + " registers");
          }
          break;
        case op::kConstantPool: Pool(action, at, dataEnd); break;
        case op::kGetUrl2:
          if (length != 1 || file_[at] != 0x00) Fault(action, "GetURL2 other than a movie load (flags 0)");
          break;
        case op::kJump:
        case op::kIf:
          if (length != 2) {
            Fault(action, "branch of length " + std::to_string(length));
          } else {
            branches.emplace_back(action,
                                  dataEnd + static_cast<std::size_t>(static_cast<std::int16_t>(U16(file_, at))));
          }
          break;
        case op::kDefineFunction2: {
          const std::size_t bodyEnd = Function(action, at, dataEnd, end);
          if (bodyEnd == 0) return;
          at = bodyEnd;
          continue;
        }
        default: Fault(action, "action " + Hex(code) + " is not one we write");
      }
      at = dataEnd;
    }
    if (topLevel && !ended) Fault(end, "action list without End");
    for (const auto& [action, target] : branches) {
      // A branch may land on any action of its own block, or just past its last.
      if (target != end && !starts.count(target))
        Fault(action, "branch to " + Hex(target) + ", not an action of its function");
    }
  }

  void Push(std::size_t action, std::size_t at, std::size_t end, int registers) {
    if (at == end) Fault(action, "Push without items");
    while (at < end) {
      const std::uint8_t type = file_[at++];
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
      if (at + static_cast<std::size_t>(kSizes[type]) > end) {
        Fault(action, "Push item of type " + std::to_string(type) + " runs past the action");
        return;
      }
      if (type == 4 && file_[at] >= registers)
        Fault(action, "Push of r" + std::to_string(file_[at]) + " with " + std::to_string(registers) + " registers");
      if (type == 5 && file_[at] > 1) Fault(action, "Push of boolean " + std::to_string(file_[at]));
      const std::size_t index = type == 8 ? file_[at] : type == 9 ? U16(file_, at) : 0;
      if ((type == 8 || type == 9) && index >= poolSize_)
        Fault(action, "Push of constant " + std::to_string(index) + " with a pool of " + std::to_string(poolSize_));
      at += static_cast<std::size_t>(kSizes[type]);
    }
  }

  void Pool(std::size_t action, std::size_t at, std::size_t end) {
    if (at + 2 > end) {
      Fault(action, "ConstantPool without a count");
      return;
    }
    const std::size_t count = U16(file_, at);
    at += 2;
    for (std::size_t i = 0; i < count; ++i) {
      if (!ReadString(at, end, nullptr)) {
        Fault(action, "ConstantPool holds fewer than its " + std::to_string(count) + " strings");
        return;
      }
    }
    if (at != end) Fault(action, "ConstantPool has bytes after its strings");
    poolSize_ = count;
  }

  // Checks a DefineFunction2 record and its body; returns the offset after
  // the body, or 0 when the rest of the block cannot be read.
  std::size_t Function(std::size_t action, std::size_t at, std::size_t recordEnd, std::size_t blockEnd) {
    FunctionInfo info;
    if (!ReadString(at, recordEnd, &info.name) || at + 5 > recordEnd) {
      Fault(action, "DefineFunction2 record cut short");
      return 0;
    }
    const unsigned count = U16(file_, at);
    info.registerCount = file_[at + 2];
    const unsigned flags = U16(file_, at + 3);
    at += 5;
    // Preloaded values take r1 upwards: this, arguments, super, _root, _parent, _global.
    int preloaded = 0;
    for (unsigned bit : {0x01u, 0x04u, 0x10u, 0x40u, 0x80u, 0x100u}) preloaded += (flags & bit) ? 1 : 0;
    if (preloaded && preloaded >= info.registerCount)
      Fault(action, "function '" + info.name + "' preloads " + std::to_string(preloaded) + " values into " +
                        std::to_string(info.registerCount) + " registers");
    for (unsigned i = 0; i < count; ++i) {
      if (at >= recordEnd) {
        Fault(action, "DefineFunction2 parameters cut short");
        return 0;
      }
      const int reg = file_[at++];
      std::string name;
      if (!ReadString(at, recordEnd, &name)) {
        Fault(action, "DefineFunction2 parameter name cut short");
        return 0;
      }
      if (reg >= info.registerCount) {
        Fault(action, "parameter '" + name + "' in r" + std::to_string(reg) + " with " +
                          std::to_string(info.registerCount) + " registers");
      } else if (reg != 0 && reg <= preloaded) {
        Fault(action, "parameter '" + name + "' shares r" + std::to_string(reg) + " with a preloaded value");
      }
      info.parameters.push_back(name);
    }
    if (at + 2 != recordEnd) {
      Fault(action, "DefineFunction2 record length does not match its fields");
      return 0;
    }
    if (nesting_ >= kMaxFunctionNesting) {
      Fault(action, "functions nested more than " + std::to_string(kMaxFunctionNesting) + " deep");
      return 0;
    }
    info.bodySize = U16(file_, at);
    const std::size_t bodyBegin = recordEnd, bodyEnd = recordEnd + info.bodySize;
    if (bodyEnd > blockEnd) {
      Fault(action, "function '" + info.name + "' body runs past its enclosing block");
      return 0;
    }
    result_.functions.push_back(info);
    ++nesting_;
    Block(bodyBegin, bodyEnd, info.registerCount, false);
    --nesting_;
    return bodyEnd;
  }

  const std::vector<std::uint8_t>& file_;
  CheckResult& result_;
  std::size_t poolSize_ = 0;
  int nesting_ = 0;
};

}  // namespace

void CheckActionList(const std::vector<std::uint8_t>& file, std::size_t begin, std::size_t end, CheckResult& result) {
  ActionChecker(file, result).TopLevel(begin, end);
}

}  // namespace qm::swf
