// Putting a newly written reference copy in place, the previous copy becoming
// the backup, so that a complete reference copy exists at every moment.
#pragma once

#include <string>

#include "platform/file.h"

// Finishes `copy`, an OutputFile in Replace mode holding the complete new
// reference copy: closes it; then, when `backupName` is not empty, removes the
// old backup and makes `backupName` a second name (or a copy) of the current
// reference copy, when one exists; last, renames the new copy over the reference
// copy. A failure throws IoError and leaves the previous reference copy in place;
// the temporary file is removed when `copy` is destroyed.
void CommitReferenceCopy(OutputFile& copy, const std::string& backupName);
