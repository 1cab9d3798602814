// The widget's rows: which items they hold, and the icon, name, durability
// and colour each shows.
#include "magic_records.h"
#include "support/widget_fixture.h"

#include <cmath>
#include <limits>

namespace qmtest {
namespace {

constexpr double kUnbreakableColor = 0xFFFFFF;
constexpr double kBreakableColor = 0xFFD700;

enum RowIndex { kHead, kBody, kHands, kFeet, kLeftHand, kRightHand, kPower };

struct Row {
  std::string icon;
  std::string name;
  double durability;
  double colour;
};

class WidgetContent : public WidgetFixture {
 protected:
  // The rows of the next content update.
  std::vector<Row> Rows() {
    std::vector<Row> rows;
    const gd::RecordedInvoke* update = NextUpdate();
    if (update == nullptr || update->args.size() != 4) {
      ADD_FAILURE() << "no content update with four arrays";
      return rows;
    }
    for (const gd::RecordedValue& column : update->args) EXPECT_EQ(column.elements.size(), 7u);
    for (std::size_t i = 0; i < update->args[0].elements.size(); ++i) {
      rows.push_back({update->args[0].elements[i].text, update->args[1].elements[i].text,
                      update->args[2].elements[i].number, update->args[3].elements[i].number});
    }
    return rows;
  }

  // The icon of one worn armour piece as the only item.
  std::string ArmorIcon(std::uint32_t id, std::uint32_t slots, std::uint32_t weight,
                        const std::vector<std::uint32_t>& keywords = {}) {
    const std::string name = "Piece " + std::to_string(id);
    gd::ArmorForm& armor = forms().AddArmor(id, name, slots, weight, keywords);
    gd::InstanceSpec spec;
    spec.worn = gd::Worn::Right;
    items().GiveOne(player().ref, &armor.form, spec);
    return Icon(name);
  }

  // Finds the row an item landed in by its name and returns its icon.
  std::string Icon(const std::string& name) {
    for (const Row& row : Rows()) {
      if (row.name == name) return row.icon;
    }
    return "(not shown)";
  }

  gd::ArmorForm& WearArmor(std::uint32_t id, const std::string& name, std::uint32_t slots, std::uint32_t weight,
                           std::optional<float> health) {
    gd::ArmorForm& armor = forms().AddArmor(id, name, slots, weight);
    gd::InstanceSpec spec;
    spec.worn = gd::Worn::Right;
    spec.health = health;
    items().GiveOne(player().ref, &armor.form, spec);
    return armor;
  }
};

TEST_F(WidgetContent, HeavyBodyArmourShowsItsDurabilityInTheSecondRow) {
  StartWidget();
  WearArmor(0x12E49, "Iron Armor", 0x4, 1, 1.25f);
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kBody].icon, "armor_body");
  EXPECT_EQ(rows[kBody].name, "Iron Armor");
  EXPECT_EQ(rows[kBody].durability, 250.0);
  EXPECT_EQ(rows[kBody].colour, kUnbreakableColor) << "heavy armour cannot break by default";
  for (RowIndex blank : {kHead, kHands, kFeet, kLeftHand, kRightHand, kPower}) {
    EXPECT_EQ(rows[blank].icon, "none");
    EXPECT_EQ(rows[blank].name, "");
    EXPECT_EQ(rows[blank].durability, -1.0);
    EXPECT_EQ(rows[blank].colour, kUnbreakableColor);
  }
}

TEST_F(WidgetContent, DurabilityRoundsHalvesUpAndNeverGoesBelowZero) {
  StartWidget();
  WearArmor(0x1, "Helmet", 0x1, 1, 1.0625f);
  WearArmor(0x2, "Cuirass", 0x4, 1, 0.9f);
  WearArmor(0x3, "Gauntlets", 0x8, 1, std::nullopt);
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kHead].durability, 63.0);
  EXPECT_EQ(rows[kBody].durability, 0.0);
  EXPECT_EQ(rows[kHands].durability, 0.0);
}

