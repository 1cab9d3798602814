// The POSIX profile readers: the rules where a plain INI reader would differ
// from Windows. Byte-for-byte agreement with Wine on a larger corpus is
// checked by tests/profile-parity.
#include "platform/posix_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace qm::platform {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

constexpr char kUntouched = 'Z';

class PosixProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("qm-profile-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder_);
  }

  std::string Write(const std::string& bytes, const std::string& name = "test.ini") {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return (folder_ / name).string();
  }

  // The result, then the buffer up to result + 2 bytes but not past size;
  // bytes the call left alone read 'Z'. Fails if anything past size changed.
  template <typename Call>
  static std::string Answer(std::uint32_t size, Call call) {
    std::vector<char> buffer(size + 16, kUntouched);
    const std::uint32_t result = call(buffer.data());
    for (std::size_t i = size; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], kUntouched) << "wrote past the buffer";
    return std::to_string(result) + "|" + std::string(buffer.data(), std::min<std::size_t>(result + 2, size));
  }
  static std::string Section(const std::string& path, const char* name, std::uint32_t size) {
    return Answer(size, [&](char* b) { return PosixProfileSection(name, b, size, path.c_str()); });
  }
  static std::string Names(const std::string& path, std::uint32_t size) {
    return Answer(size, [&](char* b) { return PosixProfileSectionNames(b, size, path.c_str()); });
  }
  // Just the list, for the parsing rules.
  static std::string Entries(const std::string& path, const char* name) {
    const std::string answer = Section(path, name, 32768);
    return answer.substr(answer.find('|') + 1, std::stoul(answer));
  }

  fs::path folder_;
};

TEST_F(PosixProfile, MissingUnreadableAndBareNamedFilesHaveNoSections) {
  const std::string nowhere = (folder_ / "none.ini").string();
  EXPECT_EQ(Section(nowhere, "S", 10), "0|\0\0"s);
  EXPECT_EQ(Names(nowhere, 10), "0|\0Z"s);
  EXPECT_EQ(Section(folder_.string(), "S", 10), "0|\0\0"s);  // a folder
  // A bare name means the Windows folder, even when the file is in the current one.
  Write("[S]\nk=1\n", "bare.ini");
  fs::current_path(folder_);
  EXPECT_EQ(Section("bare.ini", "S", 10), "0|\0\0"s);
  EXPECT_EQ(Entries(".\\bare.ini", "S"), "k=1\0"s);
}

TEST_F(PosixProfile, LinesEndAtAnyRunOfCarriageReturnsAndLineFeeds) {
  EXPECT_EQ(Entries(Write("[S]\r\nA=1\r\n\r\nB=2\n"), "S"), "A=1\0B=2\0"s);
  EXPECT_EQ(Entries(Write("[S]\rA=1\rB=2"), "S"), "A=1\0B=2\0"s);
  EXPECT_EQ(Entries(Write("[S]\nA=1\rB=2\r\r\n\rC=3"), "S"), "A=1\0B=2\0C=3\0"s);
}

TEST_F(PosixProfile, TrimsControlBlanksAndCtrlZButNotNoBreakSpace) {
  EXPECT_EQ(Entries(Write("[S]\n\x0b\x0c"
                          "A \t=\x1a 1\x1a\n\xa0"
                          "B=2\xa0\n\x1a\n"),
                    "S"),
            "A=1\0\xa0"
            "B=2\xa0\0"s);
  // The blanks end at 0x0D: the control characters either side of the range stay.
  EXPECT_EQ(Entries(Write("[S]\nC=\x08"
                          "c\x0e\n"),
                    "S"),
            "C=\x08"
            "c\x0e\0"s);
}

TEST_F(PosixProfile, SplitsAtTheFirstEqualsSign) {
  EXPECT_EQ(Entries(Write("[S]\nK = a=b\nE =\nbare word\n"), "S"), "K=a=b\0E=\0bare word\0"s);
}

TEST_F(PosixProfile, EmptyNamedEntriesFollowingAnEmptyNamedOneAreDropped) {
  EXPECT_EQ(Entries(Write("[S]\n=a\n=b\nk=1\n=c\n=d\n;n\n=e\n[T]\n=f\n"), "S"), "=a\0k=1\0=c\0=e\0"s);
  // A blank line is no entry: the empty-named one after it is the first.
  EXPECT_EQ(Entries(Write("[S]\n\n=a\n"), "S"), "=a\0"s);
}

TEST_F(PosixProfile, LeavesOutSemicolonEntriesOnly) {
  EXPECT_EQ(Entries(Write("[S]\n;a=1\n#b=2\nc=\"q\" ; note\nc=2\n"), "S"), "#b=2\0c=\"q\" ; note\0c=2\0"s);
}

