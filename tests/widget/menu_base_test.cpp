// The base menu's message handler, which the game reaches through the base
// table while a menu is being destroyed: only a movie event with a view and
// data goes to the movie, as its third field; everything else is left to
// the game (2).
#include "widget/menu_base.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace qm::widget {
namespace {

std::vector<const void*> handledEvents;

std::uint32_t RecordEvent(game::MovieView*, const void* event) {
  handledEvents.push_back(event);
  return 1;
}

TEST(MenuBase, MessageHandlerPassesOnlyMovieEventsWithAViewAndDataToTheMovie) {
  game::MovieViewDispatch viewDispatch{};
  viewDispatch.HandleEvent = RecordEvent;
  game::MovieView view{&viewDispatch};
  game::IMenu menu{};
  menu.view = &view;
  int event = 0;
  const void* eventData[3] = {nullptr, nullptr, &event};  // the event sits at 0x10
  game::UIMessage message{};
  message.type = 6;  // the game's number for a movie event, not the plug-in's constant
  message.data = eventData;
  const auto process = kMenuBaseDispatch.ProcessMessage;
  handledEvents.clear();  // a repeated run starts without the last run's events

  EXPECT_EQ(process(&menu, &message), 0u);
  ASSERT_EQ(handledEvents.size(), 1u);
  EXPECT_EQ(handledEvents[0], &event);

  message.type = 1;  // opening
  EXPECT_EQ(process(&menu, &message), 2u);
  message.type = 6;
  message.data = nullptr;
  EXPECT_EQ(process(&menu, &message), 2u);
  message.data = eventData;
  menu.view = nullptr;
  EXPECT_EQ(process(&menu, &message), 2u);
  EXPECT_EQ(handledEvents.size(), 1u);
}

}  // namespace
}  // namespace qm::widget
