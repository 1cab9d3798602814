// World sections of the durability engine's game: records ("forms"), cells,
// actors, containers and items lying in the world ("looseItems"). The
// sections are read when the scenario is parsed and built together, in that
// order, when the first of them runs, so that a section may name what
// another one declares whatever their order in the file.
#include "cells.h"
#include "forms.h"
#include "items.h"
#include "references.h"
#include "run_context.h"
#include "scenario.h"
#include "world_declarations.h"

#include <array>
#include <memory>
#include <optional>

namespace qm::scenario {
namespace {

const Json* Optional(const Json& object, const char* key) {
  auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

std::vector<std::uint32_t> ReadIdList(const Json& value, const std::string& place) {
  if (!value.is_array()) throw ScenarioError(place, "expected a list of form ids");
  std::vector<std::uint32_t> ids;
  for (std::size_t i = 0; i < value.size(); ++i)
    ids.push_back(ReadU32(value[i], place + "[" + std::to_string(i) + "]"));
  return ids;
}

std::optional<std::uint32_t> ReadOptionalId(const Json& object, const char* key, const std::string& place) {
  const Json* value = Optional(object, key);
  if (value == nullptr || value->is_null()) return std::nullopt;
  return ReadU32(*value, place + "." + key);
}

void ReadFormList(const Json& section, const char* key, FormDecl::Kind kind, std::vector<FormDecl>& out,
                  const std::string& place) {
  const Json* list = Optional(section, key);
  if (list == nullptr) return;
  if (!list->is_array()) throw ScenarioError(place + "." + key, "expected a list");
  for (std::size_t i = 0; i < list->size(); ++i) {
    const std::string at = place + "." + key + "[" + std::to_string(i) + "]";
    const Json& item = (*list)[i];
    FormDecl form;
    form.place = at;
    form.kind = kind;
    if (kind == FormDecl::Kind::Keyword && !item.is_object()) {
      form.id = ReadU32(item, at);
      out.push_back(form);
      continue;
    }
    switch (kind) {
      case FormDecl::Kind::Weapon: CheckKeys(item, {"id", "name", "type", "flags", "keywords"}, at); break;
      case FormDecl::Kind::Armor: CheckKeys(item, {"id", "name", "slots", "weight", "keywords"}, at); break;
      case FormDecl::Kind::Other: CheckKeys(item, {"id", "name", "type"}, at); break;
      default: CheckKeys(item, {"id", "name"}, at); break;
    }
    form.id = ReadU32(Member(item, "id", at), at + ".id");
    if (const Json* name = Optional(item, "name")) form.name = ReadString(*name, at + ".name");
    if (kind == FormDecl::Kind::Weapon) {
      form.typeOrSlots = ReadU32(Member(item, "type", at), at + ".type");
      if (form.typeOrSlots > 0xFF) throw ScenarioError(at + ".type", "a weapon type is one byte");
      if (const Json* flags = Optional(item, "flags")) form.flagsOrWeight = ReadU32(*flags, at + ".flags");
      if (form.flagsOrWeight > 0xFFFF) throw ScenarioError(at + ".flags", "weapon flags are 16 bits");
    } else if (kind == FormDecl::Kind::Armor) {
      form.typeOrSlots = ReadU32(Member(item, "slots", at), at + ".slots");
      form.flagsOrWeight = ReadU32(Member(item, "weight", at), at + ".weight");
    } else if (kind == FormDecl::Kind::Other) {
      form.typeOrSlots = ReadU32(Member(item, "type", at), at + ".type");
      if (form.typeOrSlots > 0xFF) throw ScenarioError(at + ".type", "a form type is one byte");
    }
    if (const Json* keywords = Optional(item, "keywords")) form.keywords = ReadIdList(*keywords, at + ".keywords");
    out.push_back(form);
  }
}

Step ParseForms(const Json& section, const std::string& place) {
  CheckKeys(section, {"weapons", "armor", "keywords", "containers", "other"}, place);
  auto declarations = CurrentDeclarations();
  ReadFormList(section, "weapons", FormDecl::Kind::Weapon, declarations->forms, place);
  ReadFormList(section, "armor", FormDecl::Kind::Armor, declarations->forms, place);
  ReadFormList(section, "keywords", FormDecl::Kind::Keyword, declarations->forms, place);
  ReadFormList(section, "containers", FormDecl::Kind::Container, declarations->forms, place);
  ReadFormList(section, "other", FormDecl::Kind::Other, declarations->forms, place);
  return [declarations](RunContext& run) { declarations->BuildOnce(run); };
}
QM_WORLD_SECTION("forms", ParseForms);

InstanceDecl ReadInstance(const Json& item, const std::string& place) {
  InstanceDecl instance;
  instance.place = place;
  if (const Json* id = Optional(item, "id")) instance.id = ReadString(*id, place + ".id");
  if (const Json* worn = Optional(item, "worn")) {
    if (worn->is_boolean()) {
      instance.worn = worn->get<bool>() ? gd::Worn::Right : gd::Worn::No;
    } else {
      const std::string hand = ReadString(*worn, place + ".worn");
      if (hand == "right") {
        instance.worn = gd::Worn::Right;
      } else if (hand == "left") {
        instance.worn = gd::Worn::Left;
      } else {
        throw ScenarioError(place + ".worn", "expected true, false, \"right\" or \"left\"");
      }
    }
  }
  if (const Json* health = Optional(item, "health")) {
    if (health->is_string()) {
      if (health->get<std::string>() != "none") throw ScenarioError(place + ".health", "expected a number or \"none\"");
    } else {
      instance.health = ReadFloat(*health, place + ".health");
    }
  }
  if (const Json* bits = Optional(item, "presenceBits"))
    instance.presenceBits = ReadBool(*bits, place + ".presenceBits");
  if (const Json* flag = Optional(item, "unbreakable")) instance.unbreakable = ReadBool(*flag, place + ".unbreakable");
  if (const Json* flag = Optional(item, "healthBitWithoutEntry")) {
    instance.healthBitWithoutEntry = ReadBool(*flag, place + ".healthBitWithoutEntry");
  }
  if (const Json* poison = Optional(item, "poison")) {
    CheckKeys(*poison, {"form", "count"}, place + ".poison");
    instance.poison = ReadU32(Member(*poison, "form", place + ".poison"), place + ".poison.form");
    instance.poisonCount = ReadU32(Member(*poison, "count", place + ".poison"), place + ".poison.count");
  }
  if (!instance.presenceBits && (instance.worn != gd::Worn::No || instance.healthBitWithoutEntry)) {
    throw ScenarioError(place, "a list without presence bits cannot mark a worn instance or a health bit");
  }
  return instance;
}

std::vector<ItemLineDecl> ReadItems(const Json& items, const std::string& place) {
  if (!items.is_array()) throw ScenarioError(place, "expected a list of items");
  std::vector<ItemLineDecl> lines;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string at = place + "[" + std::to_string(i) + "]";
    const Json& item = items[i];
    CheckKeys(item,
              {"form", "count", "instances", "id", "worn", "health", "presenceBits", "unbreakable", "poison",
               "healthBitWithoutEntry"},
              at);
    ItemLineDecl line;
    line.place = at;
    line.form = ReadU32(Member(item, "form", at), at + ".form");
    if (const Json* count = Optional(item, "count")) line.count = ReadCount(*count, at + ".count");
    if (const Json* instances = Optional(item, "instances")) {
      if (!instances->is_array()) throw ScenarioError(at + ".instances", "expected a list");
      if (item.size() > 3 || (item.size() == 3 && !item.contains("count"))) {
        throw ScenarioError(at, "an item with \"instances\" takes only \"form\" and \"count\" besides");
      }
      for (std::size_t k = 0; k < instances->size(); ++k) {
        const std::string instanceAt = at + ".instances[" + std::to_string(k) + "]";
        CheckKeys((*instances)[k],
                  {"id", "worn", "health", "presenceBits", "unbreakable", "poison", "healthBitWithoutEntry"},
                  instanceAt);
        line.instances.push_back(ReadInstance((*instances)[k], instanceAt));
      }
    } else {
      line.instances.push_back(ReadInstance(item, at));
    }
    if (line.count < static_cast<std::int32_t>(line.instances.size())) {
      throw ScenarioError(at + ".count", "fewer units than instances");
    }
    lines.push_back(line);
  }
  return lines;
}

PlaceDecl ReadWhere(const Json& item, const std::string& place) {
  PlaceDecl where;
  if (const Json* position = Optional(item, "position")) {
    if (!position->is_array() || position->size() != 3) throw ScenarioError(place + ".position", "expected [x, y, z]");
    for (std::size_t k = 0; k < 3; ++k)
      where.position[k] = ReadFloat((*position)[k], place + ".position[" + std::to_string(k) + "]");
  }
  if (const Json* cell = Optional(item, "cell")) where.cell = ReadString(*cell, place + ".cell");
  return where;
}

Step ParseHolders(const Json& section, const std::string& place, bool actors) {
  if (!section.is_array()) throw ScenarioError(place, "expected a list");
  auto declarations = CurrentDeclarations();
  for (std::size_t i = 0; i < section.size(); ++i) {
    const std::string at = place + "[" + std::to_string(i) + "]";
    const Json& item = section[i];
    if (actors) {
      CheckKeys(item,
                {"id", "formId", "base", "position", "cell", "marker", "inventoryChanges", "items", "player", "level",
                 "follower", "process", "members", "leftHandAttack", "hands"},
                at);
    } else {
      CheckKeys(item, {"id", "formId", "base", "position", "cell", "marker", "owner", "inventoryChanges", "items"}, at);
    }
    HolderDecl holder;
    holder.place = at;
    holder.actor = actors;
    holder.id = ReadString(Member(item, "id", at), at + ".id");
    holder.formId = ReadOptionalId(item, "formId", at);
    holder.base = ReadOptionalId(item, "base", at);
    if (!actors && !holder.base) throw ScenarioError(at, "a container needs its \"base\" container record");
    holder.where = ReadWhere(item, at);
    holder.marker = ReadOptionalId(item, "marker", at);
    holder.owner = ReadOptionalId(item, "owner", at);
    if (const Json* flag = Optional(item, "inventoryChanges"))
      holder.inventoryChanges = ReadBool(*flag, at + ".inventoryChanges");
    if (const Json* items = Optional(item, "items")) holder.items = ReadItems(*items, at + ".items");
    if (!holder.inventoryChanges && !holder.items.empty()) throw ScenarioError(at, "items need inventory changes");
    if (actors) {
      if (const Json* flag = Optional(item, "player")) holder.player = ReadBool(*flag, at + ".player");
      if (const Json* level = Optional(item, "level")) {
        const std::uint32_t value = ReadU32(*level, at + ".level");
        if (value > 0xFFFF) throw ScenarioError(at + ".level", "a level is 16 bits");
        holder.level = static_cast<std::uint16_t>(value);
      }
      if (const Json* flag = Optional(item, "follower")) holder.follower = ReadBool(*flag, at + ".follower");
      if (const Json* flag = Optional(item, "process")) holder.process = ReadBool(*flag, at + ".process");
      if (const Json* members = Optional(item, "members")) holder.members = ReadIdList(*members, at + ".members");
      if (const Json* attack = Optional(item, "leftHandAttack")) {
        if (attack->is_boolean()) {
          holder.leftHandAttack = attack->get<bool>();
        } else if (!attack->is_string() || attack->get<std::string>() != "unreadable") {
          throw ScenarioError(at + ".leftHandAttack", "expected true, false or \"unreadable\"");
        }
      }
      if (const Json* hands = Optional(item, "hands")) {
        CheckKeys(*hands, {"right", "left"}, at + ".hands");
        if (!holder.process) throw ScenarioError(at + ".hands", "an actor without a process has no hands");
        holder.handsGiven = true;
        holder.rightHand = ReadOptionalId(*hands, "right", at + ".hands");
        holder.leftHand = ReadOptionalId(*hands, "left", at + ".hands");
      }
    }
    declarations->holders.push_back(holder);
  }
  return [declarations](RunContext& run) { declarations->BuildOnce(run); };
}
QM_WORLD_SECTION("actors", [](const Json& s, const std::string& p) { return ParseHolders(s, p, true); });
QM_WORLD_SECTION("containers", [](const Json& s, const std::string& p) { return ParseHolders(s, p, false); });

Step ParseLooseItems(const Json& section, const std::string& place) {
  if (!section.is_array()) throw ScenarioError(place, "expected a list");
  auto declarations = CurrentDeclarations();
  for (std::size_t i = 0; i < section.size(); ++i) {
    const std::string at = place + "[" + std::to_string(i) + "]";
    const Json& item = section[i];
    CheckKeys(item,
              {"id", "form", "formId", "position", "cell", "owner", "health", "presenceBits", "unbreakable",
               "healthBitWithoutEntry"},
              at);
    LooseDecl loose;
    loose.place = at;
    loose.id = ReadString(Member(item, "id", at), at + ".id");
    loose.form = ReadU32(Member(item, "form", at), at + ".form");
    loose.formId = ReadOptionalId(item, "formId", at);
    loose.where = ReadWhere(item, at);
    loose.owner = ReadOptionalId(item, "owner", at);
    loose.instance = ReadInstance(item, at);
    declarations->loose.push_back(loose);
  }
  return [declarations](RunContext& run) { declarations->BuildOnce(run); };
}
QM_WORLD_SECTION("looseItems", ParseLooseItems);

Step ParseCells(const Json& section, const std::string& place) {
  if (!section.is_array()) throw ScenarioError(place, "expected a list");
  auto declarations = CurrentDeclarations();
  for (std::size_t i = 0; i < section.size(); ++i) {
    const std::string at = place + "[" + std::to_string(i) + "]";
    const Json& item = section[i];
    CheckKeys(item, {"id", "interior", "state", "grid"}, at);
    CellDecl cell;
    cell.place = at;
    cell.id = ReadString(Member(item, "id", at), at + ".id");
    if (const Json* flag = Optional(item, "interior")) cell.interior = ReadBool(*flag, at + ".interior");
    if (const Json* state = Optional(item, "state")) {
      const std::uint32_t value = ReadU32(*state, at + ".state");
      if (value > 0xFF) throw ScenarioError(at + ".state", "a cell state is one byte");
      cell.state = static_cast<std::uint8_t>(value);
    }
    if (const Json* grid = Optional(item, "grid")) {
      if (!grid->is_array() || grid->size() != 2) throw ScenarioError(at + ".grid", "expected [i, j]");
      if (cell.interior) throw ScenarioError(at + ".grid", "an interior cell is not in the exterior grid");
      cell.grid = std::make_pair(ReadU32((*grid)[0], at + ".grid"), ReadU32((*grid)[1], at + ".grid"));
      if (cell.grid->first > 64 || cell.grid->second > 64) throw ScenarioError(at + ".grid", "grid index above 64");
    }
    declarations->cells.push_back(cell);
  }
  return [declarations](RunContext& run) { declarations->BuildOnce(run); };
}
QM_WORLD_SECTION("cells", ParseCells);

// --- building -------------------------------------------------------------

class Builder {
 public:
  explicit Builder(RunContext& run)
      : run_(run),
        forms_(run.world().Component<gd::Forms>()),
        refs_(run.world().Component<gd::References>()),
        cells_(run.world().Component<gd::Cells>()),
        items_(run.world().Component<gd::Items>()) {}

