// Writes AVM1 action records into a byte buffer: plain actions, pushes
// (consecutive pushes share one record), and branches to labels that are
// resolved when the buffer is finished.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace swf {

// Action codes the compiler writes; the checker accepts exactly these.
namespace op {
constexpr uint8_t End = 0x00, Subtract = 0x0B, Multiply = 0x0C, Divide = 0x0D, Not = 0x12, Pop = 0x17,
                  GetVariable = 0x1C, SetVariable = 0x1D, Trace = 0x26, CallFunction = 0x3D, Return = 0x3E,
                  Modulo = 0x3F, NewObject = 0x40, InitArray = 0x42, InitObject = 0x43, TypeOf = 0x44, Add2 = 0x47,
                  Less2 = 0x48, Equals2 = 0x49, PushDuplicate = 0x4C, GetMember = 0x4E, SetMember = 0x4F,
                  Increment = 0x50, Decrement = 0x51, CallMethod = 0x52, NewMethod = 0x53, InstanceOf = 0x54,
                  BitAnd = 0x60, BitOr = 0x61, BitXor = 0x62, BitLShift = 0x63, BitRShift = 0x64,
                  StrictEquals = 0x66, Greater = 0x67, StoreRegister = 0x87, ConstantPool = 0x88,
                  DefineFunction2 = 0x8E, Push = 0x96, Jump = 0x99, If = 0x9D;
}  // namespace op

// Strings shared by every push of one action list (the ConstantPool record).
class ConstantPool {
 public:
  // The pool index of text, or -1 when the pool is full and the text must be pushed inline.
  int IndexOf(const std::string& text);
  std::vector<uint8_t> Record() const;  // empty when no string was pooled
  size_t size() const { return strings_.size(); }

 private:
  std::map<std::string, int> index_;
  std::vector<std::string> strings_;
  size_t bytes_ = 2;
};

class ActionBuffer {
 public:
  explicit ActionBuffer(ConstantPool& pool) : pool_(pool) {}

  void Op(uint8_t code);
  void OpWith(uint8_t code, const std::vector<uint8_t>& data);
  void Raw(const std::vector<uint8_t>& bytes);  // an already finished block (a function's record and body)

  void PushString(const std::string& text);
  void PushNumber(double value);
  void PushRegister(int reg);
  void PushBool(bool value);
  void PushNull();
  void PushUndefined();
  void StoreRegister(int reg);

  int NewLabel();
  void Bind(int label);
  void Jump(int label) { Branch(op::Jump, label); }
  void If(int label) { Branch(op::If, label); }

  // Resolves the branches; every label used must be bound. Throws std::logic_error otherwise.
  std::vector<uint8_t> Finish() const;

 private:
  void Branch(uint8_t code, int label);
  void PushItem(const std::vector<uint8_t>& item);

  ConstantPool& pool_;
  std::vector<uint8_t> bytes_;
  size_t open_push_ = SIZE_MAX;  // offset of a push record that later items may join
  std::vector<long> labels_;
  std::vector<std::pair<size_t, int>> branches_;  // offset of the branch's 16-bit field, label
};

void AppendU16(std::vector<uint8_t>& out, unsigned value);
void AppendU32(std::vector<uint8_t>& out, uint32_t value);
void AppendString(std::vector<uint8_t>& out, const std::string& text);  // with its NUL

}  // namespace swf
