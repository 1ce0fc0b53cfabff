#include "corpus/WordSplitter.h"

#include <algorithm>
#include <cstring>

#include "corpus/FileHandle.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {

// A "#" in TagStop or wTagStop means: the tag ends at the next space or line end.
constexpr char kLineEndMark = '#';

void AddLineEnds(TCharSet& set) {
  set.Add('\n');
  set.Add('\r');
  set.Add(' ');
}

TCharSet EndSet(char stop) {
  TCharSet set;
  if (stop == kLineEndMark) {
    AddLineEnds(set);
  } else {
    set.Add(static_cast<unsigned char>(stop));
  }
  return set;
}

}  // namespace

TWordSplitter::TWordSplitter(TTokenSink& sink, const ZuzadovUdirev& config,
                             const TLangTables& tables, TProgress* progress)
    : sink_(sink), progress_(progress) {
  LoadSettings(config, tables);
}

int64_t TWordSplitter::BlockCount(int64_t fileSize) {
  return fileSize <= 0 ? 0 : (fileSize + kBlockSize - 1) / kBlockSize;
}

void TWordSplitter::SplitFile(TSynchroStream& stream, uint32_t fileNumber,
                              const std::string& displayName) {
  if (progress_ != nullptr) progress_->SetLabel(displayName);
  StartReading(stream);
  fileNumber_ = fileNumber;
  tokenLength_ = 0;
  inTag_ = inWordTag_ = opening_ = false;
  for (;;) {
    unsigned char c = NextChar();
    if (settings_.skip.Contains(c)) {
      ++pos_;
      continue;
    }
    if (settings_.delimiters.Contains(c)) {
      HandleDelimiter(c);
      if (c == 0) break;  // the end of the data, or a zero byte in the file
      ++pos_;
    } else {
      AppendChar(c);
      ++pos_;
      AppendWordRun();
    }
  }
  stream_ = nullptr;
}

// The hot loop: takes the word characters that follow in the buffer in one sweep, stopping at
// the first delimiter or skipped character, or at the end of the buffered data.
// Works on locals: stores into the char buffer could otherwise alias every member.
void TWordSplitter::AppendWordRun() {
  const unsigned char* p = &buffer_[static_cast<size_t>(pos_)];
  const unsigned char* end = &buffer_[static_cast<size_t>(end_)];
  const TCharSet& stop = settings_.wordStop;
  const uint8_t* fold = settings_.fold.data();
  char* token = token_.data();
  int length = tokenLength_;
  while (p < end && !stop.Contains(*p)) {
    if (length < kMaxTokenLength) token[length++] = static_cast<char>(fold[*p]);
    ++p;
  }
  tokenLength_ = length;
  pos_ = static_cast<int>(p - buffer_.data());
}

// ---------------------------------------------------------------------------------------------
// Settings

void TWordSplitter::LoadSettings(const ZuzadovUdirev& config, const TLangTables& tables) {
  TSplitSettings& s = settings_;
  std::copy_n(tables.CaseTable(), 256, s.caseTable.begin());
  // Tokens are folded as their bytes are taken: through the case table, or not at all.
  for (int c = 0; c < 256; ++c) {
    s.fold[static_cast<size_t>(c)] =
        config.ignoreCase ? s.caseTable[static_cast<size_t>(c)] : static_cast<uint8_t>(c);
  }
  s.skipNormalTags = config.SkipNormalTags;
  s.tagStart = static_cast<unsigned char>(config.TagStart);

  s.skip = TCharSet();
  if (config.UseSkippingChars) s.skip.AddAll(config.SkippingChars);
  s.skip.Remove(0);  // byte 0 always ends the data; skipping it would run past the end

  s.delimiters = BuildDelimiterSet(config);
  s.delimiters.Add(s.tagStart);
  if (config.TagStop != kLineEndMark) s.delimiters.Add(static_cast<unsigned char>(config.TagStop));
  if (config.wTagStop != kLineEndMark) {
    s.delimiters.Add(static_cast<unsigned char>(config.wTagStop));
  }
  s.delimiters.Add(0);
  s.tagEnd = EndSet(config.TagStop);
  LoadWordTagTables(config);
  s.wordStop = s.delimiters;
  s.wordStop.AddSet(s.skip);
}

