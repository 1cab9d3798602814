#include "action_buffer.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace qm::swf {

void AppendU16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}

void AppendString(std::vector<std::uint8_t>& out, const std::string& text) {
  if (text.find('\0') != std::string::npos) throw std::invalid_argument("a string holds a NUL character");
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

int ConstantPool::IndexOf(const std::string& text) {
  auto found = index_.find(text);
  if (found != index_.end()) return found->second;
  // A record's length is 16 bits; strings past that are pushed inline.
  if (strings_.size() >= 0xFFFF || bytes_ + text.size() + 1 > 0xFFFF) return -1;
  const int index = static_cast<int>(strings_.size());
  strings_.push_back(text);
  bytes_ += text.size() + 1;
  index_.emplace(text, index);
  return index;
}

std::vector<std::uint8_t> ConstantPool::Record() const {
  std::vector<std::uint8_t> out;
  if (strings_.empty()) return out;
  out.push_back(op::kConstantPool);
  AppendU16(out, static_cast<unsigned>(bytes_));
  AppendU16(out, static_cast<unsigned>(strings_.size()));
  for (const auto& text : strings_) AppendString(out, text);
  return out;
}

void ActionBuffer::Op(std::uint8_t code) {
  openPush_ = SIZE_MAX;
  bytes_.push_back(code);
}

void ActionBuffer::OpWith(std::uint8_t code, const std::vector<std::uint8_t>& data) {
  if (data.size() > 0xFFFF) throw std::length_error("an action record longer than 65535 bytes");
  openPush_ = SIZE_MAX;
  bytes_.push_back(code);
  AppendU16(bytes_, static_cast<unsigned>(data.size()));
  bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ActionBuffer::Raw(const std::vector<std::uint8_t>& bytes) {
  openPush_ = SIZE_MAX;
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void ActionBuffer::PushItem(const std::vector<std::uint8_t>& item) {
  if (openPush_ != SIZE_MAX) {
    const unsigned length = bytes_[openPush_ + 1] | (bytes_[openPush_ + 2] << 8);
    if (length + item.size() <= 0xFFFF) {
      bytes_.insert(bytes_.end(), item.begin(), item.end());
      const unsigned grown = length + static_cast<unsigned>(item.size());
      bytes_[openPush_ + 1] = static_cast<std::uint8_t>(grown & 0xFF);
      bytes_[openPush_ + 2] = static_cast<std::uint8_t>(grown >> 8);
      return;
    }
  }
  const std::size_t start = bytes_.size();
  OpWith(op::kPush, item);
  openPush_ = start;
}

void ActionBuffer::PushString(const std::string& text) {
  const int index = pool_.IndexOf(text);
  std::vector<std::uint8_t> item;
  if (index < 0) {
    item.push_back(0);
    AppendString(item, text);
  } else if (index < 256) {
    item = {8, static_cast<std::uint8_t>(index)};
  } else {
    item.push_back(9);
    AppendU16(item, static_cast<unsigned>(index));
  }
  PushItem(item);
}

void ActionBuffer::PushNumber(double value) {
  std::vector<std::uint8_t> item;
  const bool whole = std::isfinite(value) && value == std::floor(value) && value >= -2147483648.0 &&
                     value <= 2147483647.0 && !(value == 0 && std::signbit(value));
  if (whole) {
    item.push_back(7);
    AppendU32(item, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
  } else {
    // AVM1 stores a double as two little-endian 32-bit halves, high half first.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    item.push_back(6);
    AppendU32(item, static_cast<std::uint32_t>(bits >> 32));
    AppendU32(item, static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
  }
  PushItem(item);
}

void ActionBuffer::PushRegister(int reg) { PushItem({4, static_cast<std::uint8_t>(reg)}); }
void ActionBuffer::PushBool(bool value) { PushItem({5, static_cast<std::uint8_t>(value ? 1 : 0)}); }
void ActionBuffer::PushNull() { PushItem({2}); }
void ActionBuffer::PushUndefined() { PushItem({3}); }
void ActionBuffer::StoreRegister(int reg) { OpWith(op::kStoreRegister, {static_cast<std::uint8_t>(reg)}); }

int ActionBuffer::NewLabel() {
  labels_.push_back(-1);
  return static_cast<int>(labels_.size() - 1);
}

void ActionBuffer::Bind(int label) {
  openPush_ = SIZE_MAX;  // a branch may land here: no push may grow across it
  labels_.at(static_cast<std::size_t>(label)) = static_cast<long>(bytes_.size());
}

void ActionBuffer::Branch(std::uint8_t code, int label) {
  OpWith(code, {0, 0});
  branches_.emplace_back(bytes_.size() - 2, label);
}

std::vector<std::uint8_t> ActionBuffer::Finish() const {
  std::vector<std::uint8_t> out = bytes_;
  for (const auto& [field, label] : branches_) {
    const long target = labels_.at(static_cast<std::size_t>(label));
    if (target < 0) throw std::logic_error("a branch to a label that was never placed");
    const long offset = target - static_cast<long>(field + 2);  // counted from the next action
    if (offset < -32768 || offset > 32767) throw std::length_error("a branch longer than 32767 bytes");
    const auto raw = static_cast<std::uint16_t>(static_cast<std::int16_t>(offset));
    out[field] = static_cast<std::uint8_t>(raw & 0xFF);
    out[field + 1] = static_cast<std::uint8_t>(raw >> 8);
  }
  return out;
}

}  // namespace qm::swf
