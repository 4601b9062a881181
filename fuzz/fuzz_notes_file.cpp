// The notes reader on any bytes; the notes report written and read back gives
// the same notes and keeps the same other lines, and the atlas carries the
// notes as plain ASCII.
//
// Options: the special sectors are taken from the option byte, so labels land
// on noted and unnoted sectors alike.
#include <cstdint>
#include <string>

#include "atlas/atlas.h"
#include "capture/notes_file.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"
#include "report/notes_report.h"

namespace {

void Run(const FuzzCase& input) {
  const std::uint16_t n = input.n;
  const std::string& dir = ScratchPath();
  const std::string notes = WriteScratchFile("game_notes.txt", input.body);
  const std::uint16_t pick = input.options;
  const Specials specials = BuildSpecials(n, pick % (n + 1), pick / 2 % (n + 1), 0,
                                          std::to_string(pick % 7) + ";" + std::to_string(n));

  Universe& universe = FreshUniverse(n, specials.size());
  ReadNotesFile(universe, notes, specials);
  CheckAtlasData(AtlasData(universe, specials, input.body.substr(0, 40), MapChanges{}));
  const std::string written = dir + "game_notes_report.txt";
  RemoveFile(written);
  WriteNotesReport(universe, 0, written);

  Universe& copy = FreshUniverse(n, specials.size(), 1);
  ReadNotesFile(copy, written, specials);
  for (std::uint32_t s = 1; s <= n; ++s) {
    FuzzCheck(universe[static_cast<std::uint16_t>(s)].note == copy[static_cast<std::uint16_t>(s)].note,
              "the notes report read back gives other notes");
  }
  FuzzCheck(universe.notesLines == copy.notesLines,
            "the notes report read back keeps other lines");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