TEST_F(WidgetContent, HealthThatIsNoFiniteNumberShowsAFiniteDurability) {
  // NaN reads as worn out; an infinity as the largest float of its sign.
  Settings("BreakChance", {"HeavyArmor=inf"});
  StartWidget();
  WearArmor(0x1, "Helmet", 0x1, 1, std::numeric_limits<float>::quiet_NaN());
  WearArmor(0x2, "Cuirass", 0x4, 1, std::numeric_limits<float>::infinity());
  WearArmor(0x3, "Gauntlets", 0x8, 1, -std::numeric_limits<float>::infinity());
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kHead].durability, 0.0);
  EXPECT_EQ(rows[kHead].colour, kBreakableColor);
  EXPECT_EQ(rows[kBody].durability,
            std::round((static_cast<double>(std::numeric_limits<float>::max()) - 1.0) * 1000.0));
  EXPECT_EQ(rows[kBody].colour, kUnbreakableColor);
  EXPECT_EQ(rows[kHands].durability, 0.0);
  EXPECT_EQ(rows[kHands].colour, kBreakableColor);
}

TEST_F(WidgetContent, BreakableColourMarksItemsWornDownToTheThreshold) {
  Settings("Degradation", {"EquipmentHealthThreshold=50"});
  Settings("BreakChance", {"HeavyArmor=10"});
  StartWidget();
  WearArmor(0x1, "At Threshold", 0x4, 1, 1.05f);
  WearArmor(0x2, "Above Threshold", 0x8, 1, 1.06f);
  WearArmor(0x3, "Light At Threshold", 0x80, 0, 1.05f);  // light armour keeps break chance 0
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kBody].colour, kBreakableColor);
  EXPECT_EQ(rows[kHands].colour, kUnbreakableColor);
  EXPECT_EQ(rows[kFeet].colour, kUnbreakableColor);
}

TEST_F(WidgetContent, HeadSlotArmourOfTheMaskIdentifiersGetsTheMaskIcon) {
  StartWidget();
  LoadSave();
  EXPECT_EQ(ArmorIcon(0x61C8B, 0x803, 0), "lightarmor_mask");
}

TEST_F(WidgetContent, HeadSlotArmourPastTheMaskIdentifiersGetsTheHeadIcon) {
  StartWidget();
  LoadSave();
  EXPECT_EQ(ArmorIcon(0x61C8B + 0x4C, 0x803, 0), "lightarmor_head");
}

TEST_F(WidgetContent, HeavyHeadSlotArmourJustBelowTheMaskIdentifiers) {
  StartWidget();
  LoadSave();
  EXPECT_EQ(ArmorIcon(0x61C8A, 0x2, 1), "armor_head");
}

TEST_F(WidgetContent, ClothingJewelleryAndUnsortedArmourIcons) {
  StartWidget();
  LoadSave();
  EXPECT_EQ(ArmorIcon(0x100, 0x4, 2, {0x8F95B}), "clothing_body");
  EXPECT_EQ(ArmorIcon(0x101, 0x8, 1), "armor_hands");
  EXPECT_EQ(ArmorIcon(0x102, 0x80, 0), "lightarmor_feet");
}

