#include "report/notes_report.h"

#include <string_view>
#include <utility>
#include <vector>

#include "capture/notes_file.h"
#include "platform/file.h"
#include "progress/progress.h"
#include "report/sector_line.h"
#include "text/text.h"

namespace {

// The line form of the notes and log sections: the sector number padded to
// the number width, " : " and the text.
void AppendNumbered(std::string& out, std::uint16_t sector, int width, std::string_view text) {
  out.clear();
  AppendRight(out, sector, width);
  out += " : ";
  out += text;
}

// True when the note of `a` sorts after the note of `b`: byte by byte, letter
// case counting, a prefix first.
bool NoteGreater(const Universe& universe, std::uint16_t a, std::uint16_t b) {
  return std::string_view(universe[a].note) > std::string_view(universe[b].note);
}

// Orders the noted sectors by note text exactly as a selection sort with
// exchange does (each pass takes the first of the smallest remaining notes and
// swaps it into place, which can reorder sectors with equal notes). A
// tournament tree over the positions finds that first smallest note in
// logarithmic time instead of rescanning the rest of the list on every pass.
void SortByNote(const Universe& universe, std::vector<std::uint16_t>& list) {
  const std::size_t size = list.size();
  if (size < 2) return;
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t leaves = 1;
  while (leaves < size) leaves *= 2;
  std::vector<std::size_t> tree(2 * leaves, kNone);
  // Winner of two positions: the smaller note, the earlier position on a tie.
  auto winner = [&](std::size_t a, std::size_t b) {
    if (a == kNone) return b;
    if (b == kNone) return a;
    if (NoteGreater(universe, list[a], list[b])) return b;
    if (NoteGreater(universe, list[b], list[a])) return a;
    return a < b ? a : b;
  };
  auto update = [&](std::size_t leaf) {
    for (std::size_t node = (leaf + leaves) / 2; node >= 1; node /= 2) {
      tree[node] = winner(tree[2 * node], tree[2 * node + 1]);
    }
  };
  for (std::size_t i = 0; i < size; ++i) tree[leaves + i] = i;
  for (std::size_t node = leaves - 1; node >= 1; --node) {
    tree[node] = winner(tree[2 * node], tree[2 * node + 1]);
  }
  for (std::size_t i = 0; i < size; ++i) {
    std::size_t m = tree[1];
    if (m > i) {
      std::swap(list[i], list[m]);
      update(m);
    }
    // Position i is final; it leaves the tournament.
    tree[leaves + i] = kNone;
    update(i);
  }
}

}  // namespace

void WriteNotesReport(const Universe& universe, std::uint16_t warpSlots,
                      const std::string& fileName) {
  const std::uint16_t n = universe.size();
  std::vector<std::uint16_t> noted;
  std::vector<std::uint16_t> logged;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe[static_cast<std::uint16_t>(s)];
    if (!sector.note.empty()) noted.push_back(static_cast<std::uint16_t>(s));
    if (!sector.log.empty()) logged.push_back(static_cast<std::uint16_t>(s));
  }
  if (noted.empty() && logged.empty() && universe.notesLines.empty()) return;

  const int width = NumberWidth(n);
  // The player's own file: written beside it and renamed over it only when
  // complete, so a failed run leaves the old notes in place.
  OutputFile out(fileName, OutputFile::Mode::Replace, OutputFile::Durability::Durable);
  AnnounceFile("writing notes report: ", fileName);

  for (const std::string& kept : universe.notesLines) out.WriteLine(kept);
  std::vector<std::uint16_t> byNote = noted;
  SortByNote(universe, byNote);
  std::string line;
  for (std::uint16_t s : byNote) {
    AppendNumbered(line, s, width, universe[s].note);
    out.WriteLine(line);
  }
  out.WriteLine(kEndOfNotes);
  out.WriteLine("");

  const auto numberWidth = static_cast<std::uint8_t>(width);
  line.clear();
  AppendSectorLine(line, 0, universe, warpSlots, numberWidth, FullLayout);
  out.WriteLine(line);
  for (std::uint16_t s : noted) {
    line.clear();
    AppendSectorLine(line, s, universe, warpSlots, numberWidth, FullLayout);
    out.WriteLine(line);
  }
  out.WriteLine("");
  out.WriteLine("--- begin log ---");
  for (std::uint16_t s : logged) {
    AppendNumbered(line, s, width, universe[s].log);
    out.WriteLine(line);
  }
  out.Commit();
  EndPhaseLine();
}
