#pragma once
// What the world sections of a scenario declare: records, cells, actors,
// containers and loose items, read when the file is parsed and built when
// the run starts (world_engine.cpp), checked in between (world_names.cpp).
#include "cells.h"
#include "items.h"
#include "scenario.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qm::scenario {

class RunContext;

struct FormDecl {
  std::string place;
  std::uint32_t id = 0;
  std::string name;
  enum class Kind { Weapon, Armor, Keyword, Container, Other } kind = Kind::Other;
  std::uint32_t typeOrSlots = 0;    // weapon type, armour slot mask, other form type
  std::uint32_t flagsOrWeight = 0;  // weapon flags, armour weight class
  std::vector<std::uint32_t> keywords;
};

struct InstanceDecl {
  std::string place;
  std::string id;
  gd::Worn worn = gd::Worn::No;
  std::optional<float> health;
  bool presenceBits = true;
  bool unbreakable = false;
  std::uint32_t poison = 0;
  std::uint32_t poisonCount = 0;
  bool healthBitWithoutEntry = false;
};

struct ItemLineDecl {
  std::string place;
  std::uint32_t form = 0;
  std::int32_t count = 1;
  std::vector<InstanceDecl> instances;
};

struct PlaceDecl {
  std::array<float, 3> position{0, 0, 0};
  std::string cell;  // empty: in no cell
};

struct HolderDecl {
  std::string place;
  std::string id;
  bool actor = false;
  std::optional<std::uint32_t> formId;
  std::optional<std::uint32_t> base;
  PlaceDecl where;
  std::optional<std::uint32_t> marker;
  std::optional<std::uint32_t> owner;
  bool inventoryChanges = true;
  std::vector<ItemLineDecl> items;
  // Actors only.
  bool player = false;
  std::uint16_t level = 1;
  bool follower = false;
  bool process = true;
  std::vector<std::uint32_t> members;
  std::optional<bool> leftHandAttack;
  bool handsGiven = false;
  std::optional<std::uint32_t> rightHand, leftHand;
};

struct LooseDecl {
  std::string place;
  std::string id;
  std::uint32_t form = 0;
  std::optional<std::uint32_t> formId;
  PlaceDecl where;
  std::optional<std::uint32_t> owner;
  InstanceDecl instance;
};

struct CellDecl {
  std::string place;
  std::string id;
  bool interior = false;
  std::uint8_t state = gd::kCellAttached;
  std::optional<std::pair<std::uint32_t, std::uint32_t>> grid;
};

// A name a step uses, checked against the declarations.
struct NameUse {
  NameKind kind;
  std::string name;
  std::uint32_t formId = 0;  // when a record is named
  bool record = false;
  std::string place;
};

struct Declarations {
  std::vector<FormDecl> forms;
  std::vector<CellDecl> cells;
  std::vector<HolderDecl> holders;
  std::vector<LooseDecl> loose;
  std::vector<NameUse> uses;
  bool built = false;
  void BuildOnce(RunContext& run);
};

// The declarations of the file being parsed (inside a WorldDeclarationScope).
std::shared_ptr<Declarations> CurrentDeclarations();


}  // namespace qm::scenario
