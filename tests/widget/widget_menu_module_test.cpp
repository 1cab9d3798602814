// The widget menu: registration, automatic opening, set-up of the movie, the
// frame slot, and balance over many openings.
#include "support/widget_fixture.h"

#include <algorithm>

namespace qmtest {
namespace {

using WidgetMenu = WidgetFixture;

std::vector<double> Numbers(const gd::RecordedInvoke& invoke) {
  std::vector<double> numbers;
  for (const gd::RecordedValue& value : invoke.args) numbers.push_back(value.number);
  return numbers;
}

// The widget's answers to its messages, as (message type, answer) pairs.
using Answers = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
Answers AnswersOf(const gd::UiWorld& ui) {
  Answers answers;
  for (const gd::MessageAnswer& answer : ui.messageAnswers()) answers.emplace_back(answer.type, answer.answer);
  return answers;
}

TEST_F(WidgetMenu, OpensWhenASaveHasLoadedAndSetsUpTheMovieWithTheDefaults) {
  StartWidget();
  EXPECT_FALSE(WidgetOpen());
  LoadSave();
  ASSERT_TRUE(WidgetOpen());

  const gd::RecordedInvoke* setup = ui().LastInvoke("_root.widget.Setup");
  ASSERT_NE(setup, nullptr);
  EXPECT_FALSE(setup->hadResult);
  ASSERT_EQ(setup->args.size(), 4u);
  for (const gd::RecordedValue& value : setup->args) EXPECT_EQ(value.type, gd::kValueNumber);
  EXPECT_EQ(Numbers(*setup), (std::vector<double>{0.03, 0.73, 100.0, 8.0}));
  EXPECT_EQ(AnswersOf(ui()), (Answers{{1, 0}})) << "the open message is handled";
}

TEST_F(WidgetMenu, SetupFollowsTheWidgetSettings) {
  StartWidget({"PositionX=50", "PositionY=7", "Scale=80", "Flags=3"});
  LoadSave();
  const gd::RecordedInvoke* setup = ui().LastInvoke("_root.widget.Setup");
  ASSERT_NE(setup, nullptr);
  EXPECT_EQ(Numbers(*setup), (std::vector<double>{0.5, 0.07, 80.0, 3.0}));
}

TEST_F(WidgetMenu, SetupArgumentsOfTheLargestSettingsAreFiniteNumbers) {
  // -1 is held as the largest unsigned value; a non-number reads as 0.
  StartWidget({"PositionX=100", "PositionY=inf", "Scale=-1", "Flags=2147483647"});
  LoadSave();
  const gd::RecordedInvoke* setup = ui().LastInvoke("_root.widget.Setup");
  ASSERT_NE(setup, nullptr);
  EXPECT_EQ(Numbers(*setup), (std::vector<double>{1.0, 0.0, 4294967295.0, 2147483647.0}));
}

TEST_F(WidgetMenu, LoadedMovieIsLoggedAndSetsDepthAndFlags) {
  StartWidget();
  LoadSave();
  gd::MenuObj* menu = Widget();
  ASSERT_NE(menu, nullptr);
  EXPECT_NE(menu->view, nullptr);
  EXPECT_EQ(menu->depth, 2);
  EXPECT_EQ(menu->flags, 0x10802u);
  EXPECT_EQ(menu->context, 0x12u);
  EXPECT_EQ(menu->refCount, 1u);
  const std::vector<std::string> log = ReadLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "loaded Inteface/DurabilityMenu.swf"), 1);
}

