// The read-only line list behind a corpus text window. A background thread (TCountThread) counts
// the file's lines at idle priority and files the offset of every line start in a temporary line
// table ("FST..." in the temporary folder, one u32 per line, line 0 first), so a window opens at
// once on a very large file and memory does not grow with the line count. Get fetches a line's
// visible text through the window's TBufStream.
//
// Locks: the list's own lock guards the line table and the pending offsets. The counting thread
// reads and scans each block holding the stream's lock alone, then takes the list's lock to file
// what it found, so that Get never waits for a read of that low-priority thread. Get reads the
// stream inside the list's lock: where both are held, the list lock comes first; the word
// splitter only ever takes the stream lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "corpus/BStream.h"
#include "corpus/SynStream.h"

namespace quenterra {

class TFileStrings;

// Counts the lines of a TFileStrings' file on its own thread. Created and owned by the list.
class TCountThread {
 public:
  static constexpr int64_t kBlockSize = 65536;
  static constexpr int kPendingMax = 4096;

  // Starts counting at once.
  explicit TCountThread(TFileStrings& owner);
  // Tells the thread to stop and waits for it.
  ~TCountThread();
  TCountThread(const TCountThread&) = delete;
  TCountThread& operator=(const TCountThread&) = delete;

 private:
  friend class TFileStrings;

  void Run();
  bool ScanBlock();
  bool Record(int64_t offset);
  bool FlushPending();
  void Finish(bool complete);

  std::unique_ptr<char[]> buffer_;             // kBlockSize bytes plus a terminating zero
  int pendingCount_ = 0;                       // guarded by the owner's lock
  std::array<uint32_t, kPendingMax> pending_;  // line starts not yet in the line table
  TFileStrings& owner_;
  std::vector<int64_t> found_;  // line starts of the block just scanned
  int64_t lineStart_ = 0;       // offset of the line being scanned
  bool afterCr_ = false;        // the last byte scanned was a carriage return
  bool finished_ = false;       // the end of the data has been recorded
  std::atomic<bool> stop_{false};
  std::thread thread_;  // last: starts once everything above is ready
};

class TFileStrings {
 public:
  // Called on the counting thread; receivers pass them on to their own thread before touching
  // anything that is not thread-safe, and must not destroy the list from inside them.
  struct TNotifications {
    std::function<void()> newLine;        // after every line counted
    std::function<void()> countingEnded;  // once, when the whole file is counted
  };

  // Creates the line table and starts counting. stream and bufStream must outlive the list;
  // bufStream is used only by Get. Throws EFileError when the line table cannot be created.
  TFileStrings(TSynchroStream& stream, TBufStream& bufStream, TNotifications notifications = {});
  // Stops a running count and waits for it (no notification follows), then deletes the table.
  ~TFileStrings();
  TFileStrings(const TFileStrings&) = delete;
  TFileStrings& operator=(const TFileStrings&) = delete;

  // The lines counted so far; only grows.
  int64_t GetCount() const { return count_.load(std::memory_order_acquire); }
  // The visible text of line index (0 <= index < GetCount()): line ends dropped, tabs as spaces,
  // filtered by the display switches. While counting goes on, the last counted line is empty.
  // Throws EQuenterra "TFileStrings: List index out of bounds." for another index.
  std::string Get(int64_t index);
  // The same, with the file offset of each byte of the text in offsets.
  std::string Get(int64_t index, std::vector<int64_t>& offsets);
  // The line that holds file offset `offset`; -1 while counting has not yet passed it, or for an
  // offset outside the file.
  int64_t LineOf(int64_t offset) const;
  bool IsCounting() const;

  // The list is read-only: these throw EQuenterra.
  [[noreturn]] void Clear();
  [[noreturn]] void Delete(int64_t index);
  [[noreturn]] void Insert(int64_t index, const std::string& text);

  bool SuppressNormalTags() const { return suppressNormalTags_; }
  bool SuppressWordTags() const { return suppressWordTags_; }
  bool SuppressWords() const { return suppressWords_; }
  void SetSuppressNormalTags(bool on) { suppressNormalTags_ = on; }
  void SetSuppressWordTags(bool on) { suppressWordTags_ = on; }
  // Leaves only the tags and single spaces between them.
  void SetSuppressWords(bool on) { suppressWords_ = on; }

  // The line table has no name in the file system, so that it goes with the list however the
  // run ends; this name opens it from this process while the list lives.
  const std::string& LineTableName() const { return lineTableName_; }

 private:
  friend class TCountThread;

  std::string Fetch(int64_t index, std::vector<int64_t>* offsets);
  int64_t Entry(int64_t index) const;
  std::string FetchText(int64_t start, int64_t end, std::vector<int64_t>* offsets);
  bool Shows(TDisplayClass cls, const std::string& text) const;
  bool WriteEntries(const uint32_t* entries, int count);
  void StopCounting();

  TSynchroStream& stream_;
  int64_t readPosition_ = 0;  // the counting thread's offset in the stream
  int64_t fileSize_;
  TBufStream& bufStream_;
  int lineTable_ = -1;  // file descriptor of the line table
  std::string lineTableName_;
  std::atomic<int64_t> count_{0};
  mutable std::mutex mutex_;  // guards the line table, the pending offsets and the flags below
  int64_t written_ = 0;       // entries in the line table file
  bool counting_ = true;
  bool complete_ = false;  // counting reached the end of the data
  TNotifications notifications_;
  bool suppressNormalTags_ = false;
  bool suppressWordTags_ = false;
  bool suppressWords_ = false;
  std::unique_ptr<TCountThread> thread_;  // last: stopped before anything above is released
};

}  // namespace quenterra
