#pragma once
// What a running scenario's steps work with: the world, the host, the
// folders, the trace and the failed expectations.
#include "host_double.h"
#include "world.h"

#include <cstdio>
#include <string>
#include <vector>

namespace qm::scenario {

class RunContext {
 public:
  RunContext(gd::World& world, host::HostDouble& host, std::string gameFolder, std::string documentsFolder)
      : world_(world), host_(host), gameFolder_(std::move(gameFolder)), documentsFolder_(std::move(documentsFolder)) {}

  gd::World& world() { return world_; }
  host::HostDouble& host() { return host_; }
  const std::string& gameFolder() const { return gameFolder_; }
  const std::string& documentsFolder() const { return documentsFolder_; }

  // The log file the plug-in writes, read as text lines without line ends.
  std::string LogPath(int alternative = -1) const;
  std::vector<std::string> ReadLog(int alternative = -1) const;

  // One line of the readable trace.
  void Trace(const std::string& line);
  // A failed expectation; the run goes on and fails at its end.
  void Fail(const std::string& place, const std::string& what);

  const std::vector<std::string>& failures() const { return failures_; }
  const std::vector<std::string>& trace() const { return trace_; }
  void SetCurrentPlace(std::string place) { place_ = std::move(place); }
  const std::string& currentPlace() const { return place_; }

 private:
  gd::World& world_;
  host::HostDouble& host_;
  std::string gameFolder_;
  std::string documentsFolder_;
  std::string place_;
  std::vector<std::string> failures_;
  std::vector<std::string> trace_;
};

// Compares two lists of lines; on a difference returns a message naming the
// first differing line, otherwise an empty string.
std::string FirstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& actual);

}  // namespace qm::scenario
