#include "captured_stdout.h"

#include <cstdio>
#include <filesystem>
#include <io.h>
#include <string>
#include <windows.h>

namespace qm::check {

// tmpfile() makes its file in the drive's root, which users may not write;
// the user's temporary folder is used instead, the file deleted on close.
std::optional<std::string> RunCapturingStdout(const std::function<void()>& work) {
  std::error_code error;
  const std::string folder = std::filesystem::temp_directory_path(error).string();
  char path[MAX_PATH + 1] = {};
  if (error || GetTempFileNameA(folder.c_str(), "qmc", 0, path) == 0) return std::nullopt;
  std::FILE* sink = std::fopen(path, "w+bD");
  if (sink == nullptr) return std::nullopt;
  std::fflush(stdout);
  const int saved = _dup(_fileno(stdout));
  if (saved < 0 || _dup2(_fileno(sink), _fileno(stdout)) < 0) {
    if (saved >= 0) _close(saved);
    std::fclose(sink);
    return std::nullopt;
  }
  work();
  std::fflush(stdout);
  _dup2(saved, _fileno(stdout));
  _close(saved);
  std::string text;
  std::rewind(sink);
  char chunk[4096];
  for (std::size_t got = 0; (got = std::fread(chunk, 1, sizeof chunk, sink)) > 0;) text.append(chunk, got);
  std::fclose(sink);
  return text;
}

}  // namespace qm::check
