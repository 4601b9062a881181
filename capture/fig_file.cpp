#include "capture/fig_file.h"

#include "platform/console.h"
#include "progress/progress.h"
#include "text/text.h"

namespace {
// This reader shortens a long name to its last 30 characters without the
// "..." marker that the other phases show.
void AnnounceFigFile(const std::string& fileName) {
  std::string line = "reading fig data: ";
  std::string_view name = fileName;
  if (name.size() >= 34) name = name.substr(name.size() - 30);
  line += name;
  line += ' ';
  ConsoleWrite(line);
}
}  // namespace

void ReadFigFile(Universe& universe, const std::string& fileName, OutputFile& changeLog) {
  const std::uint16_t n = universe.size();
  LineReader reader;
  if (!reader.Open(fileName)) return;

  changeLog.Write(" ");
  changeLog.Write(fileName);
  changeLog.Write(": ");
  AnnounceFigFile(fileName);

  std::uint16_t spinner = ProgressTick(0, 100);
  std::uint64_t count = 0;
  std::string_view line;
  while (reader.Next(line)) {
    // The whole line is the number: leading blanks pass, anything after it fails.
    auto sector = TextToInt(line, 1, n);
    if (!sector || !universe.Contains(static_cast<std::uint32_t>(*sector))) continue;
    universe[static_cast<std::uint16_t>(*sector)].fig = 1;
    ++count;
    spinner = ProgressTick(spinner, 100);
  }
  EndPhaseLine();

  std::string tail;
  AppendRight(tail, static_cast<std::int64_t>(count));
  tail += " sectors read.";
  changeLog.WriteLine(tail);
}
