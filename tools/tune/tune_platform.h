#pragma once
// What the tuning lab needs from the operating system: the settings file as
// the plug-in's profile functions read it, and worker processes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qm::tune {

// The entries of one section of a settings file (matched without regard to
// case, the first section of that name), exactly as the platform's profile
// functions deliver them to the plug-in. `path` must be absolute.
std::vector<std::string> ProfileSectionEntries(const std::string& section, const std::string& path);

// This program's own executable, to start workers from.
std::string ThisProgram(const char* argv0);

// Processors of this machine (at least 1).
unsigned CoreCount();

// How many workers may run at once. Windows runs the game from the
// program's own folder and logs to the one documents folder, which parallel
// workers would share: there they run one after the other.
unsigned ParallelWorkerLimit();

// Starts `program` with `arguments`; its standard output and error go to
// `outputFile`. Returns a handle, or -1 with `error` set.
std::intptr_t StartWorker(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& outputFile, std::string& error);

// Waits until one of the workers ends; gives its position in `workers` and
// its exit code (or -1 when it was killed).
void WaitForWorker(const std::vector<std::intptr_t>& workers, std::size_t& ended, int& exitCode);

bool IsTerminal(std::FILE* stream);

// Removes the temporary folders a worker's game ran in, where they are its
// own (on Windows the game runs in the program's folder: nothing goes).
void RemoveWorkerFolders(const std::string& gameFolder);

}  // namespace qm::tune
