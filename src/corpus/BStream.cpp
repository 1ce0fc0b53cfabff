#include "corpus/BStream.h"

#include <algorithm>
#include <cstring>

namespace quenterra {

namespace {

// Longest word-tag start string that is compared; bounds the look-ahead well inside the buffer.
constexpr size_t kMaxStartLength = 255;

// The closing set of a tag: the stop character alone, or the line ends and the space for "#".
TCharSet EndSetOf(TChar stop) {
  TCharSet set;
  if (stop == '#') {
    for (TChar c : {U'\n', U'\r', U' '}) set.Add(c);
  } else {
    set.Add(stop);
  }
  return set;
}

}  // namespace

TBufStream::TBufStream(TSynchroStream& stream, const ZuzadovUdirev& config)
    : stream_(stream), rangeEnd_(stream.GetSize()), buffer_(kBufferSize + 1, 0) {
  delimiters_ = BuildDelimiterSet(config, TCharCoding());
  ConfigureTags(config);
  Seek(0);
}

void TBufStream::ConfigureTags(const ZuzadovUdirev& z) {
  tagStart_ = static_cast<unsigned char>(z.TagStart);
  tagEnds_ = EndSetOf(z.TagStop);
  wordTagMode_ = z.WordTag;
  wTagStarts_.clear();
  wTagStartChars_ = TCharSet{};
  for (const std::string& start : z.wTagStarts) {
    // An empty start string would match everywhere; it opens nothing.
    if (start.empty()) continue;
    wTagStarts_.push_back(start.substr(0, kMaxStartLength));
    wTagStartChars_.Add(static_cast<unsigned char>(start[0]));
  }
  wTagEnds_ = EndSetOf(z.wTagStop);
  wTagDelimiter_ = static_cast<unsigned char>(z.wTagDelimiter);
}

void TBufStream::SetRange(int64_t start, int64_t end) {
  rangeStart_ = start;
  rangeEnd_ = end;
  Seek(start);
  UpdateEnd();
  ResetTagState();
}

void TBufStream::Seek(int64_t offset) {
  if (offset < 0) {
    bufferOffset_ = -1;
    validLength_ = current_ = end_ = 0;
    buffer_[0] = 0;
    return;
  }
  if (bufferOffset_ >= 0 && offset >= bufferOffset_ && offset < bufferOffset_ + validLength_) {
    current_ = offset - bufferOffset_;
    return;
  }
  // Keep look-behind before the new position wherever the file has it.
  int64_t start = std::max<int64_t>(0, offset - kLookBehind);
  bufferOffset_ = readPosition_ = start;
  validLength_ = 0;
  ReadBlock();
  current_ = offset - start;
}

int64_t TBufStream::GetPosition() const {
  return bufferOffset_ < 0 ? -1 : bufferOffset_ + current_;
}

unsigned char TBufStream::GetChar() {
  if (current_ >= end_ && !Ensure(1)) return 0;
  return buffer_[current_++];
}

void TBufStream::ResetTagState() {
  inTag_ = inWordTag_ = false;
  matchedLength_ = 0;
}

unsigned char TBufStream::NextClassified(TDisplayClass& cls) {
  unsigned char c = GetChar();
  unsigned char prev = current_ >= 2 ? buffer_[current_ - 2] : 0;
  if (inWordTag_) {
    cls = ClassifyInWordTag(c, prev);
  } else if (inTag_) {
    cls = TDisplayClass::kNormalTag;
    if (tagEnds_.Contains(c)) inTag_ = false;
  } else if (wordTagMode_ == 1 && c == wTagDelimiter_) {
    cls = TDisplayClass::kWordTag;
    inWordTag_ = true;
  } else if (wordTagMode_ == 2 && wTagStartChars_.Contains(c) && MatchWordTagStart()) {
    cls = TDisplayClass::kWordTag;
    inWordTag_ = true;
  } else if (c == tagStart_) {
    cls = TDisplayClass::kNormalTag;
    inTag_ = true;
  } else {
    cls = ClassifyPlain(c, prev);
  }
  return c;
}

// Compares the start strings, in list order, with the text beginning at the byte just read.
bool TBufStream::MatchWordTagStart() {
  --current_;  // step back onto c; Ensure keeps it buffered while it refills
  bool matched = false;
  for (const std::string& start : wTagStarts_) {
    int64_t length = static_cast<int64_t>(start.size());
    if (Ensure(length) && std::memcmp(&buffer_[current_], start.data(), start.size()) == 0) {
      matchedLength_ = length - 1;  // c itself is delivered now
      matched = true;
      break;
    }
  }
  ++current_;
  return matched;
}

TDisplayClass TBufStream::ClassifyInWordTag(unsigned char c, unsigned char prev) {
  if (matchedLength_ > 0) {
    // The rest of the start string belongs to the tag, even when it holds a closing byte.
    --matchedLength_;
    return TDisplayClass::kWordTag;
  }
  if (wordTagMode_ == 1) {
    if (!delimiters_.Contains(c)) return TDisplayClass::kWordTag;
    inWordTag_ = false;
    return ClassifyPlain(c, prev);
  }
  if (wTagEnds_.Contains(c)) inWordTag_ = false;
  return TDisplayClass::kWordTag;
}

TDisplayClass TBufStream::ClassifyPlain(unsigned char c, unsigned char prev) const {
  if (!delimiters_.Contains(c)) return TDisplayClass::kWordChar;
  switch (c) {
    case ' ':
      return TDisplayClass::kSpace;
    case '\r':
      return TDisplayClass::kLineBreak;
    case '\n':
      // The line feed of a carriage return + line feed pair adds no second break.
      return prev == '\r' ? TDisplayClass::kSpace : TDisplayClass::kLineBreak;
    default:
      return TDisplayClass::kDelimiter;
  }
}

// True when n bytes from the current one are buffered and inside the range, refilling when the
// file may hold them.
bool TBufStream::Ensure(int64_t n) {
  if (bufferOffset_ < 0) return false;
  if (bufferOffset_ + current_ + n > rangeEnd_) return false;
  if (current_ + n <= validLength_) return true;
  if (shortRead_ && stream_.GetSize() <= readPosition_) return false;
  Refill();
  return current_ + n <= validLength_;
}

// Moves the last kLookBehind buffered bytes (and every byte not yet delivered) to the front and
// reads behind them; current_ keeps pointing at the same file byte.
void TBufStream::Refill() {
  int64_t keepFrom = std::min(std::max<int64_t>(0, validLength_ - kLookBehind), current_);
  int64_t keep = validLength_ - keepFrom;
  std::memmove(buffer_.data(), buffer_.data() + keepFrom, static_cast<size_t>(keep));
  bufferOffset_ += keepFrom;
  current_ -= keepFrom;
  validLength_ = keep;
  ReadBlock();
}

// Fills the buffer behind its valid bytes, up to its size or the end of the file.
void TBufStream::ReadBlock() {
  int64_t available = std::max<int64_t>(0, stream_.GetSize() - readPosition_);
  int64_t asked = std::min(kBufferSize - validLength_, available);
  int64_t got = asked > 0 ? stream_.ReadAt(buffer_.data() + validLength_, asked, readPosition_) : 0;
  shortRead_ = got < asked;
  validLength_ += got;
  buffer_[static_cast<size_t>(validLength_)] = 0;
  UpdateEnd();
}

void TBufStream::UpdateEnd() {
  end_ = std::clamp<int64_t>(rangeEnd_ - bufferOffset_, 0, validLength_);
}

}  // namespace quenterra
