#pragma once
// Writes every setting to the log once it has been read.
#include "config/config_store.h"

namespace qm::config {

// The five tables, each under its section name, keys in the order of the
// defaults list. HealthThreshold and the no-break list are not written.
void DumpSettings(const ConfigStore& store);

}  // namespace qm::config