  gd::FormHeader* Form(std::uint32_t id, const std::string& place) {
    gd::FormHeader* form = forms_.Find(id);
    if (form == nullptr) run_.Fail(place, "no record with form id " + Hex(id) + " is declared");
    return form;
  }

  void Forms(const std::vector<FormDecl>& forms) {
    for (const FormDecl& f : forms) {
      if (forms_.Exists(f.id) && f.kind != FormDecl::Kind::Keyword) {
        run_.Fail(f.place, "form id " + Hex(f.id) + " declared twice");
        continue;
      }
      switch (f.kind) {
        case FormDecl::Kind::Weapon:
          forms_.AddWeapon(f.id, f.name, static_cast<std::uint8_t>(f.typeOrSlots),
                           static_cast<std::uint16_t>(f.flagsOrWeight), f.keywords);
          break;
        case FormDecl::Kind::Armor: forms_.AddArmor(f.id, f.name, f.typeOrSlots, f.flagsOrWeight, f.keywords); break;
        case FormDecl::Kind::Keyword: forms_.Keyword(f.id); break;
        case FormDecl::Kind::Container: forms_.AddForm(f.id, gd::form_type::kContainer, f.name); break;
        case FormDecl::Kind::Other: forms_.AddForm(f.id, static_cast<std::uint8_t>(f.typeOrSlots), f.name); break;
      }
    }
  }

