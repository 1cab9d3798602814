#pragma once
// The process's memory as it is now, for tests that look for slow leaks: the
// bytes the C allocator has handed out and not taken back, and the resident
// set at this moment. The peak is kept beside them for the record only: a
// leak that stays below an earlier peak never shows in it.
#include <malloc.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>
#include <string>

namespace qmtest {

struct MemoryNow {
  long long allocatedBytes = 0;  // live blocks of malloc, small and mapped
  long long residentKb = 0;      // pages resident now
  long long peakResidentKb = 0;  // the most ever resident
};

inline long long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6));
  }
  return -1;
}

inline MemoryNow MeasureMemory() {
  MemoryNow now;
  const struct mallinfo2 info = ::mallinfo2();
  now.allocatedBytes = static_cast<long long>(info.uordblks + info.hblkhd);
  long long sizePages = 0;
  long long residentPages = -1;
  std::ifstream("/proc/self/statm") >> sizePages >> residentPages;
  now.residentKb = residentPages < 0 ? -1 : residentPages * (::sysconf(_SC_PAGESIZE) / 1024);
  now.peakResidentKb = PeakResidentKb();
  return now;
}

}  // namespace qmtest
