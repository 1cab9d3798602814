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

FileRead ReadWholeFile(const char* path, std::uint8_t* buffer, std::size_t capacity, std::size_t* size) {
  *size = 0;
  HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::kNoFile : FileRead::kUnreadable;
  }
  LARGE_INTEGER length{};
  FileRead result = FileRead::kRead;
  if (::GetFileSizeEx(file, &length) == FALSE || length.QuadPart < 0) {
    result = FileRead::kUnreadable;
  } else if (static_cast<std::uint64_t>(length.QuadPart) > capacity) {
    *size = static_cast<std::size_t>(length.QuadPart);
    result = FileRead::kTooLarge;
  } else {
    // Up to the end, even if the file changed length since it was measured.
    std::size_t got = 0;
    for (;;) {
      DWORD read = 0;
      const std::size_t room = capacity - got;
      const DWORD ask = room > 0x10000000 ? 0x10000000 : static_cast<DWORD>(room);
      if (ask == 0) {
        std::uint8_t extra = 0;
        if (::ReadFile(file, &extra, 1, &read, nullptr) != FALSE && read > 0) {
          got = capacity + 1;
          result = FileRead::kTooLarge;
        }
        break;
      }
      if (::ReadFile(file, buffer + got, ask, &read, nullptr) == FALSE) {
        result = FileRead::kUnreadable;
        break;
      }
      if (read == 0) break;
      got += read;
    }
    *size = result == FileRead::kUnreadable ? 0 : got;
  }
  ::CloseHandle(file);
  return result;
}

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
