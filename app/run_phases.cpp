#include "app/run_phases.h"

#include <optional>
#include <type_traits>
#include <vector>

#include "analysis/bubbles.h"
#include "analysis/distances.h"
#include "analysis/msl.h"
#include "atlas/atlas.h"
#include "capture/fig_file.h"
#include "capture/notes_file.h"
#include "capture/port_file.h"
#include "capture/reconcile.h"
#include "capture/reference_copy.h"
#include "capture/route_file.h"
#include "capture/sector_file.h"
#include "history/history.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/path.h"
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
#include "universe/universe.h"

namespace {

constexpr std::uint8_t kLoadCaptures = 1;
constexpr std::uint8_t kLoadReferenceCopies = 2;
constexpr std::uint8_t kCompareMap = 4;

// Moves the player's file `from` to `to` when `from` exists and `to` does not,
// its new name written through to the disk; a failed move is ignored, as the
// next run tries again.
void MoveIfFree(const std::string& from, const std::string& to) {
  if (FileExists(from) && !FileExists(to)) MoveFileDurably(from, to);
}

void RemoveIfExists(const std::string& name) {
  if (FileExists(name)) RemoveFile(name);
}

// The extension of the extra file: its file name part from the last "." on.
std::string Extension(const std::string& path) {
  std::string name = path.substr(DirectoryPart(path).size());
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

// Reads the extra file of the command line by its extension, exactly as typed:
// captures fill gaps only, route files add their warps; anything else is not read.
void ReadExtraFile(Universe& universe, const std::string& extraFile, OutputFile& changeLog) {
  if (extraFile.empty() || !FileExists(extraFile)) return;
  const std::string extension = Extension(extraFile);
  if (extension == ".sct") {
    ReadSectorFile(universe, extraFile, LoadMode::Fill, 0, changeLog);
  } else if (extension == ".prt") {
    ReadPortFile(universe, extraFile, LoadMode::Fill, 0, changeLog);
  } else if (extension == ".ztm") {
    ReadRouteFile(universe, extraFile, changeLog);
  }
}

// The two kinds of capture file, each with its reference copy and the copy's
// older name.
struct CopyKind {
  const char* capture;
  const char* copy;
  const char* olderName;
};
constexpr CopyKind kCopyKinds[] = {{".sct", "_ref.sct", ".srf"}, {".prt", "_ref.prt", ".prf"}};

// The reference copy of `kind` as the run takes it: under its older name when
// that alone exists, as the tidy step then moves it into place.
std::string CopyAsRead(const std::string& cap, const CopyKind& kind) {
  std::string name = cap + kind.copy;
  if (!FileExists(name) && FileExists(cap + kind.olderName)) name = cap + kind.olderName;
  return name;
}

// Runs the phases of one run, each by its name, telling the observer (when
// there is one) before and after.
class Phases {
 public:
  explicit Phases(RunObserver* observer) : observer_(observer) {}

  // From here on the observer is shown `universe` after each phase.
  void Show(const Universe& universe) { universe_ = &universe; }

  // Runs `phase` as the phase `name`; returns what it returns.
  template <typename Phase>
  auto operator()(const char* name, Phase&& phase) const {
    if (observer_ != nullptr) observer_->PhaseBegins(name);
    if constexpr (std::is_void_v<std::invoke_result_t<Phase&>>) {
      phase();
      if (observer_ != nullptr) observer_->PhaseEnded(name, universe_);
    } else {
      auto result = phase();
      if (observer_ != nullptr) observer_->PhaseEnded(name, universe_);
      return result;
    }
  }

 private:
  RunObserver* observer_;
  const Universe* universe_ = nullptr;
};

// The change-log record of a run: its header, with the local time, starts it;
// its end line and an empty line close it.
void BeginRecord(OutputFile& changeLog) {
  std::string record = "[";
  record += LocalTimeStamp();
  record += "] BEGIN KORVAN2 RECORD:";
  changeLog.WriteLine(record);
}

void EndRecord(OutputFile& changeLog) {
  changeLog.WriteLine("[END OF RECORD]");
  changeLog.WriteLine("");
  changeLog.Commit();
}

// CheckInputs for the files the run reads.
std::optional<Refusal> CheckReadInputs(const std::string& cap, std::uint16_t n,
                                       std::uint8_t loadMask, const std::string& extraFile) {
  const bool captures = (loadMask & kLoadCaptures) != 0;
  const bool copies = (loadMask & kLoadReferenceCopies) != 0;
  const std::string option = "/mm:" + std::to_string(loadMask);
  if (!captures && !copies) {
    return Refusal{"nothing to read for " + cap + ": " + option +
                   " reads no capture and no reference copy."};
  }

  const bool anyCapture = FileExists(cap + ".sct") || FileExists(cap + ".prt");
  const bool anyCopy = FileExists(cap + "_ref.sct") || FileExists(cap + "_ref.prt") ||
                       FileExists(cap + ".srf") || FileExists(cap + ".prf");
  const bool anyExtra = !extraFile.empty() && FileExists(extraFile);
  if (!(captures && anyCapture) && !(copies && anyCopy) && !anyExtra) {
    const char* what = !copies     ? "no capture"
                       : !captures ? "no reference copy"
                                   : "no capture and no reference copy";
    return Refusal{"nothing to read for " + cap + ": " + what + "."};
  }

  // A rebuild from the captures writes each copy from its capture alone: with
  // that capture missing, the copy would be written empty.
  if (!copies) {
    for (const CopyKind& kind : kCopyKinds) {
      if (FileExists(cap + kind.capture)) continue;
      const std::string copy = CopyAsRead(cap, kind);
      std::string head;
      if (!ReadFileHead(copy, 1, head) || head.empty()) continue;
      return Refusal{cap + kind.capture + " is missing, so " + option + " would empty " + copy +
                     "; run with /mm:" + std::to_string(loadMask + kLoadReferenceCopies) +
                     " to keep it."};
    }
  }

  if (!extraFile.empty() && !FileExists(extraFile)) {
    return Refusal{"/m: file " + extraFile + " does not exist."};
  }

  // Every run that reads anything rewrites the copies, whatever it reads.
  for (const CopyKind& kind : kCopyKinds) {
    const std::string copy = CopyAsRead(cap, kind);
    const std::uint16_t beyond = HighestSectorBeyond(copy, n);
    if (beyond == 0) continue;
    const std::string sector = std::to_string(beyond);
    return Refusal{copy + " holds sector " + sector + ", beyond /n:" + std::to_string(n) +
                   "; run with /n:" + sector + " or more."};
  }
  return std::nullopt;
}

}  // namespace

std::optional<Refusal> CheckInputs(const std::string& cap, std::uint16_t n, std::uint8_t loadMask,
                                   const std::string& extraFile, bool history) {
  if (std::optional<Refusal> refusal = CheckReadInputs(cap, n, loadMask, extraFile)) return refusal;
  // A file of the history's name that is no history is the player's: never written into.
  const std::string historyFile = HistoryFileName(cap);
  if (history && !IsHistoryDatabase(historyFile)) {
    return Refusal{historyFile +
                   " is not a korvan2a history database; move it away or run without /history+."};
  }
  return std::nullopt;
}

void TidyFileSet(const std::string& cap) {
  if (!FileExists(cap + "_ref.sct") && !FileExists(cap + "_ref.prt")) {
    RemoveIfExists(cap + ".map");
    RemoveIfExists(cap + ".fig");
    RemoveIfExists(cap + ".vod");
  }
  MoveIfFree(cap + ".srf", cap + "_ref.sct");
  MoveIfFree(cap + ".prf", cap + "_ref.prt");
}

std::optional<Refusal> RunPhases(const Settings& settings, RunObserver* observer) {
  const std::string cap = settings.cimPath + settings.gameName;
  const std::string rep = settings.reportPath + settings.gameName;
  const std::uint8_t loadMask = settings.loadMask;
  Phases phase(observer);

  // A run that would read nothing, or lose what the player has, does not start.
  std::optional<Refusal> refusal = phase("check-inputs", [&] {
    return CheckInputs(cap, settings.sectorCount, loadMask, settings.extraFile, settings.history);
  });
  if (refusal) return refusal;

  // The specials table and the Universe live for exactly this run.
  const Specials specials = BuildSpecials(settings.sectorCount, settings.alphaCentauri,
                                          settings.rylos, settings.stardock, settings.distanceList);
  Universe universe =
      phase("universe", [&] { return CreateUniverse(settings.sectorCount, specials.size()); });
  phase.Show(universe);  // the observer sees it after every phase from here on

  // The directories that take the new names of the player's files (the older
  // reference copies' included) are flushed once each, at the end of the run.
  DirectoryFlushes directoryFlushes;
  phase("tidy-files", [&] { TidyFileSet(cap); });
  OutputFile changeLog(rep + "_changelog.txt", OutputFile::Mode::Append,
                       OutputFile::Durability::Durable);
  phase("begin-record", [&] { BeginRecord(changeLog); });

  // Readers: the current captures win, the reference copies fill the gaps.
  phase("figs", [&] { ReadFigFile(universe, cap + "_figs.txt", changeLog); });
  if (loadMask & kLoadCaptures) {
    phase("read-sct",
          [&] { ReadSectorFile(universe, cap + ".sct", LoadMode::Replace, 1, changeLog); });
    phase("read-prt",
          [&] { ReadPortFile(universe, cap + ".prt", LoadMode::Replace, 1, changeLog); });
  }
  if (loadMask & kLoadReferenceCopies) {
    phase("read-ref-sct",
          [&] { ReadSectorFile(universe, cap + "_ref.sct", LoadMode::Fill, 0, changeLog); });
    phase("read-ref-prt",
          [&] { ReadPortFile(universe, cap + "_ref.prt", LoadMode::Fill, 0, changeLog); });
  }
  // What the comparison finds is kept for the atlas as it stands now, before
  // the side files and reconciliation change the Universe.
  MapChanges mapChanges;
  if (loadMask & kCompareMap) {
    const MapChangesDetail detail =
        settings.atlas ? MapChangesDetail::atlas : MapChangesDetail::changeLog;
    mapChanges =
        phase("compare-map", [&] { return CompareMapFile(universe, cap + ".map", detail); });
    phase("map-changes", [&] { WriteMapChanges(mapChanges, cap + ".map", changeLog); });
  }
  phase("extra-file", [&] { ReadExtraFile(universe, settings.extraFile, changeLog); });
  phase("log", [&] { ReadLogFile(universe, cap + "_log.txt"); });
  phase("notes", [&] { ReadNotesFile(universe, rep + "_notes.txt", specials); });

  const std::uint16_t warpSlots =
      phase("reconcile", [&] { return ReconcileWarps(universe, changeLog); });

  // New reference copies; the previous ones become the backups.
  phase("write-ref-sct",
        [&] { WriteSectorFile(universe, cap + "_ref.sct", changeLog, cap + "_bak.sct"); });
  phase("write-ref-prt",
        [&] { WritePortFile(universe, cap + "_ref.prt", changeLog, cap + "_bak.prt"); });
  // A run that read the captures adds them to the game's history.
  if (settings.history && (loadMask & kLoadCaptures)) {
    phase("history", [&] { RecordCapture(universe, cap); });
  }

  if (settings.reports) {
    phase("distances", [&] { CalculateDistances(universe, specials); });
    const std::vector<LaneRoute> lane =
        phase("msl", [&] { return CalculateMsl(universe, specials); });
    phase("msl-report", [&] { WriteMslReport(universe, lane, rep + "_msl.txt"); });
    if (settings.bubbles) {
      const Bubbles bubbles =
          phase("bubbles", [&] { return AnalyseBubbles(universe, rep + "_bubbles.txt"); });
      phase("bubble-report",
            [&] { WriteBubbleReport(universe, bubbles, warpSlots, rep + "_bubbles.txt"); });
    }
    phase("write-map", [&] { WriteMapFile(universe, cap + ".map"); });
    phase("oneways", [&] { WriteOneWayReport(universe, rep + "_oneways.txt"); });
    phase("portpairs", [&] { WritePortPairReport(universe, rep + "_portpairs.txt"); });
    phase("distance-report",
          [&] { WriteDistanceReport(universe, specials, rep + "_distance.txt"); });
    phase("special", [&] { WriteSpecialPortReport(universe, warpSlots, rep + "_special.txt"); });
    phase("notes-report", [&] { WriteNotesReport(universe, warpSlots, rep + "_notes.txt"); });
    phase("dump", [&] { WriteDumpReport(universe, warpSlots, rep + "_dump.txt"); });
    if (settings.atlas) {
      // The page carries each port's recent observations when the run keeps
      // the history.
      std::optional<HistoryDigest> history;
      if (settings.history) {
        history = phase("read-history", [&] {
          return ReadHistoryDigest(HistoryFileName(cap), kAtlasObservations);
        });
      }
      phase("atlas", [&] {
        WriteAtlas(universe, specials, settings.gameName, mapChanges,
                   history ? &*history : nullptr, rep + "_atlas.html");
      });
    }
  }

  phase("end-record", [&] {
    EndRecord(changeLog);
    directoryFlushes.Run();
  });
  return std::nullopt;
}