TEST_F(WidgetMenu, MovieThatFailsToLoadLeavesTheMenuInertButCounting) {
  gd::UiOptions options;
  options.movieLoads = false;
  StartWidget({}, options);
  LoadSave();
  gd::MenuObj* menu = Widget();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->view, nullptr);
  EXPECT_EQ(menu->depth, 3);
  EXPECT_EQ(menu->flags, 0u);
  ui().Frames(30);
  EXPECT_EQ(ui().invokes().size(), 0u);
  EXPECT_EQ(ui().MessageMenu(gd::kWidgetMenuName, 3), 2u) << "without a movie nothing is handled";
  const std::vector<std::string> log = ReadLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "loaded Inteface/DurabilityMenu.swf"), 0);
  // Never marked open: a later save-load posts another open request, which
  // the game routes to the open menu again.
  ui().CloseMenu(gd::kWidgetMenuName);
  EXPECT_EQ(ui().movieHeapModel().LiveBlocks(), 0u);
  EXPECT_EQ(AnswersOf(ui()), (Answers{{1, 2}, {3, 2}, {3, 2}}));
}

TEST_F(WidgetMenu, ContentUpdateRunsOnEveryEleventhFrameCall) {
  StartWidget();
  LoadSave();  // the opening frame is the first call of the frame slot
  ASSERT_TRUE(WidgetOpen());
  ui().Frames(9);
  EXPECT_EQ(UpdateCount(), 0u) << "10 calls";
  ui().Frames(1);
  EXPECT_EQ(UpdateCount(), 1u) << "11 calls";
  ui().Frames(10);
  EXPECT_EQ(UpdateCount(), 1u) << "21 calls";
  ui().Frames(1);
  EXPECT_EQ(UpdateCount(), 2u) << "22 calls";
}

TEST_F(WidgetMenu, NoMenuManagerRegistersNothing) {
  gd::UiOptions options;
  options.menuManager = false;
  StartWidget({}, options);
  LoadSave();
  EXPECT_FALSE(WidgetOpen());
  EXPECT_EQ(ui().movieHeapModel().Allocations(), 0u);
}

TEST_F(WidgetMenu, AutoOpenWaitsWhileTheBlockingMenuIsOpen) {
  StartWidget();
  ui().OpenMenu(ui().options().blockingMenu, 0);
  LoadSave();
  EXPECT_FALSE(WidgetOpen());
  ui().CloseMenu(ui().options().blockingMenu);
  LoadSave();
  EXPECT_TRUE(WidgetOpen());
}

TEST_F(WidgetMenu, OtherMenusClosingDoNotOpenTheWidget) {
  StartWidget();
  ui().OpenMenu("InventoryMenu", 0);
  ui().CloseMenu("InventoryMenu");
  ui().OpenMenu(ui().options().triggerMenu, 0);  // opening, not closing
  ui().Frames(1);
  EXPECT_FALSE(WidgetOpen());
}

TEST_F(WidgetMenu, AutoOpenSinkSeeingTheWidgetOpenPostsNothingAndLeaves) {
  StartWidget();
  const std::uint32_t sinksBefore = ui().manager()->openCloseSource.size;
  // Something else opened the widget while the first auto-open sink waits.
  ui().OpenMenu(gd::kWidgetMenuName, 0);
  ASSERT_TRUE(WidgetOpen());
  ui().OpenMenu(ui().options().triggerMenu, 0);
  ui().CloseMenu(ui().options().triggerMenu);
  // The auto-open sink left; the widget's own open/close sink is on.
  EXPECT_EQ(ui().manager()->openCloseSource.size, sinksBefore);
  // Closing arms a new sink; had the old one posted an open request, the
  // next frame would create the widget again.
  ui().CloseMenu(gd::kWidgetMenuName);
  ui().Frames(1);
  EXPECT_FALSE(WidgetOpen());
  LoadSave();
  EXPECT_TRUE(WidgetOpen());
}

