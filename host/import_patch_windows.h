#pragma once
// Rewrites one entry of a loaded module's import address table, so that the
// module's calls to one system function reach a stand-in: the Windows host's
// way to make the system answer as a scenario asks.
#include <windows.h>

namespace host {

// False when the module does not import that function from that DLL.
bool ReplaceImport(HMODULE module, const char* dllName, const char* functionName, const void* replacement);

// Set by SetProcessFacts: the plug-in's documents-folder lookup must fail.
bool DocumentsLookupFails();

}  // namespace host
