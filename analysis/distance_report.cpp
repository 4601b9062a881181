#include "analysis/distance_report.h"

#include <algorithm>

#include "analysis/hop_sweep.h"
#include "app/progress.h"
#include "platform/file.h"
#include "text/text.h"

namespace {

// The special sector's number centred in a seven-character cell, the odd blank
// going to the left, then the cell's bar.
void AppendCentredCell(std::string& line, std::uint16_t sector) {
  std::string digits;
  AppendRight(digits, sector);
  const std::size_t spare = digits.size() < 7 ? 7 - digits.size() : 0;
  line.append((spare + 1) / 2, ' ');
  line += digits;
  line.append(spare / 2, ' ');
  line += '|';
}

}  // namespace

void WriteDistanceReport(const Universe& universe, std::uint16_t n, const Specials& specials,
                         std::uint16_t specialCount, const std::string& fileName) {
  AnnounceFile("writing distance report: ", fileName);
  const std::size_t slots = UsableSlots(universe, specials, specialCount);
  const int width = NumberWidth(n);
  const std::size_t label = static_cast<std::size_t>(width) + 1;

  std::string separator(label, '-');
  separator += '+';
  for (std::size_t k = 0; k < slots; ++k) separator += "-------+";
  std::string centred;
  for (std::size_t k = kTerraSlot; k < slots; ++k) AppendCentredCell(centred, specials[k]);
  const std::string sectorLabel = std::string("sector ").substr(0, label);
  const std::string repeatedHeader = sectorLabel + "|  msl  |" + centred;

  OutputFile out(fileName);
  std::string line(width > 2 ? static_cast<std::size_t>(width - 2) : 0, ' ');
  line += "A  |  B..->  (from A to B),(from B to A)";
  out.WriteLine(line);
  out.WriteLine(separator);
  line = sectorLabel;
  line += "|  msl  | terra | alpha | rylos | strdk |";
  for (std::size_t k = kFirstDistanceSlot; k < slots; ++k) line += "       |";
  out.WriteLine(line);
  line.assign(label, ' ');
  line += "|       |";
  line += centred;
  out.WriteLine(line);
  out.WriteLine(separator);

  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    line.clear();
    AppendRight(line, s, width);
    line += " |";
    for (std::size_t k = 0; k < slots; ++k) {
      AppendRight(line, sector.hopsTo[k], 3);
      line += ',';
      AppendLeft(line, sector.hopsFrom[k], 3);
      line += '|';
    }
    out.WriteLine(line);
    if (s % 25 == 0) {
      out.WriteLine(separator);
      out.WriteLine(repeatedHeader);
      out.WriteLine(separator);
    }
  }
  out.Commit();
  EndPhaseLine();
}
