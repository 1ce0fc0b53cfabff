#include "corpus/FileStrings.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace quenterra {

namespace {

// Bytes before a line that decide whether it begins inside a tag.
constexpr int64_t kTagLookBack = 512;
constexpr int64_t kEntrySize = sizeof(uint32_t);

// Lowers the calling thread to nice 19, the weakest share of the processor (SCHED_IDLE could
// starve a window's count on a busy machine). Where the system refuses, counting simply runs at
// normal priority.
void LowerPriority() {
#ifdef __linux__
  (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 19);
#endif
}

void AppendVisible(std::string& text, unsigned char c) {
  if (c == '\r' || c == '\n') return;
  text.push_back(c == '\t' ? ' ' : static_cast<char>(c));
}

}  // namespace

// ---- TCountThread ----

TCountThread::TCountThread(TFileStrings& owner)
    : buffer_(new char[kBlockSize + 1]), owner_(owner), thread_([this] { Run(); }) {}

TCountThread::~TCountThread() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
}

void TCountThread::Run() {
  LowerPriority();
  bool ok = true;
  while (ok && !finished_ && !stop_.load(std::memory_order_relaxed)) {
    // The block is read and scanned without the list's lock, so that the window never waits for
    // this low-priority thread's read; only what it found is filed under the lock.
    const bool dataEnds = ScanBlock();
    int64_t recorded = 0;
    {
      std::lock_guard<std::mutex> lock(owner_.mutex_);
      for (; recorded < static_cast<int64_t>(found_.size()) && ok; ++recorded) {
        ok = Record(found_[static_cast<size_t>(recorded)]);
      }
      finished_ = ok && dataEnds;
    }
    // Outside the lock, so that a receiver may look at the list.
    if (!owner_.notifications_.newLine) continue;
    for (; recorded > 0 && !stop_.load(std::memory_order_relaxed); --recorded) {
      owner_.notifications_.newLine();
    }
  }
  Finish(ok && finished_);
}

// Reads the next block and puts the start of every line that ends in it into found_; at the end
// of the data also the start of the line that started last, once, even when it is empty. Returns
// whether the data ends with this block.
bool TCountThread::ScanBlock() {
  found_.clear();
  int64_t base = owner_.readPosition_;
  int64_t asked = std::min(kBlockSize, owner_.fileSize_ - base);
  int64_t got = asked > 0 ? owner_.stream_.ReadAt(buffer_.get(), asked, owner_.readPosition_) : 0;
  // A short read is the end of the data, also when the file shrank under us: reading again would
  // only spin.
  bool dataEnds = got < asked || owner_.readPosition_ >= owner_.fileSize_;
  for (int64_t i = 0; i < got; ++i) {
    char c = buffer_[i];
    if (c == '\n' && afterCr_) {
      // Second half of a carriage return + line feed, possibly read in the previous block.
      afterCr_ = false;
      lineStart_ = base + i + 1;
      continue;
    }
    afterCr_ = c == '\r';
    if (c != '\n' && c != '\r') continue;
    found_.push_back(lineStart_);
    lineStart_ = base + i + 1;
  }
  if (dataEnds) found_.push_back(lineStart_);
  return dataEnds;
}

// Appends a line start to the pending offsets, filing them when the list is full. Runs under the
// owner's lock.
bool TCountThread::Record(int64_t offset) {
  if (offset > std::numeric_limits<uint32_t>::max()) return false;
  pending_[pendingCount_++] = static_cast<uint32_t>(offset);
  owner_.count_.fetch_add(1, std::memory_order_release);
  return pendingCount_ < kPendingMax || FlushPending();
}

// Writes the pending offsets to the line table. When that fails they stay pending, so every line
// counted so far can still be served.
bool TCountThread::FlushPending() {
  if (pendingCount_ == 0) return true;
  if (!owner_.WriteEntries(pending_.data(), pendingCount_)) return false;
  owner_.written_ += pendingCount_;
  pendingCount_ = 0;
  return true;
}

void TCountThread::Finish(bool complete) {
  {
    std::lock_guard<std::mutex> lock(owner_.mutex_);
    FlushPending();
    owner_.counting_ = false;
    owner_.complete_ = complete;
  }
  // A list being destroyed is told nothing: its receivers may already be going away.
  if (!stop_.load() && owner_.notifications_.countingEnded) owner_.notifications_.countingEnded();
}

// ---- TFileStrings ----

TFileStrings::TFileStrings(TSynchroStream& stream, TBufStream& bufStream,
                           TNotifications notifications)
    : stream_(stream),
      fileSize_(stream.GetSize()),
      bufStream_(bufStream),
      lineTable_(OpenAnonymousTempFile(TempDirectory() + "FST")),
      lineTableName_("/proc/self/fd/" + std::to_string(lineTable_)),
      notifications_(std::move(notifications)) {
  try {
    thread_ = std::make_unique<TCountThread>(*this);
  } catch (...) {
    ::close(lineTable_);
    throw;
  }
}

