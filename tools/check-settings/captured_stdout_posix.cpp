#include "stdout_redirect.h"

#include <cstdlib>
#include <unistd.h>

namespace qm::check {

std::FILE* OpenCaptureFile() {
#if defined(__EMSCRIPTEN__)
  // The WebAssembly runtime's in-memory files drop what a second descriptor
  // writes once the file's name is gone, so tmpfile()'s file would read back
  // empty. This one keeps its name; each check runs in a fresh instance.
  char name[] = "/tmp/qm-capture-XXXXXX";
  const int descriptor = mkstemp(name);
  return descriptor < 0 ? nullptr : fdopen(descriptor, "w+b");
#else
  return std::tmpfile();
#endif
}
int DescriptorOf(std::FILE* file) { return fileno(file); }
int DuplicateDescriptor(int descriptor) { return dup(descriptor); }
int RedirectDescriptor(int from, int to) { return dup2(from, to); }
void CloseDescriptor(int descriptor) { close(descriptor); }

}  // namespace qm::check
