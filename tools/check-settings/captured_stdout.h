#pragma once
// The plug-in's reader prints its log lines straight to standard output; the
// checker catches them so that it can show them with control characters
// escaped.
#include <functional>
#include <optional>
#include <string>

namespace qm::check {

// Runs work with standard output going to a temporary file and returns what
// was written; nothing when no temporary file could be made (work not run).
std::optional<std::string> RunCapturingStdout(const std::function<void()>& work);

}  // namespace qm::check