TEST_F(PosixProfile, AnEmbeddedNulEndsANameOrValue) {
  EXPECT_EQ(Entries(Write("[S]\nz\0y=2\nv=a\0b\n\0\n=x\n"s), "S"), "z=2\0v=a\0"s);
}

TEST_F(PosixProfile, HeaderNameIsTrimmedTextUpToTheLastBracket) {
  const std::string path = Write("[ x ]\na=1\n[p]q]r\nb=2\n[open\nc=3\n[]\nd=4\n[x]\ne=5\n");
  EXPECT_EQ(Names(path, 100), "8|x\0p]q\0x\0\0Z"s);
  EXPECT_EQ(Entries(path, "X"), "a=1\0"s);
  EXPECT_EQ(Entries(path, " x "), ""s);  // the name asked for is not trimmed
  EXPECT_EQ(Entries(path, "p]q"), "b=2\0[open\0c=3\0"s);
  // The bracket is looked for on the header's own line; blank lines are no entries.
  const std::string next = Write("[A]\n]\n\n  \t\nk=1\n");
  EXPECT_EQ(Names(next, 100), "2|A\0\0Z"s);
  EXPECT_EQ(Entries(next, "A"), "]\0k=1\0"s);
}

TEST_F(PosixProfile, MatchesSectionsIgnoringAsciiCaseOnly) {
  const std::string path = Write("[\xc9t\xe9]\na=1\n[GENERAL]\nb=2\n");
  EXPECT_EQ(Entries(path, "\xc9T\xe9"), "a=1\0"s);
  EXPECT_EQ(Entries(path, "\xe9t\xe9"), ""s);
  EXPECT_EQ(Entries(path, "general"), "b=2\0"s);
  // A to Z, both ends of the range.
  EXPECT_EQ(Entries(Write("[AZ]\nc=3\n"), "az"), "c=3\0"s);
  EXPECT_EQ(Entries(Write("[az]\nc=3\n"), "AZ"), "c=3\0"s);
}

TEST_F(PosixProfile, EntriesBeforeTheFirstHeaderFormTheEmptyNamedSection) {
  EXPECT_EQ(Entries(Write("top=1\n[]\nx=2\n"), ""), "top=1\0"s);
}

TEST_F(PosixProfile, ReadsDecodedTextInCodePage1252) {
  const std::u16string text = u"[Caf\u00e9]\r\nk=\u20ac\u00ff\u4e2d\U0001F600\u0080\u2013\r\n";
  std::string le = "\xff\xfe", be = "\xfe\xff";
  for (const char16_t c : text) {
    le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  }
  const std::string u8 =
      "\xef\xbb\xbf[Caf\xc3\xa9]\nk=\xe2\x82\xac\xc3\xbf\xe4\xb8\xad\xf0\x9f\x98\x80\xc2\x80\xe2\x80\x93\n";
  for (const std::string& file : {le, be, u8}) EXPECT_EQ(Entries(Write(file), "caf\xe9"), "k=\x80\xff????\x96\0"s);
  // Code page 1252's characters at 0x80-0x9F, as published (the five unused
  // positions stand for themselves), each read back as its byte.
  const std::u16string high =
      u"[S]\r\nk=\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
      u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178\r\n"
      u"edge=\u00FF\u0100\r\n";  // the last character of the code page and the first past it
  std::string highFile = "\xff\xfe";
  for (const char16_t c : high) highFile += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  std::string bytes = "k=";
  for (int b = 0x80; b <= 0x9F; ++b) bytes += static_cast<char>(b);
  EXPECT_EQ(Entries(Write(highFile), "S"), bytes + '\0' + "edge=\xff?" + '\0');
  // A file without a byte-order mark is code page 1252 already: read as it is.
  EXPECT_EQ(Entries(Write("[S]\r\n" + bytes + "\r\n"), "S"), bytes + '\0');
  // An odd last byte is a unit of its own, its value in either byte order
  // (Windows reads a zero past the file).
  for (const std::string& file : {le, be}) EXPECT_EQ(Entries(Write(file + "x"), "caf\xe9"), "k=\x80\xff????\x96\0x\0"s);
}

