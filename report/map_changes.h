// The change log's lines of the map comparison: what the merged data hold
// against the previous run's map, in the record of this run.
#pragma once

#include <string>

#include "platform/file.h"
#include "universe/map_file.h"

// Appends the comparison's lines for the map file `fileName` to the change log:
// nothing when there was no map file; one line when it could not be compared;
// else its record length, then each sector's changes in sector order (a port
// gone or the products whose capacity rose, then the new warps), the warning
// when the map's record count differs from the universe's, and the count of
// records read.
void WriteMapChanges(const MapChanges& changes, const std::string& fileName,
                     OutputFile& changeLog);
