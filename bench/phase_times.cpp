// phase_times: one run of korvan2a with the same command line, calling the phases
// in the run driver's order (app/run_phases.cpp) and printing how long each took,
// one "<phase> <microseconds> <page faults>" line per phase, for
// scripts/benchmark.sh. The console text of the phases is kept out of the way;
// the files written are the program's own, byte for byte.
//
//   phase_times /g:game /n:20000 ...   (run in the game's directory)
#include <chrono>
#include <cstdio>
#include <optional>
#include <sys/resource.h>
#include <string>
#include <vector>

#include "analysis/bubbles.h"
#include "analysis/distance_report.h"
#include "analysis/distances.h"
#include "analysis/msl.h"
#include "app/run_phases.h"
#include "app/settings.h"
#include "atlas/atlas.h"
#include "capture/fig_file.h"
#include "capture/notes_file.h"
#include "capture/port_file.h"
#include "capture/reconcile.h"
#include "capture/route_file.h"
#include "capture/sector_file.h"
#include "history/history.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/file.h"
#include "report/dump.h"
#include "report/oneways.h"
#include "report/port_pairs.h"
#include "report/special_ports.h"
#include "universe/map_file.h"
#include "universe/universe.h"

namespace {

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

class PhaseClock {
 public:
  PhaseClock() : last_(std::chrono::steady_clock::now()), faults_(MinorFaults()) {}
  // Prints the time since the previous mark under `phase`, in microseconds, and
  // the count of page faults, each a first touch of a page of memory.
  void Mark(const char* phase) {
    const auto now = std::chrono::steady_clock::now();
    const long faults = MinorFaults();
    std::printf("%s %lld %ld\n", phase,
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::microseconds>(now - last_).count()),
                faults - faults_);
    last_ = now;
    faults_ = faults;
  }

 private:
  std::chrono::steady_clock::time_point last_;
  long faults_;
};

// The driver's dispatch on the extra file's extension.
void ReadExtraFile(Universe& universe, std::uint16_t n, const std::string& extraFile,
                   OutputFile& changeLog) {
  if (extraFile.empty() || !FileExists(extraFile)) return;
  const std::string name = extraFile.substr(extraFile.rfind('/') + 1);
  const std::size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
  if (extension == ".sct") ReadSectorFile(universe, n, extraFile, LoadMode::Fill, 0, changeLog);
  if (extension == ".prt") ReadPortFile(universe, n, extraFile, LoadMode::Fill, 0, changeLog);
  if (extension == ".ztm") ReadRouteFile(universe, n, extraFile, changeLog);
}

}  // namespace

