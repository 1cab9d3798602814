#pragma once
// A small module image laid out as MSVC writes type information, for the
// tests of reading a class name from another module's object.
#include <cstdint>
#include <cstring>
#include <vector>

namespace qmtest {

// Offsets are relative to the start of the buffer.
class FakeModule {
 public:
  // In memory of its own, or in the 0x400 bytes at storage.
  explicit FakeModule(const char* decorated, std::uint8_t* storage = nullptr) : bytes_(0x400 / 8, 0) {
    base_ = storage != nullptr ? storage : reinterpret_cast<std::uint8_t*>(bytes_.data());
    std::memset(base_, 0, 0x400);
    auto* base = Base();
    std::memcpy(base + kDescriptor + 0x10, decorated, std::strlen(decorated) + 1);
    Put32(kBaseClass + 0x00, kDescriptor);  // the class itself is its first base
    Put32(kBaseArray, kBaseClass);
    Put32(kHierarchy + 0x08, 1);
    Put32(kHierarchy + 0x0C, kBaseArray);
    Put32(kLocator + 0x00, 1);
    Put32(kLocator + 0x0C, kDescriptor);
    Put32(kLocator + 0x10, kHierarchy);
    Put32(kLocator + 0x14, kLocator);
    SetSlotBeforeTable(reinterpret_cast<std::uintptr_t>(base + kLocator));
    object_ = reinterpret_cast<std::uintptr_t>(base + kTable);
  }

  void Put32(std::size_t at, std::uint32_t value) { std::memcpy(Base() + at, &value, 4); }
  void PutName(std::size_t at, const char* name) { std::memcpy(Base() + at, name, std::strlen(name) + 1); }
  void SetSlotBeforeTable(std::uintptr_t value) { std::memcpy(Base() + kTable - 8, &value, 8); }
  const void* object() const { return &object_; }

  static constexpr std::size_t kDescriptor = 0x40;
  static constexpr std::size_t kHierarchy = 0x100;
  static constexpr std::size_t kBaseClass = 0x120;
  static constexpr std::size_t kBaseArray = 0x140;
  static constexpr std::size_t kLocator = 0x160;
  static constexpr std::size_t kTable = 0x200;

 private:
  std::uint8_t* Base() { return base_; }
  std::vector<std::uint64_t> bytes_;
  std::uint8_t* base_ = nullptr;
  std::uintptr_t object_ = 0;  // the object: its first word is the table
};

}  // namespace qmtest
