#pragma once
// What catching standard output needs of the C runtime: a temporary file
// deleted on close, and the descriptor calls, which Windows' runtime names
// with a leading underscore.
#include <cstdio>

namespace qm::check {

std::FILE* OpenCaptureFile();  // null when none can be made
int DescriptorOf(std::FILE* file);
int DuplicateDescriptor(int descriptor);
int RedirectDescriptor(int from, int to);
void CloseDescriptor(int descriptor);

}  // namespace qm::check
