#include "capture/sector_file.h"

#include <optional>
#include <string_view>
#include <vector>

#include "capture/reference_copy.h"
#include "progress/progress.h"
#include "text/line_writer.h"
#include "text/text.h"

namespace {

constexpr std::uint16_t kSpinnerStep = 500;

// A warp word as a sector number. Nearly every word is a plain number of at most
// five digits, read here directly; anything else takes the full conversion.
std::optional<std::uint16_t> ReadTarget(std::string_view word) {
  if (word.size() > 5) return TextToWord(word);
  std::uint32_t value = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return TextToWord(word);
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

WarpList MakeWarpList(const std::vector<std::uint16_t>& targets) {
  WarpList list;
  list.targets = targets;
  list.kinds.assign(targets.size(), oneWayOut);
  return list;
}

}  // namespace

void ReadSectorFile(Universe& universe, const std::string& fileName, LoadMode mode,
                    std::uint8_t exploredValue, OutputFile& changeLog) {
  const std::uint16_t n = universe.size();
  if (!FileExists(fileName)) return;
  LineReader reader;
  if (!reader.Open(fileName)) return;
  changeLog.Write(" " + fileName + ": ");
  AnnounceFile("reading sector cim file: ", fileName);
  std::uint16_t spinner = ProgressTick(0, kSpinnerStep);

  std::uint32_t lineCount = 0;
  std::vector<std::uint16_t> targets;
  targets.reserve(kMaxWarps);
  std::string_view line;
  while (reader.Next(line)) {
    line = TrimLine(line);
    std::size_t pos = 0;
    const std::string_view first = NextWord(line, pos, ' ');
    std::string_view word = NextWord(line, pos, ' ');
    if (word.empty()) continue;  // fewer than two words: not a sector line
    ++lineCount;
    spinner = ProgressTick(spinner, kSpinnerStep);

    const auto number = TextToInt(first, 1, n);
    if (!number || !universe.Contains(static_cast<std::uint32_t>(*number))) continue;

    // A list holds at most 255 warps: the rest of a longer line is not read.
    targets.clear();
    bool readable = true;
    for (; !word.empty() && targets.size() < kMaxWarps; word = NextWord(line, pos, ' ')) {
      const auto target = ReadTarget(word);
      if (!target) {
        readable = false;
        break;
      }
      targets.push_back(*target);
    }

    Sector& sector = universe[static_cast<std::uint16_t>(*number)];
    if (mode == LoadMode::Replace) {
      sector.explored = exploredValue;
      if (readable) {
        sector.warps = MakeWarpList(targets);
      } else {
        sector.warps.reset();
      }
    } else if (!sector.warps && readable) {
      sector.warps = MakeWarpList(targets);
    }
  }

  EndPhaseLine();
  changeLog.WriteLine(std::to_string(lineCount) + " sectors read.");
}

void WriteSectorFile(const Universe& universe, const std::string& fileName, OutputFile& changeLog,
                     const std::string& backupName) {
  const std::uint16_t n = universe.size();
  changeLog.Write(" " + fileName + ": ");
  AnnounceFile("writing sector cim file: ", fileName);
  OutputFile out(fileName, OutputFile::Mode::Replace, OutputFile::Durability::Durable);
  std::uint16_t spinner = ProgressTick(0, kSpinnerStep);

  const int width = NumberWidth(n);
  std::uint32_t lineCount = 0;
  std::string line;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (!sector.warps) continue;
    ++lineCount;
    const WarpList& warps = *sector.warps;
    line.clear();
    {
      // Each number takes at most max(width, 5) characters and a blank.
      LineWriter cells(line, (warps.targets.size() + 1) * (static_cast<std::size_t>(width) + 6));
      cells.Right(s, width);
      for (std::size_t i = 0; i < warps.targets.size(); ++i) {
        // oneWayIn entries are reconciliation's; the next run derives them again.
        if (warps.kinds[i] != oneWayOut && warps.kinds[i] != twoWay) continue;
        cells.Put(' ');
        cells.Right(warps.targets[i], width);
      }
    }
    out.WriteLine(line);
    spinner = ProgressTick(spinner, kSpinnerStep);
  }

  CommitReferenceCopy(out, backupName);
  EndPhaseLine();
  changeLog.WriteLine(std::to_string(lineCount) + " sectors written");
}
