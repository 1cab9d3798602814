// Memory whose protection cannot be raised: a read-only shared mapping of a
// file opened read-only. mprotect to a writable protection fails on it.
#include "hdt_sinks.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <new>
#include <string>

namespace gd {

void* MakeLockedCopy(const void* bytes, std::size_t size) {
  const int writable = ::memfd_create("qm-locked-page", 0);
  if (writable < 0) throw std::bad_alloc();
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t length = (size + page - 1) / page * page;
  if (::ftruncate(writable, static_cast<off_t>(length)) != 0 ||
      ::pwrite(writable, bytes, size, 0) != static_cast<ssize_t>(size)) {
    ::close(writable);
    throw std::bad_alloc();
  }
  const std::string path = "/proc/self/fd/" + std::to_string(writable);
  const int readOnly = ::open(path.c_str(), O_RDONLY);
  ::close(writable);
  if (readOnly < 0) throw std::bad_alloc();
  void* mapped = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, readOnly, 0);
  ::close(readOnly);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  return mapped;
}

}  // namespace gd
