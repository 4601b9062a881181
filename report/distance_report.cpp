#include "report/distance_report.h"

#include <algorithm>
#include <cstring>

#include "platform/file.h"
#include "progress/progress.h"
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

// Every hop count is a byte, so the 20000 rows of up to a dozen cells look up the
// two renderings of a count instead of formatting hundreds of thousands of numbers.
class HopCells {
 public:
  HopCells() {
    for (int v = 0; v < 256; ++v) {
      std::string text;
      AppendRight(text, v, 3);
      text.copy(right_[v], 3);
      text.clear();
      AppendLeft(text, v, 3);
      text.copy(left_[v], 3);
    }
  }
  // The cell of one slot at `cell`: hops to the special right-aligned, ",",
  // hops from it left-aligned, "|". Eight characters.
  void Put(char* cell, std::uint8_t to, std::uint8_t from) const {
    std::memcpy(cell, right_[to], 3);
    cell[3] = ',';
    std::memcpy(cell + 4, left_[from], 3);
    cell[7] = '|';
  }
  static constexpr std::size_t kCellWidth = 8;

 private:
  char right_[256][3];
  char left_[256][3];
};

}  // namespace

void WriteDistanceReport(const Universe& universe, const Specials& specials,
                         const std::string& fileName) {
  const std::uint16_t n = universe.size();
  AnnounceFile("writing distance report: ", fileName);
  const std::size_t slots = UsableSlots(universe, specials);
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

  const HopCells cells;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    line.clear();
    AppendRight(line, s, width);
    line += " |";
    const std::size_t start = line.size();
    line.resize(start + slots * HopCells::kCellWidth);
    const std::uint8_t* to = sector.hopsTo.data();
    const std::uint8_t* from = sector.hopsFrom.data();
    for (std::size_t k = 0; k < slots; ++k) {
      cells.Put(line.data() + start + k * HopCells::kCellWidth, to[k], from[k]);
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
