#include "page_protection.h"

#include <windows.h>

namespace gd {

bool PageIsWritable(const void* address) {
  MEMORY_BASIC_INFORMATION info{};
  if (::VirtualQuery(address, &info, sizeof info) == 0) return false;
  constexpr DWORD kWritable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return (info.Protect & kWritable) != 0;
}

}  // namespace gd
