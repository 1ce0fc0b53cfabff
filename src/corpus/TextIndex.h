// The text index: one entry per distinct token (text and kind) with its frequency and its
// occurrence list, the corpus position of every token added, and, with word tags, how often
// each word carries each part-of-speech tag. The bulk data lives in the two index files (the
// sequence index and the page index); this object holds the hash table, the token entries and
// at most 62 buffered positions per token.
//
// Occurrence list of a token of frequency f (positions ascending):
//   f = 1 or 2   first (and last) hold the positions themselves; no chunk
//   f >= 3      a chain of occurrence chunks in the page index: one 1-page chunk (6 positions)
//               while the list is that short, else 8-page chunks of 62; every chunk but the last
//               is full. first and last are the pages of the first and last chunk.
// During a build the tail of the list waits in a buffer of 6 or 62 positions; Commit writes it.
//
// Pair table: the count of each (word id w, tag id t), keyed by the signed 64-bit value with t
// in the high half and w in the low half, in slot |w + t| mod 65536.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "corpus/DWordList.h"
#include "corpus/PageIndex.h"
#include "corpus/SeqIndex.h"
#include "corpus/TokenList.h"
#include "corpus/TokenTable.h"
#include "corpus/WordSplitter.h"
#include "platform/CharCoding.h"
#include "platform/HugeMemory.h"
#include "platform/Progress.h"
#include "regexp/RegExp3.h"

namespace quenterra {

// A set of token kinds: bit k stands for kind k (0 to 7).
using TKindSet = uint8_t;
constexpr TKindSet KindBit(uint8_t kind) { return static_cast<TKindSet>(1u << kind); }
inline constexpr TKindSet kWordKinds = KindBit(kKindWord);
inline constexpr TKindSet kTextKinds =
    KindBit(kKindWord) | KindBit(kKindTagName) | KindBit(kKindTagWord);

// What a pattern query matches whole tokens with: a wildcard pattern ('*' any run of
// characters, also none, '%' at most one character, '?' exactly one, every other character
// itself; in UTF-8 text a character is a code point), or a compiled regular expression
// (TRegExp::MatchesWhole).
class TTokenPattern {
 public:
  TTokenPattern(std::string wildcards, TCorpusEncoding encoding = TCorpusEncoding::kCodePage)
      : wildcards_(std::move(wildcards)), encoding_(encoding) {}
  TTokenPattern(const char* wildcards) : wildcards_(wildcards) {}
  // Not owned: the expression must outlive the pattern.
  explicit TTokenPattern(const TRegExp& regExp) : regExp_(&regExp) {}

  bool Matches(std::string_view token) const;
  // A wildcard pattern without a wildcard names one text: the index looks it up.
  bool Plain() const;
  const std::string& Wildcards() const { return wildcards_; }

 private:
  std::string wildcards_;
  TCorpusEncoding encoding_ = TCorpusEncoding::kCodePage;
  const TRegExp* regExp_ = nullptr;
};

// What a build files. kSequence leaves the occurrence lists out (every token's first and last are
// 0): for a temporary index that a one-pass run reads in sequence only and never asks where a
// token occurs; filing the lists is most of a build's work past the dictionary.
enum class TIndexContents : uint8_t { kFull, kSequence };

struct TIndexStats {
  int64_t frequency = 0;  // total occurrences (running words)
  int64_t tokens = 0;     // distinct tokens (types)
};

class TTextIndex : public TTokenSink {
 public:
  static constexpr uint32_t kPairSlots = 65536;
  static constexpr uint8_t kSmallBuffer = 6;   // positions in a 1-page chunk
  static constexpr uint8_t kLargeBuffer = 62;  // positions in an 8-page chunk
  static constexpr char kWildMany = '*';       // any run of characters, also none
  static constexpr char kWildOptional = '%';   // at most one character
  static constexpr char kWildOne = '?';        // exactly one character

