#pragma once
// The widget's process-wide state.
namespace qm::widget {

struct DurabilityMenu;

// The menu between its open and its close message; null otherwise.
extern DurabilityMenu* OpenWidgetMenu;

}  // namespace qm::widget
