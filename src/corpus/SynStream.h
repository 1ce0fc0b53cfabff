// A corpus file is opened once and read by several readers at the same time: the word splitter,
// the text window and the line-counting thread. Each reader keeps its own position and reads
// through ReadAt, whose seek and read happen under the stream's lock.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/Files.h"

namespace quenterra {

enum class TSeekOrigin { kBegin, kCurrent, kEnd };

class TSynchroStream {
 public:
  TSynchroStream() = default;
  TSynchroStream(const TSynchroStream&) = delete;
  TSynchroStream& operator=(const TSynchroStream&) = delete;
  virtual ~TSynchroStream() = default;

  virtual int64_t GetSize() const = 0;
  virtual bool IsOpen() const = 0;
  // Unlocked primitives on the stream's own position; callers sharing the stream use ReadAt.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  void Lock() { mutex_.lock(); }
  void Unlock() { mutex_.unlock(); }

  // Under the lock: seek to position, read up to count bytes, advance position by the number
  // read and return it. 0 at or past the end.
  int64_t ReadAt(void* buffer, int64_t count, int64_t& position);
  // Under the lock: seek, store the new offset in result and return it.
  int64_t SeekLocked(int64_t offset, TSeekOrigin origin, int64_t& result);

 private:
  std::mutex mutex_;
};

// A regular file opened read-only (or read-write) whose size and identity are taken once, when it
// is opened.
class TFileSynchroStream : public TSynchroStream {
 public:
  enum class TMode { kReadOnly, kReadWrite };

  // Throws EFileError "Unable to open file: <name>." when the file cannot be opened, "Not a
  // regular file: <name>." for a FIFO, a device or a directory (never blocking on one).
  explicit TFileSynchroStream(const std::string& fileName, TMode mode = TMode::kReadOnly);
  ~TFileSynchroStream() override;

  int64_t GetSize() const override { return size_; }
  bool IsOpen() const override { return true; }
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  const std::string& FileName() const { return fileName_; }
  // Device, inode, size and modification time when the file was opened.
  const TFileIdentity& Identity() const { return identity_; }
  uint8_t flag = 0;  // owned by the stream's user: the main window marks corpus files with 1

 private:
  std::string fileName_;
  TMode mode_;
  int fd_ = -1;
  TFileIdentity identity_;
  int64_t size_ = 0;  // taken once, when opened
};

}  // namespace quenterra
