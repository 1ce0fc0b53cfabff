// The engine's stages on their own, against fixed ASCII tables: nesting deeper than any stack,
// the compiler's limits and first-byte map, and the compiler with the matcher checked against a
// plain recursive model of the semantics on every short text. The dialect's quirks are in the
// span tables of RegExp3_test.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "platform/CharType.h"
#include "regexp/RegExp3.h"
#include "regexp/RegExpCompile.h"
#include "regexp/RegExpMatch.h"
#include "regexp/RegExpParse.h"
#include "support/ErrorOf.h"

namespace quenterra {
namespace {

TReTables AsciiTables(bool fold) {
  TReTables tables{};
  for (int b = 0; b < 256; ++b) {
    auto c = static_cast<uint8_t>(b);
    auto bit = [&](bool test, uint8_t flag) {
      return static_cast<uint8_t>(b < 128 && test ? flag : 0);
    };
    tables.translate[c] = bit(fold && std::isupper(b), 1) ? static_cast<uint8_t>(b + 32) : c;
    tables.charType[c] = bit(std::isupper(b), kCtUpper) | bit(std::islower(b), kCtLower) |
                         bit(std::isdigit(b), kCtDigit) | bit(std::isxdigit(b), kCtHexDigit) |
                         bit(std::isspace(b), kCtSpace) | bit(std::ispunct(b), kCtPunct) |
                         bit(std::iscntrl(b), kCtControl);
    tables.wordClass[c] = bit(std::isalnum(b) || b == '_', kReWord) |
                          bit(std::isspace(b), kReSpace) | bit(std::isdigit(b), kReDigit);
  }
  return tables;
}

TEST(RegExpParse, DeepNestingNeedsNoRecursion) {
  const int depth = 50000;
  std::string pattern = std::string(depth, '(') + "a" + std::string(depth, ')');
  TReSyntaxTree tree = ParseRegExp(pattern, AsciiTables(false));
  EXPECT_EQ(tree.groupCount, depth);
  std::string dump = tree.Dump();
  EXPECT_EQ(dump.substr(0, 12), "grp1(grp2(gr");
  EXPECT_EQ(dump.substr(dump.size() - depth - 6), "lit(a)" + std::string(depth, ')'));
  TReProg prog = CompileRegExp(tree, AsciiTables(false));
  EXPECT_EQ(MatchRegExpAt(prog, U"a", 0), 1);
}

std::string Code(const char* pattern) {
  TReTables tables = AsciiTables(false);
  return CompileRegExp(ParseRegExp(pattern, tables), tables).Dump();
}

TEST(RegExpCompile, SizeIsBoundedBeforeAnythingIsEmitted) {
  EXPECT_EQ(test::ErrorOf([] { Code("((ab){32767}){32767}"); }), "Regular expression too big");
  EXPECT_EQ(test::ErrorOf([] { Code("(a|b){30000}"); }), "Regular expression too big");
  EXPECT_NO_THROW(Code("(ab){1000}"));
  // Little code, but every copy of the body would walk twenty thousand nested groups.
  const std::string nested = std::string(20000, '(') + "ab" + std::string(20000, ')') + "{3000}";
  EXPECT_EQ(test::ErrorOf([&] { Code(nested.c_str()); }), "Regular expression too big");
}

TEST(RegExpCompile, FastmapHoldsTheBytesAMatchCanBeginWith) {
  TReTables tables = AsciiTables(true);
  auto first = [&](const char* pattern) {
    TReProg prog = CompileRegExp(ParseRegExp(pattern, tables), tables);
    std::string bytes;
    for (int b = 0; b < 256; ++b)
      if (prog.fastmap.low[static_cast<size_t>(b)]) bytes += static_cast<char>(b);
    return prog.canBeNull ? "null" : bytes;
  };
  EXPECT_EQ(first("abc|Bd"), "ab");
  EXPECT_EQ(first("x*[yz]"), "xyz");
  EXPECT_EQ(first("\\bQ"), "q");
  EXPECT_EQ(first("(a|)b"), "ab");
  EXPECT_EQ(first("a*"), "null");
  EXPECT_EQ(first("\\<|a"), "null");
  EXPECT_EQ(first("(x)?\\1y").size(), 256u);  // a back reference may begin with anything
}

// ---- The reference model: the semantics written as plain recursive backtracking over the
// syntax tree, with continuations. Slow and recursive, fine for short patterns and texts.

class TModel {
 public:
  TModel(const TReSyntaxTree& tree, const TReChars& chars, const std::u32string& text)
      : tree_(tree), chars_(chars), text_(text), groups_(10, {-1, -1}) {}

