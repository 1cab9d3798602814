#include "guarded_block.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>

namespace gd {

GuardedBlock::GuardedBlock(std::size_t size) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t usable = (size + page - 1) / page * page;
  mappingSize_ = usable + page;
  mapping_ = ::mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping_ == MAP_FAILED) throw std::bad_alloc();
  auto* bytes = static_cast<unsigned char*>(mapping_);
  if (::mprotect(bytes + usable, page, PROT_NONE) != 0) {
    ::munmap(mapping_, mappingSize_);
    throw std::bad_alloc();
  }
  data_ = bytes + usable - size;
}

GuardedBlock::~GuardedBlock() { ::munmap(mapping_, mappingSize_); }

}  // namespace gd
