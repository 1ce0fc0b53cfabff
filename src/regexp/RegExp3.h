// The regular-expression engine that the Regular Expression search kind and the text index's
// pattern queries use. A pattern is compiled into a program with a fastmap and run by a
// backtracking matcher, after the design of GNU regex 0.12, in the one dialect the program
// selects (the GNU syntax bits RE_SYNTAX_POSIX_EXTENDED | RE_NO_POSIX_BACKTRACKING, 0x7B2DC):
//
//   x  .  [abc]  [^a-z]  [[:alpha:]]      a character, any character, bracket expressions
//   ^  $  \`  \'                          start/end of text (^ and $ also at newlines)
//   \b \B \< \>                           word boundary, not a boundary, word start, word end
//   \w \W \s \S \d \D                     word, white-space and digit characters and opposites
//   (x)  x|y  \1..\9                      groups, alternatives, back references
//   x*  x+  x?  x{m}  x{m,}  x{m,n}       greedy repetitions (bounds up to 32767)
//   \c                                    any other character c, taken literally
//
// Alternatives are tried in order and the first complete match is taken, so 'a|ab' matches
// only the 'a' of "ab" (there is no search for the longest match). Stages: RegExpParse,
// RegExpCompile, RegExpMatch; their details are in those headers.
//
// Characters: in a code page every byte is one; in UTF-8 text a character is a code point, so
// '.' and a bracket expression take a whole multi-byte letter. The language tables tie the
// engine to the corpus language; the caller passes them in (TReTables), and a compiled pattern
// keeps private copies, so later changes of the language do not reach it.
//
// Texts and patterns are zero-terminated strings: a zero byte ends them. Offsets are byte
// offsets.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CharCoding.h"
#include "platform/Errors.h"

namespace quenterra {

// The syntax bits of the program's dialect (RE_SYNTAX_POSIX_EXTENDED | RE_NO_POSIX_BACKTRACKING).
inline constexpr uint32_t kRegExpSyntax = 0x7B2DC;

// A pattern that does not compile, with the engine's message ("Unmatched ( or \(", ...), or an
// operation code the engine does not know ("Internal regexp error.").
class ERegExp : public EQuenterra {
 public:
  using EQuenterra::EQuenterra;
};

// Bits of the regular-expression word table.
inline constexpr uint8_t kReWord = 1;   // \w and the word tests
inline constexpr uint8_t kReSpace = 2;  // \s
inline constexpr uint8_t kReDigit = 4;  // \d

// How the characters of UTF-8 text compare and classify, for every code point; the language
// tables implement it. Shared, immutable: a compiled pattern may hold it on any thread.
class TReCharClasses {
 public:
  virtual ~TReCharClasses() = default;
  virtual const TCharCoding& Coding() const = 0;  // how text and pattern decode
  virtual TChar Translate(TChar c) const = 0;     // the folding map
  virtual uint8_t CharType(TChar c) const = 0;    // character-type flags: the named classes
  virtual uint8_t WordClass(TChar c) const = 0;   // kReWord | kReSpace | kReDigit
  virtual bool IgnoresCase() const = 0;           // Translate folds letter case
};

// The language tables a pattern is compiled against. For text in a code page the four tables,
// one entry per byte, are all; for UTF-8 text `unicode` answers instead.
struct TReTables {
  std::array<uint8_t, 256> translate;  // folding map: the byte each byte of pattern and text
                                       // compares as
  std::array<uint8_t, 256> charType;   // character-type flags (platform/CharType.h): the named
                                       // classes
  std::array<uint8_t, 256> wordClass;  // kReWord | kReSpace | kReDigit: \w \s \d and the word
                                       // tests, which look at the unfolded bytes
  std::array<uint8_t, 256> otherCase;  // the other-case form of a letter when letter case is
                                       // ignored, else 0; widens the fastmap
  std::shared_ptr<const TReCharClasses> unicode;  // UTF-8 text; null for a code page
};

struct TReProg;

class TRegExp {
 public:
  struct TMatch {
    int start;  // byte offset of the first character of the match
    int end;    // byte offset just past its last character
  };

  // Compiles pattern against the tables. After compiling, the fastmap (the characters a match
  // can begin with) is widened to the other-case form (tables.otherCase) of each of them. Throws
  // ERegExp with the engine's message when the pattern does not compile, "Regular expression too
  // big" included for patterns whose program would be too large (e.g. 'a{1000}{1000}{1000}').
  TRegExp(std::string_view pattern, const TReTables& tables);
  ~TRegExp();
  TRegExp(const TRegExp&) = delete;
  TRegExp& operator=(const TRegExp&) = delete;
  TRegExp(TRegExp&&) noexcept;
  TRegExp& operator=(TRegExp&&) noexcept;

  // re_search over the whole of text from byte offset `start` (a character's first byte) to its
  // end: the first match found, which begins at the smallest position where one begins. A match of
  // length zero is no match (the search does not go on past it), and so is a search that reaches
  // one of the matcher's limits (2000 failure points, a budget of steps). May run on several
  // threads at once.
  std::optional<TMatch> Search(std::string_view text, int start = 0) const;

  // The whole-token test of Regular Expression terms and of the text index's pattern queries:
  // true when the first match that a search from the start of text finds is not empty, begins at
  // the first character and ends at the end of text. A shorter first match at the start does not
  // count, even when a longer one would cover the whole text ('a|ab' does not match "ab").
  bool MatchesWhole(std::string_view text) const;

  const std::string& Pattern() const { return pattern_; }

 private:
  std::string pattern_;
  std::unique_ptr<TReProg> prog_;
};

}  // namespace quenterra
