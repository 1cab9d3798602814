#pragma once
// Writes AVM1 action records into a byte buffer: plain actions, pushes
// (consecutive pushes share one record), and branches to labels that are
// resolved when the buffer is finished.
#include "action_codes.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qm::swf {

// Strings shared by every push of one action list (the ConstantPool record).
class ConstantPool {
 public:
  // The pool index of text, or -1 when the pool is full and the text must be pushed inline.
  int IndexOf(const std::string& text);
  std::vector<std::uint8_t> Record() const;  // empty when no string was pooled
  std::size_t Size() const { return strings_.size(); }

 private:
  std::map<std::string, int> index_;
  std::vector<std::string> strings_;
  std::size_t bytes_ = 2;
};

class ActionBuffer {
 public:
  explicit ActionBuffer(ConstantPool& pool) : pool_(pool) {}

  void Op(std::uint8_t code);
  void OpWith(std::uint8_t code, const std::vector<std::uint8_t>& data);
  void Raw(const std::vector<std::uint8_t>& bytes);  // an already finished block (a function's record and body)

  void PushString(const std::string& text);
  void PushNumber(double value);
  void PushRegister(int reg);
  void PushBool(bool value);
  void PushNull();
  void PushUndefined();
  void StoreRegister(int reg);

  int NewLabel();
  void Bind(int label);
  void Jump(int label) { Branch(op::kJump, label); }
  void If(int label) { Branch(op::kIf, label); }

  // Resolves the branches; every label used must be bound. Throws std::logic_error otherwise.
  std::vector<std::uint8_t> Finish() const;

 private:
  void Branch(std::uint8_t code, int label);
  void PushItem(const std::vector<std::uint8_t>& item);

  ConstantPool& pool_;
  std::vector<std::uint8_t> bytes_;
  std::size_t openPush_ = SIZE_MAX;  // offset of a push record that later items may join
  std::vector<long> labels_;
  std::vector<std::pair<std::size_t, int>> branches_;  // offset of the branch's 16-bit field, label
};

void AppendU16(std::vector<std::uint8_t>& out, unsigned value);
void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value);
void AppendString(std::vector<std::uint8_t>& out, const std::string& text);  // with its NUL

}  // namespace qm::swf
