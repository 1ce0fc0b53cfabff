#include "corpus/IndexLock.h"

#include "corpus/IndexBuilder.h"
#include "corpus/IndexState.h"
#include "platform/Files.h"

namespace quenterra {

TFileLock LockIndexFolder(const std::string& dir, TLockMode mode) {
  TFileLock lock;
  try {
    lock = TFileLock(dir + kIndexLockName, mode);
  } catch (const EFileLocked&) {
    throw EFileLocked("Another run is using the index in " + dir + ".");
  }
  for (const char* name :
       {kWorkspaceSeqIndexName, kWorkspacePageIndexName, kWorkspaceIndexStateName}) {
    RemoveDeadTempFiles(dir + name);
  }
  return lock;
}

}  // namespace quenterra