  // Create (or Temporary: files without names): new, empty index files (the index starts
  // modified; with countPairs the pair table is counted as tokens arrive). Open: loads the token
  // table and, with countPairs, a stored pair table. progress (may be empty) reports the loading of
  // the token table. Throws the files' errors, "TextIndex: POSHashTable size diffres." for a pair
  // table of another size and "TextIndex: Index file is damaged." when the two files do not agree.
  // contents is taken for temporary files only; stored files always describe every token.
  TTextIndex(const std::string& pageFileName, const TProgressCallback& progress,
             TIndexFileMode mode, bool tagBefore, bool countPairs, const std::string& seqFileName,
             TIndexContents contents = TIndexContents::kFull);
  TTextIndex(const TTextIndex&) = delete;
  TTextIndex& operator=(const TTextIndex&) = delete;
  // Does not commit: what was added since the last Commit is lost with the files' consistency.
  ~TTextIndex() override;

  // Makes both files complete and consistent with memory; nothing when not modified.
  void Commit();

  // Adds one occurrence at position SequenceCount() and returns the token id. kind is 1 to 7
  // and text 1 to 255 bytes (else throws "TextIndex: Invalid token."). Files must come in
  // ascending order.
  uint32_t AddToken(const char* text, uint8_t kind, int64_t sourceOffset,
                    uint32_t fileNumber) override;
  // The same for each token in turn, with the dictionary's slots and entries fetched ahead.
  void AddTokens(std::span<const TTokenRef> tokens) override;
  // Recounts the pair table from the sequence and makes it current.
  void RebuildPairTable(const TProgressCallback& progress);

  bool Modified() const { return modified_; }
  TIndexContents Contents() const { return contents_; }
  bool CountsPairs() const { return countPairs_; }
  bool PairTableCurrent() const { return pairsCurrent_; }

  // Tokens. Lists returned hold pointers that live as long as the index.
  uint32_t TokenCount() const { return tokens_.size(); }
  // Throws "TextIndex: Token index out of bounds." for an unknown id.
  const TIndexToken& GetToken(uint32_t id) const;
  const TIndexToken* FindToken(std::string_view text, uint8_t kind) const;
  // Over the tokens of a kind in kinds that occur at all.
  TIndexStats GetStats(TKindSet kinds) const;
  // The tokens of a kind in kinds whose text matches the pattern, in id order.
  std::vector<const TIndexToken*> MatchTokens(const TTokenPattern& pattern, TKindSet kinds) const;
  int64_t PatternFreq(const TTokenPattern& pattern, TKindSet kinds) const;
  // The positions of every occurrence of the matched tokens, ascending. These and the other
  // occurrence queries throw "TextIndex: The index holds no occurrence lists." for kSequence.
  TDWordsList PatternPositions(const TTokenPattern& pattern, TKindSet kinds);
  // The positions of every occurrence of token id, ascending (empty for an unknown id).
  TDWordsList TokenPositions(uint32_t id);
  // The same over several wildcard patterns; a token matched by two patterns counts twice.
  TDWordsList PatternListPositions(const std::vector<std::string>& patterns, TKindSet kinds,
                                   TCorpusEncoding encoding = TCorpusEncoding::kCodePage);
  // The wildcard match of the whole text: '*' any run, '%' at most one character, '?' exactly
  // one; every other character matches itself. A character is a byte in a code page, a code
  // point in UTF-8.
  static bool MatchWildcard(std::string_view text, std::string_view pattern,
                            TCorpusEncoding encoding = TCorpusEncoding::kCodePage);
  // How often word wordId carried tag tagId (0 when never); the word's frequency when tagId is
  // negative or the pair table is not current.
  uint32_t PairFreq(int32_t wordId, int32_t tagId) const;

  // Positions. Each requires 0 <= position < SequenceCount().
  uint32_t TokenAt(int32_t position);
  int32_t FileOf(int32_t position) const { return seq_.FileOf(position); }
  // The byte offset of the token at position in its file.
  int64_t FileOffsetAt(int32_t position) {
    return static_cast<int64_t>(seq_.SourceOffsetAt(position)) - TWordSplitter::kSourceOffsetBias;
  }
  int32_t FileCount() const { return seq_.FileCount(); }
  std::pair<int32_t, int32_t> GetFileRange(int32_t fileNumber) const {
    return seq_.GetFileRange(fileNumber);
  }
  int32_t SequenceCount() const { return seq_.Count(); }
  // The nearest position before (after) position in the same file whose token's kind is in
  // kinds, or -1.
  int32_t PrevPosition(int32_t position, TKindSet kinds);
  int32_t NextPosition(int32_t position, TKindSet kinds);

