// The names a scenario's world declares and its steps use, checked once the
// whole file is read and before anything is built: a record, cell, reference
// or item named but not declared, or declared twice, makes the file
// malformed instead of failing the run half-way.
#include "world_declarations.h"

#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>

namespace qm::scenario {
namespace {

std::shared_ptr<Declarations>& Active() {
  static std::shared_ptr<Declarations> active;
  return active;
}

std::string Hex(std::uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", id);
  return text;
}

class NameCheck {
 public:
  explicit NameCheck(const Declarations& d) : d_(d) {}

  void Run() {
    Records();
    Cells();
    References();
    for (const HolderDecl& h : d_.holders) Holder(h);
    for (const LooseDecl& l : d_.loose) Loose(l);
    for (const NameUse& use : d_.uses) Use(use);
  }

 private:
  void Records() {
    for (const FormDecl& f : d_.forms) {
      const bool known = records_.count(f.id) != 0;
      if (known && f.kind != FormDecl::Kind::Keyword)
        throw ScenarioError(f.place, "form id " + Hex(f.id) + " declared twice");
      if (!known) records_.emplace(f.id, f.kind == FormDecl::Kind::Keyword ? std::string() : f.name);
      // Keywords a record carries are made on demand.
      for (std::uint32_t keyword : f.keywords) records_.emplace(keyword, std::string());
    }
    // An actor's base record is made when not declared.
    for (const HolderDecl& h : d_.holders) {
      if (h.actor && (h.base || h.player)) records_.emplace(h.base.value_or(0x7), h.id);
    }
  }

  void Cells() {
    for (const CellDecl& c : d_.cells) {
      if (!cells_.insert(c.id).second) throw ScenarioError(c.place + ".id", "two cells are named " + Quoted(c.id));
    }
  }

  void References() {
    for (const HolderDecl& h : d_.holders) AddReference(h.id, h.actor, h.place);
    for (const LooseDecl& l : d_.loose) AddReference(l.id, false, l.place);
  }

  void AddReference(const std::string& id, bool actor, const std::string& place) {
    if (!references_.emplace(id, actor).second)
      throw ScenarioError(place + ".id", "two references are named " + Quoted(id));
  }

  void Record(std::uint32_t id, const std::string& place) {
    if (records_.count(id) == 0) throw ScenarioError(place, "no record with form id " + Hex(id) + " is declared");
  }

  void Cell(const PlaceDecl& where, const std::string& place) {
    if (!where.cell.empty() && cells_.count(where.cell) == 0) {
      throw ScenarioError(place + ".cell", "no cell named " + Quoted(where.cell) + " is declared");
    }
  }

  void Item(const std::string& id, const std::string& place) {
    if (!items_.insert(id).second) throw ScenarioError(place, "two items are named " + Quoted(id));
  }

  // As the builder names an item without an id: "holder.Record name", then
  // "holder.Record name#2", ...
  std::string DefaultItemId(const std::string& holder, std::uint32_t form) const {
    const std::string& name = records_.at(form);
    const std::string base = holder + "." + (name.empty() ? Hex(form) : name);
    std::string id = base;
    for (int n = 2; items_.count(id) != 0; ++n) id = base + "#" + std::to_string(n);
    return id;
  }

  void Instance(const InstanceDecl& d) {
    if (d.poison != 0) Record(d.poison, d.place + ".poison.form");
  }

  void Holder(const HolderDecl& h) {
    if (!h.actor) Record(*h.base, h.place + ".base");
    Cell(h.where, h.place);
    if (h.marker) Record(*h.marker, h.place + ".marker");
    if (h.owner) Record(*h.owner, h.place + ".owner");
    for (std::size_t i = 0; i < h.members.size(); ++i)
      Record(h.members[i], h.place + ".members[" + std::to_string(i) + "]");
    if (h.rightHand) Record(*h.rightHand, h.place + ".hands.right");
    if (h.leftHand) Record(*h.leftHand, h.place + ".hands.left");
    for (const ItemLineDecl& line : h.items) {
      Record(line.form, line.place + ".form");
      for (const InstanceDecl& d : line.instances) {
        Instance(d);
        Item(d.id.empty() ? DefaultItemId(h.id, line.form) : d.id, d.place);
      }
    }
  }

  void Loose(const LooseDecl& l) {
    Record(l.form, l.place + ".form");
    Cell(l.where, l.place);
    if (l.owner) Record(*l.owner, l.place + ".owner");
    Instance(l.instance);
    Item(l.id, l.place + ".id");
  }

  void Use(const NameUse& use) {
    if (use.record) return Record(use.formId, use.place);
    const char* what = "item";
    bool known = false;
    switch (use.kind) {
      case NameKind::Item: known = items_.count(use.name) != 0; break;
      case NameKind::Reference:
      case NameKind::Holder:
        what = "reference";
        known = references_.count(use.name) != 0;
        break;
      case NameKind::Actor: {
        what = "actor";
        auto it = references_.find(use.name);
        known = it != references_.end() && it->second;
        break;
      }
    }
    if (!known)
      throw ScenarioError(use.place, std::string("no ") + what + " named " + Quoted(use.name) + " is declared");
  }

  const Declarations& d_;
  std::map<std::uint32_t, std::string> records_;  // form id -> name
  std::set<std::string> cells_;
  std::map<std::string, bool> references_;  // name -> is an actor
  std::set<std::string> items_;
};

}  // namespace

std::shared_ptr<Declarations> CurrentDeclarations() {
  if (!Active()) throw std::logic_error("world sections are parsed only inside a WorldDeclarationScope");
  return Active();
}

WorldDeclarationScope::WorldDeclarationScope() { Active() = std::make_shared<Declarations>(); }

WorldDeclarationScope::~WorldDeclarationScope() { Active().reset(); }

void WorldDeclarationScope::CheckNames() const { NameCheck(*Active()).Run(); }

void UseWorldName(NameKind kind, const std::string& name, const std::string& place) {
  CurrentDeclarations()->uses.push_back(NameUse{kind, name, 0, false, place});
}

void UseWorldRecord(std::uint32_t formId, const std::string& place) {
  CurrentDeclarations()->uses.push_back(NameUse{NameKind::Item, {}, formId, true, place});
}

}  // namespace qm::scenario
