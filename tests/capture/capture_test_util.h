// Helpers for the capture tests: a phase call's console text and change-log
// lines, and small universes built by hand.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/console.h"
#include "platform/file.h"
#include "tests/test_util.h"
#include "universe/universe.h"

// Captures the console and opens a change log in a scratch directory for the
// duration of one test; console() and changeLog() give what was written.
class PhaseOutput {
 public:
  PhaseOutput() : log_(std::make_unique<OutputFile>(dir_ / "log.txt", OutputFile::Mode::Append)) {
    ConsoleCaptureTo(&console_);
  }
  ~PhaseOutput() { ConsoleCaptureTo(nullptr); }

  OutputFile& log() { return *log_; }
  const ScratchDir& dir() const { return dir_; }
  std::string operator/(const std::string& name) const { return dir_ / name; }

  const std::string& console() const { return console_; }
  // The change log's text so far (flushes and reopens it).
  std::string changeLog() {
    log_->Commit();
    log_ = std::make_unique<OutputFile>(dir_ / "log.txt", OutputFile::Mode::Append);
    return ReadFile(dir_ / "log.txt");
  }

 private:
  ScratchDir dir_;
  std::string console_;
  std::unique_ptr<OutputFile> log_;
};

// A warp list as a reader builds it: every entry oneWayOut.
inline WarpList Warps(std::initializer_list<std::uint16_t> targets) {
  WarpList list;
  list.targets.assign(targets);
  list.kinds.assign(list.targets.size(), oneWayOut);
  return list;
}

// "target:kind" pairs, for comparing whole lists in one assertion.
inline std::string Describe(const Sector& sector) {
  if (!sector.warps) return "none";
  std::string text;
  for (std::size_t i = 0; i < sector.warps->targets.size(); ++i) {
    if (i > 0) text += ' ';
    text += std::to_string(sector.warps->targets[i]) + ":" + std::to_string(sector.warps->kinds[i]);
  }
  text += " in" + std::to_string(sector.warps->inCount);
  return text;
}
