// Memory whose protection cannot be raised: a read-only view of a section.
// VirtualProtect to a writable (or executable) protection fails on it.
#include "hdt_sinks.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace gd {

void* MakeLockedCopy(const void* bytes, std::size_t size) {
  HANDLE section =
      ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size), nullptr);
  if (section == nullptr) throw std::bad_alloc();
  void* writable = ::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, size);
  void* readOnly = ::MapViewOfFile(section, FILE_MAP_READ, 0, 0, size);
  ::CloseHandle(section);
  if (writable == nullptr || readOnly == nullptr) throw std::bad_alloc();
  std::memcpy(writable, bytes, size);
  ::UnmapViewOfFile(writable);
  return readOnly;
}

}  // namespace gd
