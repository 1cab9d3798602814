#include "page_protection.h"

#include <cstdint>
#include <cstdio>

namespace gd {

// Linux keeps no other record of a page's protection than the process's map.
bool PageIsWritable(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::FILE* maps = std::fopen("/proc/self/maps", "r");
  if (maps == nullptr) return false;
  char line[512];
  bool writable = false;
  while (std::fgets(line, sizeof line, maps) != nullptr) {
    unsigned long long start = 0;
    unsigned long long end = 0;
    char perms[8] = {};
    if (std::sscanf(line, "%llx-%llx %7s", &start, &end, perms) != 3) continue;
    if (at >= start && at < end) {
      writable = perms[1] == 'w';
      break;
    }
  }
  std::fclose(maps);
  return writable;
}

}  // namespace gd
