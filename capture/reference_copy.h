// Putting a newly written reference copy in place, the previous copy becoming
// the backup, so that a complete reference copy exists at every moment.
#pragma once

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
