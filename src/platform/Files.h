// File-system helpers behind the platform seam: opening only regular files, temporary files that
// never outlive their run, file identity, copying, and names relative to a folder.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace quenterra {

// Owns a file descriptor: closes it on every path.
class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd = -1) : fd_(fd) {}
  ~TFileDescriptor();
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return fd_; }
  // Closes now and reports whether the close succeeded (a delayed write error shows here).
  bool Close();

 private:
  int fd_;
};

// Opens a file that must be a regular file, never blocking on anything else (a FIFO, a device,
// a socket): `flags` as for open(2); O_CLOEXEC is added. Returns the descriptor. Throws
// EFileError "Unable to open file: <name>." when it cannot be opened, and "Not a regular file:
// <name>." when it is something else.
int OpenRegularFile(const std::string& name, int flags, mode_t mode = 0644);

// The user's temporary folder: $TMPDIR when set, else /tmp; always ends in '/'.
std::string TempDirectory();

// Creates a new, empty, uniquely named file in TempDirectory() whose name starts with prefix
// ("PGX", "SQX", "FST", "CT") and returns its full name. Throws EFileError when it cannot.
std::string MakeTempFile(const std::string& prefix);

// A new temporary file that has no name, so that it goes with its last descriptor however the
// run ends (a signal, kill -9, a crash): made nameless in the folder of `prefixPath`, or, where
// the file system cannot, made as prefixPath + "XXXXXX" and unlinked at once. Returns the
// descriptor, open for reading and writing. Throws EFileError when it cannot.
int OpenAnonymousTempFile(const std::string& prefixPath);

// What tells one file from another, and one version of a file from the next.
struct TFileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = -1;
  int64_t modifiedNs = 0;  // modification time, nanoseconds since 1970
};
// The identity of an open file (size -1 when it cannot be read).
TFileIdentity IdentityOf(int fd);

// A new name for a temporary file beside `name`: name + ".tmp<pid>-<n>". A file of this shape
// whose process is gone is a leftover of a run that was killed.
std::string TempNameBeside(const std::string& name);
// Removes the leftovers beside `name` (TempNameBeside names) of processes that no longer run.
// Errors are ignored: a reader may not be allowed to remove them.
void RemoveDeadTempFiles(const std::string& name);

// Writes the whole content of the open file `from` (from offset 0) into a new file `to`,
// replacing it, and forces it to disk. Throws EFileError "Unable to write to file: <to>.".
void CopyFileContents(int from, const std::string& to);
// Forces a file, or the folder entry of a file just renamed, to disk. Throws EFileError.
void SyncFile(const std::string& name);
void SyncDirectoryOf(const std::string& name);

// `name` (absolute) relative to `folder` (absolute, ending in '/') when it lies inside it,
// else unchanged.
std::string RelativeToFolder(const std::string& name, const std::string& folder);
// A name read back: relative names are taken inside `folder`, absolute ones as they are.
std::string ResolveInFolder(const std::string& name, const std::string& folder);

// The directory of the running executable, ending in '/'.
std::string ProgramDirectory();

bool FileExists(const std::string& name);

}  // namespace quenterra
