#pragma once
namespace qm::engine {

// Hands the hit and update sinks to the game's event sources as the settings
// allow; called once when the game's data has loaded.
void RegisterEngineSinks();

}  // namespace qm::engine
