// Whole runs of the program over fuzzed captures on a small universe, through
// the run driver: every reader, reconciliation, the reference copies, every
// analysis and report and the atlas page. The body is the sector capture, then
// the line "~~", then the port capture. Each input starts from an empty game
// directory.
//
// Options: bit 0 the captures are the reference copies (/mm:2, read in Fill
// mode) instead of the current captures (/mm:1); bit 1 no bubble analysis
// (/b-); bit 2 a second run /mm:7 over what the first left, which compares the
// first run's map and reads its reference copies and notes.
#include <cstdint>
#include <cstring>
#include <string>

#include "app/run_phases.h"
#include "app/settings.h"
#include "atlas/atlas_page.h"
#include "fuzz/fuzz_util.h"
#include "fuzz/memory_files.h"
#include "platform/file.h"

namespace {

constexpr std::string_view kSeparator = "\n~~\n";
// Whole-universe passes cost per sector: small universes keep them fast.
constexpr std::uint16_t kMaxSectors = 64;

// Checks the warp lists once reconciliation has settled them.
class WarpListCheck final : public RunObserver {
 public:
  void PhaseBegins(const char* /*phase*/) override {}
  void PhaseEnded(const char* phase, const Universe* universe) override {
    if (std::strcmp(phase, "reconcile") == 0) CheckWarpLists(*universe);
  }
};

// Runs the program's run with `settings`; a run that is not refused leaves an
// atlas page that is the built-in page around a data block that can stand in
// its script element.
void RunOnce(const Settings& settings) {
  WarpListCheck check;
  if (RunPhases(settings, &check)) return;
  std::string page;
  FuzzCheck(ReadFileBytes(settings.reportPath + settings.gameName + "_atlas.html", page),
            "the atlas page is missing");
  const std::string_view head = AtlasPageHead();
  const std::string_view tail = AtlasPageTail();
  FuzzCheck(page.size() >= head.size() + tail.size() && page.compare(0, head.size(), head) == 0 &&
                page.compare(page.size() - tail.size(), tail.size(), tail) == 0,
            "the atlas page is not the built-in page around its data");
  CheckAtlasData(std::string_view(page).substr(head.size(), page.size() - head.size() - tail.size()));
}

void Run(const FuzzCase& input) {
  const std::string dir = ScratchPath() + "run/";
  memory_files::AddDirectory(dir);
  memory_files::RemoveFiles(dir);
  std::string_view sectors = input.body;
  std::string_view ports;
  const std::size_t separator = input.body.find(kSeparator);
  if (separator != std::string_view::npos) {
    sectors = input.body.substr(0, separator);
    ports = input.body.substr(separator + kSeparator.size());
  }
  const bool copies = (input.options & 1) != 0;
  WriteScratchFile(copies ? "run/run_ref.sct" : "run/run.sct", sectors);
  WriteScratchFile(copies ? "run/run_ref.prt" : "run/run.prt", ports);

  const auto n = static_cast<std::uint16_t>((input.n - 1) % kMaxSectors + 1);
  Settings settings;
  settings.gameName = "run";
  settings.cimPath = dir;
  settings.reportPath = dir;
  settings.sectorCount = n;
  settings.loadMask = copies ? 2 : 1;
  settings.alphaCentauri = n / 2;
  settings.rylos = n / 3;
  settings.stardock = n;
  settings.distanceList = "2;3;65535;0";
  settings.bubbles = (input.options & 2) == 0;
  settings.atlas = true;
  RunOnce(settings);
  if ((input.options & 4) != 0) {
    settings.loadMask = 7;
    RunOnce(settings);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
