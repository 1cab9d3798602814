// Reading a class name from memory that ends: a name is read only as far as
// its memory can be read, never into a page that is not mapped. POSIX only
// (it maps and unmaps pages itself).
#include "plugin/fake_type_module.h"
#include "plugin/msvc_rtti.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

using qm::plugin::RuntimeClassName;
using qmtest::FakeModule;

TEST(RuntimeClassName, ReadsANameOnlyUpToItsLimitAndItsReadableMemory) {
  // The module in the first of two pages, the second one not mapped.
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  auto* pages =
      static_cast<std::uint8_t*>(::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
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
