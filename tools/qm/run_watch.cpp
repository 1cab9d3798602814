#include "run_watch.h"

#include "items.h"
#include "ui_world.h"

#include <cstdio>

namespace qm::scenario {
namespace {

constexpr const char* kUpdatePath = "_root.widget.UpdateMenu";

std::string Cell(const gd::RecordedValue& value, bool colour) {
  if (value.type == gd::kValueString) return value.text;
  if (value.type != gd::kValueNumber) return "?";
  char text[32];
  if (colour) {
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(value.number));
  } else {
    std::snprintf(text, sizeof text, "%.0f", value.number);
  }
  return text;
}

void TraceTable(RunContext& run, const std::vector<std::vector<std::string>>& rows) {
  static const char* const kHeads[4] = {"icon", "name", "durability", "colour"};
  std::size_t width[4] = {};
  for (int c = 0; c < 4; ++c) width[c] = std::string(kHeads[c]).size();
  for (const auto& row : rows) {
    for (int c = 0; c < 4; ++c) width[c] = std::max(width[c], row[c].size());
  }
  const auto line = [&](const std::string(&cells)[4]) {
    std::string text = "  |";
    for (int c = 0; c < 4; ++c) {
      std::string cell = cells[c];
      cell.resize(width[c], ' ');
      text += " " + cell + " |";
    }
    return text;
  };
  std::string rule = "  +";
  for (int c = 0; c < 4; ++c) rule += std::string(width[c] + 2, '-') + "+";
  run.Trace("  widget rows (UpdateMenu):");
  run.Trace(rule);
  run.Trace(line({kHeads[0], kHeads[1], kHeads[2], kHeads[3]}));
  run.Trace(rule);
  for (const auto& row : rows) run.Trace(line({row[0], row[1], row[2], row[3]}));
  run.Trace(rule);
}

}  // namespace

std::vector<std::vector<std::string>> WidgetRows(const std::vector<gd::RecordedValue>& args) {
  std::vector<std::vector<std::string>> rows;
  if (args.size() != 4) return rows;
  std::size_t count = 0;
  for (const auto& column : args) count = std::max(count, column.elements.size());
  for (std::size_t r = 0; r < count; ++r) {
    std::vector<std::string> row;
    for (std::size_t c = 0; c < 4; ++c) {
      const auto& elements = args[c].elements;
      row.push_back(r < elements.size() ? Cell(elements[r], c == 3) : "");
    }
    rows.push_back(row);
  }
  return rows;
}

void WatchStep(RunContext& run, std::size_t traceStart) {
  gd::World& world = run.world();
  RunHistory& history = world.Component<RunHistory>();

  if (gd::UiWorld* ui = world.FindComponent<gd::UiWorld>()) {
    const auto& invokes = ui->invokes();
    for (std::size_t i = history.invokesSeen; i < invokes.size(); ++i) {
      if (invokes[i].path != kUpdatePath) continue;
      history.lastRows = WidgetRows(invokes[i].args);
      TraceTable(run, history.lastRows);
    }
    history.invokesSeen = invokes.size();
  }

  HistoryPoint point;
  point.label = traceStart < run.trace().size() ? run.trace()[traceStart] : "";
  if (gd::Items* items = world.FindComponent<gd::Items>()) {
    for (const gd::NamedItem& item : items->All()) {
      if (!items->Present(item)) {
        point.health.push_back(std::nullopt);
      } else {
        point.health.push_back(items->Health(item).value_or(1.0f));  // no entry: the game reads 1.0
      }
    }
  }
  history.points.push_back(std::move(point));
}

}  // namespace qm::scenario
