namespace qm::scenario {
int RunCommandLine(int argc, char** argv);
}

int main(int argc, char** argv) { return qm::scenario::RunCommandLine(argc, argv); }
