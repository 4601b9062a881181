// A whole run's work over fuzzed captures on a small universe: a sector capture
// and a port capture read, reconciled, and every analysis and report that walks
// the warp lists and describes the ports. The body is the sector capture, then
// the line "~~", then the port capture.
//
// Options: bit 0 the reference copies' Fill mode for both files, bit 1 no bubble
// analysis.
#include <cstdint>
#include <string>

#include "analysis/bubbles.h"
#include "analysis/distances.h"
#include "analysis/msl.h"
#include "atlas/atlas.h"
#include "capture/notes_file.h"
#include "capture/port_file.h"
#include "capture/reconcile.h"
#include "capture/sector_file.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"
#include "report/bubbles_report.h"
#include "report/distance_report.h"
#include "report/dump.h"
#include "report/map_changes.h"
#include "report/msl_report.h"
#include "report/notes_report.h"
#include "report/oneways.h"
#include "report/port_pairs.h"
#include "report/special_ports.h"
#include "universe/map_file.h"

namespace {
constexpr std::string_view kSeparator = "\n~~\n";
// Whole-universe passes cost per sector: small universes keep them fast.
constexpr std::uint16_t kMaxSectors = 64;
}  // namespace

namespace {

void Run(const FuzzCase& input) {
  const auto n = static_cast<std::uint16_t>((input.n - 1) % kMaxSectors + 1);
  const std::string& dir = ScratchPath();
  std::string_view sectors = input.body;
  std::string_view ports;
  const std::size_t separator = input.body.find(kSeparator);
  if (separator != std::string_view::npos) {
    sectors = input.body.substr(0, separator);
    ports = input.body.substr(separator + kSeparator.size());
  }
  const std::string sectorName = WriteScratchFile("run.sct", sectors);
  const std::string portName = WriteScratchFile("run.prt", ports);
  OutputFile changeLog(dir + "run_changelog.txt");

  const Specials specials = BuildSpecials(n, n / 2, n / 3, n, "2;3;65535;0");
  Universe& universe = FreshUniverse(n, specials.size());
  const bool fill = (input.options & 1) != 0;
  ReadSectorFile(universe, sectorName, fill ? LoadMode::Fill : LoadMode::Replace, fill ? 0 : 1,
                 changeLog);
  ReadPortFile(universe, portName, fill ? LoadMode::Fill : LoadMode::Replace, fill ? 0 : 1,
               changeLog);
  // No notes file, so nothing carries over from the previous input: the
  // special sectors get their labels.
  RemoveFile(dir + "run_notes.txt");
  ReadNotesFile(universe, dir + "run_notes.txt", specials);
  const std::uint16_t warpSlots = ReconcileWarps(universe, changeLog);
  CheckWarpLists(universe);

  CalculateDistances(universe, specials);
  WriteMslReport(universe, CalculateMsl(universe, specials), dir + "run_msl.txt");
  if ((input.options & 2) == 0) {
    const Bubbles found = AnalyseBubbles(universe, dir + "run_bubbles.txt");
    WriteBubbleReport(universe, found, warpSlots, dir + "run_bubbles.txt");
  }
  WriteMapFile(universe, dir + "run.map");
  const MapChanges changes = CompareMapFile(universe, dir + "run.map");
  WriteMapChanges(changes, dir + "run.map", changeLog);
  WriteOneWayReport(universe, dir + "run_oneways.txt");
  WritePortPairReport(universe, dir + "run_portpairs.txt");
  WriteDistanceReport(universe, specials, dir + "run_distance.txt");
  WriteSpecialPortReport(universe, warpSlots, dir + "run_special.txt");
  WriteNotesReport(universe, warpSlots, dir + "run_notes.txt");
  WriteDumpReport(universe, warpSlots, dir + "run_dump.txt");
  WriteAtlas(universe, specials, "run", changes, dir + "run_atlas.html");
  CheckAtlasData(AtlasData(universe, specials, "run", changes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
