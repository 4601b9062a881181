#include "capture/reference_copy.h"

#include <cerrno>

void CommitReferenceCopy(OutputFile& copy, const std::string& backupName) {
  copy.Close();
  if (!backupName.empty()) {
    if (FileExists(backupName) && !RemoveFile(backupName)) {
      // The backup must go before it can become the previous copy's second name;
      // failing here leaves both old files as they were.
      const int error = errno;
      if (FileExists(backupName)) throw IoError(backupName, error);
    }
    if (FileExists(copy.name())) LinkOrCopyFile(copy.name(), backupName);
  }
  copy.Commit();
}
