// Random scenario files through qm run's reader: each one is either read
// whole or refused with a ScenarioError naming the place, which qm run turns
// into exit 2. Any other exception, a crash or a hang is a fault. A file that
// is read must only write below the run's folder.
#include "scenario.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool StaysInside(const std::string& name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  if (name.find('\0') != std::string::npos || name.find(':') != std::string::npos) return false;
  std::string part;
  for (const char c : name + "/") {
    if (c != '/' && c != '\\') {
      part += c;
      continue;
    }
    if (part.empty() || part == "." || part == "..") return false;
    part.clear();
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const qm::scenario::Scenario scenario = qm::scenario::ParseScenarioText(text, "fuzz.json");
    for (const auto& [name, content] : scenario.files) Require(StaysInside(name));
  } catch (const qm::scenario::ScenarioError& error) {
    // A clear error: "place: what", short enough to read.
    const std::string message = error.what();
    Require(message.find(": ") != std::string::npos && message.size() < 4096);
  }
  return 0;
}
