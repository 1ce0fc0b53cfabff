#include "corpus/FileHandle.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace quenterra {

TFileHandle::~TFileHandle() { Close(); }

bool TFileHandle::Open(const std::string& fileName) {
  Close();
  try {
    fd_ = OpenRegularFile(fileName, O_RDONLY);
  } catch (const EFileError&) {
    return false;
  }
  size_ = IdentityOf(fd_).size;
  open_ = size_ >= 0;
  if (!open_) Close();
  return open_;
}

int64_t TFileHandle::Read(int64_t offset, int64_t count, void* buffer) {
  if (!open_ || count <= 0) return 0;
  if (offset >= 0) offset_ = offset;
  char* out = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd_, out + done, static_cast<size_t>(count - done), offset_ + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  offset_ += count;
  return done;
}

void TFileHandle::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  offset_ = size_ = 0;
  open_ = false;
}

}  // namespace quenterra
