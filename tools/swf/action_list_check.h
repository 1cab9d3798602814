#pragma once
// Checks one action list of a SWF file (a DoAction, or a DoInitAction after
// its sprite id): record lengths, push items, constant indexes, function
// bounds, branch targets and register numbers, and that every action is one
// the compiler writes. Functions are followed into their bodies.
#include "swf_check.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm::swf {

// Adds every fault of the list [begin, end) of file, and every function it
// defines, to result.
void CheckActionList(const std::vector<std::uint8_t>& file, std::size_t begin, std::size_t end, CheckResult& result);

}  // namespace qm::swf
