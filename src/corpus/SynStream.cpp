#include "corpus/SynStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace quenterra {

int64_t TSynchroStream::ReadAt(void* buffer, int64_t count, int64_t& position) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Seek(position, TSeekOrigin::kBegin) != position) return 0;
  int64_t done = Read(buffer, count);
  position += done;
  return done;
}

int64_t TSynchroStream::SeekLocked(int64_t offset, TSeekOrigin origin, int64_t& result) {
  std::lock_guard<std::mutex> lock(mutex_);
  result = Seek(offset, origin);
  return result;
}

TFileSynchroStream::TFileSynchroStream(const std::string& fileName, TMode mode)
    : fileName_(fileName),
      mode_(mode),
      fd_(OpenRegularFile(fileName, mode == TMode::kReadOnly ? O_RDONLY : O_RDWR)) {
  identity_ = IdentityOf(fd_);
  size_ = identity_.size;
  if (size_ < 0) {
    ::close(fd_);
    throw EFileError("Unable to open file: " + fileName + ".");
  }
}

TFileSynchroStream::~TFileSynchroStream() { ::close(fd_); }

int64_t TFileSynchroStream::Read(void* buffer, int64_t count) {
  char* out = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::read(fd_, out + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // end of data, or a read error: both end the reader's data
    done += n;
  }
  return done;
}

int64_t TFileSynchroStream::Write(const void* buffer, int64_t count) {
  if (mode_ == TMode::kReadOnly) return 0;
  const char* in = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::write(fd_, in + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileSynchroStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == TSeekOrigin::kBegin     ? SEEK_SET
               : origin == TSeekOrigin::kCurrent ? SEEK_CUR
                                                 : SEEK_END;
  return ::lseek(fd_, offset, whence);
}

}  // namespace quenterra
