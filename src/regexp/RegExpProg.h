// Internals of the regular-expression engine shared by its three stages: the error codes, the
// syntax tree that the parser builds
// (RegExpParse) and the flat instruction array that the compiler emits (RegExpCompile) and the
// matcher runs (RegExpMatch). Only the engine includes this header; the rest of the system uses
// TRegExp (RegExp3.h).
//
// None of the stages recurses over the pattern's structure: the parser keeps its open groups on
// an explicit stack, the syntax tree stores every node after its children so that one forward
// pass sees children first, the compiler emits from a work list, and the matcher backtracks
// through a bounded stack of its own.
//
// The stages work on characters (TChar): the bytes of a code page, or the code points of UTF-8
// text, which TRegExp decodes before parsing and matching. Positions count characters.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/CharSet.h"
#include "regexp/RegExp3.h"

namespace quenterra {

// The engine's error codes, in the order of its message table (RegExpErrorMessage). The dialect
// never raises some of them (ill-formed intervals and unmatched ')' are ordinary text, there are
// no collating elements and no context-dependent operators); they complete the table.
enum class TReError : uint8_t {
  kNoError,
  kNoMatch,
  kBadPattern,           // "Invalid regular expression"
  kBadCollation,         // "Invalid collation character"
  kBadClassName,         // "Invalid character class name"
  kTrailingBackslash,    // "Trailing backslash"
  kBadBackReference,     // "Invalid back reference"
  kUnmatchedBracket,     // "Unmatched [ or [^"
  kUnmatchedParen,       // "Unmatched ( or \("
  kUnmatchedBrace,       // "Unmatched \{"
  kBadInterval,          // "Invalid content of \{\}"
  kBadRangeEnd,          // "Invalid range end"
  kOutOfMemory,          // "Memory exhausted"
  kBadRepetition,        // "Invalid preceding regular expression"
  kPrematureEnd,         // "Premature end of regular expression"
  kTooBig,               // "Regular expression too big"
  kUnmatchedCloseParen,  // "Unmatched ) or \)"
};

// The message of a code; for kNoError and kNoMatch "Success" and "No match".
const char* RegExpErrorMessage(TReError code);
// Throws ERegExp with the code's message.
[[noreturn]] void RaiseRegExpError(TReError code);
// Throws ERegExp "Internal regexp error." (an operation code that no stage knows).
[[noreturn]] void RaiseInternalRegExpError();

// Limits that keep a hostile pattern or text from exhausting memory or time.
inline constexpr int kReMaxInstructions = 1 << 16;      // larger programs are "too big"
inline constexpr int kReMaxFailurePoints = 2000;        // re_max_failures
inline constexpr int kReMaxBacktrackEntries = 1 << 16;  // failure points and saved slots
inline constexpr int64_t kReStepBudget = 1 << 22;       // instructions per search, plus:
inline constexpr int64_t kReStepsPerByte = 256;         // per byte of text searched
inline constexpr int kReDupMax = (1 << 15) - 1;         // largest interval bound (RE_DUP_MAX)
inline constexpr int32_t kReInfinite = -1;              // a repetition without an upper bound
inline constexpr int kReMaxBackRefGroup = 9;            // \1 .. \9
inline constexpr TChar kReMaxListedRange = 1024;        // UTF-8: wider ranges are kept as tests

// ---- Characters ----

// The characters a program compares and classifies: bytes through the tables of TReTables, or
// code points of UTF-8 text through its TReCharClasses, with the answers for the first 256 of
// them kept at hand.
struct TReChars {
  std::array<TChar, 256> translate{};  // the folding map below 256
  std::array<uint8_t, 256> charType{};
  std::array<uint8_t, 256> wordClass{};
  std::shared_ptr<const TReCharClasses> unicode;  // above 255; null for a code page

  static TReChars From(const TReTables& tables);
  bool Utf8() const { return unicode != nullptr; }
  // A code page's characters are all below 256, so only UTF-8 text reaches `unicode`.
  TChar Translate(TChar c) const { return c < 256 ? translate[c] : unicode->Translate(c); }
  uint8_t Type(TChar c) const { return c < 256 ? charType[c] : unicode->CharType(c); }
  uint8_t Word(TChar c) const { return c < 256 ? wordClass[c] : unicode->WordClass(c); }
};

// The named classes of bracket expressions, '[[:alpha:]]'.
enum class TReClass : uint8_t {
  kAlnum,
  kAlpha,
  kBlank,
  kCntrl,
  kDigit,
  kGraph,
  kLower,
  kPrint,
  kPunct,
  kSpace,
  kUpper,
  kXdigit,
  kCased,  // UTF-8 with letter case ignored: what [:upper:] and [:lower:] become
};

// Whether a character of character type `type` belongs to the class. "graph" and "print" take
// any character that the table classifies at all, except controls (and, for graph, spaces).
bool InReClass(TReClass cls, TChar c, uint8_t type);

// The characters a bracket expression or a \w-like escape accepts. In a code page `chars` alone
// says it: bytes, translated for kSet and untranslated for kRawSet, complemented already for
// '[^...]'. For UTF-8 text what cannot be listed stays a test: wide ranges and named classes,
// which take a character when it or its translation is in them, the word-table bits of an
// escape, and the complement.
struct TReSet {
  TCharSet chars;
  std::vector<std::pair<TChar, TChar>> ranges;  // UTF-8: untranslated, wider than listed ones
  uint16_t classes = 0;                         // UTF-8: a bit per TReClass
  uint8_t wordBits = 0;                         // UTF-8 kRawSet: kReWord, kReSpace or kReDigit
  bool negated = false;                         // UTF-8: everything else
  bool raw = false;                             // kRawSet: the untranslated character is tested
  std::bitset<256> low;  // Decide for each character below 256; the compiler fills it

