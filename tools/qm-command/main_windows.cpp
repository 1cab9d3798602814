// qm_host.dll's entry: the launcher (qm.exe) calls it once it has reserved the
// game's image range.
namespace qm::scenario {
int RunCommandLine(int argc, char** argv);
}

extern "C" __declspec(dllexport) int QmMain(int argc, char** argv) { return qm::scenario::RunCommandLine(argc, argv); }
