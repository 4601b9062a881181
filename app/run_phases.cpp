#include "app/run_phases.h"

#include "analysis/bubbles.h"
#include "analysis/distance_report.h"
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
#include "report/dump.h"
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
void ReadExtraFile(Universe& universe, std::uint16_t n, const std::string& extraFile,
                   OutputFile& changeLog) {
  if (extraFile.empty() || !FileExists(extraFile)) return;
  const std::string extension = Extension(extraFile);
  if (extension == ".sct") {
    ReadSectorFile(universe, n, extraFile, LoadMode::Fill, 0, changeLog);
  } else if (extension == ".prt") {
    ReadPortFile(universe, n, extraFile, LoadMode::Fill, 0, changeLog);
  } else if (extension == ".ztm") {
    ReadRouteFile(universe, n, extraFile, changeLog);
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

std::optional<Refusal> RunPhases(const std::string& gameName, const std::string& cimPath,
                                 const std::string& reportPath, std::uint16_t sectorCount,
                                 std::uint8_t loadMask, std::uint16_t alphaCentauri,
                                 std::uint16_t rylos, std::uint16_t stardock,
                                 const std::string& distanceList, bool bubbles, bool reports,
                                 const std::string& extraFile, bool atlas, bool history) {
  const std::string cap = cimPath + gameName;
  const std::string rep = reportPath + gameName;
  const std::uint16_t n = sectorCount;

  // A run that would read nothing, or lose what the player has, does not start.
  if (std::optional<Refusal> refusal = CheckInputs(cap, n, loadMask, extraFile, history)) {
    return refusal;
  }

  // The specials table and the Universe live for exactly this run.
  const Specials specials = BuildSpecials(n, alphaCentauri, rylos, stardock, distanceList);
  const auto specialCount = static_cast<std::uint16_t>(specials.size());
  Universe universe = CreateUniverse(n, specialCount);

  // The directories that take the new names of the player's files (the older
  // reference copies' included) are flushed once each, at the end of the run.
  DirectoryFlushes directoryFlushes;
  TidyFileSet(cap);

  OutputFile changeLog(rep + "_changelog.txt", OutputFile::Mode::Append,
                       OutputFile::Durability::Durable);
  std::string record = "[";
  record += LocalTimeStamp();
  record += "] BEGIN KORVAN2 RECORD:";
  changeLog.WriteLine(record);

  // Readers: the current captures win, the reference copies fill the gaps.
  ReadFigFile(universe, n, cap + "_figs.txt", changeLog);
  if (loadMask & kLoadCaptures) {
    ReadSectorFile(universe, n, cap + ".sct", LoadMode::Replace, 1, changeLog);
    ReadPortFile(universe, n, cap + ".prt", LoadMode::Replace, 1, changeLog);
  }
  if (loadMask & kLoadReferenceCopies) {
    ReadSectorFile(universe, n, cap + "_ref.sct", LoadMode::Fill, 0, changeLog);
    ReadPortFile(universe, n, cap + "_ref.prt", LoadMode::Fill, 0, changeLog);
  }
  // What the comparison finds is kept for the atlas as it stands now, before
  // the side files and reconciliation change the Universe.
  MapChanges mapChanges;
  if (loadMask & kCompareMap) {
    CompareMapFile(universe, n, cap + ".map", changeLog, atlas ? &mapChanges : nullptr);
  }
  ReadExtraFile(universe, n, extraFile, changeLog);
  ReadLogFile(universe, n, cap + "_log.txt");
  ReadNotesFile(universe, n, rep + "_notes.txt", specials, specialCount);

  std::uint16_t warpSlots = 0;
  ReconcileWarps(universe, n, warpSlots, changeLog);

  // New reference copies; the previous ones become the backups.
  WriteSectorFile(universe, n, cap + "_ref.sct", changeLog, cap + "_bak.sct");
  WritePortFile(universe, n, cap + "_ref.prt", changeLog, cap + "_bak.prt");
  // A run that read the captures adds them to the game's history.
  if (history && (loadMask & kLoadCaptures)) RecordCapture(universe, n, cap);

  if (reports) {
    CalculateDistances(universe, n, specials, specialCount);
    CalculateMsl(universe, n, specials, specialCount, rep + "_msl.txt");
    if (bubbles) AnalyseBubbles(universe, n, warpSlots, rep + "_bubbles.txt");
    WriteMapFile(universe, n, cap + ".map");
    WriteOneWayReport(universe, n, rep + "_oneways.txt");
    WritePortPairReport(universe, n, rep + "_portpairs.txt");
    WriteDistanceReport(universe, n, specials, specialCount, rep + "_distance.txt");
    WriteSpecialPortReport(universe, n, warpSlots, rep + "_special.txt");
    WriteNotesReport(universe, n, warpSlots, rep + "_notes.txt");
    WriteDumpReport(universe, n, warpSlots, rep + "_dump.txt");
    if (atlas) WriteAtlas(universe, n, specials, specialCount, gameName, mapChanges, rep + "_atlas.html");
  }

  changeLog.WriteLine("[END OF RECORD]");
  changeLog.WriteLine("");
  changeLog.Commit();
  directoryFlushes.Run();
  return std::nullopt;
}
