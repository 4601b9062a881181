// The log reader on any bytes, then the notes report that writes the log section.
#include <cstdint>
#include <string>

#include "capture/notes_file.h"
#include "fuzz/fuzz_util.h"
#include "report/notes_report.h"

namespace {

void Run(const FuzzCase& input) {
  const std::uint16_t n = input.n;
  const std::string log = WriteScratchFile("game_log.txt", input.body);
  Universe& universe = FreshUniverse(n, 5);
  ReadLogFile(universe, log);
  WriteNotesReport(universe, input.options, ScratchPath() + "game_notes.txt");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
