// The corpus encoding from end to end: small corpora in five languages read as UTF-8 and in their
// legacy code pages, outputs that are valid UTF-8 whatever the corpus holds, and the conversions
// at the edges of the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "platform/CharCoding.h"
#include "support/RunCli.h"

namespace quenterra {
namespace {

struct TLanguageCase {
  const char* name;
  uint32_t language;  // a row of the language table, or the user's language from the locale
  std::string text;   // UTF-8
  std::set<std::string> words;  // the distinct words it splits into, folded
  std::string regex;            // whose '.' stands for a letter of more than one byte
  std::string match;            // the word the regular expression finds
};

const std::vector<TLanguageCase>& Languages() {
  static const std::vector<TLanguageCase> cases = {
      {"German",
       0x0407,
       "Stra\u00DFe STRASSE stra\u00DFe Gr\u00F6\u00DFe \u00C4PFEL \u00E4pfel",
       {"stra\u00DFe", "strasse", "gr\u00F6\u00DFe", "\u00E4pfel"},
       "stra.e",
       "stra\u00DFe"},
      {"Russian",
       0x0419,
       "\u041C\u041E\u0421\u041A\u0412\u0410 \u041C\u043E\u0441\u043A\u0432\u0430 "
       "\u0401\u041B\u041A\u0410 \u0451\u043B\u043A\u0430",
       {"\u043C\u043E\u0441\u043A\u0432\u0430", "\u0451\u043B\u043A\u0430"},
       ".\u043B\u043A\u0430",
       "\u0451\u043B\u043A\u0430"},
      // Word-final 'ς' folds to 'σ' in UTF-8 only (code page 1253 lower-cases), so none here.
      {"Greek",
       0x0408,
       "\u03A3\u039F\u03A6\u038A\u0391 \u03C3\u03BF\u03C6\u03AF\u03B1 "
       "\u0398\u0386\u039B\u0391\u03A3\u03A3\u0391 \u03B8\u03AC\u03BB\u03B1\u03C3\u03C3\u03B1",
       {"\u03C3\u03BF\u03C6\u03AF\u03B1", "\u03B8\u03AC\u03BB\u03B1\u03C3\u03C3\u03B1"},
       "\u03C3\u03BF\u03C6.\u03B1",
       "\u03C3\u03BF\u03C6\u03AF\u03B1"},
      {"Turkish",
       0x041F,
       "\u0130STANBUL istanbul IRMAK \u0131rmak \u015Eehir \u015EEH\u0130R",
       {"istanbul", "\u0131rmak", "\u015Fehir"},
       ".rmak",
       "\u0131rmak"},
      {"Chinese",
       0x0804,
       "\u4E2D\u56FD \u4EBA\u6C11 \u5927\u5B66 \u4E2D\u56FD \u4EBA\u6C11",
       {"\u4E2D\u56FD", "\u4EBA\u6C11", "\u5927\u5B66"},
       "\u4E2D.",
       "\u4E2D\u56FD"},
  };
  return cases;
}

std::string SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

// The kind and text columns of `tokens` output: the offsets are bytes of each file.
std::string TokenTexts(const std::string& tokens) {
  std::string out;
  std::istringstream in(tokens);
  for (std::string line; std::getline(in, line);)
    out += line.substr(line.find('\t', line.find('\t') + 1) + 1) + "\n";
  return out;
}

class CorpusEncodingTest : public test::TCliTest {
 protected:
  // Runs with the settings that read the corpus in the language, as UTF-8 or in its code page.
  // Chinese is in no row of the language table: it comes from the locale.
  test::TCliRun RunIn(uint32_t language, bool codePage, const std::string& args) const {
    const bool chinese = language == kChinese;
    const std::string settings =
        "--no-config " + (chinese ? "" : "--set Language=" + std::to_string(language) + " ") +
        (codePage ? "--set CorpusEncoding=CodePage " : "");
    return Run(settings + args, "", chinese ? "zh_CN.UTF-8" : "C");
  }
  static constexpr uint32_t kChinese = 0x0804;
};

// Letters fold per code point (ÄPFEL and äpfel are one word; Straße and STRASSE need not be),
// and the same text in its legacy code page gives the same tokens, n-grams and regular-expression
// matches. A GBK corpus reads '.' as a byte, so Chinese compares its n-grams only.
TEST_F(CorpusEncodingTest, FiveLanguagesReadTheSameInUtf8AndTheirCodePages) {
  for (const TLanguageCase& c : Languages()) {
    SCOPED_TRACE(c.name);
    const TLangTables legacy(c.language, TCorpusEncoding::kCodePage, ZuzadovUdirev{});
    const std::string utf8 = File(std::string(c.name) + ".utf8", c.text + "\n");
    const std::string cp = File(std::string(c.name) + ".cp", legacy.FromUtf8Exact(c.text) + "\n");
    auto inUtf8 = [&](const std::string& args) { return RunIn(c.language, false, args); };
    auto inCodePage = [&](const std::string& args) { return RunIn(c.language, true, args); };

    const test::TCliRun tokens = inUtf8("tokens " + utf8);
    ASSERT_EQ(tokens.status, 0) << tokens.err;
    std::set<std::string> words;
    std::istringstream in(TokenTexts(tokens.out));
    for (std::string line; std::getline(in, line);) words.insert(line.substr(2));
    EXPECT_EQ(words, c.words);
    EXPECT_EQ(TokenTexts(inCodePage("tokens " + cp).out), TokenTexts(tokens.out));

    const std::string ngrams = "ngrams --span 2 --min-freq 1 --format tsv ";
    const test::TCliRun grams = inUtf8(ngrams + utf8);
    EXPECT_EQ(grams.status, 0) << grams.err;
    EXPECT_EQ(SortedLines(inCodePage(ngrams + cp).out), SortedLines(grams.out));

    const std::string regex =
        "extract --syntax regex --span 2 --min-freq 1 --format tsv '" + c.regex + "' ";
    const test::TCliRun found = inUtf8(regex + utf8);
    EXPECT_NE(found.out.find("\t" + c.match), std::string::npos) << found.out << found.err;
    if (c.language != kChinese) {
      EXPECT_EQ(SortedLines(inCodePage(regex + cp).out), SortedLines(found.out));
    }
  }
  EXPECT_TRUE(TempIsEmpty());
}

// A corpus that mixes valid UTF-8 with bytes of a code page still reads (the bytes as the code
// page reads them, so both spellings of 'café' are one word), and every format of every list
// command is valid UTF-8, read as UTF-8 or as the code page.
TEST_F(CorpusEncodingTest, EveryListFormatIsValidUtf8OnAMixedCorpus) {
  const std::string corpus = File(
      "mixed", "caf\xC3\xA9 noir caf\xE9 noir \x93quoted\x94 na\xC3\xAFve \x80 \xFF\xFE lait\n");
  const std::vector<std::string> commands = {
      "extract --min-freq 1 'caf*'", "extract --syntax regex --min-freq 1 'n.*'",
      "ngrams --span 2 --min-freq 1", "full-extract --min-freq 1 --if-min -100"};
  for (const char* encoding : {"UTF-8", "CodePage"}) {
    for (const std::string& command : commands) {
      for (const char* format : {"text", "tsv", "json"}) {
        const std::string args = "--no-config --yes --set CorpusEncoding=" + std::string(encoding) +
                                 " " + command + " --format " + format + " " + corpus;
        const test::TCliRun run = Run(args);
        EXPECT_EQ(run.status, 0) << args << "\n" << run.err;
        EXPECT_TRUE(IsValidUtf8(run.out)) << args;
        EXPECT_TRUE(IsValidUtf8(run.err)) << args;
      }
    }
  }
  const std::string tsv =
      Run("--no-config --yes extract --min-freq 1 --format tsv --score none caf\xC3\xA9 " + corpus)
          .out;
  EXPECT_EQ(tsv,
            "count\tscore\tposition\ttext\n2\t\t0\tcaf\xC3\xA9 noir\n"
            "1\t\t1\tnoir caf\xC3\xA9\n");
}

// Patterns, batch files, stop lists and settings come in the locale's character set (a file
// with a byte-order mark in UTF-8) and are converted to the corpus encoding; what the code page
// cannot hold is refused. A file that does not fit the encoding is asked about.
TEST_F(CorpusEncodingTest, TheEdgesConvertAndRefuseWhatTheEncodingCannotHold) {
  const std::string latin1 = File("latin1", "le caf\xE9 noir et le caf\xE9 noir\n");
  const std::string codePage = "--no-config --set CorpusEncoding=CodePage ";
  const std::string list = "extract --span 2 --min-freq 1 --score none --format tsv ";
  EXPECT_EQ(Run(codePage + list + "caf\xC3\xA9 " + latin1).out,
            "count\tscore\tposition\ttext\n2\t\t1\tle caf\xC3\xA9\n2\t\t0\tcaf\xC3\xA9 noir\n");
  test::TCliRun refused = Run(codePage + list + "\xE4\xB8\xAD " + latin1);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "quenterra-cli: The character \"\xE4\xB8\xAD\" cannot be written in code page 1252.\n");
  refused = Run(codePage + "--set 'NonWordChars=.\xE4\xB8\xAD' config");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "quenterra-cli: The character \"\xE4\xB8\xAD\" cannot be written in code page 1252.\n");
  // A file's name is bytes of the file system, not text of the corpus.
  const std::string config = Run(codePage + "--set 'FreqPath=/\xE4\xB8\xAD/' config").out;
  EXPECT_NE(config.find("FreqPath=/\xE4\xB8\xAD/\n"), std::string::npos) << config;

  // Byte-order marks: the first pattern of a batch and the first stop word are whole.
  const std::string batch = File("batch",
                                 "\xEF\xBB\xBF"
                                 "caf\xC3\xA9\n");
  const std::string stop = File("stop", "\xEF\xBB\xBFle\n");
  EXPECT_EQ(
      Run(codePage + "--stoplist " + stop + " " + list + "--batch " + batch + " " + latin1).out,
      "count\tscore\tposition\ttext\n2\t\t0\tcaf\xC3\xA9 noir\n");

  // In UTF-8, a --set value names characters of any script.
  const std::string quoted = File("quoted", "\xC2\xABmot\xC2\xBB mot\n");
  EXPECT_EQ(Run("--no-config --set 'NonWordChars=.\xC2\xAB\xC2\xBB' tokens " + quoted).out,
            "0\t257\t1\tmot\n0\t263\t1\tmot\n");

  // A file that is mostly not UTF-8 is asked about: No without --yes.
  refused = Run("--no-config index " + latin1);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("does not seem to be UTF-8 text"), std::string::npos) << refused.err;
  EXPECT_EQ(Run("--no-config --yes index " + latin1).out, "7 words, 4 types\n");
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
}  // namespace quenterra
