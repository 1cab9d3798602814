#pragma once
// The plug-in's only door to the operating system. Each function keeps the
// contract of the Windows call it is named after: platform_windows.cpp makes
// the real call, platform_posix.cpp keeps the same contract on Linux (paths may
// use backslashes there too). Nothing outside this folder includes a system
// header of either platform.
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace qm::platform {

// GetModuleHandleA(nullptr): the load address of the process image.
std::uintptr_t ProcessImageBase();

// GetModuleFileNameA(nullptr, buffer, size): the process image's full path.
// Returns the number of characters written (0 on failure).
std::uint32_t ProcessImagePath(char* buffer, std::uint32_t size);

// PathRemoveFileSpecA: cuts the last path component in place.
// Returns true when something was removed.
bool RemoveFileSpec(char* path);

// GetPrivateProfileSectionA / GetPrivateProfileSectionNamesA with their exact
// result and buffer rules.
std::uint32_t ProfileSection(const char* section, char* buffer, std::uint32_t size, const char* path);
std::uint32_t ProfileSectionNames(char* buffer, std::uint32_t size, const char* path);

// SHGetFolderPathA(nullptr, folderId, nullptr, 0, buffer): an HRESULT, negative
// on failure. buffer holds at least 260 bytes.
std::int32_t DocumentsFolder(std::int32_t folderId, char* buffer);

// GetLastError.
std::uint32_t LastError();

// The runtime library's mkdir; failures are the caller's to ignore.
void MakeDirectory(const char* path);

// The runtime library's shared-mode open: text mode, write and truncate,
// others may read but not write. Null when the file cannot be opened.
std::FILE* OpenLogFile(const char* path);

// CreateFileA (read, others may read too), GetFileSizeEx and ReadFile: the
// whole file at `path` into buffer[0, capacity), its length in *size.
// kNoFile: neither the file nor, for a path through a missing folder, the
// folder exists. kUnreadable: it exists but cannot be read (a folder, no
// permission, a failed read). kTooLarge: it holds more than `capacity` bytes;
// *size then says how many, so that the caller can make room and ask again.
enum class FileRead : std::uint8_t { kRead, kNoFile, kUnreadable, kTooLarge };
FileRead ReadWholeFile(const char* path, std::uint8_t* buffer, std::size_t capacity, std::size_t* size);

// VirtualProtect. Memory protection constants are the Windows ones.
inline constexpr std::uint32_t kPageReadOnly = 0x02;
inline constexpr std::uint32_t kPageReadWrite = 0x04;
inline constexpr std::uint32_t kPageExecuteRead = 0x20;
inline constexpr std::uint32_t kPageExecuteReadWrite = 0x40;
bool ProtectMemory(void* address, std::size_t size, std::uint32_t newProtection, std::uint32_t* oldProtection);

// GetCurrentThreadId: never 0 for a live thread.
std::uint32_t CurrentThreadId();

// Sleep(milliseconds); Sleep(0) yields the rest of the time slice.
void SleepMilliseconds(std::uint32_t milliseconds);

// One 32-bit value from the system's non-deterministic random device.
std::uint32_t RandomDeviceValue();

// True when [address, address + size) can be read without faulting.
// Used before following pointers taken from objects of other modules.
bool IsReadable(const void* address, std::size_t size);

}  // namespace qm::platform
