#pragma once
// Building, copying and dropping the values handed to the widget's movie.
// Managed values (arrays) are counted by the movie: a copy is retained, and
// a value is dropped before it is overwritten or goes away.
#include "game/game_ui.h"

namespace qm::widget {

inline game::MovieValue NumberValue(double number) {
  game::MovieValue value;
  value.type = game::kMovieValueNumber;
  value.payload.number = number;
  return value;
}

// The text must outlive every use of the value.
inline game::MovieValue StringValue(const char* text) {
  game::MovieValue value;
  value.type = game::kMovieValueString;
  value.payload.text = text;
  return value;
}

inline bool IsManaged(const game::MovieValue& value) { return (value.type & game::kMovieValueManaged) != 0; }

// Releases a managed value and leaves an undefined one; plain values are
// simply cleared.
void DropMovieValue(game::MovieValue& value);

// Copies into a slot that holds nothing to release; a managed source is
// retained for the copy.
void CopyMovieValue(game::MovieValue& destination, const game::MovieValue& source);

// Appends a copy of the element to an array value.
void AppendToMovieArray(game::MovieValue& array, const game::MovieValue& element);

}  // namespace qm::widget