  // Only the listed characters decide.
  bool Listed() const { return ranges.empty() && classes == 0 && wordBits == 0 && !negated; }
  // Whether the set takes text character c: `low` answers below 256, Decide above.
  bool Accepts(TChar c, const TReChars& tables) const {
    return c < 256 ? low[c] : Decide(c, tables);
  }
  // Whether the set takes text character c, from its members and tests: c translated (unless
  // raw) among the listed characters, c or its translation in a wide range or a named class,
  // c's word-table bits, all turned round when negated.
  bool Decide(TChar c, const TReChars& tables) const;
};

// The translated characters that can come first: a bit for each below 256, one flag for all
// above.
struct TReFirstChars {
  std::bitset<256> low;
  bool high = false;
  bool Contains(TChar t) const { return t < 256 ? low[t] : high; }
};

// ---- Syntax tree ----

enum class TReNodeKind : uint8_t {
  kEmpty,      // matches the empty string
  kLiteral,    // value: the translated character the translated text character must equal
  kAnyChar,    // '.': any character but zero
  kSet,        // value: index of a set of translated characters ('[...]', '[^...]')
  kRawSet,     // value: index of a set of untranslated characters (\w \W \s \S \d \D)
  kAssertion,  // value: a TReOp of the zero-width tests (kBol .. kWordEnd)
  kBackRef,    // value: group number 1..9
  kConcat,     // children matched one after the other
  kAlternate,  // children tried in order; the first that leads to a complete match wins
  kGroup,      // value: group number; one child
  kRepeat,     // min, max (kReInfinite): greedy repetition of the one child
};

struct TReNode {
  TReNodeKind kind = TReNodeKind::kEmpty;
  int32_t value = 0;
  int32_t min = 0;
  int32_t max = 0;
  int32_t firstChild = 0;  // index into TReSyntaxTree::children
  int32_t childCount = 0;
};

struct TReSyntaxTree {
  std::vector<TReNode> nodes;     // every node comes after all of its children
  std::vector<int32_t> children;  // child lists, each contiguous
  std::vector<TReSet> sets;       // for kSet and kRawSet
  int32_t root = -1;
  int32_t groupCount = 0;         // groups opened by '('
  uint32_t referencedGroups = 0;  // bit n set when \n occurs

  const int32_t* Children(const TReNode& node) const { return children.data() + node.firstChild; }
  // A readable one-line form for tests and debugging, e.g. "cat(lit(a),rep{0,inf}(lit(b)))".
  std::string Dump() const;
};

// ---- Program ----

enum class TReOp : uint8_t {
  kMatch,            // success: the match ends at the current position
  kChar,             // arg: character; the translated text character must equal it; advance one
  kAnyChar,          // any character but zero; advance one
  kSet,              // arg: set; the text character must be in it (translated); advance one
  kRawSet,           // arg: set; the untranslated text character must be in it; advance one
  kRepeat,           // greedy run of min..max characters that pass the test `test` with `arg`
                     // (kChar, kAnyChar, kSet or kRawSet), giving back one per backtrack; with
                     // a follow set, only runs whose next character is in it are tried
  kSplit,            // continue at pc+1; on failure resume at arg (alternation, loop entry)
  kLoop,             // continue at arg; on failure resume at pc+1 (loop back-edge)
  kJump,             // continue at arg
  kSave,             // arg: slot; record the current position (group start or end)
  kBackRef,          // arg: group; the translated text must repeat the group's translated text
  kMark,             // arg: slot; record the position where a loop iteration starts
  kProgress,         // arg: slot; fail unless the iteration has consumed something
  kBol,              // '^': start of text or after a newline
  kEol,              // '$': end of text or before a newline
  kTextStart,        // '\`': start of text
  kTextEnd,          // '\'': end of text
  kWordBoundary,     // '\b': start or end of text, or between a word and a non-word character
  kNotWordBoundary,  // '\B': the opposite of \b
  kWordStart,        // '\<': a word character follows and none precedes
  kWordEnd,          // '\>': a word character precedes and none follows
};

struct TReInst {
  TReOp op = TReOp::kMatch;
  TReOp test = TReOp::kMatch;  // kRepeat only: the one-character test it repeats
  int32_t arg = 0;
  int32_t min = 0;      // kRepeat only
  int32_t max = 0;      // kRepeat only; kReInfinite for no bound
  int32_t follow = -1;  // kRepeat only: index in TReProg::follows of the translated
                        // characters the rest of the pattern can begin with, when it cannot
                        // match empty; else -1
};

struct TReProg {
  std::vector<TReInst> inst;  // starts at 0; ends with kMatch
  std::vector<TReSet> sets;
  std::vector<TReFirstChars> follows;  // of kRepeat instructions
  TReChars chars;
  int32_t slotCount = 0;  // group slots (2 per referenced group), then loop marks
  TReFirstChars fastmap;  // translated characters that can begin a match
  bool canBeNull = true;  // a match may be empty: the fastmap cannot skip

  // One instruction per line, "pc: op args", for tests and debugging.
  std::string Dump() const;
};

// Names and descriptions used by the Dump functions.
const char* ReOpName(TReOp op);
// The character itself when printable ASCII, else \xNN, or \u{N} above 255.
std::string DescribeChar(TChar c);
// "[a-cx]", or "[^...]" when it holds more than half the bytes; what the set keeps as tests
// follows in braces.
std::string DescribeSet(const TReSet& set);
std::string DescribeFirstChars(const TReFirstChars& first);

// Slots of group n (1..9): its start and its end.
inline int32_t GroupStartSlot(int32_t group) { return 2 * (group - 1); }
inline int32_t GroupEndSlot(int32_t group) { return 2 * (group - 1) + 1; }

}  // namespace quenterra
