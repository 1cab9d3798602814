// The POSIX side of the platform layer: the contracts of the Windows calls,
// kept on Linux so that the plug-in runs unchanged inside the host double.
#include "platform/platform.h"

#include "platform/posix_process_facts.h"
#include "platform/posix_profile.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace qm::platform {
namespace {

thread_local std::uint32_t lastError = 0;

const QuellmarkPosixProcessFacts* HostFacts() {
  auto getter = reinterpret_cast<QuellmarkPosixProcessFactsGetter>(dlsym(RTLD_DEFAULT, kPosixProcessFactsSymbol));
  return getter != nullptr ? getter() : nullptr;
}

std::string ToPosixPath(const char* path) {
  std::string converted(path);
  for (char& c : converted) {
    if (c == '\\') c = '/';
  }
  return converted;
}

int FirstObjectBase(struct dl_phdr_info* info, size_t, void* out) {
  *static_cast<std::uintptr_t*>(out) = static_cast<std::uintptr_t>(info->dlpi_addr);
  return 1;  // the first entry is the main program
}

}  // namespace

std::uintptr_t ProcessImageBase() {
  if (const auto* facts = HostFacts(); facts != nullptr) return facts->imageBase;
  std::uintptr_t base = 0;
  dl_iterate_phdr(FirstObjectBase, &base);
  return base;
}

std::uint32_t ProcessImagePath(char* buffer, std::uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::string path;
  if (const auto* facts = HostFacts(); facts != nullptr && facts->imagePath != nullptr) {
    path = facts->imagePath;
  } else {
    char link[4096];
    const ssize_t n = readlink("/proc/self/exe", link, sizeof link - 1);
    if (n <= 0) return 0;
    path.assign(link, static_cast<std::size_t>(n));
  }
  // Like GetModuleFileNameA: a path that does not fit is cut and terminated.
  const std::size_t copied = path.size() < size ? path.size() : size - 1;
  std::memcpy(buffer, path.data(), copied);
  buffer[copied] = '\0';
  return static_cast<std::uint32_t>(copied);
}

bool RemoveFileSpec(char* path) {
  if (path == nullptr || *path == '\0') return false;
  char* cut = nullptr;
  for (char* p = path; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') cut = p;
  }
  if (cut == nullptr) {
    *path = '\0';
    return true;
  }
  // A separator right after the root stays ("/game" -> "/", "C:\x" -> "C:\").
  if (cut == path || (cut == path + 2 && path[1] == ':')) {
    const bool changed = cut[1] != '\0';
    cut[1] = '\0';
    return changed;
  }
  *cut = '\0';
  return true;
}

std::uint32_t ProfileSection(const char* section, char* buffer, std::uint32_t size, const char* path) {
  return PosixProfileSection(section, buffer, size, path);
}

std::uint32_t ProfileSectionNames(char* buffer, std::uint32_t size, const char* path) {
  return PosixProfileSectionNames(buffer, size, path);
}

std::int32_t DocumentsFolder(std::int32_t folderId, char* buffer) {
  constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005u);        // E_FAIL
  constexpr std::int32_t kInvalidArg = static_cast<std::int32_t>(0x80070057u);  // E_INVALIDARG
  constexpr std::int32_t kPersonal = 0x0005;                                    // CSIDL_PERSONAL
  constexpr std::int32_t kCreate = 0x8000;                                      // CSIDL_FLAG_CREATE
  // Only the documents folder has a stand-in here: any other folder would
  // silently become it.
  if ((folderId & ~kCreate) != kPersonal) return kInvalidArg;
  const auto* facts = HostFacts();
  std::string folder;
  if (facts != nullptr) {
    if (facts->documentsFolder == nullptr) {
      lastError = 2;  // ERROR_FILE_NOT_FOUND
      return kFail;
    }
    folder = facts->documentsFolder;
  } else if (const char* home = std::getenv("HOME"); home != nullptr) {
    folder = std::string(home) + "/Documents";
  } else {
    lastError = 2;
    return kFail;
  }
  if (folder.size() >= 260) {
    lastError = 206;  // ERROR_FILENAME_EXCED_RANGE
    return kFail;
  }
  ::mkdir(folder.c_str(), 0755);  // CSIDL_FLAG_CREATE
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return 0;
}

std::uint32_t LastError() { return lastError; }

void MakeDirectory(const char* path) { ::mkdir(ToPosixPath(path).c_str(), 0755); }

