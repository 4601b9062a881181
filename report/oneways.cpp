#include "report/oneways.h"

#include <optional>
#include <string_view>

#include "platform/file.h"
#include "progress/progress.h"
#include "text/line_writer.h"
#include "text/text.h"

namespace {

constexpr std::uint16_t kTickStep = 1000;
constexpr int kEntriesPerLine = 5;

// Writes the built line: its leading blank and entries, trailing blanks removed.
void FlushLine(const std::string& line, OutputFile& report) {
  std::string_view text = line;
  text.remove_suffix(text.size() - (text.find_last_not_of(' ') + 1));
  report.WriteLine(text);
}

// One pass over sectors 1..n: every entry of `kind`, five to a line, in the order
// of the lists that hold them.
void WritePass(const Universe& universe, std::uint16_t n, std::uint32_t kind,
               std::string_view arrow, std::uint16_t& tick, std::string& line,
               OutputFile& report) {
  const int w = NumberWidth(n);
  // An entry: two numbers of at most max(w, 5) digits, the arrow, two blanks.
  const std::size_t entryRoom = 2 * (static_cast<std::size_t>(w) + 5) + arrow.size() + 2;
  int entries = 0;
  line.clear();
  std::optional<LineWriter> writer;  // open while a line is being built
  for (std::uint32_t s = 1; s <= n; ++s) {
    tick = ProgressTick(tick, kTickStep);
    const Sector& sector = universe.Lookup(s);
    if (!sector.warps) continue;
    const WarpList& warps = *sector.warps;
    for (std::size_t i = 0; i < warps.targets.size(); ++i) {
      if (warps.kinds[i] != kind) continue;
      if (!writer) {
        writer.emplace(line, 1 + kEntriesPerLine * entryRoom);
        writer->Put(' ');
      }
      writer->Right(s, w);
      writer->Put(arrow);
      writer->Left(warps.targets[i], w);
      writer->Put("  ");
      if (++entries == kEntriesPerLine) {
        writer.reset();
        FlushLine(line, report);
        line.clear();
        entries = 0;
      }
    }
  }
  if (entries > 0) {
    writer.reset();
    FlushLine(line, report);
  }
}

}  // namespace

void WriteOneWayReport(const Universe& universe, const std::string& fileName) {
  const std::uint16_t n = universe.size();
  OutputFile report(fileName);
  AnnounceFile("writing one-way report: ", fileName);
  std::uint16_t tick = ProgressTick(0, kTickStep);
  std::string line;

  report.WriteLine("oneways out:");
  WritePass(universe, n, oneWayOut, "-->", tick, line, report);
  report.WriteLine("");

  report.WriteLine("oneways in:");
  WritePass(universe, n, oneWayIn, "<--", tick, line, report);

  report.Commit();
  EndPhaseLine();
}
