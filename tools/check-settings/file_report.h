#pragma once
// How the checker prints a settings file: its entries section by section in
// file order, each beside its verdict, and what the file's form (its
// encoding, lines outside any section) does to what the reader sees.
#include "entry_verdicts.h"

#include <cstdio>
#include <string>
#include <vector>

namespace qm::check {

// Whether a list from the profile functions filled their buffer: a list that
// fits takes at most size - 1 bytes with its closing NUL, a cut one more.
bool FillsProfileBuffer(const std::vector<std::string>& texts);

// The entries of one section in file order, each matched with what the
// reader did with it (the reader applies them sorted). True when the section
// was cut, so that what follows in it is never read.
bool PrintSection(std::FILE* out, const std::string& path, const std::string& section, std::vector<Seen*> reports);

// Lines above the first section header belong to a section with no name,
// which no reader ever asks for; comments aside, they are reported. Returns
// how many.
int ReportLinesOutsideSections(std::FILE* out, const std::string& path);

// What the file's encoding and unnamed sections do to what the reader sees;
// the number of problems.
int ReportFileForm(std::FILE* out, const std::string& path);

// The profile functions look a name without '\\' or '/' up in the Windows
// folder, not the current one; the plug-in always hands them a full path, and
// the checker makes the user's paths full in the same way.
std::string ReaderPath(const std::string& path);

// Prints captured log lines, each escaped; returns whether there were any.
bool PrintLogLines(std::FILE* out, const std::string& captured);

// Text of the files as the checker shows it: control characters and the
// bytes from 0x7F up as \\xNN (see printable.h).
std::string ShownText(const std::string& text);

}  // namespace qm::check
