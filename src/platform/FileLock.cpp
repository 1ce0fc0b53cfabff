#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/Files.h"

namespace quenterra {

namespace {

// One lock file as the process holds it.
struct TLockEntry {
  int fd = -1;       // -1: nothing to lock (a shared hold in a read-only place)
  int lockedAs = 0;  // LOCK_SH, LOCK_EX, or 0 after a failed conversion lost the lock
  int holds = 0;     // TFileLock objects naming it
};

struct TRegistry {
  std::mutex mutex;
  std::map<std::string, TLockEntry> entries;  // by lock file name
  TLockWaitPolicy policy;
};

TRegistry& Registry() {
  static TRegistry registry;
  return registry;
}

int Operation(TLockMode mode) { return mode == TLockMode::kExclusive ? LOCK_EX : LOCK_SH; }

[[noreturn]] void Locked(const std::string& name) {
  throw EFileLocked("File is locked by another program: " + name + ".");
}

// Whether fd is still the file that `name` names: a lock file removed and made again while
// we waited is another lock.
bool StillNamed(int fd, const std::string& name) {
  struct stat byName {};
  TFileIdentity byFd = IdentityOf(fd);
  return ::stat(name.c_str(), &byName) == 0 && byFd.size >= 0 &&
         byFd.inode == static_cast<uint64_t>(byName.st_ino) &&
         byFd.device == static_cast<uint64_t>(byName.st_dev);
}

// Takes the lock on fd as the policy says: at once when free, else waiting or failing.
void Lock(int fd, int operation, const std::string& name, const TLockWaitPolicy& policy) {
  if (::flock(fd, operation | LOCK_NB) == 0) return;
  if (errno != EWOULDBLOCK) throw EFileError("Unable to lock file: " + name + ".");
  if (!policy.wait) Locked(name);
  if (policy.waiting) policy.waiting(name);
  while (::flock(fd, operation) != 0) {
    if (errno != EINTR) throw EFileError("Unable to lock file: " + name + ".");
  }
}

int OpenLockFile(const std::string& name, TLockMode mode) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(name).parent_path(), error);
  try {
    return OpenRegularFile(name, O_RDWR | O_CREAT, 0666);
  } catch (const EFileError&) {
    if (mode == TLockMode::kExclusive) throw;
  }
  try {
    return OpenRegularFile(name, O_RDONLY);
  } catch (const EFileError&) {
    return -1;  // a reader where nobody can write
  }
}

// A new entry holding the lock of `name` in `mode`.
TLockEntry OpenLocked(const std::string& name, TLockMode mode, const TLockWaitPolicy& policy) {
  for (;;) {
    TLockEntry entry{OpenLockFile(name, mode), 0, 0};
    if (entry.fd < 0) return entry;
    try {
      Lock(entry.fd, Operation(mode), name, policy);
    } catch (...) {
      ::close(entry.fd);
      throw;
    }
    entry.lockedAs = Operation(mode);
    if (StillNamed(entry.fd, name)) return entry;
    ::close(entry.fd);
  }
}

// Makes the entry hold the lock in `mode` or stronger.
void Strengthen(TLockEntry& entry, const std::string& name, TLockMode mode,
                const TLockWaitPolicy& policy) {
  int wanted = Operation(mode);
  if (entry.lockedAs == LOCK_EX || entry.lockedAs == wanted) return;
  if (entry.fd < 0) {
    entry = TLockEntry{OpenLocked(name, mode, policy).fd, wanted, entry.holds};
    return;
  }
  try {
    Lock(entry.fd, wanted, name, policy);
  } catch (const EFileLocked&) {
    // Linux drops a shared lock before converting it: take it back if nobody got in between.
    entry.lockedAs = ::flock(entry.fd, LOCK_SH | LOCK_NB) == 0 ? LOCK_SH : 0;
    throw;
  }
  entry.lockedAs = wanted;
  if (!StillNamed(entry.fd, name)) {
    ::close(entry.fd);
    entry = TLockEntry{OpenLocked(name, mode, policy).fd, wanted, entry.holds};
  }
}

}  // namespace

void InstallLockWaitPolicy(TLockWaitPolicy policy) {
  TRegistry& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.mutex);
  registry.policy = std::move(policy);
}

TFileLock::TFileLock(const std::string& name, TLockMode mode) {
  TRegistry& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.mutex);
  auto found = registry.entries.find(name);
  if (found == registry.entries.end()) {
    found = registry.entries.emplace(name, OpenLocked(name, mode, registry.policy)).first;
  } else {
    Strengthen(found->second, name, mode, registry.policy);
  }
  ++found->second.holds;
  name_ = name;
}

TFileLock::TFileLock(TFileLock&& other) noexcept : name_(std::move(other.name_)) {
  other.name_.clear();
}

TFileLock& TFileLock::operator=(TFileLock&& other) noexcept {
  if (this != &other) {
    Release();
    name_ = std::move(other.name_);
    other.name_.clear();
  }
  return *this;
}

TFileLock::~TFileLock() { Release(); }

void TFileLock::Release() noexcept {
  if (name_.empty()) return;
  TRegistry& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.mutex);
  auto found = registry.entries.find(name_);
  if (found != registry.entries.end() && --found->second.holds == 0) {
    if (found->second.fd >= 0) ::close(found->second.fd);
    registry.entries.erase(found);
  }
  name_.clear();
}

bool TFileLock::Holds(TLockMode mode) const {
  if (name_.empty()) return false;
  TRegistry& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.mutex);
  auto found = registry.entries.find(name_);
  if (found == registry.entries.end()) return false;
  const TLockEntry& entry = found->second;
  if (entry.fd < 0) return mode == TLockMode::kShared;  // nothing to lock against
  return entry.lockedAs == LOCK_EX || entry.lockedAs == Operation(mode);
}

}  // namespace quenterra
