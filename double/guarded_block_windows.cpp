#include "guarded_block.h"

#include <windows.h>

#include <new>

namespace gd {

GuardedBlock::GuardedBlock(std::size_t size) {
  SYSTEM_INFO info;
  ::GetSystemInfo(&info);
  const std::size_t page = info.dwPageSize;
  const std::size_t usable = (size + page - 1) / page * page;
  mappingSize_ = usable + page;
  mapping_ = ::VirtualAlloc(nullptr, mappingSize_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (mapping_ == nullptr) throw std::bad_alloc();
  auto* bytes = static_cast<unsigned char*>(mapping_);
  DWORD previous = 0;
  if (!::VirtualProtect(bytes + usable, page, PAGE_NOACCESS, &previous)) {
    ::VirtualFree(mapping_, 0, MEM_RELEASE);
    throw std::bad_alloc();
  }
  data_ = bytes + usable - size;
}

GuardedBlock::~GuardedBlock() { ::VirtualFree(mapping_, 0, MEM_RELEASE); }

}  // namespace gd