  void Cells(const std::vector<CellDecl>& cells) {
    std::uint32_t dimension = 0;
    for (const CellDecl& c : cells) {
      if (c.grid) dimension = std::max({dimension, c.grid->first + 1, c.grid->second + 1});
    }
    if (dimension != 0) cells_.MakeGrid(dimension);
    for (const CellDecl& c : cells) {
      gd::CellRec& cell = cells_.AddCell(c.id, c.interior, c.state);
      if (c.grid) cells_.PutInGrid(cell, c.grid->first, c.grid->second);
    }
  }

  void PlaceIn(gd::ReferenceRec& reference, const PlaceDecl& where, const std::string& place) {
    refs_.SetPosition(reference, where.position[0], where.position[1], where.position[2]);
    if (where.cell.empty()) return;
    gd::CellRec* cell = cells_.Find(where.cell);
    if (cell == nullptr) {
      run_.Fail(place, "no cell named " + where.cell);
      return;
    }
    cells_.Place(reference, *cell);
  }

  gd::InstanceSpec Spec(const InstanceDecl& d) {
    gd::InstanceSpec spec;
    spec.id = d.id;
    spec.worn = d.worn;
    spec.health = d.health;
    spec.presenceBits = d.presenceBits;
    spec.unbreakable = d.unbreakable;
    spec.healthBitWithoutEntry = d.healthBitWithoutEntry;
    if (d.poison != 0) {
      spec.poison = Form(d.poison, d.place + ".poison");
      spec.poisonCount = d.poisonCount;
    }
    return spec;
  }

