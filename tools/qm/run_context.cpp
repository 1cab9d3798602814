#include "run_context.h"

#include <fstream>

namespace qm::scenario {

std::string RunContext::LogPath(int alternative) const {
  std::string path = documentsFolder_ + "/My Games/Skyrim Special Edition/SKSE/Quellmark.log";
  if (alternative >= 0) path += std::to_string(alternative);
  return path;
}

std::vector<std::string> RunContext::ReadLog(int alternative) const {
  std::vector<std::string> lines;
  std::ifstream in(LogPath(alternative), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void RunContext::Trace(const std::string& line) {
  trace_.push_back(line);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void RunContext::Fail(const std::string& place, const std::string& what) {
  failures_.push_back(place + ": " + what);
  Trace("  FAILED " + place + ": " + what);
}

std::string FirstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
  const std::size_t n = expected.size() < actual.size() ? expected.size() : actual.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (expected[i] != actual[i]) {
      return "line " + std::to_string(i + 1) + ": expected \"" + expected[i] + "\", got \"" + actual[i] + "\"";
    }
  }
  if (expected.size() > actual.size()) {
    return "line " + std::to_string(n + 1) + ": expected \"" + expected[n] + "\", got the end";
  }
  if (actual.size() > expected.size()) {
    return "line " + std::to_string(n + 1) + ": expected the end, got \"" + actual[n] + "\"";
  }
  return {};
}

}  // namespace qm::scenario
