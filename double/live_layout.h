#pragma once
// The shape of the moved objects in the world alive now: the double's
// records read and write those fields at the positions of its family.
#include "double_layouts.h"
#include "world.h"

namespace gd {

inline const FamilyLayout& LiveLayout() { return LayoutOf(World::Active().layoutFamily()); }

}  // namespace gd