TEST_F(PosixProfile, EachBadUtf8SequenceBecomesOneQuestionMark) {
  // Lead byte plus the continuation bytes accepted so far; a cut sequence
  // swallows the rest of the file.
  const std::string file =
      "\xef\xbb\xbf[S]\na=|\xc3|\xc0\x80|\xed\xa0\x80|\xf4\x90\x80\x80|\xe0\xa0\x80|\n"
      "c=|\xdf\xbf|\xf4\x8f\xbf\xbf|\n"  // the last two- and four-byte sequences: one and two units
      // The first and last sequences of each length, the first past the
      // surrogates, a lead past U+10FFFF, 0xC0 where a continuation belongs.
      "d=|\xc5\x92|\xef\xbf\xbd|\xee\x80\x80|\xf0\x90\x80\x80|\xf0\x90\x80\x8a|\xf5\x80\x80\x80|\xc3\xc0|\n"
      "b=\xf0"
      "AB";
  EXPECT_EQ(Entries(Write(file), "S"), "a=|?|??|??|???|?|\0c=|?|??|\0d=|\x8c|?|?|??|??|????|??|\0b=?\0"s);
  // A sequence ending with the file is whole.
  EXPECT_EQ(Entries(Write("\xef\xbb\xbf[S]\nk=\xc3\xa9"), "S"), "k=\xe9\0"s);
}

TEST_F(PosixProfile, AByteOrderMarkAloneIsAnEmptyFile) {
  for (const std::string mark : {"\xef\xbb\xbf", "\xff\xfe", "\xfe\xff"}) {
    EXPECT_EQ(Entries(Write(mark), ""), "") << "mark of " << mark.size() << " bytes";
    EXPECT_EQ(Names(Write(mark), 64), "0|\0Z"s) << "mark of " << mark.size() << " bytes";
  }
}

TEST_F(PosixProfile, CutsAtTheExactLengthLikeWindows) {
  const std::string path = Write("[S]\nA=1\nB=2\n[T]\n");  // entries need 9 bytes, names 5
  EXPECT_EQ(Section(path, "S", 10), "8|A=1\0B=2\0\0Z"s);
  EXPECT_EQ(Section(path, "S", 9), "7|A=1\0B=2\0\0"s);
  EXPECT_EQ(Section(path, "S", 8), "6|A=1\0B=\0\0"s);
  EXPECT_EQ(Section(path, "S", 3), "1|A\0\0"s);
  EXPECT_EQ(Section(path, "S", 2), "0|\0\0"s);
  EXPECT_EQ(Section(path, "S", 1), "0|\0"s);
  EXPECT_EQ(Section(path, "S", 0), "0|"s);
  EXPECT_EQ(Names(path, 6), "4|S\0T\0\0Z"s);
  EXPECT_EQ(Names(path, 5), "3|S\0T\0Z"s);
  EXPECT_EQ(Names(path, 4), "2|S\0\0Z"s);
  EXPECT_EQ(Names(path, 2), "0|\0Z"s);
  EXPECT_EQ(Names(path, 1), "0|\0"s);
  EXPECT_EQ(Names(path, 0), "0|"s);
}

TEST_F(PosixProfile, NullArgumentsReturnZero) {
  const std::string path = Write("[S]\nk=1\n");
  char buffer[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
  EXPECT_EQ(PosixProfileSection(nullptr, buffer, 4, path.c_str()), 0u);
  EXPECT_EQ(buffer[0], kUntouched);
  EXPECT_EQ(PosixProfileSection("S", nullptr, 4, path.c_str()), 0u);
  EXPECT_EQ(PosixProfileSectionNames(nullptr, 4, path.c_str()), 0u);
  EXPECT_EQ(Section(std::string(), "S", 4).substr(0, 2), "0|");
  EXPECT_EQ(PosixProfileSectionNames(buffer, 4, nullptr), 0u);
}

TEST_F(PosixProfile, ReadsAFileToItsLastByteWhateverItsLength) {
  // Files are read in pieces of 16 KiB: a last piece of one byte counts too.
  for (const std::size_t length : {std::size_t{8}, std::size_t{16384}, std::size_t{16385}, std::size_t{32769}}) {
    std::string file = "[S]\nk=";
    file += std::string(length - file.size() - 1, 'v') + "x";
    EXPECT_EQ(Entries(Write(file), "S"), file.substr(4) + '\0') << length << " bytes";
  }
}

TEST_F(PosixProfile, LongSectionIsCutToTheBuffer) {
  std::string file = "[Big]\n";
  for (int i = 0; i < 2000; ++i) file += "Key" + std::to_string(i) + "=" + std::string(20, 'v') + "\n";
  const std::string answer = Section(Write(file), "big", 32768);
  ASSERT_EQ(answer.substr(0, 6), "32766|");
  EXPECT_EQ(answer.substr(answer.size() - 2), "\0\0"s);
}

}  // namespace
}  // namespace qm::platform