  // The end of the first match that begins at start, or -1.
  int MatchAt(int start) {
    groups_.assign(10, {-1, -1});
    steps_ = 0;
    int end = -1;
    Match(tree_.root, start, [&](int p) {
      end = p;
      return true;
    });
    return end;
  }
  static constexpr int64_t kMaxSteps = 5000000;
  int64_t Steps() const { return steps_; }  // nodes visited by the last MatchAt

 private:
  using TCont = std::function<bool(int)>;
  const TReNode& Node(int i) const { return tree_.nodes[static_cast<size_t>(i)]; }
  TChar T(int pos) const { return chars_.Translate(text_[pos]); }
  bool Word(int pos) const { return pos < Length() && (chars_.Word(text_[pos]) & kReWord); }
  bool InSet(const TReNode& node, int pos) const {
    return pos < Length() && tree_.sets[static_cast<size_t>(node.value)].Decide(text_[pos], chars_);
  }
  int Length() const { return static_cast<int>(text_.size()); }

  bool Match(int index, int pos, const TCont& k) {
    if (++steps_ > kMaxSteps) return false;  // Steps() tells the caller the answer is void
    const TReNode& node = Node(index);
    const int32_t* kids = tree_.Children(node);
    switch (node.kind) {
      case TReNodeKind::kEmpty:
        return k(pos);
      case TReNodeKind::kLiteral:
        return pos < Length() && T(pos) == static_cast<TChar>(node.value) && k(pos + 1);
      case TReNodeKind::kAnyChar:
        return pos < Length() && text_[pos] != 0 && k(pos + 1);
      case TReNodeKind::kSet:
        return InSet(node, pos) && k(pos + 1);
      case TReNodeKind::kRawSet:
        return InSet(node, pos) && k(pos + 1);
      case TReNodeKind::kAssertion:
        return Assert(static_cast<TReOp>(node.value), pos) && k(pos);
      case TReNodeKind::kBackRef:
        return BackRef(node.value, pos, k);
      case TReNodeKind::kConcat:
        return Sequence(kids, node.childCount, pos, k);
      case TReNodeKind::kAlternate:
        for (int i = 0; i < node.childCount; ++i)
          if (Match(kids[i], pos, k)) return true;
        return false;
      case TReNodeKind::kGroup:
        return Group(node, pos, k);
      case TReNodeKind::kRepeat:
        return Repeat(node, 0, pos, k);
    }
    return false;
  }

  bool Sequence(const int32_t* kids, int count, int pos, const TCont& k) {
    if (count == 0) return k(pos);
    return Match(kids[0], pos, [&](int p) { return Sequence(kids + 1, count - 1, p, k); });
  }

  bool Group(const TReNode& node, int pos, const TCont& k) {
    return Match(tree_.Children(node)[0], pos, [&](int p) {
      if (node.value > 9) return k(p);
      auto saved = groups_[node.value];
      groups_[node.value] = {pos, p};
      if (k(p)) return true;
      groups_[node.value] = saved;
      return false;
    });
  }

