#include "stdout_redirect.h"

#include <unistd.h>

namespace qm::check {

std::FILE* OpenCaptureFile() { return std::tmpfile(); }
int DescriptorOf(std::FILE* file) { return fileno(file); }
int DuplicateDescriptor(int descriptor) { return dup(descriptor); }
int RedirectDescriptor(int from, int to) { return dup2(from, to); }
void CloseDescriptor(int descriptor) { close(descriptor); }

}  // namespace qm::check
