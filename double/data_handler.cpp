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
  if (name.size() >= sizeof(TESFileRecord::fileName))
    throw std::invalid_argument("plug-in file name too long: " + name);
  auto record = std::make_unique<TESFileRecord>();
  std::memset(record.get(), 0, sizeof(TESFileRecord));
  std::memcpy(record->fileName, name.c_str(), name.size() + 1);
  AppendNode().item = record.get();
  records_.push_back(std::move(record));
}

void DataHandler::AddEmptyNode() { AppendNode().item = nullptr; }

}  // namespace gd