int main(int argc, char** argv) {
  PhaseClock clock;
  const CommandLine commandLine = ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (commandLine.result != CommandLineResult::Run) {
    std::fprintf(stderr, "phase_times: the command line does not ask for a run\n");
    return 1;
  }
  const Settings& s = commandLine.settings;
  std::string console;
  ConsoleCaptureTo(&console);
  const std::string cap = s.cimPath + s.gameName;
  const std::string rep = s.reportPath + s.gameName;
  const std::uint16_t n = s.sectorCount;
  clock.Mark("command-line");

  try {
    if (const std::optional<Refusal> refusal = CheckInputs(cap, n, s.loadMask, s.extraFile, s.history)) {
      std::fprintf(stderr, "phase_times: the run is refused: %s\n", refusal->reason.c_str());
      return 1;
    }
    clock.Mark("check-inputs");
    const Specials specials = BuildSpecials(n, s.alphaCentauri, s.rylos, s.stardock, s.distanceList);
    const auto specialCount = static_cast<std::uint16_t>(specials.size());
    Universe universe = CreateUniverse(n, specialCount);
    DirectoryFlushes directoryFlushes;
    TidyFileSet(cap);
    OutputFile changeLog(rep + "_changelog.txt", OutputFile::Mode::Append,
                         OutputFile::Durability::Durable);
    std::string header = "[";  // in steps: "[" + a temporary trips g++ 12's -Wrestrict at -O3
    header += LocalTimeStamp();
    header += "] BEGIN KORVAN2 RECORD:";
    changeLog.WriteLine(header);
    clock.Mark("universe");

    ReadFigFile(universe, n, cap + "_figs.txt", changeLog);
    clock.Mark("figs");
    if (s.loadMask & 1) {
      ReadSectorFile(universe, n, cap + ".sct", LoadMode::Replace, 1, changeLog);
      clock.Mark("read-sct");
      ReadPortFile(universe, n, cap + ".prt", LoadMode::Replace, 1, changeLog);
      clock.Mark("read-prt");
    }
    if (s.loadMask & 2) {
      ReadSectorFile(universe, n, cap + "_ref.sct", LoadMode::Fill, 0, changeLog);
      clock.Mark("read-ref-sct");
      ReadPortFile(universe, n, cap + "_ref.prt", LoadMode::Fill, 0, changeLog);
      clock.Mark("read-ref-prt");
    }
    MapChanges mapChanges;
    if (s.loadMask & 4) {
      CompareMapFile(universe, n, cap + ".map", changeLog, s.atlas ? &mapChanges : nullptr);
      clock.Mark("compare-map");
    }
    ReadExtraFile(universe, n, s.extraFile, changeLog);
    clock.Mark("extra-file");
    ReadLogFile(universe, n, cap + "_log.txt");
    ReadNotesFile(universe, n, rep + "_notes.txt", specials, specialCount);
    clock.Mark("log-notes");

    std::uint16_t warpSlots = 0;
    ReconcileWarps(universe, n, warpSlots, changeLog);
    clock.Mark("reconcile");
    WriteSectorFile(universe, n, cap + "_ref.sct", changeLog, cap + "_bak.sct");
    WritePortFile(universe, n, cap + "_ref.prt", changeLog, cap + "_bak.prt");
    clock.Mark("write-ref");
    if (s.history && (s.loadMask & 1) != 0) {
      RecordCapture(universe, n, cap);
      clock.Mark("history");
    }

    if (s.reports) {
      CalculateDistances(universe, n, specials, specialCount);
      clock.Mark("distances");
      CalculateMsl(universe, n, specials, specialCount, rep + "_msl.txt");
      clock.Mark("msl");
      if (s.bubbles) AnalyseBubbles(universe, n, warpSlots, rep + "_bubbles.txt");
      clock.Mark("bubbles");
      WriteMapFile(universe, n, cap + ".map");
      clock.Mark("write-map");
      WriteOneWayReport(universe, n, rep + "_oneways.txt");
      clock.Mark("oneways");
      WritePortPairReport(universe, n, rep + "_portpairs.txt");
      clock.Mark("portpairs");
      WriteDistanceReport(universe, n, specials, specialCount, rep + "_distance.txt");
      clock.Mark("distance-report");
      WriteSpecialPortReport(universe, n, warpSlots, rep + "_special.txt");
      clock.Mark("special");
      WriteNotesReport(universe, n, warpSlots, rep + "_notes.txt");
      clock.Mark("notes-report");
      WriteDumpReport(universe, n, warpSlots, rep + "_dump.txt");
      clock.Mark("dump");
      if (s.atlas) {
        WriteAtlas(universe, n, specials, specialCount, s.gameName, mapChanges,
                   rep + "_atlas.html");
        clock.Mark("atlas");
      }
    }
    changeLog.WriteLine("[END OF RECORD]");
    changeLog.WriteLine("");
    changeLog.Commit();
    directoryFlushes.Run();
    clock.Mark("close-log");
  } catch (const IoError& error) {
    std::fprintf(stderr, "phase_times: %s\n", error.what());
    return 2;
  }
  clock.Mark("release");
  return 0;
}