TEST_F(WidgetMenu, ClosingArmsTheNextOpeningAndSecondOpenRequestsAreIgnored) {
  StartWidget();
  LoadSave();
  ASSERT_TRUE(WidgetOpen());
  ui().OpenMenu(gd::kWidgetMenuName, 0);  // a second open message to the open menu
  EXPECT_EQ(ui().InvokeCount("_root.widget.Setup"), 1u);
  // Messages other than opening and closing are left to the game.
  std::uint64_t movieEvent[3] = {0, 0, 0x1234};
  for (std::uint32_t type : {0u, 2u, 4u, 6u, 7u}) {
    EXPECT_EQ(ui().MessageMenu(gd::kWidgetMenuName, type, movieEvent), 2u) << "type " << type;
  }
  EXPECT_EQ(ui().handledEvents(), 0u) << "a movie event is not handed to the movie";
  ui().CloseMenu(gd::kWidgetMenuName);
  EXPECT_FALSE(WidgetOpen());
  LoadSave();
  EXPECT_TRUE(WidgetOpen());
  EXPECT_EQ(ui().InvokeCount("_root.widget.Setup"), 2u);
  EXPECT_EQ(AnswersOf(ui()), (Answers{{1, 0}, {1, 0}, {0, 2}, {2, 2}, {4, 2}, {6, 2}, {7, 2}, {3, 0}, {1, 0}}));
}

TEST_F(WidgetMenu, ThousandOpeningsAndClosingsLeaveEverythingBalanced) {
  StartWidget({"HideWithWeaponsSheathed=true", "ToggleKeyCode=42"});
  player().stateWord() = 0x60;  // weapon drawn: the rows carry the helmet
  WearHelmet();
  LoadSave();
  ASSERT_TRUE(WidgetOpen());
  ui().CloseMenu(gd::kWidgetMenuName);
  const std::size_t gameHeapBlocks = world().heap().LiveBlocks();
  const std::uint32_t openCloseSinks = ui().manager()->openCloseSource.size;

  for (int i = 0; i < 1000; ++i) {
    LoadSave();
    ASSERT_TRUE(WidgetOpen()) << "opening " << i;
    ui().Frames(11);  // one content update per opening
    ui().CloseMenu(gd::kWidgetMenuName);
  }
  EXPECT_EQ(UpdateCount(), 1000u);
  EXPECT_EQ(ui().movieHeapModel().LiveBlocks(), 0u);
  EXPECT_EQ(world().heap().LiveBlocks(), gameHeapBlocks);
  EXPECT_EQ(ui().LiveManagedValues(), 0u);
  EXPECT_EQ(ui().LiveViews(), 0u);
  EXPECT_EQ(ui().manager()->openCloseSource.size, openCloseSinks);
  EXPECT_EQ(ui().InputSource().size, 0u);
  EXPECT_EQ(ui().ActionSource().size, 0u);
}

// A second menu object made by the factory while the widget is open must not
// take the open widget's sinks with it when it closes.
TEST_F(WidgetMenu, ClosingASecondMenuObjectLeavesTheOpenWidgetsSinks) {
  StartWidget({"ToggleKeyCode=42"});
  LoadSave();
  ASSERT_TRUE(WidgetOpen());
  ASSERT_EQ(ui().InputSource().size, 1u);

  const gd::MenuTableEntry* entry = ui().FindEntry(world().strings().Intern(gd::kWidgetMenuName));
  ASSERT_NE(entry, nullptr);
  gd::MenuObj* second = entry->create();
  ASSERT_NE(second, nullptr);
  gd::UiMessage open{{nullptr}, 1, 0, nullptr, 0, {}};
  gd::UiMessage close{{nullptr}, 3, 0, nullptr, 0, {}};
  second->vtbl->processMessage(second, &open);
  second->vtbl->processMessage(second, &close);
  EXPECT_EQ(ui().InputSource().size, 1u) << "the open widget still toggles";
  LoadSave();
  EXPECT_EQ(ui().InvokeCount("_root.widget.Setup"), 1u) << "the widget is still known to be open";

  ui().CloseMenu(gd::kWidgetMenuName);
  EXPECT_EQ(ui().InputSource().size, 0u) << "no sink of a destroyed menu is left on the source";
}

}  // namespace
}  // namespace qmtest
