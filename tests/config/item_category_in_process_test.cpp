// The category of a record, which picks its wear rate and break chance.
#include "support/in_process_game.h"

#include "config/item_category.h"

namespace {

using qm::config::ItemCategory;

class Category : public qmtest::InProcessGame {
 protected:
  ItemCategory Of(gd::FormHeader& form) { return qm::config::CategoryOf(Form(form)); }
};

TEST_F(Category, WeaponsGoByTypeAndOnlyTypeSixAsksTheHammerKeyword) {
  forms().Keyword(0x6D930);
  const std::vector<std::pair<int, ItemCategory>> byType = {
      {0, ItemCategory::WeaponSword},     {1, ItemCategory::WeaponSword},  {2, ItemCategory::WeaponDagger},
      {3, ItemCategory::WeaponWarAxe},    {4, ItemCategory::WeaponMace},   {5, ItemCategory::WeaponGreatSword},
      {6, ItemCategory::WeaponBattleAxe}, {7, ItemCategory::WeaponBow},    {8, ItemCategory::WeaponSword},
      {9, ItemCategory::WeaponCrossbow},  {10, ItemCategory::WeaponSword}, {255, ItemCategory::WeaponSword},
  };
  std::uint32_t id = 0x100;
  for (const auto& [type, expected] : byType) {
    gd::WeaponForm& weapon = forms().AddWeapon(id++, "weapon", static_cast<std::uint8_t>(type));
    EXPECT_EQ(Of(weapon.form), expected) << "type " << type;
  }
  EXPECT_EQ(Of(forms().AddWeapon(0x200, "Warhammer", 6, 0, {0x6D930}).form), ItemCategory::WeaponHammer);
  EXPECT_EQ(Of(forms().AddWeapon(0x201, "Greatsword", 5, 0, {0x6D930}).form), ItemCategory::WeaponGreatSword);
}

TEST_F(Category, ArmourGoesByWeightClassAndOnlyNeitherAsksTheClothingKeyword) {
  forms().Keyword(0x8F95B);
  EXPECT_EQ(Of(forms().AddArmor(0x200, "Hide", 0x4, 0, {0x8F95B}).form), ItemCategory::LightArmor);
  EXPECT_EQ(Of(forms().AddArmor(0x201, "Steel", 0x4, 1).form), ItemCategory::HeavyArmor);
  EXPECT_EQ(Of(forms().AddArmor(0x202, "Robes", 0x4, 2, {0x8F95B}).form), ItemCategory::Clothing);
  EXPECT_EQ(Of(forms().AddArmor(0x203, "Ring", 0x40, 2).form), ItemCategory::DefaultArmor);
  EXPECT_EQ(Of(forms().AddArmor(0x204, "Odd", 0x4, 7, {0x8F95B}).form), ItemCategory::Clothing);
  EXPECT_EQ(Of(forms().AddForm(0x300, gd::form_type::kAlchemy, "Potion").form), ItemCategory::DefaultArmor);
  EXPECT_EQ(qm::config::CategoryOf(nullptr), ItemCategory::DefaultArmor);
}

TEST_F(Category, AKeywordTheGameDoesNotKnowIsHeldByNoRecord) {
  // No keyword record 0x6D930 or 0x8F95B in this game.
  EXPECT_EQ(Of(forms().AddWeapon(0x100, "Warhammer", 6).form), ItemCategory::WeaponBattleAxe);
  EXPECT_EQ(Of(forms().AddArmor(0x200, "Robes", 0x4, 2).form), ItemCategory::DefaultArmor);
}

TEST_F(Category, RatesAndChancesComeFromTheCategorysKey) {
  gd::ArmorForm& heavy = forms().AddArmor(0x200, "Steel", 0x4, 1);
  gd::ArmorForm& light = forms().AddArmor(0x201, "Hide", 0x4, 0);
  gd::FormHeader& potion = forms().AddForm(0x300, gd::form_type::kAlchemy, "Potion").form;
  EXPECT_EQ(qm::config::GetDegradationRateFor(Form(potion)), 3.0);
  EXPECT_EQ(qm::config::GetBreakChanceFor(Form(potion)), 0.0);

  qm::config::ConfigStore& store = qm::config::Store();
  store.breakChance.SetExisting("heavyarmor", 0.5);
  store.degradationRate.SetExisting("lightarmor", 7.25);
  EXPECT_EQ(qm::config::GetBreakChanceFor(Form(heavy.form)), 0.5);
  EXPECT_EQ(qm::config::GetBreakChanceFor(Form(light.form)), 0.0);
  EXPECT_EQ(qm::config::GetDegradationRateFor(Form(light.form)), 7.25);
  EXPECT_EQ(qm::config::GetDegradationRateFor(Form(heavy.form)), 3.0);
}

}  // namespace