std::FILE* OpenLogFile(const char* path) {
  // Windows denies a second writer; advisory locks are the nearest POSIX
  // equivalent between processes that both ask for them.
  const std::string posixPath = ToPosixPath(path);
  const int fd = ::open(posixPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    lastError = static_cast<std::uint32_t>(errno);
    return nullptr;
  }
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd, F_SETLK, &lock) != 0) {
    lastError = 32;  // ERROR_SHARING_VIOLATION
    ::close(fd);
    return nullptr;
  }
  if (::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "w");
  if (file == nullptr) ::close(fd);
  return file;
}

FileRead ReadWholeFile(const char* path, std::uint8_t* buffer, std::size_t capacity, std::size_t* size) {
  *size = 0;
  const int fd = ::open(ToPosixPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    lastError = static_cast<std::uint32_t>(errno);
    return errno == ENOENT || errno == ENOTDIR ? FileRead::kNoFile : FileRead::kUnreadable;
  }
  // Windows opens no folder as a file; here it opens, and only its reading fails.
  struct stat facts {};
  FileRead result = FileRead::kRead;
  if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
    result = FileRead::kUnreadable;
  } else if (static_cast<std::uint64_t>(facts.st_size) > capacity) {
    *size = static_cast<std::size_t>(facts.st_size);
    result = FileRead::kTooLarge;
  } else {
    // Up to the end, even if the file changed length since it was measured.
    std::size_t got = 0;
    for (;;) {
      if (got == capacity) {
        std::uint8_t extra = 0;
        if (::read(fd, &extra, 1) > 0) {
          got = capacity + 1;
          result = FileRead::kTooLarge;
        }
        break;
      }
      const ssize_t read = ::read(fd, buffer + got, capacity - got);
      if (read < 0 && errno == EINTR) continue;
      if (read < 0) {
        result = FileRead::kUnreadable;
        break;
      }
      if (read == 0) break;
      got += static_cast<std::size_t>(read);
    }
    *size = result == FileRead::kUnreadable ? 0 : got;
  }
  ::close(fd);
  return result;
}

bool ProtectMemory(void* address, std::size_t size, std::uint32_t newProtection, std::uint32_t* oldProtection) {
  int prot = PROT_NONE;
  switch (newProtection) {
    case kPageReadOnly: prot = PROT_READ; break;
    case kPageReadWrite: prot = PROT_READ | PROT_WRITE; break;
    case kPageExecuteRead: prot = PROT_READ | PROT_EXEC; break;
    case kPageExecuteReadWrite: prot = PROT_READ | PROT_WRITE | PROT_EXEC; break;
    default: lastError = 87; return false;  // ERROR_INVALID_PARAMETER
  }
  const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(address) & ~(pageSize - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(address) + size + pageSize - 1) & ~(pageSize - 1);
  // POSIX cannot ask a page's protection; report what the pages of other
  // modules' tables are: read-only.
  if (oldProtection != nullptr) *oldProtection = kPageReadOnly;
  if (::mprotect(reinterpret_cast<void*>(start), end - start, prot) != 0) {
    lastError = 487;  // ERROR_INVALID_ADDRESS
    return false;
  }
  return true;
}

std::uint32_t CurrentThreadId() {
  // GetCurrentThreadId only reads the thread's own block; keeping the
  // kernel's id per thread spares the engine's locks a system call each.
#if defined(__EMSCRIPTEN__)
  // The WebAssembly build (the settings checker in a browser) has one thread.
  return 1;
#else
  thread_local const auto id = static_cast<std::uint32_t>(::syscall(SYS_gettid));
  return id;
#endif
}

void SleepMilliseconds(std::uint32_t milliseconds) {
  if (milliseconds == 0) {
    ::sched_yield();
    return;
  }
  ::usleep(milliseconds * 1000u);
}

bool IsReadable(const void* address, std::size_t size) {
  if (address == nullptr || size == 0) return false;
  // Copying through the kernel reports an unreadable range as EFAULT instead
  // of faulting in this process.
  unsigned char scratch[64];
  auto from = reinterpret_cast<std::uintptr_t>(address);
  std::size_t left = size;
  while (left > 0) {
    const std::size_t chunk = left < sizeof scratch ? left : sizeof scratch;
    iovec local{scratch, chunk};
    iovec remote{reinterpret_cast<void*>(from), chunk};
    if (::process_vm_readv(::getpid(), &local, 1, &remote, 1, 0) != static_cast<ssize_t>(chunk)) return false;
    from += chunk;
    left -= chunk;
  }
  return true;
}

}  // namespace qm::platform