  // Greedy: one more iteration first, then stop. Iterations of an unbounded repetition beyond
  // its minimum must consume something.
  bool Repeat(const TReNode& node, int done, int pos, const TCont& k) {
    int body = tree_.Children(node)[0];
    if (done < node.min)
      return Match(body, pos, [&](int p) { return Repeat(node, done + 1, p, k); });
    if (node.max != kReInfinite && done >= node.max) return k(pos);
    bool more = Match(body, pos, [&](int p) {
      if (node.max == kReInfinite && p == pos) return false;
      return Repeat(node, done + 1, p, k);
    });
    return more || k(pos);
  }

  bool BackRef(int group, int pos, const TCont& k) {
    auto [from, to] = groups_[group];
    if (from < 0 || to - from > Length() - pos) return false;
    for (int i = 0; i < to - from; ++i)
      if (T(from + i) != T(pos + i)) return false;
    return k(pos + to - from);
  }

  bool Assert(TReOp op, int pos) const {
    bool boundary = pos == 0 || pos == Length() || Word(pos - 1) != Word(pos);
    switch (op) {
      case TReOp::kBol:
        return pos == 0 || text_[pos - 1] == '\n';
      case TReOp::kEol:
        return pos == Length() || text_[pos] == '\n';
      case TReOp::kTextStart:
        return pos == 0;
      case TReOp::kTextEnd:
        return pos == Length();
      case TReOp::kWordBoundary:
        return boundary;
      case TReOp::kNotWordBoundary:
        return !boundary;
      case TReOp::kWordStart:
        return Word(pos) && (pos == 0 || !Word(pos - 1));
      case TReOp::kWordEnd:
        return pos > 0 && Word(pos - 1) && !Word(pos);
      default:
        return false;
    }
  }

  const TReSyntaxTree& tree_;
  const TReChars& chars_;
  const std::u32string& text_;
  std::vector<std::pair<int, int>> groups_;
  int64_t steps_ = 0;
};

// Random patterns over a small alphabet, built from the dialect's operators.
class TPatternMaker {
 public:
  TPatternMaker(uint32_t seed, std::vector<std::string> atoms)
      : random_(seed), atoms_(std::move(atoms)) {}

  std::string Make(int depth) {
    std::string out;
    int items = Pick(3) + 1;
    for (int i = 0; i < items; ++i) out += Item(depth);
    if (depth > 0 && Pick(4) == 0) out += "|" + Make(depth - 1);
    return out;
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }

  std::string Item(int depth) {
    static const char* const kRepeats[] = {"*", "+", "?", "{2}", "{0,2}", "{1,}", "{0}", "+?"};
    std::string item =
        depth > 0 && Pick(3) == 0 ? "(" + Make(depth - 1) + ")" : atoms_[Pick(atoms_.size())];
    if (Pick(3) == 0) item += kRepeats[Pick(std::size(kRepeats))];
    return item;
  }

