#pragma once
// The calls the plug-in made into the widget's movie, one JSON object a line,
// so that a browser test can replay them into the real movie.
#include "ui_world.h"

#include <string>
#include <vector>

namespace qm::scenario {

// {"movie":N,"path":"_root.widget.Setup","args":[...]}: N counts the movie
// views from 1 in the order of their first call (a reopened widget is a new
// movie); numbers stay numbers, strings strings, arrays arrays, undefined null.
std::vector<std::string> WidgetCallLines(const std::vector<gd::RecordedInvoke>& invokes);

}  // namespace qm::scenario
