// The scenario file's text: JSON with comments, read with a bound on nesting
// (deeper files are refused before anything recurses over them) and with
// repeated keys refused (the reader would silently keep only the last one).
#include "scenario_checks.h"

#include <unordered_set>

namespace qm::scenario {
namespace {

// Where the reader is: one frame per open list or object.
struct Frame {
  bool list = false;
  std::size_t index = 0;  // lists: the element being read
  std::string key;        // objects: the member being read
  std::unordered_set<std::string> keys;
};

std::string PathOf(const std::vector<Frame>& frames) {
  std::string path;
  for (const Frame& frame : frames) {
    if (frame.list) {
      path += "[" + std::to_string(frame.index) + "]";
    } else if (!frame.key.empty()) {
      if (!path.empty()) path += ".";
      path += frame.key.size() > 60 ? frame.key.substr(0, 60) + "..." : frame.key;
    }
  }
  return path.empty() ? "the top level" : path;
}

void ElementDone(std::vector<Frame>& frames) {
  if (!frames.empty() && frames.back().list) ++frames.back().index;
}

}  // namespace

Json ParseLimitedJson(const std::string& text) {
  std::vector<Frame> frames;
  const auto watch = [&frames](int, Json::parse_event_t event, Json& parsed) {
    switch (event) {
      case Json::parse_event_t::object_start:
      case Json::parse_event_t::array_start:
        if (frames.size() >= static_cast<std::size_t>(kMaxNesting)) {
          throw ScenarioError(PathOf(frames), "lists and objects nest more than " + std::to_string(kMaxNesting) +
                                                  " levels deep here, the most a scenario may use");
        }
        frames.push_back(Frame{event == Json::parse_event_t::array_start, 0, {}, {}});
        break;
      case Json::parse_event_t::key: {
        Frame& object = frames.back();
        object.key = parsed.get<std::string>();
        if (!object.keys.insert(object.key).second) throw ScenarioError(PathOf(frames), "this key appears twice");
        break;
      }
      case Json::parse_event_t::object_end:
      case Json::parse_event_t::array_end:
        frames.pop_back();
        ElementDone(frames);
        break;
      case Json::parse_event_t::value: ElementDone(frames); break;
    }
    return true;
  };
  try {
    return Json::parse(text, watch, /*allow_exceptions=*/true, /*ignore_comments=*/true);
  } catch (const Json::exception& e) {
    // Syntax errors and numbers beyond the double range.
    throw ScenarioError("the file", std::string("not valid JSON: ") + e.what());
  }
}

}  // namespace qm::scenario
