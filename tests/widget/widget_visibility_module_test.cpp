// The widget's three sinks: hiding behind other menus, following the
// player's weapons, and the toggle button.
#include "support/widget_fixture.h"

namespace qmtest {
namespace {

using WidgetVisibility = WidgetFixture;
using WidgetToggle = WidgetFixture;
using WidgetWeaponState = WidgetFixture;

constexpr std::uint32_t kKeyboard = 0;
constexpr std::uint32_t kMouse = 1;
constexpr std::uint32_t kGamepad = 2;

TEST_F(WidgetVisibility, MenusFlaggedToCoverTheWidgetHideItUntilNoneIsLeft) {
  StartWidget();
  LoadSave();
  ASSERT_TRUE(MovieVisible());

  ui().OpenMenu("InventoryMenu", 0x4000);
  EXPECT_FALSE(MovieVisible());
  ui().OpenMenu("Journal Menu", 0x1);
  ui().CloseMenu("InventoryMenu");
  EXPECT_FALSE(MovieVisible()) << "a pausing menu is still open";
  ui().CloseMenu("Journal Menu");
  EXPECT_TRUE(MovieVisible());
  // No event at all, as another plug-in sending through the source can
  // deliver: passed on (0), the movie left as it is.
  world().Dispatch(ui().manager()->openCloseSource, nullptr);
  EXPECT_TRUE(MovieVisible());
}

TEST_F(WidgetVisibility, OtherMenusLeaveTheMovieAlone) {
  StartWidget();
  LoadSave();
  ui().OpenMenu("HUD Menu", 0x2);
  EXPECT_TRUE(MovieVisible());
  ui().CloseMenu("HUD Menu");
  EXPECT_TRUE(MovieVisible());
}

TEST_F(WidgetVisibility, HiddenMovieReceivesNoRows) {
  StartWidget();
  LoadSave();
  ui().OpenMenu("InventoryMenu", 0x4000);
  ui().Frames(30);
  EXPECT_EQ(UpdateCount(), 0u);
  ui().CloseMenu("InventoryMenu");
  EXPECT_NE(NextUpdate(), nullptr);
}

TEST_F(WidgetToggle, FirstPressOfTheKeyInvertsTheRowsRepeatsAndReleasesDoNot) {
  StartWidget({"ToggleKeyCode=42"});
  WearHelmet();
  LoadSave();
  EXPECT_TRUE(RowsShown());
  Press(kKeyboard, 42);
  EXPECT_FALSE(RowsShown());
  Press(kKeyboard, 42, 1.0f, 0.5f);  // held
  EXPECT_FALSE(RowsShown());
  Press(kKeyboard, 42, 0.0f, 0.7f);  // released
  EXPECT_FALSE(RowsShown());
  Press(kKeyboard, 41);
  EXPECT_FALSE(RowsShown());
  Press(kKeyboard, 42);
  EXPECT_TRUE(RowsShown());
}

TEST_F(WidgetToggle, EveryMatchingPressOfOneDeliveryCounts) {
  StartWidget({"ToggleKeyCode=42"});
  WearHelmet();
  LoadSave();
  gd::InputSpec press;
  press.keyCode = 42;
  gd::InputSpec otherType = press;
  otherType.eventType = 1;  // not a button event
  ui().DeliverInput({press, otherType, press, press});
  EXPECT_FALSE(RowsShown());
  // A delivery without a chain, as another plug-in sending through the
  // source can make: passed on (0), nothing toggled.
  world().Dispatch(ui().InputSource(), nullptr);
  EXPECT_FALSE(RowsShown());
}

TEST_F(WidgetToggle, MouseButtonsCountFrom256) {
  StartWidget({"ToggleKeyCode=257"});
  WearHelmet();
  LoadSave();
  Press(kKeyboard, 1);
  EXPECT_TRUE(RowsShown());
  Press(kMouse, 1);
  EXPECT_FALSE(RowsShown());
}

TEST_F(WidgetToggle, GamepadButtonsMapToTheirCodesAndUnknownOnesAreIgnored) {
  StartWidget({"ToggleKeyCode=276"});
  WearHelmet();
  LoadSave();
  Press(kGamepad, 0x1001);
  Press(kKeyboard, 276);  // a keyboard code that happens to equal the setting
  Press(kGamepad, 276);
  EXPECT_FALSE(RowsShown()) << "only the keyboard press matched";
  Press(kGamepad, 0x1000);
  EXPECT_TRUE(RowsShown());
}

TEST_F(WidgetToggle, CodesFrom282OnNeverMatch) {
  StartWidget({"ToggleKeyCode=282"});
  WearHelmet();
  LoadSave();
  // Each on its own: an even number of wrong toggles would hide each other.
  Press(kKeyboard, 282);
  EXPECT_TRUE(RowsShown());
  Press(kGamepad, 0x1001);
  EXPECT_TRUE(RowsShown());
  Press(7, 282);
  EXPECT_TRUE(RowsShown());
  Press(kMouse, 26);
  EXPECT_TRUE(RowsShown());
}

TEST_F(WidgetToggle, WithoutAToggleKeyNoInputSinkIsAdded) {
  StartWidget();
  WearHelmet();
  LoadSave();
  EXPECT_EQ(ui().InputSource().size, 0u);
  Press(kKeyboard, 0);
  EXPECT_TRUE(RowsShown());
}

TEST_F(WidgetWeaponState, OpeningReadsTheWeaponStateOfThePlayer) {
  StartWidget({"HideWithWeaponsSheathed=true"});
  WearHelmet();
  player().stateWord() = 2u << 5;
  LoadSave();
  EXPECT_FALSE(RowsShown());
  ui().CloseMenu(gd::kWidgetMenuName);
  player().stateWord() = (3u << 5) | 0x1F;
  LoadSave();
  EXPECT_TRUE(RowsShown());
}

TEST_F(WidgetWeaponState, DrawingAndSheathingOfThePlayerOnlyCount) {
  StartWidget({"HideWithWeaponsSheathed=true"});
  WearHelmet();
  LoadSave();
  EXPECT_FALSE(RowsShown());
  ui().DeliverAction(8, true);
  EXPECT_TRUE(RowsShown());
  ui().DeliverAction(10, false);
  EXPECT_TRUE(RowsShown());
  ui().DeliverAction(9, true);
  EXPECT_TRUE(RowsShown());
  ui().DeliverAction(10, true);
  EXPECT_FALSE(RowsShown());
  ui().DeliverAction(8, false);
  EXPECT_FALSE(RowsShown());
  ui().DeliverAction(9, true);  // the player's other actions change nothing
  EXPECT_FALSE(RowsShown());
}

TEST_F(WidgetWeaponState, WithoutTheSettingRowsStayShownAndNoActionSinkIsAdded) {
  StartWidget();
  WearHelmet();
  player().stateWord() = 0;
  ui().movieHeapModel().SetFreshByte(0);  // the menu's block held zeros before
  LoadSave();
  EXPECT_EQ(ui().ActionSource().size, 0u);
  ui().DeliverAction(10, true);
  EXPECT_TRUE(RowsShown());
}

TEST_F(WidgetWeaponState, WithoutActionOrInputEventsTheWidgetStillOpensAndCloses) {
  // An extender without action events and a game whose input source is not
  // made yet: the sinks that need them are left out, nothing is attached to
  // or detached from a missing source.
  gd::UiOptions options;
  options.inputSource = false;
  StartWidget({"HideWithWeaponsSheathed=true", "ToggleKeyCode=42"}, options);
  host().SetEventDispatcher(3, nullptr);
  WearHelmet();
  player().stateWord() = 3u << 5;
  LoadSave();
  ASSERT_TRUE(WidgetOpen());
  EXPECT_TRUE(RowsShown());
  EXPECT_EQ(ui().ActionSource().size, 0u);
  ui().CloseMenu(gd::kWidgetMenuName);
  EXPECT_FALSE(WidgetOpen());
}

}  // namespace
}  // namespace qmtest