// Runs after the delimiters are built: the first characters of the start strings join them.
void TWordSplitter::LoadWordTagTables(const ZuzadovUdirev& config) {
  TSplitSettings& s = settings_;
  s.wordTagStart = TCharSet();
  s.wordTagEnd = TCharSet();
  s.startCount = 0;
  s.longestStart = 0;
  if (config.WordTag == 1) {
    AddWordTagStart(std::string_view(&config.wTagDelimiter, 1));
    AddLineEnds(s.wordTagEnd);
  } else if (config.WordTag == 2) {
    for (const std::string& start : config.wTagStarts) {
      if (s.startCount == kMaxWordTagStarts) break;
      AddWordTagStart(start);
    }
    s.wordTagEnd = EndSet(config.wTagStop);
  }
}

// Adds one entry to the start table: cut at a zero byte and to 255 characters, folded whatever
// ignoreCase says; its first character, as written, joins the start set and the delimiters.
// An empty entry would match everywhere without consuming anything, so it takes its slot but
// never matches.
void TWordSplitter::AddWordTagStart(std::string_view start) {
  TSplitSettings& s = settings_;
  TStartString& entry = s.starts[static_cast<size_t>(s.startCount)];
  int length = 0;
  while (length < kMaxTokenLength && length < static_cast<int>(start.size()) &&
         start[static_cast<size_t>(length)] != '\0') {
    unsigned char c = static_cast<unsigned char>(start[static_cast<size_t>(length)]);
    entry[static_cast<size_t>(length++)] = static_cast<char>(s.caseTable[c]);
  }
  entry[static_cast<size_t>(length)] = '\0';
  s.startLengths[static_cast<size_t>(s.startCount++)] = length;
  if (length == 0) return;
  s.wordTagStart.Add(static_cast<unsigned char>(start[0]));
  s.delimiters.Add(static_cast<unsigned char>(start[0]));
  s.longestStart = std::max(s.longestStart, length);
}

// ---------------------------------------------------------------------------------------------
// Reader

void TWordSplitter::StartReading(TSynchroStream& stream) {
  stream_ = &stream;
  pos_ = end_ = kCarrySize;
  blockOffset_ = 0;
  lastBlockLength_ = 0;
  refills_ = 0;
  dataEnded_ = false;
}

// Moves the unconsumed bytes (fewer than kCarrySize) to stand just before the block, then reads
// the next block behind them. Offsets stay right because the carried bytes sit at negative
// distances from the block's file offset.
void TWordSplitter::Refill() {
  int remaining = end_ - pos_;
  std::memmove(&buffer_[static_cast<size_t>(kCarrySize - remaining)],
               &buffer_[static_cast<size_t>(pos_)], static_cast<size_t>(remaining));
  pos_ = kCarrySize - remaining;
  blockOffset_ += lastBlockLength_;
  lastBlockLength_ = 0;
  if (!dataEnded_) {
    int64_t at = blockOffset_;
    int64_t got = stream_->ReadAt(&buffer_[kCarrySize], kBlockSize, at);
    lastBlockLength_ = static_cast<int>(std::clamp<int64_t>(got, 0, kBlockSize));
    dataEnded_ = lastBlockLength_ < kBlockSize;
  }
  end_ = kCarrySize + lastBlockLength_;
  if (refills_++ > 0) AdvanceGauge();
}

inline unsigned char TWordSplitter::NextChar() {
  if (pos_ >= end_) {
    Refill();
    if (pos_ >= end_) return 0;
  }
  return buffer_[static_cast<size_t>(pos_)];
}

