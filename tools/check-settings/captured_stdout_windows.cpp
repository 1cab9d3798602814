#include "stdout_redirect.h"

#include <windows.h>
#include <filesystem>
#include <io.h>
#include <string>

namespace qm::check {

// tmpfile() makes its file in the drive's root, which users may not write;
// the user's temporary folder is used instead, the file deleted on close.
std::FILE* OpenCaptureFile() {
  std::error_code error;
  const std::string folder = std::filesystem::temp_directory_path(error).string();
  char path[MAX_PATH + 1] = {};
  if (error || GetTempFileNameA(folder.c_str(), "qmc", 0, path) == 0) return nullptr;
  return std::fopen(path, "w+bD");
}
int DescriptorOf(std::FILE* file) { return _fileno(file); }
int DuplicateDescriptor(int descriptor) { return _dup(descriptor); }
int RedirectDescriptor(int from, int to) { return _dup2(from, to); }
void CloseDescriptor(int descriptor) { _close(descriptor); }

}  // namespace qm::check