  std::mt19937 random_;
  std::vector<std::string> atoms_;
};

const std::vector<std::string> kAsciiAtoms = {"a", "b", "A",   ".",   "[ab]", "[^a]", "\\w", "\\W",
                                              "^", "$", "\\b", "\\B", "\\<",  "\\>",  "\\1", "\\2"};

std::vector<std::u32string> AllTexts(const std::u32string& alphabet, int maxLength) {
  std::vector<std::u32string> texts{U""};
  for (size_t i = 0; i < texts.size(); ++i) {
    if (static_cast<int>(texts[i].size()) == maxLength) continue;
    for (char32_t c : alphabet) texts.push_back(texts[i] + c);
  }
  return texts;
}

// Compiles random patterns from the atoms and runs each on every text over the alphabet up to
// three characters (and some longer ones), the matcher against the model. Returns how many
// pattern and text pairs were compared.
int CompareWithModel(const TReTables& tables, const std::u32string& alphabet,
                     const std::vector<std::string>& atoms) {
  const TReChars chars = TReChars::From(tables);
  const TCharCoding coding = tables.unicode ? tables.unicode->Coding() : TCharCoding();
  std::vector<std::u32string> texts = AllTexts(alphabet, 3);
  std::mt19937 random(7);
  for (int n = 0; n < 40; ++n) {
    std::u32string text(4 + random() % 5, ' ');
    for (char32_t& c : text) c = alphabet[random() % alphabet.size()];
    texts.push_back(text);
  }
  TPatternMaker maker(20240611, atoms);
  int compared = 0;
  for (int n = 0; n < 1000; ++n) {
    std::string pattern = maker.Make(2);
    TReSyntaxTree tree;
    try {
      tree = ParseRegExp(pattern, tables);
    } catch (const ERegExp&) {
      continue;  // back references to groups that do not exist
    }
    TReProg prog = CompileRegExp(tree, tables);
    const TRegExp re(pattern, tables);
    for (const std::u32string& text : texts) {
      std::string encoded;
      for (char32_t c : text) coding.Append(encoded, c);
      TModel model(tree, chars, text);
      int givenUp = 0;
      int64_t modelSteps = 0;
      int expectedStart = -1;
      int expectedEnd = -1;
      for (int start = 0; start <= static_cast<int>(text.size()); ++start) {
        int end = model.MatchAt(start);
        modelSteps += model.Steps();
        int32_t actual = MatchRegExpAt(prog, text, start);
        if (model.Steps() > TModel::kMaxSteps || (actual == kReFailure && model.Steps() > 100000)) {
          ++givenUp;  // the step budget ends searches that explode
          continue;
        }
        EXPECT_EQ(actual, end) << "pattern '" << pattern << "' text '" << encoded << "' start "
                               << start;
        if (actual != end) return compared;
        if (end >= 0 && expectedStart < 0) {
          expectedStart = start;
          expectedEnd = end;
        }
      }
      int end = -1;
      int32_t found = SearchRegExp(prog, text, 0, end);
      if (givenUp > 0 || (found == kReFailure && modelSteps > 100000)) continue;
      EXPECT_EQ(found, expectedStart) << "pattern '" << pattern << "' text '" << encoded << "'";
      if (expectedStart >= 0) {
        EXPECT_EQ(end, expectedEnd) << pattern << " / " << encoded;
      }
      // The whole-token test takes a shortcut (one attempt at the first character); it must
      // agree with the first match of a search, which counts only when it is not empty.
      const bool whole = expectedStart == 0 && expectedEnd == static_cast<int>(text.size());
      EXPECT_EQ(re.MatchesWhole(encoded), whole && !text.empty()) << pattern << " / " << encoded;
      if (found != expectedStart || re.MatchesWhole(encoded) != (whole && !text.empty()))
        return compared;
      ++compared;
    }
  }
  return compared;
}

TEST(RegExpModel, MatcherAgreesWithTheModelOnEveryShortText) {
  EXPECT_GT(CompareWithModel(AsciiTables(true), U"abA-", kAsciiAtoms), 80000);
}

// The same in UTF-8, where characters are code points: 'é' and 'É' below 256, 'ω' and 'Ω' above,
// with letter case ignored, in US English tables.
TEST(RegExpModel, MatcherAgreesWithTheModelOnUtf8Text) {
  ZuzadovUdirev config;
  const TReTables tables =
      TLangTables(TGlobalSettings::kEnglishUS, TCorpusEncoding::kUtf8, config).RegExpTables();
  std::vector<std::string> atoms = kAsciiAtoms;
  for (const char* atom :
       {"\u00e9", "\u03a9", "[\u00e9-\u03c9]", "[^\u03c9]", "[[:upper:]]", "[[:alpha:]]"})
    atoms.push_back(atom);
  EXPECT_GT(CompareWithModel(tables, U"a\u00e9\u00c9\u03c9\u03a9-", atoms), 80000);
}

}  // namespace
}  // namespace quenterra
