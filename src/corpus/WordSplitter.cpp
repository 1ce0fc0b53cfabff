#include "corpus/WordSplitter.h"

#include <algorithm>
#include <cstring>

#include "platform/CharCoding.h"

namespace quenterra {

namespace {

// A "#" in TagStop or wTagStop means: the tag ends at the next space or line end.
constexpr TChar kLineEndMark = '#';

// The most bytes a character folded to one byte can take in the text ('K', U+212A KELVIN SIGN,
// folds to 'k'): look-ahead for start strings allows for it.
constexpr int kMaxFoldGrowth = 3;
constexpr int kMaxUtf8Length = 4;

void AddLineEnds(TCharSet& set) {
  set.Add('\n');
  set.Add('\r');
  set.Add(' ');
}

TCharSet EndSet(TChar stop) {
  TCharSet set;
  if (stop == kLineEndMark) {
    AddLineEnds(set);
  } else {
    set.Add(stop);
  }
  return set;
}

}  // namespace

TWordSplitter::TWordSplitter(TTokenSink& sink, const ZuzadovUdirev& config,
                             const TLangTables& tables, TProgress* progress)
    : sink_(sink), progress_(progress), tables_(tables) {
  LoadSettings(config);
}

int64_t TWordSplitter::BlockCount(int64_t fileSize) {
  return fileSize <= 0 ? 0 : (fileSize + kBlockSize - 1) / kBlockSize;
}

void TWordSplitter::SplitFile(TSynchroStream& stream, uint32_t fileNumber,
                              const std::string& displayName) {
  if (progress_ != nullptr) progress_->SetLabel(displayName);
  StartReading(stream);
  fileNumber_ = fileNumber;
  batchCount_ = 0;  // what a split that threw left over
  batchTextsUsed_ = 0;
  token_ = batchTexts_.data();
  tokenLength_ = 0;
  tokenLimit_ = kMaxTokenLength;
  inTag_ = inWordTag_ = opening_ = false;
  for (;;) {
    int length = 0;
    TChar c = NextChar(length);
    if (settings_.skip.Contains(c)) {
      pos_ += length;
      continue;
    }
    if (settings_.delimiters.Contains(c)) {
      HandleDelimiter(c, length);
      if (c == 0) break;  // the end of the data, or a zero byte in the file
    } else {
      AppendChar(c);
      pos_ += length;
      AppendWordRun();
    }
  }
  FlushBatch();
  stream_ = nullptr;
}

// The hot loop: takes the word bytes that follow in the buffer in one sweep, stopping at the
// first delimiter or skipped character, at a byte the character-wise path must take (UTF-8), or
// at the end of the buffered data.
// Works on locals: stores into the char buffer could otherwise alias every member.
void TWordSplitter::AppendWordRun() {
  const unsigned char* p = &buffer_[static_cast<size_t>(pos_)];
  const unsigned char* end = &buffer_[static_cast<size_t>(end_)];
  const TCharSet& stop = settings_.stopBytes;
  const uint8_t* fold = settings_.fold.data();
  char* token = token_;
  const int limit = tokenLimit_;
  int length = tokenLength_;
  while (p < end && !stop.Contains(*p)) {
    if (length < limit) token[length++] = static_cast<char>(fold[*p]);
    ++p;
  }
  tokenLength_ = length;
  pos_ = static_cast<int>(p - buffer_.data());
}

// ---------------------------------------------------------------------------------------------
// Settings

void TWordSplitter::LoadSettings(const ZuzadovUdirev& config) {
  TSplitSettings& s = settings_;
  const TCharCoding& coding = tables_.Coding();
  s.ignoreCase = config.ignoreCase;
  // Tokens are folded as their bytes are taken: through the case table, or not at all.
  for (TChar c = 0; c < 256; ++c) {
    s.caseTable[c] = tables_.Fold(c);
    s.fold[c] = config.ignoreCase ? tables_.CaseTable()[c] : static_cast<uint8_t>(c);
  }
  s.skipNormalTags = config.SkipNormalTags;
  s.tagStart = config.TagStart;

  s.skip = TCharSet();
  if (config.UseSkippingChars) s.skip = CharSetOf(config.SkippingChars, coding);
  s.skip.Remove(0);  // character 0 always ends the data; skipping it would run past the end

  s.delimiters = BuildDelimiterSet(config, coding);
  s.delimiters.Add(s.tagStart);
  if (config.TagStop != kLineEndMark) s.delimiters.Add(config.TagStop);
  if (config.wTagStop != kLineEndMark) s.delimiters.Add(config.wTagStop);
  s.delimiters.Add(0);
  s.tagEnd = EndSet(config.TagStop);
  LoadWordTagTables(config);
  LoadStopBytes();
}

// In a code page the stop bytes are the delimiters and skipped characters. In UTF-8 the hot
// loop copies only ASCII that folds to ASCII; every other byte goes the character-wise way.
void TWordSplitter::LoadStopBytes() {
  TSplitSettings& s = settings_;
  s.stopBytes = TCharSet();
  for (TChar b = 0; b < 256; ++b) {
    bool stop = s.delimiters.Contains(b) || s.skip.Contains(b);
    if (tables_.Utf8()) {
      const TChar folded = s.ignoreCase ? tables_.Fold(b) : b;
      stop = b >= 0x80 || folded >= 0x80 || s.delimiters.Contains(b) || s.skip.Contains(b);
      if (!stop) s.fold[b] = static_cast<uint8_t>(folded);
    }
    if (stop) s.stopBytes.Add(b);
  }
}

// Runs after the delimiters are built: the first characters of the start strings join them.
void TWordSplitter::LoadWordTagTables(const ZuzadovUdirev& config) {
  TSplitSettings& s = settings_;
  s.wordTagStart = TCharSet();
  s.wordTagEnd = TCharSet();
  s.starts.clear();
  s.longestStart = 0;
  if (config.WordTag == 1) {
    AddWordTagStart(tables_.Coding().Encode(config.wTagDelimiter));
    AddLineEnds(s.wordTagEnd);
  } else if (config.WordTag == 2) {
    for (const std::string& start : config.wTagStarts) {
      if (static_cast<int>(s.starts.size()) == kMaxWordTagStarts) break;
      AddWordTagStart(start);
    }
    s.wordTagEnd = EndSet(config.wTagStop);
  }
}

// Adds one entry to the start table: cut at a zero byte and to 255 bytes (whole characters),
// folded whatever ignoreCase says; its first character, as written, joins the start set and the
// delimiters. An empty entry would match everywhere without consuming anything, so it takes its
// slot but never matches.
void TWordSplitter::AddWordTagStart(std::string_view start) {
  TSplitSettings& s = settings_;
  const TCharCoding& coding = tables_.Coding();
  start = start.substr(0, start.find('\0'));
  std::u32string entry;
  size_t pos = 0;
  while (pos < start.size()) {
    size_t next = pos;
    const TChar c = coding.Next(start, next);
    if (next > static_cast<size_t>(kMaxTokenLength)) break;
    entry += tables_.Fold(c);
    pos = next;
  }
  s.starts.push_back(entry);
  if (entry.empty()) return;
  const TChar first = coding.First(start);
  s.wordTagStart.Add(first);
  s.delimiters.Add(first);
  // In UTF-8 the text may spell a folded character with more bytes than the entry does.
  const int lookAhead = static_cast<int>(pos) * (tables_.Utf8() ? kMaxFoldGrowth : 1);
  s.longestStart = std::max(s.longestStart, std::min(lookAhead, kMaxTokenLength));
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
  if (refills_++ > 0) {
    AdvanceGauge();
  } else if (tables_.Utf8()) {  // the file's first bytes: a byte-order mark is no text
    const auto* first = reinterpret_cast<const char*>(&buffer_[kCarrySize]);
    if (std::string_view(first, static_cast<size_t>(lastBlockLength_)).starts_with(kUtf8Bom))
      pos_ += static_cast<int>(kUtf8Bom.size());
  }
}

// The character at pos_ and its length in bytes; character 0 (length 0) at the end of the data.
// A UTF-8 character cut off by the end of the block is completed by a refill first.
inline TChar TWordSplitter::NextChar(int& length) {
  if (pos_ >= end_) {
    Refill();
    if (pos_ >= end_) {
      length = 0;
      return 0;
    }
  }
  const unsigned char byte = buffer_[static_cast<size_t>(pos_)];
  length = 1;
  if (byte < 0x80 || !tables_.Utf8()) return byte;
  if (end_ - pos_ < kMaxUtf8Length && !dataEnded_) Refill();
  return DecodeAt(pos_, length);
}

// The character that starts at buffer_[at] (at < end_), with its length.
TChar TWordSplitter::DecodeAt(int at, int& length) const {
  const unsigned char* p = &buffer_[static_cast<size_t>(at)];
  if (!tables_.Utf8() || *p < 0x80) {
    length = 1;
    return *p;
  }
  char32_t c = 0;
  length = DecodeUtf8(p, &buffer_[static_cast<size_t>(end_)], c);
  if (length > 0) return c;
  length = 1;
  return tables_.Coding().Fallback(*p);
}

void TWordSplitter::AdvanceGauge() {
  ++gauge_;
  if (progress_ == nullptr) return;
  FlushBatch();  // whoever watches the gauge sees every token split so far
  progress_->SetPosition(gauge_);
  progress_->ProcessMessages();
}

// ---------------------------------------------------------------------------------------------
// Splitter

// The token that c ends is classified by the state before c, so a tag's closing character still
// counts its last token as part of the tag. Moves past c, or past the word-tag start it opens.
void TWordSplitter::HandleDelimiter(TChar c, int length) {
  if (tokenLength_ > 0) EndToken();
  if (inWordTag_ && settings_.wordTagEnd.Contains(c)) {
    inWordTag_ = false;
    opening_ = true;
  }
  if (inTag_ && settings_.tagEnd.Contains(c)) {
    inTag_ = false;
    opening_ = true;
  }
  if (!inTag_ && !inWordTag_) {
    if (settings_.wordTagStart.Contains(c) && TryOpenWordTag()) return;
    if (c == settings_.tagStart) {
      inTag_ = true;
      opening_ = true;
    }
  }
  pos_ += length;
}

// The character at pos_ may begin a start string. Entries are tried in table order; the first
// that stands complete in the data wins, and the position moves past it. Bytes past the end of
// the data never match, so a start string cut off by the end of the file (or by a zero byte) is
// no start.
bool TWordSplitter::TryOpenWordTag() {
  if (end_ - pos_ < settings_.longestStart) Refill();
  for (const std::u32string& start : settings_.starts) {
    const int end = StartEndAt(start);
    if (end < 0) continue;
    pos_ = end;
    inWordTag_ = true;
    opening_ = true;
    return true;
  }
  return false;
}

// Where `start` ends when it stands at pos_, compared through the case table; -1 when not.
int TWordSplitter::StartEndAt(const std::u32string& start) const {
  if (start.empty()) return -1;
  int at = pos_;
  for (TChar wanted : start) {
    if (at >= end_) return -1;
    int length = 0;
    const TChar c = DecodeAt(at, length);
    if ((c < 256 ? settings_.caseTable[c] : tables_.Fold(c)) != wanted) return -1;
    at += length;
  }
  return at;
}

// A character of a word: through the hot loop's table when it is a byte the loop copies (every
// byte of a code page), else folded and encoded whole, or not at all when it would not fit: the
// cut never splits it.
void TWordSplitter::AppendChar(TChar c) {
  if (tokenLength_ == 0) tokenOffset_ = blockOffset_ + (pos_ - kCarrySize) + kSourceOffsetBias;
  if (c < 256 && !settings_.stopBytes.Contains(c)) {
    if (tokenLength_ < tokenLimit_) token_[tokenLength_++] = static_cast<char>(settings_.fold[c]);
    return;
  }
  char bytes[kMaxUtf8Length];
  const int length = EncodeUtf8(settings_.ignoreCase ? tables_.Fold(c) : c, bytes);
  if (tokenLength_ + length > tokenLimit_) {
    tokenLimit_ = tokenLength_;
    return;
  }
  for (int i = 0; i < length; ++i) token_[tokenLength_++] = bytes[i];
}

void TWordSplitter::EndToken() {
  uint8_t kind = kKindWord;
  if (inWordTag_) kind = opening_ ? kKindWordTag : kKindDropped;
  if (inTag_) {
    kind = settings_.skipNormalTags ? kKindDropped : opening_ ? kKindTagName : kKindTagWord;
  }
  if (kind != kKindDropped) {
    const size_t length = static_cast<size_t>(tokenLength_);
    token_[length] = '\0';
    batch_[static_cast<size_t>(batchCount_++)] =
        TTokenRef{std::string_view(token_, length), tokenOffset_, fileNumber_, kind};
    batchTextsUsed_ += length + 1;
    token_ += length + 1;
  }
  tokenLength_ = 0;
  tokenLimit_ = kMaxTokenLength;
  opening_ = false;
  if (batchCount_ == kBatchTokens || batchTextsUsed_ > kBatchTextBytes - kMaxTokenLength - 1)
    FlushBatch();
}

void TWordSplitter::FlushBatch() {
  if (batchCount_ > 0) {
    const size_t count = static_cast<size_t>(batchCount_);
    batchCount_ = 0;  // a throw of the sink drops the rest of the batch
    sink_.AddTokens(std::span<const TTokenRef>(batch_.data(), count));
  }
  // A token cut by a refill moves to the front.
  std::memmove(batchTexts_.data(), token_, static_cast<size_t>(tokenLength_));
  token_ = batchTexts_.data();
  batchTextsUsed_ = 0;
}

}  // namespace quenterra