TEST_F(WidgetContent, EveryArmourKindAndSlotHasItsOwnIcon) {
  StartWidget();
  WearArmor(0x1, "Helmet", 0x1, 1, 1.0f);  // the player has an inventory
  LoadSave();
  struct Case {
    std::uint32_t slots;
    std::uint32_t weight;
    std::uint32_t keyword;
    const char* icon;
  };
  const std::uint32_t kMaskId = 0x61C8B + 0x4B;  // the last of the mask identifiers
  const Case cases[] = {
      // Each slot alone, light, heavy and clothing; body wins over head, head over hands, and so on.
      {0x4, 0, 0, "lightarmor_body"},
      {0x400, 1, 0, "armor_body"},
      {0x6, 2, 0x8F95B, "clothing_body"},
      {0x1, 0, 0, "lightarmor_head"},
      {0x800, 1, 0, "armor_head"},
      {0xA, 2, 0x8F95B, "clothing_head"},
      {0x8, 0, 0, "lightarmor_hands"},
      {0x18, 1, 0, "armor_hands"},
      {0x8, 2, 0x8F95B, "clothing_hands"},
      {0x10, 0, 0, "lightarmor_forearms"},
      {0x90, 1, 0, "armor_forearms"},
      {0x10, 2, 0x8F95B, "clothing_forearms"},
      {0x80, 0, 0, "lightarmor_feet"},
      {0x180, 1, 0, "armor_feet"},
      {0x80, 2, 0x8F95B, "clothing_feet"},
      {0x100, 0, 0, "lightarmor_calves"},
      {0x300, 1, 0, "armor_calves"},
      {0x100, 2, 0x8F95B, "clothing_calves"},
      {0x200, 0, 0, "lightarmor_shield"},
      {0x200, 1, 0, "armor_shield"},
      {0x200, 2, 0x8F95B, "clothing_shield"},
      {0x40, 0, 0, "default_armor"},
      {0x1000, 1, 0, "default_armor"},
      {0x20, 2, 0x8F95B, "default_armor"},
      // Jewellery by its slot: neck, finger, circlet, anything else.
      {0x20, 2, 0x8F95A, "armor_amulet"},
      {0x40, 2, 0x8F95A, "armor_ring"},
      {0x1000, 2, 0x8F95A, "armor_circlet"},
      {0x8, 2, 0x8F95A, "default_armor"},
      {0x60, 2, 0x8F95A, "armor_amulet"},
      {0x1040, 2, 0x8F95A, "armor_ring"},
      {0x1, 2, 0x8F95A, "default_armor"},
      // Neither weight class nor either keyword: the jewellery slots alone
      // make no jewellery, and another keyword makes no kind.
      {0x20, 2, 0, "default_armor"},
      {0x40, 2, 0, "default_armor"},
      {0x1000, 2, 0, "default_armor"},
      {0x1020, 2, 0x6D930, "default_armor"},
  };
  std::uint32_t id = 0x700;
  for (const Case& c : cases) {
    const std::vector<std::uint32_t> keywords = c.keyword != 0 ? std::vector<std::uint32_t>{c.keyword}
                                                               : std::vector<std::uint32_t>{};
    player().process()->rightHand = &forms().AddArmor(id++, "Piece", c.slots, c.weight, keywords).form;
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[kRightHand].icon, c.icon) << "slots " << std::hex << c.slots << " weight " << c.weight;
  }
  // The head slots of a mask identifier show a mask in every kind.
  for (std::uint32_t weight : {0u, 1u, 2u}) {
    player().process()->rightHand = &forms().AddArmor(kMaskId - weight, "Mask", 0x2, weight, {0x8F95B}).form;
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[kRightHand].icon, weight == 0 ? "lightarmor_mask" : weight == 1 ? "armor_mask" : "clothing_mask");
  }
}

TEST_F(WidgetContent, JewelleryWornOnTheHeadGetsTheCircletIcon) {
  StartWidget();
  LoadSave();
  // Slot 0x1000 alone is no row of its own; worn together with the head
  // slot the head row finds it.
  EXPECT_EQ(ArmorIcon(0x200, 0x1 | 0x1000, 2, {0x8F95A}), "armor_circlet");
}

TEST_F(WidgetContent, ArmourOfNoKnownKindOrSlotGetsTheDefaultIcon) {
  StartWidget();
  LoadSave();
  EXPECT_EQ(ArmorIcon(0x300, 0x4, 2), "default_armor");
  EXPECT_EQ(ArmorIcon(0x301, 0x1 | 0x20, 2, {0x8F95A}), "armor_amulet");
  // Armour held in the right hand is shown by its record alone; its slots
  // name none of the tested bits.
  gd::ArmorForm& odd = forms().AddArmor(0x302, "Odd Piece", 0x40000, 1);
  player().process()->rightHand = &odd.form;
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kRightHand].icon, "default_armor");
  EXPECT_EQ(rows[kRightHand].name, "") << "a record alone has no instance name";
  EXPECT_EQ(rows[kRightHand].durability, 0.0);
}

