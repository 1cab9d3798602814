#pragma once
// One game double with the real module loaded and started, shared by every
// benchmark of the run (the double allows one world per process). The
// player stands at the origin of an interior cell whose reference table each
// benchmark fills as it needs. QM_BENCH_RUNTIME names the runtime the double
// simulates (default 1.5.39), as `qm run --runtime` does.
#include "cells.h"
#include "extra_data.h"
#include "forms.h"
#include "host_double.h"
#include "inventory.h"
#include "library_file.h"
#include "process_facts.h"
#include "references.h"
#include "world.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qmbench {

class BenchWorld {
 public:
  static BenchWorld& Instance() {
    static BenchWorld instance;
    return instance;
  }

  gd::World& world() { return *world_; }
  gd::Forms& forms() { return world_->Component<gd::Forms>(); }
  gd::References& references() { return world_->Component<gd::References>(); }
  gd::Inventories& inventories() { return world_->Component<gd::Inventories>(); }
  gd::ExtraData& extra() { return world_->Component<gd::ExtraData>(); }
  gd::ActorRec& player() { return *player_; }
  gd::CellRec& room() { return *room_; }

  gd::EventSinkObj* HitSink() { return world_->HitSource().sinks[0]; }
  gd::EventSinkObj* UpdateSink() { return world_->UpdateSource().sinks[0]; }
  // One frame's update: the update event's sink where the plug-in has one,
  // otherwise the script extender's tasks of a frame.
  void SendUpdate() {
    if (world_->UpdateSource().size == 0) {
      host_->RunFrameTasks();
      return;
    }
    const std::uint8_t event[8] = {};
    UpdateSink()->vtbl->receive(UpdateSink(), event, &world_->UpdateSource());
  }

  // Makes the room's reference table hold exactly these references, each
  // followed by a free slot as in the game's table.
  void FillRoom(const std::vector<gd::ReferenceRec*>& references) {
    roomSlots_.assign(references.size() * 2, gd::CellRefSlot{nullptr, nullptr});
    for (std::size_t i = 0; i < references.size(); ++i) {
      references[i]->cell = room_;
      roomSlots_[i * 2] = gd::CellRefSlot{references[i], &usedMark_};
    }
    room_->slots() = roomSlots_.data();
    room_->slotCount() = static_cast<std::uint32_t>(roomSlots_.size());
  }

 private:
  BenchWorld() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qm-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    std::filesystem::create_directories(root_ + "/game/data/SKSE/Plugins/Quellmark");
    std::filesystem::create_directories(root_ + "/documents");
    ::setenv("QUELLMARK_SEED", "5489", 1);

    const char* runtimeName = std::getenv("QM_BENCH_RUNTIME");
    const gd::RuntimeOffsets* runtime = gd::FindRuntime(runtimeName != nullptr ? runtimeName : "1.5.39");
    if (runtime == nullptr) {
      std::fprintf(stderr, "QM_BENCH_RUNTIME: no simulated runtime %s (there are %s)\n", runtimeName,
                   gd::SimulatedRuntimeNames().c_str());
      std::abort();
    }
    world_ = std::make_unique<gd::World>(*runtime);
    if (const std::string name = gd::LibraryFileName(*runtime); !name.empty()) {
      const std::vector<std::uint8_t> library = gd::LibraryFileFor(*runtime);
      std::FILE* out = std::fopen((root_ + "/game/data/SKSE/Plugins/" + name).c_str(), "wb");
      if (out == nullptr || std::fwrite(library.data(), 1, library.size(), out) != library.size()) std::abort();
      std::fclose(out);
    }
    room_ = &world_->Component<gd::Cells>().AddCell("room", true);
    gd::FormHeader& base = forms().AddForm(0x00F00014, gd::form_type::kNpc, "Player").form;
    player_ = &references().AddActor("player", 0x14, &base);
    references().GiveProcess(*player_);
    references().SetPlayer(player_);
    player_->ref.cell = room_;

    host::SetProcessFacts(world_->base(), root_ + "/game/SkyrimSE.exe", root_ + "/documents", false);
    host::HostSettings settings;
    settings.runtimeVersion = runtime->runtimeVersion;
    settings.gameFolder = root_ + "/game";
    if (runtime->libraryFormat == 2) settings.loader = host::LoaderKind::kVersionData;
    host_ = std::make_unique<host::HostDouble>(settings);
    std::string error;
    if (!host_->LoadModule(QM_PLUGIN_PATH, &error) || !host_->Query() || !host_->Load()) {
      std::fprintf(stderr, "cannot start the plug-in: %s\n", error.c_str());
      std::abort();
    }
    host_->SendMessage(8);
    const bool updateBySink = runtime->updateEventSource.offset != 0;
    if (world_->HitSource().size != 1 || world_->UpdateSource().size != (updateBySink ? 1u : 0u)) {
      std::fprintf(stderr, "the engine's sinks are not registered\n");
      std::abort();
    }
  }

  std::string root_;
  std::unique_ptr<gd::World> world_;
  std::unique_ptr<host::HostDouble> host_;
  gd::ActorRec* player_ = nullptr;
  gd::CellRec* room_ = nullptr;
  std::vector<gd::CellRefSlot> roomSlots_;
  std::uint8_t usedMark_ = 0;
};

}  // namespace qmbench