  void Holder(const HolderDecl& h) {
    gd::ReferenceRec* reference = nullptr;
    if (h.actor) {
      const std::uint32_t formId = h.formId.value_or(h.player ? 0x14 : NextReferenceId());
      const std::uint32_t baseId = h.base.value_or(h.player ? 0x7 : 0xFE000000u + formId % 0x1000000);
      gd::FormHeader* base = forms_.Find(baseId);
      if (base == nullptr) base = &forms_.AddForm(baseId, gd::form_type::kNpc, h.id).form;
      gd::ActorRec& actor = refs_.AddActor(h.id, formId, base);
      refs_.SetLevel(actor, h.level);
      if (h.follower) actor.boolBits() |= gd::kFollowerFlag;
      if (h.process) refs_.GiveProcess(actor);
      for (std::uint32_t group : h.members) {
        if (gd::FormHeader* form = Form(group, h.place + ".members")) refs_.AddMembership(actor, form);
      }
      refs_.SetLeftHandAttack(actor, h.leftHandAttack);
      if (h.player) {
        if (refs_.Player() != nullptr) run_.Fail(h.place, "a second player");
        refs_.SetPlayer(&actor);
      }
      reference = &actor.ref;
    } else {
      gd::FormHeader* base = Form(*h.base, h.place + ".base");
      if (base == nullptr) return;
      reference = &refs_.AddContainer(h.id, h.formId.value_or(NextReferenceId()), base);
    }
    PlaceIn(*reference, h.where, h.place);
    if (h.marker) {
      if (gd::FormHeader* marker = Form(*h.marker, h.place + ".marker")) {
        run_.world().Component<gd::ExtraData>().AddPointer(reference->extraList, gd::extra_type::kReferenceMarker,
                                                           marker);
      }
    }
    if (h.owner) {
      if (gd::FormHeader* owner = Form(*h.owner, h.place + ".owner")) refs_.SetOwner(*reference, owner);
    }
    if (h.inventoryChanges) refs_.Inventory(*reference);
    for (const ItemLineDecl& line : h.items) {
      gd::FormHeader* form = Form(line.form, line.place + ".form");
      if (form == nullptr) continue;
      std::vector<gd::InstanceSpec> specs;
      for (const InstanceDecl& d : line.instances) {
        gd::InstanceSpec spec = Spec(d);
        if (spec.id.empty()) spec.id = DefaultItemId(h.id, form);
        specs.push_back(spec);
      }
      items_.Give(*reference, form, line.count, specs);
    }
    if (h.actor && h.handsGiven) {
      gd::ProcessRec& process = *reinterpret_cast<gd::ActorRec*>(reference)->process();
      process.rightHand = h.rightHand ? Form(*h.rightHand, h.place + ".hands.right") : nullptr;
      process.leftHand = h.leftHand ? Form(*h.leftHand, h.place + ".hands.left") : nullptr;
    }
  }

