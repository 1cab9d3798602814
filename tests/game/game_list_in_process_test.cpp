// The game's singly linked lists as the plug-in builds them on the game heap
// (the widget hands one to the game's naming function).
#include "support/in_process_game.h"

#include "game/game_list.h"

#include <unistd.h>

namespace {

class GameList : public qmtest::InProcessGame {};

TEST_F(GameList, KeepsItemsInOrderAndReturnsEveryNodeToTheGameHeap) {
  const std::size_t live = world().heap().LiveBlocks();
  int first = 0, second = 0, third = 0;
  qm::game::GameListNode* list = qm::game::CreateGameList();
  EXPECT_EQ(list->item, nullptr);
  EXPECT_EQ(list->next, nullptr);
  qm::game::AppendToGameList(list, &first);
  EXPECT_EQ(list->next, nullptr) << "the empty head takes the first item";
  qm::game::AppendToGameList(list, &second);
  qm::game::AppendToGameList(list, &third);
  ASSERT_NE(list->next, nullptr);
  ASSERT_NE(list->next->next, nullptr);
  EXPECT_EQ(list->item, &first);
  EXPECT_EQ(list->next->item, &second);
  EXPECT_EQ(list->next->next->item, &third);
  EXPECT_EQ(list->next->next->next, nullptr);
  EXPECT_EQ(world().heap().LiveBlocks(), live + 3);
  qm::game::DestroyGameList(list);
  EXPECT_EQ(world().heap().LiveBlocks(), live);
}

// The game heap refusing a second node stops the process with the report
// that names the place, as the game's own list code does.
TEST_F(GameList, ASecondNodeWithoutMemoryStopsWithTheReport) {
  GTEST_FLAG_SET(death_test_style, "fast");
  int first = 0, second = 0;
  qm::game::GameListNode* list = qm::game::CreateGameList();
  qm::game::AppendToGameList(list, &first);
  EXPECT_DEATH(
      {
        ::dup2(STDERR_FILENO, STDOUT_FILENO);  // the report's echo on standard output
        world().heap().FailAllocation(1);
        qm::game::AppendToGameList(list, &second);
      },
      "Assertion failed in GameTypes \\(617\\): node");
  qm::game::DestroyGameList(list);
}

}  // namespace
