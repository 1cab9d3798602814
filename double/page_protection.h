#pragma once
// Asks the system whether the page holding an address is writable now, so
// that the double can tell a class table left writable after a patch.

namespace gd {

bool PageIsWritable(const void* address);

}  // namespace gd
