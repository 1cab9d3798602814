#include "data_handler.h"

#include "runtime_offsets.h"

#include <cstring>
#include <stdexcept>

namespace gd {

DataHandler::DataHandler(World& world) : world_(world), object_(std::make_unique<TESDataHandlerObject>()) {
  std::memset(object_.get(), 0, sizeof(TESDataHandlerObject));
  *world_.region().At<TESDataHandlerObject*>(Off().dataHandlerPtr.offset) = object_.get();
}

DataHandler::~DataHandler() { *world_.region().At<TESDataHandlerObject*>(Off().dataHandlerPtr.offset) = nullptr; }

FileListNode& DataHandler::AppendNode() {
  if (!firstNodeUsed_) {
    firstNodeUsed_ = true;
    return object_->files;
  }
  FileListNode* last = nodes_.empty() ? &object_->files : nodes_.back().get();
  nodes_.push_back(std::make_unique<FileListNode>());
  *nodes_.back() = FileListNode{nullptr, nullptr};
  last->next = nodes_.back().get();
  return *nodes_.back();
}

void DataHandler::AddPluginFile(const std::string& name) {
  PluginFileSetup file;
  file.name = name;
  AddPluginFile(file);
}

void DataHandler::AddPluginFile(const PluginFileSetup& file) {
  const std::string& name = file.name;
  if (name.size() >= sizeof(TESFileRecord::fileName))
    throw std::invalid_argument("plug-in file name too long: " + name);
  auto record = std::make_unique<TESFileRecord>();
  // The bytes the double does not model hold every bit set, so that a field
  // read at the wrong place is no quiet zero.
  std::memset(record.get(), 0xFF, sizeof(TESFileRecord));
  std::memcpy(record->fileName, name.c_str(), name.size() + 1);
  record->recordFlags = file.light ? kSmallFileFlag : 0;
  record->compileIndex = kNotLoadedCompileIndex;
  record->smallFileCompileIndex = 0;
  if (file.active && file.light && lightFiles_ <= kLastSmallFileIndex) {
    record->compileIndex = kLightCompileIndex;
    record->smallFileCompileIndex = static_cast<std::uint16_t>(lightFiles_++);
  } else if (file.active && !file.light && regularFiles_ <= kLastRegularCompileIndex) {
    record->compileIndex = static_cast<std::uint8_t>(regularFiles_++);
  }
  if (file.compileIndex) record->compileIndex = *file.compileIndex;
  if (file.lightIndex) record->smallFileCompileIndex = *file.lightIndex;
  AppendNode().item = record.get();
  records_.push_back(std::move(record));
}

void DataHandler::AddEmptyNode() { AppendNode().item = nullptr; }

}  // namespace gd
