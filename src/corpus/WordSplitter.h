// The word splitter: reads one corpus file through its shared stream, cuts it into tokens shaped
// by the character settings (delimiters, skipped characters, normal tags, word tags), classifies
// each token and hands it to a sink, normally the text index.
//
// Characters are those of the corpus encoding (platform/CharCoding.h). In a code page every byte
// is one. In UTF-8 a character is a code point: a byte that starts no valid sequence is read as
// the language's code page reads it and stored as the UTF-8 of that character, so tokens are
// always valid UTF-8; a byte-order mark at the start of a file is skipped; the 255-byte cut of a
// long token never splits a character. Source offsets stay byte offsets of the file.
//
// A build over a range of files creates one splitter and calls SplitFile once per file; the
// splitter keeps the progress gauge's position across the files, so the gauge's maximum is the
// sum of BlockCount(size) over the range.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/LangTables.h"
#include "corpus/SynStream.h"
#include "platform/CharSet.h"
#include "platform/Progress.h"
#include "settings/Settings.h"

namespace quenterra {

// Token kinds. A dropped token (kind 0) never reaches the sink; 4 is not used.
inline constexpr uint8_t kKindDropped = 0;
inline constexpr uint8_t kKindWord = 1;     // outside normal tags and word tags
inline constexpr uint8_t kKindTagName = 2;  // first token after a normal tag opened
inline constexpr uint8_t kKindTagWord = 3;  // further tokens inside a normal tag
inline constexpr uint8_t kKindWordTag = 5;  // first token after a word tag opened (the label)

// A token as the splitter hands it over in a batch: the arguments of one TTokenSink::AddToken.
struct TTokenRef {
  std::string_view text;  // followed by a zero byte
  int64_t sourceOffset;
  uint32_t fileNumber;
  uint8_t kind;
};

// Receives the tokens of a split. The text index implements it.
class TTokenSink {
 public:
  virtual ~TTokenSink() = default;
  // text: zero-terminated, 1..255 bytes in the corpus encoding, already folded when ignoreCase
  // is on; valid only for the call. sourceOffset: the byte offset of the token's first character in
  // its file, plus 255. Returns the sink's id for the token (the splitter ignores it). May throw;
  // the exception ends the split.
  virtual uint32_t AddToken(const char* text, uint8_t kind, int64_t sourceOffset,
                            uint32_t fileNumber) = 0;
  // The splitter hands tokens over in small batches, in order, so that a sink can fetch what
  // the next few need from memory ahead of them; a batch's texts lie one after another in one
  // buffer. The same as AddToken on each; a throw ends the batch.
  virtual void AddTokens(std::span<const TTokenRef> tokens) {
    for (const TTokenRef& token : tokens)
      AddToken(token.text.data(), token.kind, token.sourceOffset, token.fileNumber);
  }
};

class TWordSplitter {
 public:
  static constexpr int kBlockSize = 8192;      // bytes read per block
  static constexpr int kCarrySize = 256;       // room for unconsumed bytes before the block
  static constexpr int kMaxTokenLength = 255;  // longer tokens are cut
  static constexpr int64_t kSourceOffsetBias = 255;
  static constexpr int kMaxWordTagStarts = 8;  // further wTagStarts entries are ignored
  static constexpr int kBatchTokens = 128;     // tokens handed to the sink at once, at most

  // Takes the character sets and tables it splits with from config and tables now; later
  // changes of either do not reach it. progress may be null. Neither sink nor progress is owned;
  // both must outlive the splitter.
  TWordSplitter(TTokenSink& sink, const ZuzadovUdirev& config, const TLangTables& tables,
                TProgress* progress = nullptr);
  TWordSplitter(const TWordSplitter&) = delete;
  TWordSplitter& operator=(const TWordSplitter&) = delete;

