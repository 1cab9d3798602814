// Reading MSVC's run-time type information from another module's objects:
// the class name when the table carries a valid locator, nothing (and no
// fault) when it does not.
#include "plugin/msvc_rtti.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
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
  // Every offset the walk follows, zeroed in turn, ends it.
  for (const std::size_t field : {FakeModule::kLocator + 0x0C, FakeModule::kLocator + 0x10,
                                  FakeModule::kHierarchy + 0x08, FakeModule::kHierarchy + 0x0C,
                                  FakeModule::kBaseArray}) {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(field, 0);
    EXPECT_EQ(RuntimeClassName(module.object()), "") << "offset 0x" << std::hex << field << " zeroed";
  }
  {
    // A type descriptor at offset 0 is refused even when the hierarchy agrees
    // and a name lies there.
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kLocator + 0x0C, 0);
    module.Put32(FakeModule::kBaseClass, 0);
    module.PutName(0x10, ".?AVWrong@@");
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  const std::uintptr_t tinyTable = 4;  // a table address below one slot has no slot before it
  EXPECT_EQ(RuntimeClassName(&tinyTable), "");
  EXPECT_EQ(RuntimeClassName(nullptr), "");
}

TEST(RuntimeClassName, ReadsANameOnlyUpToItsLimitAndItsReadableMemory) {
  // The module in the first of two pages, the second one not mapped.
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  auto* pages = static_cast<std::uint8_t*>(
      ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(pages, MAP_FAILED);
  ::munmap(pages + page, page);
  FakeModule module(".?AVFreezeEventHandler@hdt@@", pages);
  const auto nameAt = [&](std::size_t offset, const std::string& name) {
    const auto descriptor = static_cast<std::uint32_t>(offset - 0x10);
    std::memcpy(pages + offset, name.data(), name.size());
    module.Put32(FakeModule::kLocator + 0x0C, descriptor);
    module.Put32(FakeModule::kBaseClass, descriptor);
    return RuntimeClassName(module.object());
  };
  // 511 characters and the NUL are read; a name one longer has no end within the limit.
  EXPECT_EQ(nameAt(0x400, ".?AV" + std::string(505, 'N') + "@@" + '\0'), "class " + std::string(505, 'N'));
  EXPECT_EQ(nameAt(0x400, ".?AV" + std::string(506, 'N') + "@@" + '\0'), "");
  // A name running into the page that is not mapped is refused, not read;
  // one ending on the page's last byte is read.
  EXPECT_EQ(nameAt(page - 15, ".?AVFreezeEvent"), "");
  EXPECT_EQ(nameAt(page - 15, std::string(".?AVLastByte@@") + '\0'), "class LastByte");
  // A whole name without its NUL before the page ends is still refused, and
  // a name starting inside the unmapped page is not read at all.
  EXPECT_EQ(nameAt(page - 7, ".?AVA@@"), "");
  module.Put32(FakeModule::kLocator + 0x0C, static_cast<std::uint32_t>(page + 5 - 0x10));
  module.Put32(FakeModule::kBaseClass, static_cast<std::uint32_t>(page + 5 - 0x10));
  EXPECT_EQ(RuntimeClassName(module.object()), "");
  ::munmap(pages, page);
}

}  // namespace
