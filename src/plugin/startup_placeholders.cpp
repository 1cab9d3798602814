// TEMPORARY: start-up steps whose subsystems are being written. Each is
// removed from here when its real implementation lands.
#include "engine/engine_start.h"

namespace qm::engine {
void RegisterEngineSinks() {}
}