  const std::string& PageFileName() const { return page_.FileName(); }
  const std::string& SeqFileName() const { return seq_.FileName(); }
  // The lengths of the two files, in bytes (temporary files have no name to ask).
  uint64_t SeqFileSize() const { return seq_.FileSize(); }
  uint64_t PageFileSize() const { return page_.FileSize(); }
  // The names of the two files after they were renamed, for messages.
  void SetFileNames(const std::string& seqFileName, const std::string& pageFileName) {
    seq_.SetFileName(seqFileName);
    page_.SetFileName(pageFileName);
  }
  // Commits, then writes a copy of each file to the names given (replaced, forced to disk), as
  // the files are or are not named. Throws EFileError, and as the occurrence queries for
  // kSequence (the copy would be a stored index that lies).
  void CopyFilesTo(const std::string& seqFileName, const std::string& pageFileName);

 private:
  class TTextStore {
   public:
    const char* Add(std::string_view text);

   private:
    static constexpr size_t kBlockSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t used_ = kBlockSize;  // in the last block
  };

  // The tokens' position buffers, cut from large blocks: taken one by one during a build and
  // all given back at once when Commit has written them.
  class TBufferPool {
   public:
    uint32_t* Take();
    void ReleaseAll() { used_ = 0; }

   private:
    static constexpr size_t kBlockBuffers = kHugePageSize / (kLargeBuffer * sizeof(uint32_t));
    std::vector<THugeMemory> blocks_;  // of kBlockBuffers buffers each
    size_t used_ = 0;                  // buffers handed out, counted over all blocks
  };

  // Token table and occurrence lists (TextIndex.cpp).
  // The id of the token of this text and kind, or TTokenTable::kNone.
  uint32_t Lookup(std::string_view text, uint8_t kind, uint32_t hash) const;
  uint32_t Add(std::string_view text, uint8_t kind, int64_t sourceOffset, uint32_t fileNumber,
               uint32_t hash);
  TIndexToken& NewToken(std::string_view text, uint8_t kind, uint32_t hash);
  void BeginModification();
  void AddOccurrence(TIndexToken& token, uint32_t position);
  void ContinueChain(TIndexToken& token);
  void WriteBuffer(TIndexToken& token);
  void WriteTokenTable();
  void ReadTokenTable(const TProgressCallback& progress);
  void ReadTokenRecord(TByteStream& stream, uint32_t id);
  void AppendOccurrences(const TIndexToken& token, TDWordsList& list);
  // Every occurrence of the tokens, ascending.
  TDWordsList Positions(const std::vector<const TIndexToken*>& matched);
  uint8_t KindAt(int32_t position);
  [[noreturn]] static void Damaged();
  void RequireOccurrences() const;

  // Pair table (TextIndexPairs.cpp).
  void PairingStep(uint32_t fileNumber, const TIndexToken& token);
  void CountPair(uint32_t wordId, uint32_t tagId);
  void ResetPairing();
  void PrefetchPair(const TTokenRef& previous, const TTokenRef& token, uint32_t previousHash,
                    uint32_t id) const;
  void WritePairTable();
  void ReadPairTable();

  TPageIndex page_;
  TSeqIndex seq_;
  TTokenTable table_;  // text and kind to id
  TTokenList tokens_;
  TTextStore texts_;  // the texts too long to live in their entries
  TBufferPool buffers_;
  std::vector<uint32_t> batchHashes_;  // AddTokens' hashes, kept to save allocations
  bool countPairs_;
  bool tagBefore_;
  TIndexContents contents_;
  bool pairsCurrent_ = false;
  // The pair counts: one flat open-addressing table of (key, count), a power of two at most half
  // full; the file's slot lists are made from it when it is written.
  struct TPairCount {
    int64_t key = -1;  // -1: an empty entry (keys are never negative)
    uint32_t count = 0;
  };
  TPairCount* FindPair(int64_t key);
  const TPairCount* FindPair(int64_t key) const;
  static constexpr size_t kFirstPairs = 1024;
  THugeVector<TPairCount> pairs_;
  size_t pairCount_ = 0;   // entries in use
  int64_t pairFile_ = -1;  // pairing state: the current file
  int64_t pendingWord_ = -1;
  int64_t pendingTag_ = -1;
  bool modified_ = false;
};

}  // namespace quenterra
