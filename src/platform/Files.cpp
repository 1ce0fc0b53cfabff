#include "platform/Files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/Errors.h"

namespace quenterra {

namespace fs = std::filesystem;

namespace {

constexpr char kTempMark[] = ".tmp";
constexpr size_t kCopyBlock = 1 << 20;

std::string FolderOf(const std::string& name) {
  fs::path folder = fs::path(name).parent_path();
  return folder.empty() ? "." : folder.string();
}

// The process id of a TempNameBeside name made from `base`, or 0 when `entry` is not one.
pid_t TempOwner(const std::string& entry, const std::string& base) {
  std::string prefix = base + kTempMark;
  if (!entry.starts_with(prefix)) return 0;
  const char* at = entry.data() + prefix.size();
  const char* end = entry.data() + entry.size();
  pid_t pid = 0;
  auto [dash, error] = std::from_chars(at, end, pid);
  if (error != std::errc() || dash == at || dash == end || *dash != '-') return 0;
  unsigned counter = 0;
  auto [rest, error2] = std::from_chars(dash + 1, end, counter);
  return error2 == std::errc() && rest == end && rest != dash + 1 ? pid : 0;
}

bool ProcessGone(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }

bool KernelCannotCopy(int error) {
  return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP;
}

// Copies in the kernel (a reflink on some file systems); false, with nothing copied, when the
// kernel cannot copy between these two files.
bool CopyRange(int from, int to, const std::string& toName) {
  loff_t in = 0;
  for (;;) {
    ssize_t n = ::copy_file_range(from, &in, to, nullptr, kCopyBlock, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && in == 0 && KernelCannotCopy(errno)) return false;
    if (n < 0) throw EFileError("Unable to write to file: " + toName + ".");
    if (n == 0) return true;
  }
}

void CopyByReading(int from, int to, const std::string& toName) {
  std::vector<char> buffer(kCopyBlock);
  for (off_t offset = 0;;) {
    ssize_t n = ::pread(from, buffer.data(), buffer.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EFileError("Unable to write to file: " + toName + ".");
    if (n == 0) return;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(to, buffer.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) throw EFileError("Unable to write to file: " + toName + ".");
      done += w;
    }
    offset += n;
  }
}

}  // namespace

TFileDescriptor::~TFileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

bool TFileDescriptor::Close() {
  int fd = fd_;
  fd_ = -1;
  return fd < 0 || ::close(fd) == 0;
}

int OpenRegularFile(const std::string& name, int flags, mode_t mode) {
  // O_NONBLOCK makes opening a FIFO return at once; it is taken off again for a regular file.
  int fd = ::open(name.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
  if (fd < 0) throw EFileError("Unable to open file: " + name + ".");
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    throw EFileError("Not a regular file: " + name + ".");
  }
  // F_SETFL changes only the status flags (here O_NONBLOCK, O_APPEND); the rest it ignores.
  if ((flags & O_NONBLOCK) == 0) ::fcntl(fd, F_SETFL, flags);
  return fd;
}

std::string TempDirectory() {
  const char* dir = std::getenv("TMPDIR");
  std::string result = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
  if (result.back() != '/') result += '/';
  return result;
}

std::string MakeTempFile(const std::string& prefix) {
  std::string pattern = TempDirectory() + prefix + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) throw EFileError("Unable to create temporary file: " + pattern + ".");
  close(fd);
  return name.data();
}

int OpenAnonymousTempFile(const std::string& prefixPath) {
  int fd = ::open(FolderOf(prefixPath).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  // File systems without O_TMPFILE: a name for a moment only.
  std::string pattern = prefixPath + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) throw EFileError("Unable to create temporary file: " + pattern + ".");
  ::unlink(name.data());
  return fd;
}

TFileIdentity IdentityOf(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return {};
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino), info.st_size,
          int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec};
}

std::string TempNameBeside(const std::string& name) {
  static std::atomic<unsigned> counter{0};
  return name + kTempMark + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

void RemoveDeadTempFiles(const std::string& name) {
  std::string base = fs::path(name).filename().string();
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(FolderOf(name), error)) {
    std::string entryName = entry.path().filename().string();
    if (ProcessGone(TempOwner(entryName, base))) fs::remove(entry.path(), error);
  }
}

void CopyFileContents(int from, const std::string& to) {
  TFileDescriptor out(OpenRegularFile(to, O_WRONLY | O_CREAT | O_TRUNC));
  if (!CopyRange(from, out.Get(), to)) CopyByReading(from, out.Get(), to);
  if (::fsync(out.Get()) != 0 || !out.Close())
    throw EFileError("Unable to write to file: " + to + ".");
}

void SyncFile(const std::string& name) {
  TFileDescriptor fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0 || ::fsync(fd.Get()) != 0)
    throw EFileError("Unable to write to file: " + name + ".");
}

void SyncDirectoryOf(const std::string& name) {
  TFileDescriptor fd(::open(FolderOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.Get() >= 0) ::fsync(fd.Get());  // best effort: some file systems refuse it
}

std::string RelativeToFolder(const std::string& name, const std::string& folder) {
  if (folder.empty() || !name.starts_with(folder)) return name;
  std::string rest = name.substr(folder.size());
  fs::path relative(rest);
  // Only a plain path below the folder: no "..", no empty rest.
  if (rest.empty() || relative.is_absolute()) return name;
  for (const fs::path& part : relative) {
    if (part == "..") return name;
  }
  return rest;
}

std::string ResolveInFolder(const std::string& name, const std::string& folder) {
  if (name.empty() || fs::path(name).is_absolute()) return name;
  return (fs::path(folder) / name).lexically_normal().string();
}

std::string ProgramDirectory() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "./";
  std::string dir = exe.parent_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

bool FileExists(const std::string& name) {
  struct stat info {};
  return stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace quenterra
