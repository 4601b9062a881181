#include "capture/notes_file.h"

#include "platform/file.h"
#include "progress/progress.h"
#include "text/text.h"

namespace {

constexpr std::string_view kDistanceLabel = "distance reference #";

// The common form of log and notes lines: not a ";" comment, at least two
// colon-separated words, and a first word that is a sector of this universe.
// Returns the sector, or 0 when the line is not used; `colon` receives the
// index of the line's first colon.
std::uint16_t SectorOfLine(std::string_view line, std::uint16_t n, std::size_t& colon) {
  if (!line.empty() && line.front() == ';') return 0;
  if (WordCount(line, ':') < 2) return 0;
  auto sector = TextToInt(TrimLine(ExtractWord(line, 1, ':')), 1, n);
  if (!sector) return 0;
  colon = line.find(':');
  return static_cast<std::uint16_t>(*sector);
}

}  // namespace

void ReadLogFile(Universe& universe, const std::string& fileName) {
  const std::uint16_t n = universe.size();
  LineReader reader;
  if (!reader.Open(fileName)) return;
  AnnounceFile("reading log: ", fileName);

  std::string_view line;
  while (reader.Next(line)) {
    std::size_t colon = 0;
    std::uint16_t sector = SectorOfLine(line, n, colon);
    if (sector == 0) continue;
    if (line.find("IGNORE") != std::string_view::npos) continue;
    // The character after the colon is the expected blank and is dropped
    // whatever it is.
    std::string_view text = line.substr(colon + 1);
    if (!text.empty()) text.remove_prefix(1);
    universe[sector].log = TrimLine(text);
  }
  EndPhaseLine();
}

void ReadNotesFile(Universe& universe, const std::string& fileName, const Specials& specials) {
  const std::uint16_t n = universe.size();
  LineReader reader;
  if (reader.Open(fileName)) {
    AnnounceFile("reading notes: ", fileName);
    std::string_view line;
    // Everything from the stop line on is what the notes report regenerates.
    while (reader.Next(line) && line != kEndOfNotes) {
      std::size_t colon = 0;
      std::uint16_t sector = SectorOfLine(line, n, colon);
      if (sector == 0) {
        // The player wrote it: it goes back into the file as it is, unless
        // it holds nothing but blanks.
        if (line.find_first_not_of(" \t") != std::string_view::npos) {
          universe.notesLines.emplace_back(line);
        }
        continue;
      }
      std::string_view text = TrimLine(line.substr(colon + 1));
      // Distance reference labels follow the current settings, not the file.
      if (text.substr(0, kDistanceLabel.size()) == kDistanceLabel) text = {};
      universe[sector].note = text;
    }
    EndPhaseLine();
  }

  static constexpr std::string_view kNames[] = {"terra", "alpha centauri", "rylos", "stardock"};
  for (std::size_t k = kTerraSlot; k < specials.size(); ++k) {
    const std::uint16_t sector = specials[k];
    if (!universe.Contains(sector)) continue;
    std::string& note = universe[sector].note;
    if (!note.empty()) continue;
    if (k < kFirstDistanceSlot) {
      note = kNames[k - kTerraSlot];
    } else {
      note = kDistanceLabel;
      AppendRight(note, static_cast<std::int64_t>(k - kFirstDistanceSlot + 1));
    }
  }
}