  void Loose(const LooseDecl& l) {
    gd::FormHeader* form = Form(l.form, l.place + ".form");
    if (form == nullptr) return;
    gd::InstanceSpec spec = Spec(l.instance);
    gd::ReferenceRec& reference = items_.Lay(l.id, l.formId.value_or(NextReferenceId()), form, spec);
    PlaceIn(reference, l.where, l.place);
    if (l.owner) {
      if (gd::FormHeader* owner = Form(*l.owner, l.place + ".owner")) refs_.SetOwner(reference, owner);
    }
  }

 private:
  static std::string Hex(std::uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", id);
    return text;
  }
  std::uint32_t NextReferenceId() { return 0xFF000800u + nextReference_++; }
  // "bandit.Iron Sword", then "bandit.Iron Sword#2", ...
  std::string DefaultItemId(const std::string& holder, const gd::FormHeader* form) {
    const auto* named = reinterpret_cast<const gd::PlainForm*>(form);
    std::string base = holder + "." +
                       (named->fullName.text != nullptr && named->fullName.text[0] != '\0'
                            ? std::string(named->fullName.text)
                            : Hex(form->formId));
    std::string id = base;
    for (int n = 2; items_.Find(id) != nullptr; ++n) id = base + "#" + std::to_string(n);
    return id;
  }

  RunContext& run_;
  gd::Forms& forms_;
  gd::References& refs_;
  gd::Cells& cells_;
  gd::Items& items_;
  std::uint32_t nextReference_ = 0;
};

}  // namespace

void Declarations::BuildOnce(RunContext& run) {
  if (built) return;
  built = true;
  Builder builder(run);
  builder.Forms(forms);
  builder.Cells(cells);
  for (const HolderDecl& holder : holders) builder.Holder(holder);
  for (const LooseDecl& item : loose) builder.Loose(item);
}

}  // namespace qm::scenario
