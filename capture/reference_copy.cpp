#include "capture/reference_copy.h"

#include <cerrno>
#include <string_view>

#include "text/text.h"
#include "universe/universe.h"

void CommitReferenceCopy(OutputFile& copy, const std::string& backupName) {
  copy.Close();
  if (!backupName.empty()) {
    if (FileExists(copy.name())) {
      // The previous copy's second name is made beside the backup and renamed
      // over it, so that the old backup stays whole until the new one replaces
      // it: a failure or a kill at any step leaves a complete backup.
      const std::string linkName = backupName + ".tmp~";
      if (FileExists(linkName)) RemoveFile(linkName);  // left by a killed run
      LinkOrCopyFile(copy.name(), linkName);
      if (!MoveFile(linkName, backupName)) {
        const int error = errno;
        RemoveFile(linkName);
        throw IoError(backupName, error);
      }
      // When the backup already was the copy (a run killed after this rotation
      // and before its new copy), the rename leaves both names: drop the spare.
      if (FileExists(linkName) && !RemoveFile(linkName)) throw IoError(linkName, errno);
    } else if (FileExists(backupName) && !RemoveFile(backupName)) {
      // Without a previous copy the old backup goes, as a move would replace it.
      const int error = errno;
      if (FileExists(backupName)) throw IoError(backupName, error);
    }
  }
  copy.Commit();
}

std::uint16_t HighestSectorBeyond(const std::string& fileName, std::uint16_t n) {
  if (n >= kMaxUniverseSize || !FileExists(fileName)) return 0;
  LineReader reader;
  if (!reader.Open(fileName)) return 0;
  std::int64_t highest = 0;
  std::string_view line;
  while (reader.Next(line)) {
    // The readers' own rule for a sector line, word by word as they split it.
    line = TrimLine(line);
    std::size_t pos = 0;
    const std::string_view first = NextWord(line, pos, ' ');
    if (NextWord(line, pos, ' ').empty()) continue;
    const auto number = TextToInt(first, std::int64_t{n} + 1, kMaxUniverseSize);
    if (number && *number > highest) highest = *number;
  }
  return static_cast<std::uint16_t>(highest);
}
