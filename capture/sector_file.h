// The sector capture: reading "<game>.sct"-style files into the Universe and
// writing the sector reference copy.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"
#include "universe/universe.h"

// Reads a sector capture. In Replace mode each listed sector's warps are
// replaced and `exploredValue` stored into its `explored`; in Fill mode only
// sectors without warps get the file's. Appends its count line to the change log.
// A missing file is skipped without a message. A line listing more than 255
// warps keeps its first 255; destinations are stored as read, 0 and numbers
// above n included.
void ReadSectorFile(Universe& universe, const std::string& fileName, LoadMode mode,
                    std::uint8_t exploredValue, OutputFile& changeLog);

// Writes every sector that has warps as a sector capture line, replacing the
// file only once the new one is complete. When `backupName` is not empty, the
// previous file (if any) becomes `backupName` at that moment, replacing an older
// backup (see CommitReferenceCopy). Appends its count line to the change log.
void WriteSectorFile(const Universe& universe, const std::string& fileName, OutputFile& changeLog,
                     const std::string& backupName = "");
