// Reading MSVC's run-time type information from another module's objects:
// the class name when the table carries a valid locator, nothing (and no
// fault) when it does not.
#include "plugin/msvc_rtti.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using qm::plugin::RuntimeClassName;
using qm::plugin::UndecorateClassName;

TEST(UndecorateClassName, PrintsNamespacesInReverseWithTheKindOfClass) {
  EXPECT_EQ(UndecorateClassName(".?AVFreezeEventHandler@hdt@@"), "class hdt::FreezeEventHandler");
  EXPECT_EQ(UndecorateClassName(".?AVInner@Outer@ns@@"), "class ns::Outer::Inner");
  EXPECT_EQ(UndecorateClassName(".?AUPoint@@"), "struct Point");
}

TEST(UndecorateClassName, RefusesTemplatesBackReferencesAndMalformedNames) {
  EXPECT_EQ(UndecorateClassName(".?AV?$BSTEventSink@VMenuOpenCloseEvent@@@@"), "");
  EXPECT_EQ(UndecorateClassName(".?AV0Handler@hdt@@"), "");
  EXPECT_EQ(UndecorateClassName(".?AVFreezeEventHandler@hdt@"), "");
  EXPECT_EQ(UndecorateClassName(".?AVFreezeEventHandler@hdt@@x"), "");
  EXPECT_EQ(UndecorateClassName(".?AVFreezeEventHandler"), "");
  EXPECT_EQ(UndecorateClassName("?AVFreezeEventHandler@hdt@@"), "");
  EXPECT_EQ(UndecorateClassName(".?AW4Kind@@"), "");
  EXPECT_EQ(UndecorateClassName(".?AV@@"), "");
  EXPECT_EQ(UndecorateClassName(""), "");
}

// A small module image laid out as MSVC writes type information: offsets
// are relative to the start of the buffer.
class FakeModule {
 public:
  explicit FakeModule(const char* decorated) : bytes_(0x400 / 8, 0) {
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
  void SetSlotBeforeTable(std::uintptr_t value) { std::memcpy(Base() + kTable - 8, &value, 8); }
  const void* object() const { return &object_; }

  static constexpr std::size_t kDescriptor = 0x40;
  static constexpr std::size_t kHierarchy = 0x100;
  static constexpr std::size_t kBaseClass = 0x120;
  static constexpr std::size_t kBaseArray = 0x140;
  static constexpr std::size_t kLocator = 0x160;
  static constexpr std::size_t kTable = 0x200;

 private:
  std::uint8_t* Base() { return reinterpret_cast<std::uint8_t*>(bytes_.data()); }
  std::vector<std::uint64_t> bytes_;
  std::uintptr_t object_ = 0;  // the object: its first word is the table
};

TEST(RuntimeClassName, ReadsTheNameThroughAValidLocator) {
  FakeModule module(".?AVFreezeEventHandler@hdt@@");
  EXPECT_EQ(RuntimeClassName(module.object()), "class hdt::FreezeEventHandler");
}

TEST(RuntimeClassName, GivesNothingForTablesWithoutAValidLocator) {
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kLocator, 0);  // signature
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.SetSlotBeforeTable(0);
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.SetSlotBeforeTable(0x10);  // nothing is mapped there
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kBaseClass, FakeModule::kHierarchy);  // hierarchy names another type
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kLocator + 0x14, 0xFFFFFFF0u);  // its own offset does not match
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  EXPECT_EQ(RuntimeClassName(nullptr), "");
}

}  // namespace
