#include "widget/widget_content.h"

#include "widget/durability_menu.h"
#include "widget/movie_value.h"
#include "widget/row_values.h"
#include "widget/widget_rows.h"

#include <array>

namespace qm::widget {
namespace {

enum Column { kIcons, kNames, kDurabilities, kColours, kColumnCount };

void Push(game::MovieValue& array, game::MovieValue element) {
  AppendToMovieArray(array, element);
  DropMovieValue(element);
}

}  // namespace

void UpdateWidgetContent(DurabilityMenu* menu) {
  game::MovieView* view = menu->menu.view;
  if (view == nullptr || !view->dispatch->GetVisible(view)) return;

  WidgetRows rows;
  CollectWidgetRows(menu->showItems != 0, rows);

  std::array<game::MovieValue, kColumnCount> columns{};
  for (game::MovieValue& column : columns) view->dispatch->CreateArray(view, &column);

  for (engine::ItemEntry& row : rows) {
    const RowValues values = ComputeRowValues(row);
    Push(columns[kIcons], StringValue(values.icon));
    Push(columns[kNames], StringValue(values.name));
    Push(columns[kDurabilities], NumberValue(values.durability));
    Push(columns[kColours], NumberValue(values.colour));
  }

  std::array<game::MovieValue, kColumnCount> args{};
  for (std::size_t i = 0; i < kColumnCount; ++i) CopyMovieValue(args[i], columns[i]);
  view->dispatch->Invoke(view, "_root.widget.UpdateMenu", nullptr, args.data(), kColumnCount);

  for (game::MovieValue& arg : args) DropMovieValue(arg);
  for (game::MovieValue& column : columns) DropMovieValue(column);
}

}  // namespace qm::widget
