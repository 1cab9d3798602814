#include "log/debug_log.h"

#include "platform/platform.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qm::log {

std::int32_t LogLevel = 5;

namespace {

constexpr std::size_t kMaxPath = 260;
constexpr std::int32_t kFolderPersonal = 0x0005;  // CSIDL_PERSONAL
constexpr std::int32_t kFolderCreate = 0x8000;    // CSIDL_FLAG_CREATE
constexpr const char* kLogRelativePath = "\\My Games\\Skyrim Special Edition\\SKSE\\Quellmark.log";

std::FILE* logFile = nullptr;
char formatBuffer[8192];

void CreateFoldersOnPath(const char* path) {
  char partial[kMaxPath];
  for (std::size_t i = 0; path[i] != '\0' && i < kMaxPath - 1; ++i) {
    if (path[i] == '\\' || path[i] == '/') {
      std::memcpy(partial, path, i);
      partial[i] = '\0';
      platform::MakeDirectory(partial);  // a drive root or an existing folder fails harmlessly
    }
  }
}

void WriteLine(std::int32_t level, const char* format, std::va_list args) {
  std::vsnprintf(formatBuffer, sizeof formatBuffer, format, args);
  if (LogLevel >= level && logFile != nullptr) {
    std::fputs(formatBuffer, logFile);
    std::fflush(logFile);
    std::fputs("\n", logFile);
    std::fflush(logFile);
  }
  std::printf("%s\n", formatBuffer);
}

}  // namespace

void OpenLog() {
  // Opened once: a second start would be denied writing by the first handle
  // and go to an alternative name.
  if (logFile != nullptr) return;
  char path[kMaxPath] = {};
  const std::int32_t result = platform::DocumentsFolder(kFolderPersonal | kFolderCreate, path);
  if (result < 0) {
    LogError("SHGetFolderPath %08X failed (result = %08X lasterr = %08X)", static_cast<unsigned>(kFolderPersonal),
             static_cast<unsigned>(result), static_cast<unsigned>(platform::LastError()));
    FatalAssertionCode("IDebugLog", 64, "SUCCEEDED(err)", static_cast<std::int64_t>(result));
  }
  // Bounded like the Windows path functions: 259 characters and the NUL.
  const std::size_t used = std::strlen(path);
  std::snprintf(path + used, kMaxPath - used, "%s", kLogRelativePath);

  CreateFoldersOnPath(path);
  logFile = platform::OpenLogFile(path);
  for (int alternative = 0; logFile == nullptr && alternative < 5; ++alternative) {
    char alternativePath[1024];
    std::snprintf(alternativePath, sizeof alternativePath, "%s%d", path, alternative);
    logFile = platform::OpenLogFile(alternativePath);
  }
}

void CloseLog() {
  if (logFile != nullptr) {
    std::fclose(logFile);
    logFile = nullptr;
  }
}

void LogMessage(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  WriteLine(kMessageLevel, format, args);
  va_end(args);
}

void LogError(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  WriteLine(kErrorLevel, format, args);
  va_end(args);
}

[[noreturn]] static void StopProcess() {
  std::fflush(stdout);
  std::abort();
}

void FatalAssertion(const char* file, int line, const char* condition) {
  LogError("Assertion failed in %s (%d): %s", file, line, condition);
  StopProcess();
}

void FatalAssertionCode(const char* file, int line, const char* condition, std::int64_t code) {
  if ((static_cast<std::uint64_t>(code) >> 32) != 0) {
    LogError("Assertion failed in %s (%d): %s (code = %16" PRIX64 " (%" PRId64 "))", file, line, condition,
             static_cast<std::uint64_t>(code), code);
  } else {
    const auto low = static_cast<std::uint32_t>(code);
    LogError("Assertion failed in %s (%d): %s (code = %08X (%d))", file, line, condition, low,
             static_cast<std::int32_t>(low));
  }
  StopProcess();
}

}  // namespace qm::log
