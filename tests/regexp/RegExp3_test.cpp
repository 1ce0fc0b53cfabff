// TRegExp as its users see it, in US English tables with the default delimiters. The span
// tables give, for each pattern and text, the first match of a search from the start (or none).
// The dialect takes the first complete match in the order alternatives and repetitions are
// tried, not the longest one; the cases marked "POSIX:" show where leftmost-longest matching
// would give another span.
#include "regexp/RegExp3.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "settings/Settings.h"
#include "support/ErrorOf.h"

namespace quenterra {
namespace {

using test::ErrorOf;

TReTables Tables(const ZuzadovUdirev& config) {
  return TLangTables(TGlobalSettings::kEnglishUS, TCorpusEncoding::kCodePage, config)
      .RegExpTables();
}

TReTables CaseTables(bool ignoreCase) {
  ZuzadovUdirev config;
  config.ignoreCase = ignoreCase;
  return Tables(config);
}

// The two letter-case modes.
const TReTables& Exact() {
  static const TReTables tables = CaseTables(false);
  return tables;
}
const TReTables& Folded() {
  static const TReTables tables = CaseTables(true);
  return tables;
}

TReTables Utf8Tables(bool ignoreCase) {
  ZuzadovUdirev config;
  config.ignoreCase = ignoreCase;
  return TLangTables(TGlobalSettings::kEnglishUS, TCorpusEncoding::kUtf8, config).RegExpTables();
}
const TReTables& Utf8Folded() {
  static const TReTables tables = Utf8Tables(true);
  return tables;
}
const TReTables& Utf8Exact() {
  static const TReTables tables = Utf8Tables(false);
  return tables;
}

struct TSpanCase {
  const char* pattern;
  std::string text;
  int start;  // kNone: no match
  int end = 0;
};

constexpr int kNone = -1;

std::string Span(const std::optional<TRegExp::TMatch>& match) {
  if (!match) return "none";
  return std::to_string(match->start) + ".." + std::to_string(match->end);
}

void Check(const std::vector<TSpanCase>& cases, const TReTables& tables = Exact()) {
  for (const TSpanCase& c : cases) {
    SCOPED_TRACE(std::string("pattern '") + c.pattern + "' text '" + c.text + "'");
    std::optional<TRegExp::TMatch> match = TRegExp(c.pattern, tables).Search(c.text);
    EXPECT_EQ(Span(match), c.start == kNone ? "none" : Span(TRegExp::TMatch{c.start, c.end}));
  }
}

// The tables are laid out by hand, several cases a line.
// clang-format off
TEST(RegExpSpans, OrdinaryCharactersDotAndEscapedOperators) {
  Check({
    {"abc", "xabcx", 1, 4}, {"abc", "abd", kNone},  {"abc", "ababc", 2, 5}, {"abc", "ABC", kNone},
    {"a.c", "abc", 0, 3},   {"a.c", "ac", kNone},   {"...", "ab", kNone},   {".", "\n", 0, 1},
    {"a\\.c", "abc", kNone},                        {"a\\.c", "xa.c", 1, 4},
    {"\xE9t\xE9", "\xE9t\xE9", 0, 3},               {"colou?r", "colouur", kNone},
    // A backslash makes an operator ordinary, and any other character stays itself.
    {"a\\*", "aa*", 1, 3},          {"\\(a\\)", "(a)", 0, 3},       {"a\\|b", "a|b", 0, 3},
    {"a\\{2\\}", "a{2}", 0, 4},     {"\\[a]", "[a]", 0, 3},         {"a\\+", "a+", 0, 2},
    {"a\\?", "a?", 0, 2},           {"\\^a", "^a", 0, 2},           {"a\\$", "a$", 0, 2},
    {"\\\\", "a\\b", 1, 2},         {"\\n", "n", 0, 1},             {"\\n", "\n", kNone},
  });
}

TEST(RegExpSpans, Anchors) {
  Check({
    {"^a", "ba", kNone},    {"^a", "ab", 0, 1},     {"a$", "ab", kNone},    {"a$", "ba", 1, 2},
    {"^abc$", "abc", 0, 3}, {"^abc$", "abcd", kNone},                       {"^$", "", kNone},
    {"a^b", "ab", kNone},   {"a$b", "ab", kNone},   {"^a", "b\na", 2, 3},   {"a$", "a\nb", 0, 1},
    {"\\`a", "b\na", kNone},                        {"\\`a", "ab", 0, 1},   {"a\\'", "a\nb", kNone},
    {"b\\'", "a\nb", 2, 3}, {"a\\'", "aa", 1, 2},   {"(^a|b)", "ba", 0, 1}, {"(^|x)a", "xa", 0, 2},
    {"(^|x)a", "ya", kNone},                        {"a($|b)", "ab", 0, 2}, {"a($|b)", "ac", kNone},
    {"^*a", "ba", kNone},  // nothing before '*' to repeat: '^a'
    {"x^*y", "xy", 1, 2},  // the repetition takes in the anchor: (x^)*y
    {"x^*y", "y", 0, 1},
  });
}

TEST(RegExpSpans, BracketExpressions) {
  Check({
    {"[abc]", "xxb", 2, 3}, {"[^abc]", "abcd", 3, 4},
    {"[a-c]+", "xabcd", 1, 4},                      {"[]a]", "]", 0, 1},    {"[]a]+", "a]b", 0, 2},
    {"[^]a]", "]ab", 2, 3}, {"[a-]", "-", 0, 1},    {"[-a]", "x-", 1, 2},   {"[^-a]", "-ab", 2, 3},
    {"[a\\]+", "\\a]", 0, 2},                       {"[.*+]+", "a.*+b", 1, 4},
    {"[(|)]", "a|", 1, 2},  {"[a-c-e]", "d", 0, 1}, {"[%--]", ",", 0, 1},   {"[]-a]", "_", 0, 1},
    {"[^a]", "\n", 0, 1},   {"[[:foo]", "o", 0, 1}, {"[[:foo]", ":", 0, 1}, {"[[:foo]", "[", 0, 1},
    {"[[:alpha:]-]", "-", 0, 1},                    {"[[]", "[", 0, 1},     {"[a-a]", "a", 0, 1},
    {"[\xC0-\xFF]+", "a\xE9\xFF", 1, 3},            {"[^\x01-\xFF]", "abc", kNone},
  });
}

TEST(RegExpSpans, NamedClassesReadTheCharacterTypeTable) {
  Check({
    {"[[:digit:]]+", "ab123c", 2, 5},                               {"[[:alpha:]]+", "12ab3", 2, 4},
    {"[[:upper:]]", "abC", 2, 3},   {"[[:lower:]]", "ABc", 2, 3},   {"[[:space:]]", "a b", 1, 2},
    {"[[:space:]]", "a\nb", 1, 2},  {"[[:blank:]]", "a\tb", 1, 2},  {"[[:blank:]]", "a\nb", kNone},
    {"[[:xdigit:]]+", "xyzBEEFg", 3, 7},                            {"[[:punct:]]", "ab.c", 2, 3},
    {"[[:alnum:]]+", ".a1.", 1, 3}, {"[[:cntrl:]]", "a\x01", 1, 2},
    {"[[:print:]]+", "\001ab", 1, 3},                               {"[[:graph:]]+", " ab c", 1, 3},
    {"[[:print:]]+", "a b", 0, 3},  {"[[:alpha:][:digit:]]+", ".a1.", 1, 3},
    {"[^[:alpha:]]+", "ab12c", 2, 4},                               {"[[:digit:]a]+", "x1a2", 1, 4},
    // Punctuation that is no delimiter counts as a letter: the apostrophe and the hyphen.
    {"[[:punct:]]", "a'b-c.", 5, 6},                                {"[[:alpha:]]+", "don't", 0, 5},
    {"[[:alpha:]]+", "well-known", 0, 10},
  });
}

TEST(RegExpSpans, Repetition) {
  Check({
    {"a*", "aaa", 0, 3},            {"a*", "baa", kNone},  // the empty match at 0 ends it
    {"x*", "abc", kNone},           {"ba*", "baaa", 0, 4},          {"a+", "baa", 1, 3},
    {"a+", "b", kNone},             {"a?b", "ab", 0, 2},            {"a?b", "b", 0, 1},
    {"a?b", "aab", 1, 3},           {"ba+?", "b", 0, 1},  // a run of operators: a+? is a*
    {"ba+?", "baa", 0, 3},          {"ba**", "baa", 0, 3},          {"ba?+", "baa", 0, 3},
    {"ba??", "baa", 0, 2},          {"ba++", "b", kNone},           {"ba++", "baa", 0, 3},
    {"a*ab", "aaab", 0, 4},         {"a*a*a", "aaa", 0, 3},         {".*b", "abab", 0, 4},
    {".*", "abc", 0, 3},            {"a.*c", "abcbc", 0, 5},        {"(ab)*c", "ababc", 0, 5},
    {"(ab)+c", "c", kNone},         {"(ab)+c", "abc", 0, 3},        {"(ab)?c", "abc", 0, 3},
    {"(a|b)*c", "abbac", 0, 5},     {"(a*)*b", "aab", 0, 3},        {"(a*)+b", "b", 0, 1},
    {"(a*|b)*c", "abc", 0, 3},      {"(|a)*b", "aab", 0, 3},        {"(a|)+b", "aab", 0, 3},
    {"(a*)*", "b", kNone},          {"(a?)*a", "aa", 0, 2},         {"(ab|a)*b", "abab", 0, 4},
    {"*a", "a", 0, 1},              {"a|*b", "b", 0, 1},            {"(*a)", "a", 0, 1},
    {"(\\b)*a", "a", 0, 1},         {"[ab]*b", "aab", 0, 3},        {"\\w*x", "abx", 0, 3},
    {"x\\b*", "x", 0, 1},  {"x\\b*", "xx", kNone},  // the boundary is part of what repeats
  });
}

TEST(RegExpSpans, Intervals) {
  Check({
    {"a{2}", "aaa", 0, 2},          {"a{2}", "a", kNone},           {"a{2,}", "aaaa", 0, 4},
    {"a{2,3}", "aaaa", 0, 3},       {"a{0,1}b", "ab", 0, 2},        {"a{0}b", "ab", 1, 2},
    {"x{0,0}y", "xy", 1, 2},        {"(ab){2}", "ababab", 0, 4},    {"(ab){1,2}c", "ababc", 0, 5},
    {"(ab){2,}", "abababx", 0, 6},  {"a{1}{2}", "aaa", 0, 2},       {"a*{2}", "aaa", 0, 3},
    {"ba{2}*", "baaaaa", 0, 5},     {"{2}a", "a", 0, 1},            {"(a|b){3}", "abab", 0, 3},
    {"(a|bc){2}d", "abcd", 0, 4},   {"(a*){2}b", "aab", 0, 3},      {"[0-9]{4}", "ab12345", 2, 6},
    {"(a{2}){2}", "aaaaa", 0, 4},   {"a{1,2}a", "aa", 0, 2},        {"a{,2}", "a{,2}", 0, 5},
    {"a{", "a{", 0, 2},             {"a{2", "aa{2", 1, 4},          {"a{2,", "a{2,", 0, 4},
    {"a{2,1}", "a{2,1}", 0, 6},     {"a{x}", "a{x}", 0, 4},         {"a{}", "a{}", 0, 3},
    {"a{ 2}", "a{ 2}", 0, 5},       {"a{32768}", "a{32768}", 0, 8},
    {"a{1,32768}", "a{1,32768}", 0, 10},                            {"a{32767}", "aa", kNone},
    {"{", "{", 0, 1},               {"a}", "a}", 0, 2},             {"a{2}}", "aa}", 0, 3},
  });
}

TEST(RegExpSpans, AlternativesAreTriedInOrder) {
  Check({
    {"a|b", "xb", 1, 2},    {"a|ab", "ab", 0, 1},  // POSIX: 0..2
    {"ab|a", "ab", 0, 2},   {"(a|ab)c", "abc", 0, 3},                       {"(ab|a)c", "ac", 0, 2},
    {"(a|ab)(c|bcd)", "abcd", 0, 4},                {"(ab|a)(c|bcd)", "abcd", 0, 3},  // POSIX: 0..4
    {"x(a|ab)", "xab", 0, 2},  // POSIX: 0..3
    {"(a|ab)*", "abab", 0, 1},  // POSIX: 0..4
    {"x*y|x*yz", "xyz", 0, 2},  // POSIX: 0..3
    {"(a|ab)(b*)", "abb", 0, 3},                    {"(a*|b)*", "ab", 0, 2},
    {"(wee|week)(knights|night)", "weeknights", 0, 10},
    {"|a", "a", kNone},  // the empty first alternative matches first
    {"a|", "a", 0, 1},      {"a|", "b", kNone},     {"a||b", "b", kNone},   {"()a", "a", 0, 1},
    {"(a|b|c)+", "xcab", 1, 4},                     {"a(b|c)d", "acd", 0, 3},
    {"a)", "a)", 0, 2},     {")", "x)", 1, 2},      {"a|b)", "b)", 0, 2},   {"a|b)", "a", 0, 1},
    {"(a|b))", "b)", 0, 2}, {"((a)|b)+", "bab", 0, 3},
  });
}

TEST(RegExpSpans, BackReferences) {
  Check({
    {"(a)\\1", "aa", 0, 2},         {"(a)\\1", "ab", kNone},        {"(a*)b\\1", "aabaa", 0, 5},
    {"(a*)b\\1", "aaba", 1, 4},     {"(.)\\1", "abccd", 2, 4},      {"([a-c])x\\1", "bxb", 0, 3},
    {"([a-c])x\\1", "bxc", kNone},  {"(a\\1)", "a1", 0, 2},  // \1 inside group 1: a digit
    {"(a)|\\1", "b", kNone},        {"(a)|b\\1", "b", kNone},       {"(a*)\\1", "aaaa", 0, 4},
    {"(a*)\\1", "aaa", 0, 2},       {"(ab|a)\\1", "abab", 0, 4},    {"(ab|a)\\1", "aba", kNone},
    {"(a)(b)(c)(d)(e)(f)(g)(h)(i)\\9", "abcdefghii", 0, 10},
    {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10", "abcdefghija0", 0, 12},  // \1 then '0'
    {"((a)b)\\2", "aba", 0, 3},     {"((a)b)\\1", "abab", 0, 4},    {"(a|b)*\\1", "abb", 0, 3},
    {"(a)*x\\1", "x", kNone},       {"(a){0}\\1", "a", kNone},      {"(.)(.)\\2\\1", "xabba", 1, 5},
  });
}

TEST(RegExpSpans, WordSpaceAndBoundaryEscapes) {
  Check({
    {"\\w+", "  abc1_ ", 2, 7},     {"\\W+", "ab, cd", 2, 4},       {"\\s+", "a \t b", 1, 4},
    {"\\S+", "  ab ", 2, 4},        {"\\d+", "ab12c", 2, 4},        {"\\D+", "12ab3", 2, 4},
    {"\\w", "...", kNone},          {"\\W", "abc", kNone},          {"\\d\\D\\d", "1a2", 0, 3},
    {"\\w+", "don't", 0, 5},        {"\\w+", "well-known", 0, 10},  {"\\w+", "a.b", 0, 1},
    {"[\\w]+", "w\\w", 0, 3},  // no escapes inside brackets
    {"\\s", "a\nb", 1, 2},          {"\\S\\s\\S", "a b", 0, 3},
    {"\\bab", "cab ab", 4, 6},      {"\\bab", "ab", 0, 2},          {"ab\\b", "abc ab", 4, 6},
    {"ab\\b", "ab.", 0, 2},         {"\\Bb", "ab b", 1, 2},         {"\\<a", "ba a", 3, 4},
    {"a\\>", "ab a", 3, 4},         {"\\<a\\>", "aa a", 3, 4},      {"a\\>", "a.", 0, 1},
    {"\\b", "ab", kNone},  // an empty match
    {"\\b.", " a", 0, 1},  // the start of the text is a boundary
    {"\\B.", "ab", 1, 2},           {".\\b", "a ", 0, 1},           {".\\B", " .", 0, 1},
    {" \\b", "  ", 1, 2},  // so is its end
    {"\\<.", " a", 1, 2},           {".\\>", "a ", 0, 1},           {"\\>", "a", kNone},
    {"\\bx\\b", "a x-b", kNone},  // the hyphen is a word character
    {"\\bx\\b", "a x.b", 2, 3},     {"\\<\\w+\\>", "..word..", 2, 6},
    {"(\\b[A-Z]\\w*\\W){2}", "Hello World!", 0, 12},
    {"(\\b[A-Z]\\w*\\W){2}", "Hello world!", kNone},
  });
}

TEST(RegExpSpans, WithIgnoreCaseTextAndPatternAreFolded) {
  Check({
    {"[A-Z]\\w*", "london", 0, 6},  {"ABC", "xabcx", 1, 4},         {"abc", "xABCx", 1, 4},
    {"[^a]", "A", kNone},           {"[^a]", "Ab", 1, 2},           {"(a)\\1", "aA", 0, 2},
    {"(ab)\\1", "abAB", 0, 4},      {"[a-c]+", "xABCd", 1, 4},      {"\\w+", "DON'T", 0, 5},
    // Classes are folded like everything else, so [[:upper:]] takes both cases.
    {"[[:upper:]]", "a", 0, 1},     {"[[:lower:]]+", "AbC", 0, 3},
    {"\xC9T\xC9", "\xE9t\xE9", 0, 3},                               {"\xE9", "\xC9", 0, 1},
    {"a\\W", "Ab", kNone},          {"A|a", "a", 0, 1},
  }, Folded());
}

// In UTF-8 a character is a code point: '.', a bracket expression and a repeated literal take a
// whole multi-byte letter; classes, \w and letter case work on code points. Offsets are bytes.
TEST(RegExpSpans, Utf8TakesWholeCharacters) {
  Check({
    {"stra.e", "Stra\u00DFe", 0, 7},                  {"^.$", "\u00E9", 0, 2},
    {"^..$", "\u00E9", kNone},                       {"\u00E9+", "x\u00E9\u00E9y", 1, 5},
    {"[\u00E0-\u00FF]+", "caf\u00E9s", 3, 5},        {"[^a-z]", "ab\u4E2Dc", 2, 5},
    {"[\u4E00-\u9FFF]+", "a\u4E2D\u6587b", 1, 7},  // a range too wide to list
    {"[[:alpha:]]+", "1\u0416\u0438\u0437\u043D\u044C2", 1, 11}, {"\\w+", "\u00AB\u03B1\u03B2\u00BB", 0, 8},
    {"[[:digit:]]", "\u0663", 0, 2},                  {"\\bb", "\u00E9b", kNone},
    {"\u00C9COLE", "\u00E9cole", 0, 6},              {"[[:upper:]]", "\u03C9", 0, 2},
    {"(\u00E9)\\1", "\u00E9\u00C9", 0, 4},         {"\u03C3", "\u03C2", 0, 2},  // final sigma
    {"[\u00C0-\u00DE]", "\u00E9", 0, 2},              {"caf.", "caf\xE9", 0, 4},  // a code page byte
  }, Utf8Folded());
  Check({{"\u00C9", "\u00E9", kNone}, {"[[:upper:]]", "\u03C9", kNone}}, Utf8Exact());
}
// clang-format on

TEST(RegExp3, SearchStartsAtTheGivenOffsetAndAZeroByteEndsTextAndPattern) {
  using namespace std::string_literals;
  auto search = [](const char* pattern, std::string_view text, int start = 0) {
    return Span(TRegExp(pattern, Exact()).Search(text, start));
  };
  EXPECT_EQ(search("abc", "abcabc", 1), "3..6");
  EXPECT_EQ(search("abc", "abcabc", 4), "none");
  EXPECT_EQ(search("abc", "abc", 7), "none");
  EXPECT_EQ(search("abc", "abc", -1), "none");
  // Anchors look at the whole text, not at the start offset.
  EXPECT_EQ(search("^b", "ab", 1), "none");
  EXPECT_EQ(search("\\`b", "ab", 1), "none");
  EXPECT_EQ(search("\\bb", "ab", 1), "none");
  EXPECT_EQ(search("\\Bb", "ab", 1), "1..2");
  // A match can end at the end of the text but must not be empty.
  EXPECT_EQ(search("b*", "ab", 2), "none");
  EXPECT_EQ(search("b*", "ab", 1), "1..2");
  EXPECT_EQ(search("c", "ab\0c"s), "none");
  EXPECT_EQ(search("b$", "ab\0c"s), "1..2");
  TRegExp cut("a\0z"s, Exact());
  EXPECT_EQ(cut.Pattern(), "a");
  EXPECT_TRUE(cut.MatchesWhole("a"));
  // In UTF-8 the start is a byte offset too; one inside a character starts at the next one.
  const TRegExp letter(".", Utf8Folded());
  EXPECT_EQ(Span(letter.Search("\u00E9\u00E9", 2)), "2..4");
  EXPECT_EQ(Span(letter.Search("\u00E9\u00E9", 1)), "2..4");
  EXPECT_EQ(Span(letter.Search("\u00E9\u00E9", 4)), "none");
}

TEST(RegExp3, WholeTokenNeedsTheFirstMatchToCoverTheText) {
  auto whole = [](const char* pattern, std::string_view text) {
    return TRegExp(pattern, Folded()).MatchesWhole(text);
  };
  EXPECT_TRUE(whole("[a-z]+ing", "walking"));
  EXPECT_FALSE(whole("ing", "walking"));   // a match inside the word
  EXPECT_FALSE(whole("walk", "walking"));  // a prefix
  EXPECT_TRUE(whole("(un|re)[a-z]*ed", "unwanted"));
  EXPECT_FALSE(whole("(un|re)[a-z]*ed", "needed"));
  EXPECT_FALSE(whole("[a-z]|[a-z]+", "abc"));  // a longer match would cover it; not tried
  EXPECT_TRUE(whole("[a-z]+|[a-z]", "abc"));
  EXPECT_FALSE(whole("a*", ""));  // an empty match never counts
  EXPECT_FALSE(whole("", ""));
  EXPECT_TRUE(whole("^abc$", "ABC"));
}

// Every message the engine raises, with patterns that raise it.
const std::pair<const char*, std::vector<const char*>> kCompileErrors[] = {
    {"Unmatched ( or \\(", {"(", "((a)", "a|(b"}},
    {"Unmatched [ or [^", {"[a", "[", "[^", "[]", "[[:alpha:]", "[[:"}},
    {"Invalid character class name", {"[[:foo:]]", "[[:ALPHA:]]"}},
    {"Trailing backslash", {"a\\", "\\"}},
    {"Invalid back reference", {"\\1", "(a)\\2"}},
    {"Invalid range end", {"[z-a]", "[a-", "[[:alpha:]-z]", "[\xFF-\x01]"}},
    {"Regular expression too big", {"(ab){1000}{1000}", "a{1000}{1000}{1000}", "(a|b){32767}"}},
};

TEST(RegExp3, CompileErrorsCarryTheEngineMessages) {
  for (const auto& [message, patterns] : kCompileErrors)
    for (const char* pattern : patterns)
      EXPECT_EQ(ErrorOf([&] { TRegExp re(pattern, Folded()); }), message) << pattern;
}

// Whatever the bytes, a pattern compiles or raises one of the engine's messages, and a search
// with it ends.
TEST(RegExp3, RandomPatternsCompileOrRaiseAKnownMessage) {
  std::set<std::string> known;
  for (const auto& entry : kCompileErrors) known.insert(entry.first);
  const std::string alphabet = "ab()[]{}|*+?^$.\\-:,0129wbB<>`'";
  std::mt19937 random(42);
  int compiled = 0;
  for (int n = 0; n < 3000; ++n) {
    std::string pattern(1 + random() % 12, ' ');
    for (char& c : pattern)
      c = random() % 8 == 0 ? static_cast<char>(random() % 256)
                            : alphabet[random() % alphabet.size()];
    try {
      TRegExp re(pattern, n % 2 ? Folded() : Exact());
      re.Search("ab(a]|ba{1,2}b:w");
      ++compiled;
    } catch (const ERegExp& e) {
      EXPECT_TRUE(known.count(e.what())) << e.what() << " for '" << pattern << "'";
    }
  }
  EXPECT_GT(compiled, 500);
}

TEST(RegExp3, APatternKeepsCopiesOfTheTablesItWasCompiledWith) {
  auto tables = std::make_unique<TReTables>(Folded());
  TRegExp folded("x", *tables);
  folded = TRegExp("ABC", *tables);
  *tables = Exact();
  TRegExp exact("ABC", *tables);
  tables.reset();
  EXPECT_TRUE(folded.MatchesWhole("abc"));
  EXPECT_FALSE(exact.MatchesWhole("abc"));
  EXPECT_TRUE(exact.MatchesWhole("ABC"));
}

// The tables come from the settings: delimiters are no word characters, and equal characters
// compare as one.
TEST(RegExp3, TablesFollowTheDelimitersAndTheEqualCharacters) {
  ZuzadovUdirev config;
  config.NonWordChars += "'-";
  TReTables tables = Tables(config);
  EXPECT_EQ(TRegExp("\\w+", tables).Search("don't")->end, 3);
  EXPECT_EQ(TRegExp("\\w+", tables).Search("well-known")->end, 4);
  EXPECT_TRUE(TRegExp("[[:punct:]]", tables).MatchesWhole("-"));
  config.NonWordChars.clear();
  tables = Tables(config);
  EXPECT_TRUE(TRegExp("\\w+", tables).MatchesWhole("a.b,c"));  // all punctuation is letters now
  EXPECT_TRUE(TRegExp("[[:alpha:]]+", tables).MatchesWhole("a.b"));

  TCharSet group;
  group.Add('a');
  group.Add(0xE4);  // a with diaeresis in code page 1252
  config = ZuzadovUdirev{};
  config.UseEqualChars = true;
  config.EqualGroups = {group};
  tables = Tables(config);
  for (const char* text : {"a", "A", "\xE4", "\xC4"}) {
    EXPECT_TRUE(TRegExp("a", tables).MatchesWhole(text)) << text;
    EXPECT_TRUE(TRegExp("\xC4", tables).MatchesWhole(text)) << text;
    EXPECT_TRUE(TRegExp("[a-c]", tables).MatchesWhole(text)) << text;
  }
  EXPECT_TRUE(TRegExp("(.)\\1", tables).MatchesWhole("a\xC4"));
}

TEST(RegExp3, LimitsEndInNoMatchNeverInACrash) {
  auto search = [](const char* pattern, const std::string& text) {
    return Span(TRegExp(pattern, Folded()).Search(text));
  };
  // Backtracking without end ends at the step budget.
  EXPECT_EQ(search("(a|aa)*b", std::string(40, 'a')), "none");
  EXPECT_EQ(search("((a*)*)*b", std::string(30, 'a')), "none");
  // Every iteration of a group loop leaves failure points; more than 2000 is no match.
  EXPECT_EQ(search("(a|b)*c", std::string(500, 'a') + "c"), "0..501");
  EXPECT_EQ(search("(a|b)*c", std::string(5000, 'a') + "c"), "none");
  // A repeated single test keeps one failure point however long its run.
  EXPECT_EQ(search("[ab]*c", std::string(100000, 'a') + "c"), "0..100001");
  // Large repetitions either compile into a bounded program or are refused.
  EXPECT_EQ(search("a{1000}{1000}", std::string(5000, 'a')), "none");
  EXPECT_TRUE(TRegExp("a{2}{30000}", Folded()).MatchesWhole(std::string(60000, 'a')));
  const std::string haystack = std::string(1 << 20, 'x') + "needle";
  EXPECT_EQ(TRegExp("ne+dle", Folded()).Search(haystack)->start, 1 << 20);
  EXPECT_EQ(search("(x|y)*z", haystack), "none");
}

}  // namespace
}  // namespace quenterra
