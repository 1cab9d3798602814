#include "captured_stdout.h"

#include "stdout_redirect.h"

namespace qm::check {

std::optional<std::string> RunCapturingStdout(const std::function<void()>& work) {
  std::FILE* sink = OpenCaptureFile();
  if (sink == nullptr) return std::nullopt;
  std::fflush(stdout);
  const int saved = DuplicateDescriptor(DescriptorOf(stdout));
  if (saved < 0 || RedirectDescriptor(DescriptorOf(sink), DescriptorOf(stdout)) < 0) {
    if (saved >= 0) CloseDescriptor(saved);
    std::fclose(sink);
    return std::nullopt;
  }
  work();
  std::fflush(stdout);
  RedirectDescriptor(saved, DescriptorOf(stdout));
  CloseDescriptor(saved);
  std::string text;
  std::rewind(sink);
  char chunk[4096];
  for (std::size_t got = 0; (got = std::fread(chunk, 1, sizeof chunk, sink)) > 0;) text.append(chunk, got);
  std::fclose(sink);
  return text;
}

}  // namespace qm::check
