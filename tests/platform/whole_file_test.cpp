// Reading a whole file, as the plug-in reads the Address Library: the file's
// exact bytes, and the reasons it could not be read told apart. Built for
// Linux and, under Wine, for Windows: both sides keep one contract.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace qm::platform {
namespace {

namespace fs = std::filesystem;

class WholeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("qm-whole-file-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Write(const char* name, const std::string& content) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }

  fs::path folder_;
};

TEST_F(WholeFile, ReadsEveryByteAndSaysHowMany) {
  std::string content(70000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 251);
  const std::string path = Write("library.bin", content);
  std::vector<std::uint8_t> buffer(content.size() + 10, 0xEE);
  std::size_t size = 1;
  ASSERT_EQ(ReadWholeFile(path.c_str(), buffer.data(), buffer.size(), &size), FileRead::kRead);
  ASSERT_EQ(size, content.size());
  EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(size)), content);
  EXPECT_EQ(buffer[size], 0xEE) << "nothing written past the file's end";

  // Exactly as large as the room given, and empty.
  size = 0;
  EXPECT_EQ(ReadWholeFile(path.c_str(), buffer.data(), content.size(), &size), FileRead::kRead);
  EXPECT_EQ(size, content.size());
  const std::string empty = Write("empty.bin", "");
  size = 1;
  EXPECT_EQ(ReadWholeFile(empty.c_str(), buffer.data(), 0, &size), FileRead::kRead);
  EXPECT_EQ(size, 0u);
}

TEST_F(WholeFile, AFileLargerThanTheRoomSaysItsSizeAndTheSecondAskReadsIt) {
  const std::string path = Write("library.bin", std::string(5000, 'x'));
  std::vector<std::uint8_t> buffer(4999);
  std::size_t size = 0;
  EXPECT_EQ(ReadWholeFile(path.c_str(), buffer.data(), buffer.size(), &size), FileRead::kTooLarge);
  EXPECT_EQ(size, 5000u);
  EXPECT_EQ(ReadWholeFile(path.c_str(), nullptr, 0, &size), FileRead::kTooLarge);
  EXPECT_EQ(size, 5000u);
  buffer.resize(size);
  EXPECT_EQ(ReadWholeFile(path.c_str(), buffer.data(), buffer.size(), &size), FileRead::kRead);
  EXPECT_EQ(size, 5000u);
}

TEST_F(WholeFile, NoFileIsToldApartFromAFileThatCannotBeRead) {
  std::uint8_t buffer[16];
  std::size_t size = 7;
  const std::string missing = (folder_ / "version-1-5-97-0.bin").string();
  EXPECT_EQ(ReadWholeFile(missing.c_str(), buffer, sizeof buffer, &size), FileRead::kNoFile);
  EXPECT_EQ(size, 0u);
  const std::string missingFolder = (folder_ / "Plugins" / "version-1-5-97-0.bin").string();
  EXPECT_EQ(ReadWholeFile(missingFolder.c_str(), buffer, sizeof buffer, &size), FileRead::kNoFile);
  fs::create_directories(folder_ / "folder.bin");
  const std::string folder = (folder_ / "folder.bin").string();
  EXPECT_EQ(ReadWholeFile(folder.c_str(), buffer, sizeof buffer, &size), FileRead::kUnreadable);
  EXPECT_EQ(size, 0u);
}

TEST_F(WholeFile, BackslashesSeparateFoldersAsOnWindows) {
  fs::create_directories(folder_ / "Data" / "SKSE");
  std::ofstream(folder_ / "Data" / "SKSE" / "a.bin", std::ios::binary) << "abc";
  const std::string path = folder_.string() + "\\Data\\SKSE\\a.bin";
  std::uint8_t buffer[8] = {};
  std::size_t size = 0;
  ASSERT_EQ(ReadWholeFile(path.c_str(), buffer, sizeof buffer, &size), FileRead::kRead);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(buffer[2], 'c');
}

}  // namespace
}  // namespace qm::platform
