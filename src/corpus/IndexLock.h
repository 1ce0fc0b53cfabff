// The lock of a workspace's index folder: the file INDEX.lock beside the index files. Every run
// that reads a workspace (its file, its stored index) holds it shared; every run that writes or
// rebuilds anything of it holds it exclusively, so two runs never see each other's half-written
// files nor lose each other's work. See platform/FileLock.h for waiting and for holds within one
// process.
#pragma once

#include <string>

#include "platform/FileLock.h"

namespace quenterra {

inline constexpr char kIndexLockName[] = "INDEX.lock";

// Holds the lock of index folder `dir` (ending in '/'), making the folder when missing, and
// removes what runs that were killed left there. Throws EFileLocked "Another run is using the
// index in <dir>." when another process holds it and the wait policy does not wait, EFileError
// when an exclusive lock cannot be made. A reader in a folder it cannot write holds nothing.
TFileLock LockIndexFolder(const std::string& dir, TLockMode mode);

}  // namespace quenterra
