// The Windows side of the platform layer: the real calls.
#include "platform/platform.h"

#include <windows.h>
#include <direct.h>
#include <share.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace qm::platform {

std::uintptr_t ProcessImageBase() { return reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr)); }

std::uint32_t ProcessImagePath(char* buffer, std::uint32_t size) { return ::GetModuleFileNameA(nullptr, buffer, size); }

bool RemoveFileSpec(char* path) { return ::PathRemoveFileSpecA(path) != FALSE; }

std::uint32_t ProfileSection(const char* section, char* buffer, std::uint32_t size, const char* path) {
  return ::GetPrivateProfileSectionA(section, buffer, size, path);
}

std::uint32_t ProfileSectionNames(char* buffer, std::uint32_t size, const char* path) {
  return ::GetPrivateProfileSectionNamesA(buffer, size, path);
}

std::int32_t DocumentsFolder(std::int32_t folderId, char* buffer) {
  return static_cast<std::int32_t>(::SHGetFolderPathA(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, buffer));
}

std::uint32_t LastError() { return ::GetLastError(); }

void MakeDirectory(const char* path) { ::_mkdir(path); }

std::FILE* OpenLogFile(const char* path) { return ::_fsopen(path, "w", _SH_DENYWR); }

bool ProtectMemory(void* address, std::size_t size, std::uint32_t newProtection, std::uint32_t* oldProtection) {
  DWORD previous = 0;
  const BOOL ok = ::VirtualProtect(address, size, newProtection, &previous);
  if (oldProtection != nullptr) *oldProtection = previous;
  return ok != FALSE;
}

std::uint32_t CurrentThreadId() { return ::GetCurrentThreadId(); }

void SleepMilliseconds(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

bool IsReadable(const void* address, std::size_t size) {
  if (address == nullptr || size == 0) return false;
  auto from = reinterpret_cast<std::uintptr_t>(address);
  const std::uintptr_t end = from + size;
  if (end < from) return false;
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  while (from < end) {
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(reinterpret_cast<const void*>(from), &info, sizeof info) == 0) return false;
    if (info.State != MEM_COMMIT || (info.Protect & kReadable) == 0 || (info.Protect & PAGE_GUARD) != 0) return false;
    from = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

}  // namespace qm::platform
