#pragma once
// Reads "Quellmark.ini" and "NoBreakForms.ini" into the store, once, when the
// game's data has loaded.
namespace qm::config {

void LoadSettings();

}  // namespace qm::config
