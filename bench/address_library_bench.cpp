// The Address Library read as the plug-in reads it at start-up: the whole
// real 1.5.97 file (778,674 records) from disk, then 60 ids resolved in one
// pass over its records; and the resolving alone, from the bytes in memory.
#include "game/address_library.h"
#include "platform/platform.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const std::string kFile = std::string(QM_ADDRESS_LIBRARY_FIXTURES) + "/version-1-5-97-0.bin";

// Sixty ids spread evenly over the file's records, first and last included.
constexpr std::uint64_t kIds[] = {2,      13212,  26426,  39636,  52842,  66065,  79311,  92636,  108556, 121769,
                                  135004, 148230, 161433, 174696, 188616, 237201, 250400, 263613, 276813, 290029,
                                  305282, 318646, 331847, 345052, 358250, 371458, 384664, 397864, 411064, 424262,
                                  437460, 450705, 463905, 477102, 494424, 507872, 521267, 534796, 548003, 561201,
                                  574569, 587773, 600983, 614193, 627392, 640635, 653833, 669651, 682849, 696182,
                                  709391, 722608, 735814, 749014, 762260, 775460, 789164, 804490, 833833, 847307};
constexpr std::size_t kIdCount = sizeof kIds / sizeof kIds[0];

qm::game::LibraryOutcome Resolve(const std::vector<std::uint8_t>& bytes, std::size_t size, std::uint64_t* offsets) {
  const qm::game::LibraryRequest request{1, {1, 5, 97, 0}, 0x03700000, kIds, kIdCount, offsets};
  return qm::game::ResolveAddressLibraryIds(bytes.data(), size, request);
}

void LoadAndResolveSixtyIds(benchmark::State& state) {
  std::vector<std::uint8_t> buffer(4u << 20);
  std::uint64_t offsets[kIdCount] = {};
  for (auto _ : state) {
    std::size_t size = 0;
    if (qm::platform::ReadWholeFile(kFile.c_str(), buffer.data(), buffer.size(), &size) !=
        qm::platform::FileRead::kRead) {
      state.SkipWithError(("cannot read " + kFile).c_str());
      break;
    }
    if (Resolve(buffer, size, offsets).fault != qm::game::LibraryFault::kNone) {
      state.SkipWithError("the real file was refused");
      break;
    }
    benchmark::DoNotOptimize(offsets);
  }
}
BENCHMARK(LoadAndResolveSixtyIds)->Unit(benchmark::kMillisecond);

void ResolveSixtyIdsInMemory(benchmark::State& state) {
  std::vector<std::uint8_t> buffer(4u << 20);
  std::size_t size = 0;
  if (qm::platform::ReadWholeFile(kFile.c_str(), buffer.data(), buffer.size(), &size) !=
      qm::platform::FileRead::kRead) {
    state.SkipWithError(("cannot read " + kFile).c_str());
    return;
  }
  std::uint64_t offsets[kIdCount] = {};
  for (auto _ : state) {
    if (Resolve(buffer, size, offsets).fault != qm::game::LibraryFault::kNone) {
      state.SkipWithError("the real file was refused");
      break;
    }
    benchmark::DoNotOptimize(offsets);
  }
}
BENCHMARK(ResolveSixtyIdsInMemory)->Unit(benchmark::kMillisecond);

}  // namespace
