// The buffered reader that the corpus text window draws from. It reads a shared corpus stream in
// blocks through ReadAt with its own position, so it never disturbs the word splitter or the
// line-counting thread, and it keeps 256 bytes of look-behind in its buffer so that stepping back
// over a word-tag start or looking at the previous byte never rereads the file.
//
// Besides plain bytes it delivers each byte with a display class (word character, delimiter,
// space, line break, normal tag, word tag), following the tag settings copied by ConfigureTags.
// It classifies bytes, as a code page has them; the text window decodes what it shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "corpus/SynStream.h"
#include "platform/CharSet.h"
#include "settings/Settings.h"

namespace quenterra {

// How the text window shows a byte. The values are part of the display code's contract.
enum class TDisplayClass : uint8_t {
  kDelimiter = 1,
  kSpace = 2,
  kLineBreak = 3,
  kWordChar = 4,
  kNormalTag = 5,
  kWordTag = 6,
};

class TBufStream {
 public:
  static constexpr int64_t kBufferSize = 8192;
  static constexpr int64_t kLookBehind = 256;

  // Reads the first block of stream, whose whole size is the range; takes the delimiter set and
  // the tag settings of config. The stream must outlive the reader.
  TBufStream(TSynchroStream& stream, const ZuzadovUdirev& config);
  TBufStream(const TBufStream&) = delete;
  TBufStream& operator=(const TBufStream&) = delete;

  // Copies the tag settings (normal tags and word tags) of config.
  void ConfigureTags(const ZuzadovUdirev& config);

  // Positions at start and delivers bytes only below end; clears the tag state.
  void SetRange(int64_t start, int64_t end);
  // Moves to a file offset. A negative offset leaves the reader before the file: GetChar gives 0
  // and GetPosition -1 until the next Seek.
  void Seek(int64_t offset);
  int64_t GetPosition() const;

  // The next byte, or 0 at the end of the range, the end of the data or before the file. A zero
  // byte of the file is also delivered as 0; GetPosition tells the two apart (it only advances
  // when a byte was delivered).
  unsigned char GetChar();
  // The next byte together with its display class.
  unsigned char NextClassified(TDisplayClass& cls);
  // Forgets whether the reader stands inside a normal tag or a word tag.
  void ResetTagState();

 private:
  bool Ensure(int64_t n);
  void Refill();
  void ReadBlock();
  void UpdateEnd();
  bool MatchWordTagStart();
  TDisplayClass ClassifyInWordTag(unsigned char c, unsigned char prev);
  TDisplayClass ClassifyPlain(unsigned char c, unsigned char prev) const;

  TSynchroStream& stream_;
  int64_t readPosition_ = 0;  // file offset of the next block read
  int64_t rangeStart_ = 0;
  int64_t rangeEnd_ = 0;
  std::vector<unsigned char> buffer_;  // kBufferSize bytes plus a terminating zero
  bool shortRead_ = false;             // the last block read returned fewer bytes than asked
  int64_t validLength_ = 0;            // buffer bytes holding data
  int64_t current_ = 0;                // buffer index of the next byte to deliver
  int64_t end_ = 0;                    // buffer index where the deliverable bytes end
  int64_t bufferOffset_ = -1;          // file offset of buffer_[0]; -1 before the file

  unsigned char tagStart_ = '<';
  TCharSet tagEnds_;                     // bytes that close a normal tag
  uint8_t wordTagMode_ = 0;              // 0 none, 1 delimiter style, 2 start strings
  std::vector<std::string> wTagStarts_;  // each string knows its length
  TCharSet wTagStartChars_;              // first bytes of wTagStarts_
  TCharSet wTagEnds_;                    // bytes that close a word tag in mode 2
  unsigned char wTagDelimiter_ = '_';

  bool inTag_ = false;
  bool inWordTag_ = false;
  int64_t matchedLength_ = 0;  // bytes of the matched word-tag start still to deliver
  TCharSet delimiters_;
};

}  // namespace quenterra
