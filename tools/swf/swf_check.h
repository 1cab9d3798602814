#pragma once
// Reads an uncompressed SWF file and checks the structure of what our
// compiler writes: the header and tag chain, and in every action list the
// record lengths, push items, constant indexes, function bounds, branch
// targets (on an action boundary inside the same function) and register
// numbers (below the function's register count; r0 to r3 at the top level).
// Actions outside the set the compiler writes are reported too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qm::swf {

struct FunctionInfo {
  std::string name;  // empty for a function expression
  std::vector<std::string> parameters;
  int registerCount = 0;
  std::size_t bodySize = 0;
};

struct CheckResult {
  int version = 0;
  int width = 0;  // stage size in pixels
  int height = 0;
  int frameCount = 0;
  std::size_t actionCount = 0;
  std::vector<FunctionInfo> functions;
  std::vector<std::string> faults;  // each names the byte offset in the file
  bool Ok() const { return faults.empty(); }
};

CheckResult CheckMovie(const std::vector<std::uint8_t>& file);

}  // namespace qm::swf
