#pragma once
// qm tune: the tuning lab's command line, handed the arguments after "tune".

namespace qm::tune {

int TuneCommandLine(int argc, char** argv, const char* argv0);

}  // namespace qm::tune
