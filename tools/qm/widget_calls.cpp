#include "widget_calls.h"

#include <map>
#include <nlohmann/json.hpp>

namespace qm::scenario {
namespace {

nlohmann::json ToJson(const gd::RecordedValue& value) {
  switch (value.type) {
    case gd::kValueNumber: return value.number;
    case gd::kValueString: return value.text;
    case gd::kValueArray: {
      nlohmann::json elements = nlohmann::json::array();
      for (const gd::RecordedValue& element : value.elements) elements.push_back(ToJson(element));
      return elements;
    }
    default: return nullptr;
  }
}

}  // namespace

std::vector<std::string> WidgetCallLines(const std::vector<gd::RecordedInvoke>& invokes) {
  std::map<const gd::MovieViewObj*, int> movies;
  std::vector<std::string> lines;
  for (const gd::RecordedInvoke& invoke : invokes) {
    const int movie = movies.emplace(invoke.view, static_cast<int>(movies.size()) + 1).first->second;
    nlohmann::json args = nlohmann::json::array();
    for (const gd::RecordedValue& arg : invoke.args) args.push_back(ToJson(arg));
    const nlohmann::json line = {{"movie", movie}, {"path", invoke.path}, {"args", args}};
    // Game text need not be UTF-8: a stray byte becomes U+FFFD rather than an exception.
    lines.push_back(line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  }
  return lines;
}

}  // namespace qm::scenario
