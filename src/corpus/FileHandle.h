// A small read-only file reader, used where a file is only peeked at before it joins the corpus
// (the text-file test reads its first bytes).
#pragma once

#include <cstdint>
#include <string>

namespace quenterra {

class TFileHandle {
 public:
  TFileHandle() = default;
  // Closes the file when it is open.
  ~TFileHandle();
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;

  // Opens fileName read-only (closing a file opened before) and reads its size. Returns, and
  // IsOpen() tells from then on, whether it worked; only a regular file is opened, and a FIFO
  // or device never blocks the call.
  bool Open(const std::string& fileName);
  // Reads up to count bytes into buffer at offset, or at the current offset when offset is
  // negative; the current offset then grows by count. Returns the number of bytes read (0 past
  // the end, on an error or when no file is open).
  int64_t Read(int64_t offset, int64_t count, void* buffer);
  void Close();

  bool IsOpen() const { return open_; }
  int64_t Size() const { return size_; }
  int64_t Offset() const { return offset_; }

 private:
  int fd_ = -1;
  int64_t offset_ = 0;  // where a read without an offset starts
  int64_t size_ = 0;
  bool open_ = false;
};

}  // namespace quenterra