  // Splits the stream from offset 0 up to the end of its data or its first zero byte and hands
  // every token that is kept to the sink with fileNumber, in batches; all before it returns, and
  // all split before each move of the gauge before that move. With a progress window, its label
  // shows displayName and its gauge advances by one for every refill after the file's first read:
  // BlockCount(size) steps, a few more when word-tag start strings (or, in UTF-8, characters cut
  // by the end of a block) force look-ahead refills. Exceptions of the sink propagate.
  void SplitFile(TSynchroStream& stream, uint32_t fileNumber, const std::string& displayName);

  // The gauge position, counted across files; a build starts it at 0.
  int64_t GaugePosition() const { return gauge_; }
  void SetGaugePosition(int64_t position) { gauge_ = position; }

  // The gauge steps a file of this size takes: ceil(fileSize / kBlockSize).
  static int64_t BlockCount(int64_t fileSize);

 private:
  // Character sets and tables taken from the settings when the splitter is made.
  struct TSplitSettings {
    TCharSet delimiters;
    TCharSet skip;  // empty when skipping is off; never holds character 0
    TCharSet tagEnd;
    TCharSet wordTagEnd;
    TCharSet wordTagStart;  // first characters of the start strings, as written
    // Bytes that end a run of word bytes that the hot loop copies: delimiters and skipped
    // characters, and in UTF-8 every byte that it must leave to the character-wise path.
    TCharSet stopBytes;
    std::vector<std::u32string> starts;  // folded through the case table
    int longestStart = 0;                // L: the look-ahead in bytes a start string needs
    std::array<uint8_t, 256> fold;       // what a token's byte is stored as: folded with ignoreCase
    std::array<TChar, 256> caseTable;    // the case table's answer for the characters below 256
    TChar tagStart = 0;
    bool skipNormalTags = false;
    bool ignoreCase = false;
  };

  void LoadSettings(const ZuzadovUdirev& config);
  void LoadStopBytes();
  void LoadWordTagTables(const ZuzadovUdirev& config);
  void AddWordTagStart(std::string_view start);
  void StartReading(TSynchroStream& stream);
  void Refill();
  TChar NextChar(int& length);
  TChar DecodeAt(int at, int& length) const;
  void HandleDelimiter(TChar c, int length);
  bool TryOpenWordTag();
  int StartEndAt(const std::u32string& start) const;
  void AppendChar(TChar c);
  void AppendWordRun();
  void EndToken();
  void FlushBatch();
  void AdvanceGauge();

  TTokenSink& sink_;
  TProgress* progress_;
  int64_t gauge_ = 0;  // gauge position, kept across files

  TLangTables tables_;  // a copy: later changes do not reach the splitter
  TSplitSettings settings_;

  // Reader
  TSynchroStream* stream_ = nullptr;
  std::array<unsigned char, kCarrySize + kBlockSize> buffer_;  // carry area, then the block
  int pos_ = kCarrySize;                                       // next byte to look at
  int end_ = kCarrySize;                                       // end of valid data
  int64_t blockOffset_ = 0;                                    // file offset of buffer_[kCarrySize]
  int lastBlockLength_ = 0;                                    // bytes the last read delivered
  int64_t refills_ = 0;     // in this file; the first one does not move the gauge
  bool dataEnded_ = false;  // a read came back short: nothing more is read

  // Batch: the tokens split but not yet handed to the sink, their texts one after another.
  static constexpr size_t kBatchTextBytes = 16384;
  std::array<TTokenRef, kBatchTokens> batch_;
  std::array<char, kBatchTextBytes> batchTexts_;
  int batchCount_ = 0;
  size_t batchTextsUsed_ = 0;  // always leaves room for a whole token and its zero

  // Splitter
  uint32_t fileNumber_ = 0;
  char* token_ = batchTexts_.data();  // the token being split, behind the batch's texts
  int tokenLength_ = 0;
  int tokenLimit_ = kMaxTokenLength;  // lowered when a character did not fit: the token is cut
  int64_t tokenOffset_ = 0;           // source offset of token_[0]
  bool inTag_ = false;
  bool inWordTag_ = false;
  bool opening_ = false;  // a tag or word tag opened or closed since the last token
};

}  // namespace quenterra
