#include "widget/movie_value.h"

#include "game/game_bindings.h"

namespace qm::widget {

void DropMovieValue(game::MovieValue& value) {
  if (IsManaged(value) && value.objectInterface != nullptr) {
    game::Bindings.MovieValueDrop(value.objectInterface, &value, value.payload.object);
  }
  value.objectInterface = nullptr;
  value.type = game::kMovieValueUndefined;
  value.payload.object = nullptr;
}

void CopyMovieValue(game::MovieValue& destination, const game::MovieValue& source) {
  destination = source;
  if (IsManaged(destination) && destination.objectInterface != nullptr) {
    game::Bindings.MovieValueRetain(destination.objectInterface, &destination, destination.payload.object);
  }
}

void AppendToMovieArray(game::MovieValue& array, const game::MovieValue& element) {
  game::Bindings.MovieArrayAppend(array.objectInterface, array.payload.object, &element);
}

}  // namespace qm::widget
