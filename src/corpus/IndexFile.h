// A file read and written at offsets, as the two index files use it. Appends at the end of the
// file are gathered in memory and written in large blocks, because an index build appends
// millions of small records. Everything already on the file is read and overwritten through a
// shared memory map of it, so that a scan of the sequence or a link patched into a chunk written
// long ago costs a memory access rather than a system call. The map reserves more address space
// than the file holds, so it follows the file's growth without being made again each time; only
// bytes below the file's length are ever touched. The files are private to the program: one
// that another process shortened while it is open would fault on access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quenterra {

// How an index file is opened: kCreate empties (or makes) it, kOpen requires an existing file,
// kTemporary makes a new file without a name (OpenAnonymousTempFile), so that nothing of it
// outlives the run; its "name" is then the prefix path it was made from. All three open it for
// reading and writing.
enum class TIndexFileMode { kCreate, kOpen, kTemporary };

class TIndexFile {
 public:
  static constexpr size_t kAppendBufferSize = 1 << 20;  // bytes gathered before a write

  // Throws EFileError "Unable to open file: <name>." when the file cannot be opened or made,
  // "Not a regular file: <name>." when it is something else.
  TIndexFile(const std::string& fileName, TIndexFileMode mode);
  TIndexFile(const TIndexFile&) = delete;
  TIndexFile& operator=(const TIndexFile&) = delete;
  // Writes what is still gathered; errors at that point are lost, so owners Flush first.
  ~TIndexFile();

  const std::string& FileName() const { return fileName_; }
  // A name that opens the file from this process while it is open, also when it has none in
  // the file system (kTemporary).
  std::string ProcessPath() const { return "/proc/self/fd/" + std::to_string(fd_); }
  // The name in messages, after the file was renamed to it.
  void SetFileName(const std::string& fileName) { fileName_ = fileName; }
  // The length including the bytes gathered but not yet written.
  uint64_t Size() const { return fileSize_ + pending_.size(); }

  // Reads up to count bytes at offset; fewer only at the end of the file. Throws EFileError on
  // an I/O error.
  size_t ReadAt(uint64_t offset, void* buffer, size_t count);
  // Writes count bytes at offset, extending the file when needed (a gap reads as zeros).
  void WriteAt(uint64_t offset, const void* buffer, size_t count);
  // The count bytes at offset, read in place: valid until the next call that writes, sizes or
  // flushes the file. Null when they do not all lie inside the file.
  const char* View(uint64_t offset, size_t count);
  // Sets the length; bytes past the old end read as zeros.
  void SetSize(uint64_t size);
  // Writes the gathered appends.
  void Flush();
  // Writes the gathered appends, then the whole file into a new file `name` (replacing it),
  // forced to disk. Throws EFileError.
  void CopyTo(const std::string& name);

 private:
  void WriteThrough(uint64_t offset, const char* data, size_t count);
  // The map of the file's first `end` bytes (end <= fileSize_), made larger when needed.
  char* Mapped(uint64_t end);
  void Unmap();
  [[noreturn]] void Fail(const char* what) const;

  std::string fileName_;
  int fd_ = -1;
  uint64_t fileSize_ = 0;      // bytes on the file itself
  std::vector<char> pending_;  // appends that follow fileSize_, not yet written
  char* map_ = nullptr;        // shared map of the file, or null
  uint64_t mapLength_ = 0;     // address space it reserves; may pass the file's end
};

}  // namespace quenterra
