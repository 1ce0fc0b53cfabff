// Advisory locks on lock files (flock(2)), shared by readers and held exclusively by writers, so
// that runs of the program in several processes take turns on the files a lock guards. The
// system releases the lock of a process that dies, however it dies.
//
// Within one process, holds on the same lock file are counted and share one lock: taking a lock
// the process holds already costs nothing, and asking for exclusive while it is held shared
// converts it for every holder; it is never weakened again until the last hold goes. A
// conversion may let a waiting writer of another process in first, so whoever converts looks
// again at what the lock guards.
#pragma once

#include <functional>
#include <string>

#include "platform/Errors.h"

namespace quenterra {

enum class TLockMode { kShared, kExclusive };

// How a lock that another process holds is waited for: the front end's choice.
struct TLockWaitPolicy {
  bool wait = true;  // wait for it; else fail at once with EFileLocked
  std::function<void(const std::string& lockFile)> waiting;  // told before each wait; may be empty
};
// Installs the policy for every lock taken from now on (the default waits silently).
void InstallLockWaitPolicy(TLockWaitPolicy policy);

// Another process holds the lock and the policy does not wait.
class EFileLocked : public EFileError {
 public:
  using EFileError::EFileError;
};

class TFileLock {
 public:
  TFileLock() = default;  // holds nothing
  // Holds the lock of file `name` in `mode` or stronger, creating the file (and its folder)
  // when missing. A shared hold on a file that can be neither opened nor made (a read-only
  // place, where no writer can work either) holds nothing. Waits as the installed policy says.
  // Throws EFileLocked "File is locked by another program: <name>." when it may not wait, and
  // EFileError when an exclusive lock's file cannot be made.
  TFileLock(const std::string& name, TLockMode mode);
  TFileLock(TFileLock&& other) noexcept;
  TFileLock& operator=(TFileLock&& other) noexcept;
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;
  // Gives the hold up; the lock goes with the process's last hold.
  ~TFileLock();

  // Whether this is a hold and the process holds the lock in `mode` or stronger.
  bool Holds(TLockMode mode) const;
  const std::string& Name() const { return name_; }

 private:
  void Release() noexcept;

  std::string name_;  // empty: holds nothing
};

}  // namespace quenterra
