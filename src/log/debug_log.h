#pragma once
// The plug-in's diagnostic log, "Quellmark.log" in the user's documents
// folder under the script extender's folder. Every line also goes to standard
// output.
#include <cstdint>

namespace qm::log {

inline constexpr std::int32_t kMessageLevel = 3;
inline constexpr std::int32_t kErrorLevel = 0;

// Lines of level L reach the file only while LogLevel >= L.
extern std::int32_t LogLevel;

// Builds the path, creates its folders and opens the file (or one of the five
// alternative names). Stops the process when the documents folder is unknown.
// While a file is open it stays the log: opening again keeps it.
void OpenLog();
void CloseLog();

void LogMessage(const char* format, ...);
void LogError(const char* format, ...);

// Writes the report through LogError and stops the process at once.
[[noreturn]] void FatalAssertion(const char* file, int line, const char* condition);
[[noreturn]] void FatalAssertionCode(const char* file, int line, const char* condition, std::int64_t code);

}  // namespace qm::log