TEST_F(WidgetContent, HeadRowFallsBackToTheHairSlot) {
  StartWidget();
  WearArmor(0x400, "Hood", 0x2, 0, 1.0f);
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kHead].name, "Hood");
  EXPECT_EQ(rows[kHead].icon, "lightarmor_head");
}

TEST_F(WidgetContent, WeaponsInBothHandsWithTheirIcons) {
  StartWidget();
  gd::WeaponForm& staff = forms().AddWeapon(0x500, "Staff of Flames", 8);
  gd::WeaponForm& hammer = forms().AddWeapon(0x501, "Warhammer", 6, 0, {0x6D930});
  gd::InstanceSpec right;
  right.worn = gd::Worn::Right;
  right.health = 1.5f;
  gd::InstanceSpec left = right;
  left.worn = gd::Worn::Left;
  items().GiveOne(player().ref, &staff.form, right);
  items().GiveOne(player().ref, &hammer.form, left);
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kRightHand].icon, "weapon_staff");
  EXPECT_EQ(rows[kRightHand].durability, -1.0) << "staves do not wear";
  EXPECT_EQ(rows[kRightHand].colour, kUnbreakableColor);
  EXPECT_EQ(rows[kLeftHand].icon, "weapon_hammer");
  EXPECT_EQ(rows[kLeftHand].name, "Warhammer");
  EXPECT_EQ(rows[kLeftHand].durability, 500.0);
}

TEST_F(WidgetContent, AShieldInTheLeftHandIsFoundAmongOtherWornArmour) {
  StartWidget();
  WearArmor(0x600, "Iron Helmet", 0x1, 1, 1.2f);
  gd::ArmorForm& shield = forms().AddArmor(0x601, "Iron Shield", 0x200, 1);
  gd::InstanceSpec left;
  left.worn = gd::Worn::Left;
  left.health = 1.3f;
  items().GiveOne(player().ref, &shield.form, left);
  player().process()->leftHand = &shield.form;  // the game equips a shield in the left hand
  WearArmor(0x602, "Iron Boots", 0x80, 1, 1.1f);
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kLeftHand].name, "Iron Shield");
  EXPECT_EQ(rows[kLeftHand].durability, 300.0);
  EXPECT_EQ(rows[kHead].name, "Iron Helmet");
}

TEST_F(WidgetContent, EveryWeaponTypeHasItsIcon) {
  StartWidget();
  WearArmor(0x1, "Helmet", 0x1, 1, 1.0f);  // the player has an inventory
  LoadSave();
  // Hand-to-hand and types the game does not have show a sword; a two-handed
  // axe is a hammer only with the warhammer keyword.
  const char* const icons[] = {"weapon_sword", "weapon_sword",      "weapon_dagger",    "weapon_waraxe",
                               "weapon_mace",  "weapon_greatsword", "weapon_battleaxe", "weapon_bow",
                               "weapon_staff", "weapon_crossbow",   "weapon_sword"};
  gd::InstanceSpec inHand;
  inHand.worn = gd::Worn::Right;
  for (std::uint8_t type = 0; type < std::size(icons); ++type) {
    gd::WeaponForm& weapon = forms().AddWeapon(0x600 + type, "Weapon", type);
    items().GiveOne(player().ref, &weapon.form, inHand);
    player().process()->rightHand = &weapon.form;
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[kRightHand].icon, icons[type]) << "weapon type " << int{type};
  }
}

TEST_F(WidgetContent, HandFormsNotWornInTheInventoryGiveBlankRows) {
  StartWidget();
  gd::WeaponForm& sword = forms().AddWeapon(0x503, "Sword", 1);
  player().process()->rightHand = &sword.form;  // in hand, but no worn instance
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kRightHand].icon, "none");
}

