#include "runner_platform.h"

#include "double_offsets.h"
#include "pe_header.h"
#include "runtime_offsets.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace qm::scenario {

RunFolders PrepareRunFolders(bool) {
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  char documents[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, documents))) {
    throw std::runtime_error("no documents folder");
  }
  RunFolders folders{std::filesystem::path(exe).parent_path().string(), documents, nullptr};
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(folders.gameFolder) / "data", ignored);
  std::filesystem::remove_all(std::filesystem::path(folders.documentsFolder) / "My Games", ignored);
  return folders;
}

void SetSeedForPlugin(std::uint32_t seed) { ::_putenv_s("QUELLMARK_SEED", std::to_string(seed).c_str()); }

// The launcher reserved the region right after its own image, which lies at
// the image base: the game's offsets count from there. The world is as large
// as the runtime's image, and the launcher's header says so, as the game's
// does (a runtime larger than the range gets the range, which the world
// refuses as too small).
gd::World MakeWorld(const gd::RuntimeOffsets& runtime) {
  const auto base = reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr));
  const std::uintptr_t size = gd::ImageSizeOf(runtime) <= gd::off::kImageSize ? gd::ImageSizeOf(runtime)
                                                                              : gd::off::kImageSize;
  if (!gd::DeclareImageSize(base, static_cast<std::uint32_t>(size))) {
    throw std::runtime_error("cannot declare the game image's size in the launcher's header");
  }
  return gd::World(gd::ImageRegion::Adopt(base, size), runtime);
}

std::string DefaultPluginPath(const char* argv0) {
  return (std::filesystem::path(argv0).parent_path() / "Quellmark.dll").string();
}

int RunSiblingProgram(const char*, const char* program, int, char**) {
  std::fprintf(stderr, "qm: %s is built on Linux only; run it there\n", program);
  return 2;
}

}  // namespace qm::scenario
