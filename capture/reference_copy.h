// Putting a newly written reference copy in place, the previous copy becoming
// the backup, so that a complete reference copy exists at every moment; and
// finding the sectors of a reference copy that a run would drop from it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"

// Finishes `copy`, an OutputFile in Replace mode holding the complete new
// reference copy: closes it; then, when `backupName` is not empty, replaces the
// old backup in one rename by a second name (or a copy) of the current reference
// copy, when one exists, or else removes the old backup; last, renames the new
// copy over the reference copy. A failure throws IoError and leaves the previous
// reference copy and a complete backup (the old one or the previous copy) in
// place; the temporary files are removed.
void CommitReferenceCopy(OutputFile& copy, const std::string& backupName);

// The largest sector above `n` (and at most kMaxUniverseSize) that begins a line
// the capture readers take as a sector line: the trimmed line has two words or
// more and its first word is that number. Those are the lines a run with this
// `n` would skip, and so drop from the reference copy it writes. 0 when the file
// holds none or does not exist; throws IoError when it cannot be read. Writes
// nothing, and shows nothing on the console.
std::uint16_t HighestSectorBeyond(const std::string& fileName, std::uint16_t n);