TEST_F(WidgetContent, SpellsTorchesAndShoutsShowTheirRecordsName) {
  StartWidget();
  WearArmor(0x1, "Helmet", 0x1, 1, 1.0f);  // the player has an inventory
  gd::SpellForm& firebolt = world().Component<gd::MagicRecords>().AddSpell("Firebolt", 0, 20);
  gd::PlainForm& torch = forms().AddForm(0x1D4EC, 0x1F, "Torch");
  gd::PlainForm& shout = forms().AddForm(0x13E07, 0x77, "Unrelenting Force");
  player().process()->leftHand = &firebolt.form;
  player().process()->rightHand = &torch.form;
  player().selectedPower() = &shout.form;
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kLeftHand].icon, "default_destruction");
  EXPECT_EQ(rows[kLeftHand].name, "Firebolt");
  EXPECT_EQ(rows[kLeftHand].durability, -1.0);
  EXPECT_EQ(rows[kLeftHand].colour, kUnbreakableColor);
  EXPECT_EQ(rows[kRightHand].icon, "misc_torch");
  EXPECT_EQ(rows[kRightHand].name, "Torch");
  EXPECT_EQ(rows[kPower].icon, "default_shout");
  EXPECT_EQ(rows[kPower].name, "Unrelenting Force");
}

TEST_F(WidgetContent, WithoutAnInventoryEveryRowIsBlankEvenWithASpellInHand) {
  StartWidget();
  gd::SpellForm& firebolt = world().Component<gd::MagicRecords>().AddSpell("Firebolt", 0, 20);
  player().process()->leftHand = &firebolt.form;
  player().selectedPower() = &forms().AddForm(0x13E07, 0x77, "Unrelenting Force").form;
  LoadSave();
  ASSERT_EQ(refs().FindInventory(player().ref), nullptr);
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  for (const Row& row : rows) EXPECT_EQ(row.icon, "none") << row.name;
}

TEST_F(WidgetContent, SpellIconsByTypeAndSchool) {
  StartWidget();
  WearArmor(0x1, "Helmet", 0x1, 1, 1.0f);
  gd::MagicRecords& magic = world().Component<gd::MagicRecords>();
  const struct {
    std::uint32_t type;
    std::optional<std::uint32_t> school;
    const char* icon;
  } cases[] = {{0, 18, "default_alteration"},  {0, 19, "default_conjuration"},    {0, 21, "default_illusion"},
               {0, 22, "default_restoration"}, {0, 17, "default_effect"},         {0, std::nullopt, "default_effect"},
               {2, 20, "default_power"},       {3, std::nullopt, "default_power"}};
  LoadSave();
  for (const auto& c : cases) {
    player().selectedPower() = &magic.AddSpell("Spell", c.type, c.school).form;
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[kPower].icon, c.icon) << "type " << c.type;
  }
}

TEST_F(WidgetContent, ScrollsAndOtherRecordsInHand) {
  StartWidget();
  WearArmor(0x1, "Helmet", 0x1, 1, 1.0f);
  gd::PlainForm& scroll = forms().AddForm(0xA44, 0x17, "Scroll of Fireball");
  gd::PlainForm& potion = forms().AddForm(0xA45, 0x2E, "Potion");
  player().process()->leftHand = &scroll.form;
  player().process()->rightHand = &potion.form;
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[kLeftHand].icon, "default_scroll");
  EXPECT_EQ(rows[kLeftHand].name, "Scroll of Fireball");
  EXPECT_EQ(rows[kRightHand].icon, "default_misc");
  EXPECT_EQ(rows[kPower].icon, "none") << "no power or shout equipped";
}

TEST_F(WidgetContent, HiddenItemsStillSendSevenBlankRows) {
  StartWidget({"ToggleKeyCode=42"});
  WearArmor(0x1, "Helmet", 0x1, 1, 1.1f);
  LoadSave();
  Press(0, 42);
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  for (const Row& row : rows) {
    EXPECT_EQ(row.icon, "none");
    EXPECT_EQ(row.name, "");
    EXPECT_EQ(row.durability, -1.0);
  }
}

TEST_F(WidgetContent, PlayerWithoutInventoryGetsBlankRows) {
  StartWidget();
  LoadSave();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  for (const Row& row : rows) EXPECT_EQ(row.icon, "none");
}

}  // namespace
}  // namespace qmtest
