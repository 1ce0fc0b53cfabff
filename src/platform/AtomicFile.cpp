#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace quenterra {

namespace {

namespace fs = std::filesystem;

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The file that a rename must replace: the target of a symbolic link, else the name itself.
std::string ReplacedName(const std::string& name) {
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(name, error))) {
    fs::path target = fs::canonical(name, error);
    if (!error) return target.string();
  }
  return name;
}

std::string DirectoryOf(const std::string& name) {
  fs::path dir = fs::path(name).parent_path();
  return dir.empty() ? "." : dir.string();
}

// Creates a new temporary file beside `name`; returns its descriptor and sets tempName.
int CreateBeside(const std::string& name, std::string& tempName) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempName = TempNameBeside(name);
    int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::string ReadWholeFile(const std::string& name, uint64_t maxSize) {
  TFileDescriptor fd(OpenRegularFile(name, O_RDONLY));
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) throw EFileError("Unable to read file: " + name + ".");
  if (static_cast<uint64_t>(info.st_size) > maxSize)
    throw EFileError("File too large: " + name + ".");
  std::string content;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EFileError("Unable to read file: " + name + ".");
    if (n == 0) break;
    if (content.size() + static_cast<size_t>(n) > maxSize)
      throw EFileError("File too large: " + name + ".");
    content.append(buffer, static_cast<size_t>(n));
  }
  return content;
}

void ReplaceFile(const std::string& name, std::string_view content) {
  std::string target = ReplacedName(name);
  RemoveDeadTempFiles(target);  // what a killed writer of this file left behind
  std::string tempName;
  TFileDescriptor fd(CreateBeside(target, tempName));
  if (fd.Get() < 0) throw EFileError("Unable to create file: " + target + ".");
  struct stat old {};
  bool ok = WriteAll(fd.Get(), content) && ::fsync(fd.Get()) == 0;
  if (ok && ::stat(target.c_str(), &old) == 0) ok = ::fchmod(fd.Get(), old.st_mode & 07777) == 0;
  ok = fd.Close() && ok;
  if (ok) ok = ::rename(tempName.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(tempName.c_str());
    throw EFileError("Unable to write file: " + target + ".");
  }
  SyncDirectoryOf(target);
}

bool DirectoryWritable(const std::string& name) {
  return ::access(DirectoryOf(name).c_str(), W_OK | X_OK) == 0;
}

}  // namespace quenterra
