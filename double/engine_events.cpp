#include "engine_events.h"

#include <cstring>

namespace gd {

// The game's event records carry bytes the plug-in has no business reading
// (padding, fields of no interest): they hold a pattern, as stack garbage would.

void DispatchHit(World& world, ReferenceRec* target, ReferenceRec* cause, std::uint32_t sourceFormId,
                 std::uint32_t flags, std::uint32_t projectileId) {
  HitEventRec event;
  std::memset(&event, kEventFillByte, sizeof event);
  event.target = target;
  event.cause = cause;
  event.sourceFormId = sourceFormId;
  event.projectileId = projectileId;
  // The game's flags are one byte: the three above it are padding, unless a
  // caller sets them on purpose.
  event.flags = flags > 0xFF ? flags : (flags | 0xCDCDCD00u);
  world.Dispatch(world.HitSource(), &event);
}

void DispatchUpdate(World& world) {
  UpdateEventRec event;
  std::memset(&event, kEventFillByte, sizeof event);
  world.Dispatch(world.UpdateSource(), &event);
}

}  // namespace gd
