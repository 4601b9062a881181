#include "report/map_changes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace {

constexpr std::array<std::string_view, 3> kProductNames = {"fuel ore", "organics", "equipment"};

void StartSectorLine(std::string& line, std::uint16_t s) {
  line.assign("  ");
  AppendRight(line, s);
  line += ": ";
}

}  // namespace

void WriteMapChanges(const MapChanges& changes, const std::string& fileName,
                     OutputFile& changeLog) {
  if (changes.state != MapChangesState::compared && changes.state != MapChangesState::unusable) {
    return;
  }
  std::string line = " " + fileName + ": ";
  if (changes.state == MapChangesState::unusable) {
    line += "map file unusable - not compared.";
    changeLog.WriteLine(line);
    return;
  }
  line += "(reclen=";
  AppendRight(line, changes.reclen);
  line += ") ";
  changeLog.WriteLine(line);
  changeLog.WriteLine("  comparing recent cim data with previous map data...");

  // The three kinds each ascend by sector; a sector's lines come together,
  // its port's before its warps', as the comparison met them.
  const std::vector<std::uint16_t>& gone = changes.portGone;
  const std::vector<MapChanges::Capacity>& up = changes.up;
  const std::vector<MapChanges::Warps>& warps = changes.newWarps;
  std::size_t g = 0;
  std::size_t u = 0;
  std::size_t w = 0;
  while (g < gone.size() || u < up.size() || w < warps.size()) {
    std::uint32_t s = UINT32_MAX;
    if (g < gone.size()) s = gone[g];
    if (u < up.size() && up[u].sector < s) s = up[u].sector;
    if (w < warps.size() && warps[w].sector < s) s = warps[w].sector;
    const auto sector = static_cast<std::uint16_t>(s);
    if (g < gone.size() && gone[g] == sector) {
      StartSectorLine(line, sector);
      line += "new port found.";
      changeLog.WriteLine(line);
      ++g;
    }
    for (; u < up.size() && up[u].sector == sector; ++u) {
      StartSectorLine(line, sector);
      line += kProductNames[up[u].product % kProductNames.size()];
      line += " up by ";
      AppendRight(line, up[u].amount);
      line += '.';
      changeLog.WriteLine(line);
    }
    if (w < warps.size() && warps[w].sector == sector) {
      StartSectorLine(line, sector);
      line += "new warps found (";
      const std::span<const std::uint16_t> found = changes.targets(warps[w]);
      for (std::size_t i = 0; i < found.size(); ++i) {
        if (i > 0) line += ' ';
        AppendRight(line, found[i]);
      }
      line += ')';
      changeLog.WriteLine(line);
      ++w;
    }
  }

  if (changes.tooManyRecords) {
    changeLog.WriteLine("  warning - map file contains too many sectors - proceed with caution.");
  }
  if (changes.tooFewRecords) {
    changeLog.WriteLine("  warning - map file contains too few sectors - proceed with caution.");
  }
  line.assign("  ");
  AppendRight(line, changes.records);
  line += " sectors read.";
  changeLog.WriteLine(line);
}
