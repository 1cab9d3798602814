#pragma once
// On Linux there is no game executable to load into. The program that loads
// the plug-in there (the host double) tells the POSIX platform layer what
// Windows would: where the process image lies and what it is called, and
// where the user's documents folder is. It exports a C function of this name.
#include <cstdint>

extern "C" {

struct QuellmarkPosixProcessFacts {
  std::uintptr_t imageBase;     // what GetModuleHandleA(nullptr) returns
  const char* imagePath;        // what GetModuleFileNameA(nullptr) returns
  const char* documentsFolder;  // SHGetFolderPathA(CSIDL_PERSONAL); null: the lookup fails
};

using QuellmarkPosixProcessFactsGetter = const QuellmarkPosixProcessFacts* (*)();
}

inline constexpr const char* kPosixProcessFactsSymbol = "QuellmarkPosixProcessFacts";
