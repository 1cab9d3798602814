#include "forked_input.h"

#include <elf.h>
#include <link.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace qmfuzz {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "forked input: %s\n", what.c_str());
  std::abort();
}

// The counters section of the module file: its address relative to the
// module's load address, and its size.
struct Section {
  std::uint64_t address = 0;
  std::uint64_t size = 0;
};

Section CountersSection(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() < sizeof(Elf64_Ehdr)) Fail("cannot read " + path);
  Elf64_Ehdr header;
  std::memcpy(&header, bytes.data(), sizeof header);
  const std::uint64_t tableEnd = header.e_shoff + std::uint64_t{header.e_shnum} * sizeof(Elf64_Shdr);
  if (header.e_shentsize != sizeof(Elf64_Shdr) || tableEnd > bytes.size() || header.e_shstrndx >= header.e_shnum) {
    Fail(path + " has no section table to read");
  }
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  std::memcpy(sections.data(), bytes.data() + header.e_shoff, sections.size() * sizeof(Elf64_Shdr));
  const Elf64_Shdr& names = sections[header.e_shstrndx];
  for (const Elf64_Shdr& section : sections) {
    if (names.sh_offset + section.sh_name >= bytes.size()) continue;
    const char* name = bytes.data() + names.sh_offset + section.sh_name;
    const std::size_t room = bytes.size() - (names.sh_offset + section.sh_name);
    if (std::string(name, strnlen(name, room)) == "__sancov_cntrs") return {section.sh_addr, section.sh_size};
  }
  Fail(path + " has no coverage counters (built without -fsanitize=fuzzer-no-link?)");
}

struct Search {
  std::filesystem::path module;
  std::uintptr_t base = 0;
  bool found = false;
};

int FindModule(dl_phdr_info* info, std::size_t, void* data) {
  auto* search = static_cast<Search*>(data);
  if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') return 0;
  std::error_code error;
  if (!std::filesystem::equivalent(info->dlpi_name, search->module, error)) return 0;
  search->base = info->dlpi_addr;
  search->found = true;
  return 1;
}

}  // namespace

ForkedInput::ForkedInput(const std::string& modulePath) {
  const Section section = CountersSection(modulePath);
  Search search{modulePath};
  dl_iterate_phdr(&FindModule, &search);
  if (!search.found) Fail(modulePath + " is not loaded");
  counters_ = reinterpret_cast<std::uint8_t*>(search.base + section.address);
  size_ = section.size;
  void* shared = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) Fail("no shared memory for the counters");
  shared_ = static_cast<std::uint8_t*>(shared);
}

void ForkedInput::Run(const std::function<void()>& body) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) Fail("cannot fork");
  if (child == 0) {
    // A parent stopped by the fuzzer's timeout takes the child with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    body();
    std::memcpy(shared_, counters_, size_);
    std::fflush(nullptr);
    ::_exit(0);  // no leak scan of a process that ends here by design
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) Fail("cannot wait for the child");
  }
  if (WIFSIGNALED(status)) Fail("the input's run ended by signal " + std::to_string(WTERMSIG(status)));
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    Fail("the input's run failed (exit status " + std::to_string(WEXITSTATUS(status)) + ")");
  }
  for (std::size_t i = 0; i < size_; ++i) {
    if (shared_[i] > counters_[i]) counters_[i] = shared_[i];
  }
}

}  // namespace qmfuzz
