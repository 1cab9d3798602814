#include "engine_events.h"

namespace gd {

void DispatchHit(World& world, ReferenceRec* target, ReferenceRec* cause, std::uint32_t sourceFormId,
                 std::uint32_t flags, std::uint32_t projectileId) {
  HitEventRec event{target, cause, sourceFormId, projectileId, flags, 0};
  world.Dispatch(world.HitSource(), &event);
}

void DispatchUpdate(World& world) {
  UpdateEventRec event{};
  world.Dispatch(world.UpdateSource(), &event);
}

}  // namespace gd
