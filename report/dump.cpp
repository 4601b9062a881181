#include "report/dump.h"

#include "platform/file.h"
#include "progress/progress.h"
#include "report/sector_line.h"
#include "text/text.h"

void WriteDumpReport(const Universe& universe, std::uint16_t warpSlots,
                     const std::string& fileName) {
  const std::uint16_t n = universe.size();
  // The report replaces the old one only when it is complete.
  OutputFile file(fileName);
  AnnounceFile("writing dump report: ", fileName);
  const auto w = static_cast<std::uint8_t>(NumberWidth(n));

  std::string line;
  AppendSectorLine(line, 0, universe, warpSlots, w, FullLayout);
  file.WriteLine(line);
  const SectorMarks marks(universe);
  for (std::uint32_t s = 1; s <= n; ++s) {
    line.clear();
    AppendSectorLine(line, static_cast<std::uint16_t>(s), universe, marks, warpSlots, w,
                     FullLayout);
    file.WriteLine(line);
  }
  file.Commit();
  EndPhaseLine();
}
