#include "corpus/IndexFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace quenterra {

namespace {

// The smallest map reserved; a map grows to twice the file's length, so it is made again only
// when the file has doubled.
constexpr uint64_t kMinMapLength = uint64_t{64} << 20;

int OpenIndexFile(const std::string& fileName, TIndexFileMode mode) {
  switch (mode) {
    case TIndexFileMode::kTemporary:
      return OpenAnonymousTempFile(fileName);
    case TIndexFileMode::kCreate:
      return OpenRegularFile(fileName, O_RDWR | O_CREAT | O_TRUNC);
    case TIndexFileMode::kOpen:
      break;
  }
  return OpenRegularFile(fileName, O_RDWR);
}

}  // namespace

TIndexFile::TIndexFile(const std::string& fileName, TIndexFileMode mode)
    : fileName_(fileName), fd_(OpenIndexFile(fileName, mode)) {
  TFileIdentity identity = IdentityOf(fd_);
  if (identity.size < 0) {
    ::close(fd_);
    throw EFileError("Unable to open file: " + fileName + ".");
  }
  fileSize_ = static_cast<uint64_t>(identity.size);
  pending_.reserve(kAppendBufferSize);
}

TIndexFile::~TIndexFile() {
  try {
    Flush();
  } catch (const EQuenterra&) {
    // Nothing can report it here; owners flush on their normal path.
  }
  Unmap();
  ::close(fd_);
}

void TIndexFile::Fail(const char* what) const {
  throw EFileError(std::string(what) + fileName_ + ".");
}

size_t TIndexFile::ReadAt(uint64_t offset, void* buffer, size_t count) {
  if (!pending_.empty() && offset + count > fileSize_) Flush();
  if (count > 0 && offset + count <= fileSize_) {
    std::memcpy(buffer, Mapped(offset + count) + offset, count);
    return count;
  }
  // Reaching past the length this object knows: ask the file itself.
  char* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("Unable to read from file: ");
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

const char* TIndexFile::View(uint64_t offset, size_t count) {
  if (!pending_.empty() && offset + count > fileSize_) Flush();
  if (offset + count > fileSize_ || count == 0) return nullptr;
  return Mapped(offset + count) + offset;
}

char* TIndexFile::Mapped(uint64_t end) {
  if (end <= mapLength_) return map_;
  Unmap();
  const uint64_t page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
  const uint64_t length = (std::max(kMinMapLength, 2 * fileSize_) + page - 1) / page * page;
  void* map = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
  if (map == MAP_FAILED) Fail("Unable to read from file: ");
  map_ = static_cast<char*>(map);
  mapLength_ = length;
  return map_;
}

void TIndexFile::Unmap() {
  if (map_ != nullptr) ::munmap(map_, mapLength_);
  map_ = nullptr;
  mapLength_ = 0;
}

void TIndexFile::WriteAt(uint64_t offset, const void* buffer, size_t count) {
  const char* data = static_cast<const char*>(buffer);
  uint64_t pendingEnd = Size();
  if (offset >= fileSize_ && offset <= pendingEnd) {
    // Inside or right after the gathered appends: patch or extend them in memory.
    size_t at = static_cast<size_t>(offset - fileSize_);
    if (at == pending_.size()) {
      pending_.insert(pending_.end(), data, data + count);  // the usual case: no zeros first
    } else {
      if (at + count > pending_.size()) pending_.resize(at + count);
      std::memcpy(pending_.data() + at, data, count);
    }
    if (pending_.size() >= kAppendBufferSize) Flush();
    return;
  }
  if (offset + count <= fileSize_) {
    if (count > 0) std::memcpy(Mapped(offset + count) + offset, data, count);
    return;
  }
  Flush();  // straddles the end of the file or the gathered bytes, or leaves a gap
  WriteThrough(offset, data, count);
}

void TIndexFile::WriteThrough(uint64_t offset, const char* data, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pwrite(fd_, data + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("Unable to write to file: ");
    done += static_cast<size_t>(n);
  }
  fileSize_ = std::max(fileSize_, offset + count);
}

void TIndexFile::SetSize(uint64_t size) {
  Flush();
  Unmap();  // a shorter file must not leave mapped pages past its end
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) Fail("Unable to write to file: ");
  fileSize_ = size;
}

void TIndexFile::Flush() {
  if (pending_.empty()) return;
  WriteThrough(fileSize_, pending_.data(), pending_.size());
  pending_.clear();
}

void TIndexFile::CopyTo(const std::string& name) {
  Flush();
  CopyFileContents(fd_, name);
}

}  // namespace quenterra
