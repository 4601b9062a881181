// The port capture: reading "<game>.prt"-style files into the Universe and
// writing the port reference copy.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"
#include "universe/universe.h"

// Reads a port capture. In Replace mode each listed sector's port is replaced
// (removed when its line cannot be read); in Fill mode only sectors without a
// port get the file's. New ports get `reportingValue`; a port that is not
// reporting has its amounts below 100% raised to an estimate at 100%. Amounts
// above 65535 are clamped. Appends its count line to the change log. A missing
// file is skipped without a message.
void ReadPortFile(Universe& universe, const std::string& fileName, LoadMode mode,
                  std::uint8_t reportingValue, OutputFile& changeLog);

// Writes every sector that has a port as a port capture line, replacing the
// file only once the new one is complete. When `backupName` is not empty, the
// previous file (if any) becomes `backupName` at that moment, replacing an older
// backup (see CommitReferenceCopy). Appends its count line to the change log.
void WritePortFile(const Universe& universe, const std::string& fileName, OutputFile& changeLog,
                   const std::string& backupName = "");
