#pragma once
// The profile reader reads files, so each fuzz input is written to one file
// of this process first.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace qmfuzz {

// Made once per process and removed when it ends.
inline const std::string& InputFilePath(const char* name) {
  static const std::string path = [name] {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/qm-fuzz-" + name + "-" +
           std::to_string(::getpid()) + ".ini";
  }();
  static const int removal = std::atexit([] { ::unlink(path.c_str()); });
  (void)removal;
  return path;
}

inline void WriteInputFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

// A broken promise of the code under test: a crash the fuzzer keeps.
inline void Require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

}  // namespace qmfuzz
