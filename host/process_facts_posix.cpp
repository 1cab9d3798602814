#include "process_facts.h"

#include "platform/posix_process_facts.h"

namespace host {
namespace {

std::string imagePathText;
std::string documentsText;
QuellmarkPosixProcessFacts facts{};

}  // namespace

void SetProcessFacts(std::uintptr_t imageBase, const std::string& imagePath, const std::string& documentsFolder,
                     bool documentsLookupFails) {
  imagePathText = imagePath;
  documentsText = documentsFolder;
  facts.imageBase = imageBase;
  facts.imagePath = imagePathText.c_str();
  facts.documentsFolder = documentsLookupFails ? nullptr : documentsText.c_str();
}

}  // namespace host

extern "C" __attribute__((visibility("default"))) const QuellmarkPosixProcessFacts* QuellmarkPosixProcessFacts() {
  return &host::facts;
}