void TWordSplitter::AdvanceGauge() {
  ++gauge_;
  if (progress_ == nullptr) return;
  progress_->SetPosition(gauge_);
  progress_->ProcessMessages();
}

// ---------------------------------------------------------------------------------------------
// Splitter

// The token that c ends is classified by the state before c, so a tag's closing character still
// counts its last token as part of the tag.
void TWordSplitter::HandleDelimiter(unsigned char c) {
  if (tokenLength_ > 0) EndToken();
  if (inWordTag_ && settings_.wordTagEnd.Contains(c)) {
    inWordTag_ = false;
    opening_ = true;
  }
  if (inTag_ && settings_.tagEnd.Contains(c)) {
    inTag_ = false;
    opening_ = true;
  }
  if (inTag_ || inWordTag_) return;
  if (settings_.wordTagStart.Contains(c)) TryOpenWordTag();
  if (!inWordTag_ && c == settings_.tagStart) {
    inTag_ = true;
    opening_ = true;
  }
}

// c, at pos_, may begin a start string. Entries are tried in table order; the first that stands
// complete in the data wins. Bytes past the end of the data never match, so a start string cut
// off by the end of the file (or by a zero byte) is no start.
void TWordSplitter::TryOpenWordTag() {
  if (end_ - pos_ < settings_.longestStart) Refill();
  for (int entry = 0; entry < settings_.startCount; ++entry) {
    if (!StartMatchesAt(entry)) continue;
    pos_ += settings_.startLengths[static_cast<size_t>(entry)] - 1;  // the loop steps past the last
    inWordTag_ = true;
    opening_ = true;
    return;
  }
}

bool TWordSplitter::StartMatchesAt(int entry) const {
  int length = settings_.startLengths[static_cast<size_t>(entry)];
  if (length == 0 || length > end_ - pos_) return false;
  const char* start = settings_.starts[static_cast<size_t>(entry)].data();
  const unsigned char* text = &buffer_[static_cast<size_t>(pos_)];
  for (int i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(start[i]) != settings_.caseTable[text[i]]) return false;
  }
  return true;
}

void TWordSplitter::AppendChar(unsigned char c) {
  if (tokenLength_ == 0) tokenOffset_ = blockOffset_ + (pos_ - kCarrySize) + kSourceOffsetBias;
  if (tokenLength_ < kMaxTokenLength) {
    token_[static_cast<size_t>(tokenLength_++)] = static_cast<char>(settings_.fold[c]);
  }
}

void TWordSplitter::EndToken() {
  uint8_t kind = kKindWord;
  if (inWordTag_) kind = opening_ ? kKindWordTag : kKindDropped;
  if (inTag_) {
    kind = settings_.skipNormalTags ? kKindDropped : opening_ ? kKindTagName : kKindTagWord;
  }
  if (kind != kKindDropped) {
    token_[static_cast<size_t>(tokenLength_)] = '\0';
    sink_.AddToken(token_.data(), kind, tokenOffset_, fileNumber_);
  }
  tokenLength_ = 0;
  opening_ = false;
}

// ---------------------------------------------------------------------------------------------
// Text-file test

namespace {

constexpr int kTextTestBytes = 256;
constexpr int kMaxControlBytes = 5;  // this many or more: not text

bool IsControlByte(unsigned char c) {
  return (c >= 1 && c <= 8) || c == 11 || (c >= 14 && c <= 31) || c == 127 || c == 255;
}

}  // namespace

bool IsTextFile(const std::string& fileName) {
  TFileHandle file;
  if (!file.Open(fileName)) throw EFileError("Unable to open file: " + fileName + ".");
  unsigned char head[kTextTestBytes];
  int64_t got = file.Read(0, kTextTestBytes, head);
  int controls = 0;
  for (int64_t i = 0; i < got && head[i] != 0; ++i) {
    if (IsControlByte(head[i])) ++controls;
  }
  return controls < kMaxControlBytes;
}

}  // namespace quenterra
