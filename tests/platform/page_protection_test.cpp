// The POSIX stand-in for VirtualProtect: it changes the pages the range
// touches and no others, so patching one dispatch slot never makes the code
// or data on the next page read-only.
#include "platform/platform.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace qm::platform {
namespace {

// The protections are given by the Windows numbers themselves, not the
// platform's constants: a wrong constant must not agree with itself.
constexpr std::uint32_t kReadOnly = 0x02;          // PAGE_READONLY
constexpr std::uint32_t kReadWrite = 0x04;         // PAGE_READWRITE
constexpr std::uint32_t kExecuteRead = 0x20;       // PAGE_EXECUTE_READ
constexpr std::uint32_t kExecuteReadWrite = 0x40;  // PAGE_EXECUTE_READWRITE

// The protection letters ("r--p", "rw-p") of the mapping holding address.
std::string ProtectionAt(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    std::uintptr_t low = 0, high = 0;
    char perms[5] = {};
    if (std::sscanf(line.c_str(), "%lx-%lx %4s", &low, &high, perms) == 3 && at >= low && at < high) return perms;
  }
  return "unmapped";
}

TEST(PageProtection, ChangesExactlyThePagesTheRangeTouches) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  auto* pages = static_cast<unsigned char*>(
      ::mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(pages, MAP_FAILED);

  // A range that ends exactly at a page boundary stops there.
  std::uint32_t previous = 0;
  ASSERT_TRUE(ProtectMemory(pages, page, kReadOnly, &previous));
  EXPECT_EQ(previous, kReadOnly);  // POSIX cannot ask: the pages of other modules' tables are read-only
  EXPECT_EQ(ProtectionAt(pages).substr(0, 3), "r--");
  EXPECT_EQ(ProtectionAt(pages + page).substr(0, 3), "rw-");

  // A four-byte slot in the middle of a page changes that page only.
  ASSERT_TRUE(ProtectMemory(pages + page + 8, 4, kReadOnly, &previous));
  EXPECT_EQ(ProtectionAt(pages + page).substr(0, 3), "r--");
  EXPECT_EQ(ProtectionAt(pages + 2 * page).substr(0, 3), "rw-");

  // Four bytes straddling a boundary change both pages they touch.
  ASSERT_TRUE(ProtectMemory(pages + 2 * page - 2, 4, kReadWrite, &previous));
  EXPECT_EQ(ProtectionAt(pages + page).substr(0, 3), "rw-");
  EXPECT_EQ(ProtectionAt(pages + 2 * page).substr(0, 3), "rw-");
  EXPECT_EQ(ProtectionAt(pages).substr(0, 3), "r--");

  ::munmap(pages, 3 * page);
}

TEST(PageProtection, RefusesUnknownProtectionsAndUnmappedPages) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  auto* pages = static_cast<unsigned char*>(
      ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(pages, MAP_FAILED);
  ::munmap(pages + page, page);

  EXPECT_FALSE(ProtectMemory(pages, 4, 0x80 /* PAGE_EXECUTE_WRITECOPY */, nullptr));
  EXPECT_EQ(LastError(), 87u);
  EXPECT_EQ(ProtectionAt(pages).substr(0, 3), "rw-");
  EXPECT_FALSE(ProtectMemory(pages + page, 4, kReadOnly, nullptr));
  EXPECT_EQ(LastError(), 487u);
  // Each known constant gives its own protection; the old one may go unasked.
  ASSERT_TRUE(ProtectMemory(pages, 4, kExecuteRead, nullptr));
  EXPECT_EQ(ProtectionAt(pages).substr(0, 3), "r-x");
  ASSERT_TRUE(ProtectMemory(pages, 4, kExecuteReadWrite, nullptr));
  EXPECT_EQ(ProtectionAt(pages).substr(0, 3), "rwx");
  ASSERT_TRUE(ProtectMemory(pages, 4, kReadWrite, nullptr));
  EXPECT_EQ(ProtectionAt(pages).substr(0, 3), "rw-");

  // A range is readable only when every byte of it is.
  EXPECT_TRUE(IsReadable(pages, page));
  EXPECT_FALSE(IsReadable(pages + page - 8, 16));
  EXPECT_FALSE(IsReadable(pages + page - 100, 200));  // read in pieces: the last ones fail
  EXPECT_FALSE(IsReadable(pages + page, 1));
  EXPECT_FALSE(IsReadable(nullptr, 1));
  EXPECT_FALSE(IsReadable(pages, 0));
  ::munmap(pages, page);
}

}  // namespace
}  // namespace qm::platform