TFileStrings::~TFileStrings() {
  StopCounting();
  ::close(lineTable_);
}

void TFileStrings::StopCounting() { thread_.reset(); }

bool TFileStrings::IsCounting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return counting_;
}

std::string TFileStrings::Get(int64_t index) { return Fetch(index, nullptr); }

std::string TFileStrings::Get(int64_t index, std::vector<int64_t>& offsets) {
  offsets.clear();
  return Fetch(index, &offsets);
}

std::string TFileStrings::Fetch(int64_t index, std::vector<int64_t>* offsets) {
  std::lock_guard<std::mutex> lock(mutex_);
  int64_t count = GetCount();
  if (index < 0 || index >= count) throw EQuenterra("TFileStrings: List index out of bounds.");
  int64_t start = Entry(index);
  int64_t end = start;  // the last line stays empty until the whole file is counted
  if (index + 1 < count) {
    end = Entry(index + 1);
  } else if (complete_) {
    end = fileSize_;
  }
  return FetchText(start, std::max(start, end), offsets);
}

int64_t TFileStrings::LineOf(int64_t offset) const {
  std::lock_guard<std::mutex> lock(mutex_);
  int64_t count = GetCount();
  if (offset < 0 || offset >= fileSize_ || count == 0) return -1;
  // The last counted line ends where the next one starts, unknown until that one is counted.
  if (Entry(count - 1) <= offset) return complete_ ? count - 1 : -1;
  int64_t low = 0;  // Entry(low) <= offset < Entry(high)
  int64_t high = count - 1;
  while (high - low > 1) {
    int64_t middle = low + (high - low) / 2;
    (Entry(middle) <= offset ? low : high) = middle;
  }
  return low;
}

void TFileStrings::Clear() { throw EQuenterra("\"Clear\" method is invalid for TFileStrings."); }

void TFileStrings::Delete(int64_t) {
  throw EQuenterra("\"Delete\" method is invalid for TFileStrings.");
}

void TFileStrings::Insert(int64_t, const std::string&) {
  throw EQuenterra("\"Insert\" method is invalid for TFileStrings.");
}

// The start offset of line index, from the line table or the counting thread's pending offsets.
// Runs under the lock.
int64_t TFileStrings::Entry(int64_t index) const {
  if (index >= written_) return thread_->pending_[static_cast<size_t>(index - written_)];
  uint32_t entry = 0;
  if (::pread(lineTable_, &entry, sizeof entry, index * kEntrySize) != sizeof entry) {
    throw EFileError("Unable to read file: " + lineTableName_ + ".");
  }
  return entry;
}

// Reads [start, end) through the display reader. With a display switch on, reading begins up to
// kTagLookBack bytes earlier so that a tag opened there is recognised.
std::string TFileStrings::FetchText(int64_t start, int64_t end, std::vector<int64_t>* offsets) {
  bool filtered = suppressNormalTags_ || suppressWordTags_ || suppressWords_;
  bufStream_.SetRange(filtered ? std::max<int64_t>(0, start - kTagLookBack) : start, end);
  std::string text;
  for (;;) {
    int64_t at = bufStream_.GetPosition();
    TDisplayClass cls = TDisplayClass::kWordChar;
    unsigned char c = filtered ? bufStream_.NextClassified(cls) : bufStream_.GetChar();
    if (bufStream_.GetPosition() == at) break;  // end of the range or of the data
    if (at < start) continue;
    if (filtered && !Shows(cls, text)) continue;
    size_t before = text.size();
    AppendVisible(text, c);
    if (offsets != nullptr && text.size() > before) offsets->push_back(at);
  }
  return text;
}

bool TFileStrings::Shows(TDisplayClass cls, const std::string& text) const {
  switch (cls) {
    case TDisplayClass::kNormalTag:
      return !suppressNormalTags_;
    case TDisplayClass::kWordTag:
      return !suppressWordTags_;
    case TDisplayClass::kSpace:
      return !suppressWords_ || text.empty() || text.back() != ' ';
    default:
      return !suppressWords_;
  }
}

// Appends entries to the end of the line table. Runs under the lock.
bool TFileStrings::WriteEntries(const uint32_t* entries, int count) {
  const char* data = reinterpret_cast<const char*>(entries);
  int64_t size = count * kEntrySize;
  int64_t offset = written_ * kEntrySize;
  int64_t done = 0;
  while (done < size) {
    ssize_t n = ::pwrite(lineTable_, data + done, static_cast<size_t>(size - done), offset + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

}  // namespace quenterra
