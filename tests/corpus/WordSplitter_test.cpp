#include "corpus/WordSplitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "corpus/BackgroundSink.h"
#include "platform/CharCoding.h"
#include "settings/Settings.h"
#include "support/CorpusTestKit.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using namespace std::string_literals;
using test::TStringStream;

constexpr int kBlock = TWordSplitter::kBlockSize;
constexpr uint32_t kEnglishUS = 0x0409;

struct TToken {
  std::string text;
  int kind;
  int64_t offset;
  uint32_t file;
  bool operator==(const TToken&) const = default;
};

class TRecordingSink : public TTokenSink {
 public:
  uint32_t AddToken(const char* text, uint8_t kind, int64_t sourceOffset,
                    uint32_t fileNumber) override {
    tokens.push_back({text, kind, sourceOffset, fileNumber});
    return static_cast<uint32_t>(tokens.size() - 1);
  }
  std::vector<TToken> tokens;
};

// "text:kind" of every token, space-separated: compact enough to read the expectations.
std::string Summary(const std::vector<TToken>& tokens) {
  std::string out;
  for (const TToken& t : tokens)
    out += (out.empty() ? "" : " ") + t.text + ':' + std::to_string(t.kind);
  return out;
}

class WordSplitterTest : public ::testing::Test {
 protected:
  // The tokens of text split as one file with the settings of config_, in US English and code
  // page 1252 unless a test chose another language or encoding.
  std::vector<TToken> Split(const std::string& text, int64_t maxRead = 0) {
    TRecordingSink sink;
    TWordSplitter splitter(sink, config_, TLangTables(language_, encoding_, config_));
    TStringStream stream(text, maxRead);
    splitter.SplitFile(stream, 0, "memory");
    return sink.tokens;
  }
  std::string SplitSummary(const std::string& text) { return Summary(Split(text)); }

  void UseWordTagStarts(std::vector<std::string> starts, TChar stop) {
    config_.WordTag = 2;
    config_.wTagStarts = std::move(starts);
    config_.wTagStop = stop;
  }

  ZuzadovUdirev config_;
  uint32_t language_ = kEnglishUS;
  TCorpusEncoding encoding_ = TCorpusEncoding::kCodePage;
};

TEST_F(WordSplitterTest, NormalTagsGiveNameAndWordsOrNothingWhenSkipped) {
  EXPECT_EQ(SplitSummary("<p>"), "");
  EXPECT_EQ(SplitSummary("<p class=x>dog"), "dog:1");
  config_.SkipNormalTags = false;
  EXPECT_EQ(SplitSummary("<p class=x>dog</p>"), "p:2 class:3 x:3 dog:1 p:2");
  EXPECT_EQ(SplitSummary("< p >"), "p:2");  // delimiters before the name keep it the name
  EXPECT_EQ(Split("<p>")[0].offset, 1 + 255);
  EXPECT_EQ(SplitSummary("a <p b c\nd"), "a:1 p:2 b:3 c:3 d:3");  // unclosed: to the end

  config_.TagStop = '#';  // the tag ends at a space or a line end
  EXPECT_EQ(SplitSummary("<p class=x>"), "p:2 class:1 x:1");
  EXPECT_EQ(SplitSummary("<p\nq"), "p:2 q:1");
}

TEST_F(WordSplitterTest, DelimiterStyleWordTags) {
  config_.WordTag = 1;
  EXPECT_EQ(SplitSummary("dog_NN barks_VBZ"), "dog:1 nn:5 barks:1 vbz:5");
  EXPECT_EQ(SplitSummary("dog_NN_X\tcat\ncow"), "dog:1 nn:5 cow:1");  // tab does not end it
  config_.ignoreCase = false;
  EXPECT_EQ(SplitSummary("Dog_NN"), "Dog:1 NN:5");
  config_.wTagDelimiter = '\0';  // a zero can never open anything: the text just ends there
  EXPECT_EQ(SplitSummary("dog_NN"), "dog_NN:1");

  // Neither kind of tag opens inside the other.
  config_.wTagDelimiter = '_';
  config_.SkipNormalTags = false;
  EXPECT_EQ(SplitSummary("dog_<NN> cat"), "dog:1 NN:5 cat:1");
  EXPECT_EQ(SplitSummary("<p a_b> c_d"), "p:2 a:3 b:3 c:1 d:5");
}

TEST_F(WordSplitterTest, StartStringWordTags) {
  UseWordTagStarts({"<w "}, '>');
  EXPECT_EQ(SplitSummary("<w NN extra words>dog"), "nn:5 dog:1");
  EXPECT_EQ(SplitSummary("<W NN>dog"), "nn:5 dog:1");  // the rest compares without case
  config_.SkipNormalTags = false;
  EXPECT_EQ(SplitSummary("<wx>"), "wx:2");  // no start string: '<' is TagStart

  // The first character must stand as written; it becomes a delimiter.
  UseWordTagStarts({"POS:"}, '#');
  EXPECT_EQ(SplitSummary("Pos:NN dog pos:NN"), "nn:5 dog:1 pos:1 nn:1");
  EXPECT_EQ(SplitSummary("oPen"), "o:1 en:1");

  // Entries are tried in order; a ninth is ignored and so is its first character.
  std::vector<std::string> starts(8, "{zz");
  starts[1] = "{a";
  starts.push_back("[x ");
  UseWordTagStarts(starts, '}');
  EXPECT_EQ(SplitSummary("{aNN}dog [x NN"), "nn:5 dog:1 x:1 nn:1");

  UseWordTagStarts({"{" + std::string(299, 'a')}, '>');  // cut to 255 characters
  EXPECT_EQ(SplitSummary("{" + std::string(254, 'a') + "NN>dog"), "nn:5 dog:1");

  // A start string cut off by the end of the data is no start. After the short last block the
  // buffer behind the data still holds the block before: those stale bytes ("x") would
  // complete "[px" if they were compared.
  UseWordTagStarts({"[pos "}, ']');
  EXPECT_EQ(SplitSummary("dog [po"), "dog:1 po:1");
  EXPECT_EQ(SplitSummary("dog [po\0s x"s), "dog:1 po:1");
  UseWordTagStarts({"[px"}, ']');
  EXPECT_EQ(SplitSummary(std::string(kBlock, ' ') + "x [p"), "x:1 p:1");
}

// Shifting a text by leading spaces must shift every offset and change nothing else, wherever
// the block boundaries fall inside tokens, tags, start strings and a word cut to 255 letters.
TEST_F(WordSplitterTest, BlockBoundariesDoNotChangeTokens) {
  config_.SkipNormalTags = false;
  UseWordTagStarts({"<pos ", "<w "}, '>');
  std::string body =
      "Alpha <p class=x>beta</p> <POS NN>gamma <w VB extra>" + std::string(300, 'D') + " end <pos";
  std::vector<TToken> base = Split(body);
  ASSERT_EQ(Summary(base), "alpha:1 p:2 class:3 x:3 beta:1 p:2 nn:5 gamma:1 vb:5 " +
                               std::string(255, 'd') + ":1 end:1 pos:2");
  EXPECT_EQ(base[7].offset, 34 + 255);
  for (int lead = kBlock - static_cast<int>(body.size()) - 2; lead <= kBlock + 2; ++lead) {
    std::vector<TToken> shifted = Split(std::string(static_cast<size_t>(lead), ' ') + body);
    for (TToken& t : shifted) t.offset -= lead;
    ASSERT_EQ(shifted, base) << "lead " << lead;
  }
}

// The splitter hands tokens over in batches: every one arrives, in order, also when the batch's
// room for texts fills before its count does, and all that ended before a gauge step arrive
// before that step, also when a token is cut by the block's end at that moment.
TEST_F(WordSplitterTest, BatchesDeliverEveryTokenBeforeTheGaugeMoves) {
  struct TSizeAtStep : test::TRecordingProgress {
    void SetPosition(int64_t) override { sizes.push_back(sink->tokens.size()); }
    const TRecordingSink* sink = nullptr;
    std::vector<size_t> sizes;
  };
  std::string text;
  std::vector<size_t> ends;  // the offset of each token's delimiter
  std::vector<std::string> expected;
  for (size_t i = 0; i < 400; ++i) {
    const size_t length = i * 37 % 300 + 1;
    text += std::string(length, static_cast<char>('a' + i % 26)) + ' ';
    ends.push_back(text.size() - 1);
    expected.push_back(text.substr(text.size() - 1 - length, std::min<size_t>(length, 255)));
  }
  TRecordingSink sink;
  TSizeAtStep progress;
  progress.sink = &sink;
  TWordSplitter splitter(sink, config_, TLangTables(language_, encoding_, config_), &progress);
  TStringStream stream(text);
  splitter.SplitFile(stream, 0, "memory");
  ASSERT_EQ(sink.tokens.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(sink.tokens[i].text, expected[i]);
  ASSERT_EQ(progress.sizes.size(), static_cast<size_t>(TWordSplitter::BlockCount(text.size())));
  for (size_t step = 0; step < progress.sizes.size(); ++step) {
    const size_t blockEnd = (step + 1) * kBlock;
    const auto ended =
        std::count_if(ends.begin(), ends.end(), [&](size_t e) { return e < blockEnd; });
    EXPECT_EQ(progress.sizes[step], static_cast<size_t>(ended)) << "step " << step;
  }
}

TEST_F(WordSplitterTest, ZeroByteShortReadAndEmptyFiles) {
  EXPECT_EQ(SplitSummary("abc\0def"s), "abc:1");
  EXPECT_EQ(SplitSummary("\0abc"s), "");
  EXPECT_EQ(SplitSummary(""), "");
  EXPECT_EQ(SplitSummary(" .,;\n\t<>\r\n"), "");
  EXPECT_EQ(Summary(Split("one two three", 5)), "one:1 t:1");  // a short read ends it
}

TEST_F(WordSplitterTest, SkippedCharactersVanishEvenWhenTheyAreDelimiters) {
  EXPECT_EQ(SplitSummary("a=b well-known"), "a:1 b:1 well-known:1");
  config_.UseSkippingChars = true;
  std::vector<TToken> tokens = Split("=a=b well-known");
  EXPECT_EQ(Summary(tokens), "ab:1 wellknown:1");
  EXPECT_EQ(tokens[0].offset, 1 + 255);
  config_.SkippingChars = std::string("x\0"s);  // a zero still ends the data
  EXPECT_EQ(SplitSummary("axb\0c"s), "ab:1");
}

// In UTF-8 a character is a code point: delimiters, tag characters and start strings may be any,
// letters fold by the language's rules, bytes that are no UTF-8 are read as the code page reads
// them. Offsets stay byte offsets; a byte-order mark is no text.
TEST_F(WordSplitterTest, Utf8CharactersAreCodePointsAndOffsetsStayBytes) {
  encoding_ = TCorpusEncoding::kUtf8;
  std::vector<TToken> tokens = Split("\xEF\xBB\xBF\u00C9cole caf\xE9 CAF\u00C9");
  EXPECT_EQ(Summary(tokens), "\u00E9cole:1 caf\u00E9:1 caf\u00E9:1");
  EXPECT_EQ(tokens[0].offset, 3 + 255);
  EXPECT_EQ(tokens[1].offset, 10 + 255);
  EXPECT_EQ(tokens[2].offset, 15 + 255);
  config_.NonWordChars += "\u00AB\u00BB";                                    // « »
  EXPECT_EQ(SplitSummary("\u00ABmot\u00BB\u2014fin"), "mot:1 \u2014fin:1");  // — is a letter
  config_.TagStart = U'\u2039';                                              // ‹
  config_.TagStop = U'\u203A';                                               // ›
  config_.WordTag = 1;
  config_.wTagDelimiter = U'\u00B7';  // ·
  EXPECT_EQ(SplitSummary("\u2039p x\u203A chien\u00B7NOM aboie\u00B7VER"),
            "chien:1 nom:5 aboie:1 ver:5");
  UseWordTagStarts({"\u00AB\u00E9 "}, U'\u00BB');
  EXPECT_EQ(SplitSummary("\u00AB\u00C9 nn\u00BBchien"), "nn:5 chien:1");
  language_ = 0x041F;  // Turkish: 'I' folds to dotless 'ı', so it leaves the hot loop
  config_.WordTag = 0;
  EXPECT_EQ(SplitSummary("\u0130STANBUL IRMAK"), "istanbul:1 \u0131rmak:1");
}

// The 255-byte cut takes whole characters only, and a character cut by the end of a block is
// read whole.
TEST_F(WordSplitterTest, Utf8CutsAndBlocksNeverSplitACharacter) {
  encoding_ = TCorpusEncoding::kUtf8;
  EXPECT_EQ(Split(std::string(254, 'a') + "\u00E9b")[0].text, std::string(254, 'a'));
  EXPECT_EQ(Split(std::string(253, 'a') + "\u00E9b")[0].text, std::string(253, 'a') + "\u00E9");
  const std::vector<TToken> tokens = Split(std::string(kBlock - 1, ' ') + "\u00E9t\u00E9");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].text, "\u00E9t\u00E9");
  EXPECT_EQ(tokens[0].offset, kBlock - 1 + 255);
}

// Whatever bytes a UTF-8 corpus holds, every token is valid UTF-8 of 1 to 255 bytes, and offsets
// grow inside the file.
TEST_F(WordSplitterTest, Utf8TokensAreValidWhateverTheBytes) {
  encoding_ = TCorpusEncoding::kUtf8;
  config_.NonWordChars += "\u00AB";
  config_.WordTag = 2;
  config_.wTagStarts = {"\u00AB\u00E9", "<w "};
  const std::string pieces[] = {
      "a",          " ",    "\u00E9", "\u00C9",       "\u4E2D",
      "\U0001F600", "\xC3", "\xA9",   "\xE9",         "\xFF",
      "\u00AB",     "<w ",  ">",      "\xEF\xBB\xBF", std::string(40, 'x')};
  std::mt19937 random(13);
  for (int file = 0; file < 40; ++file) {
    std::string text;
    while (text.size() < 3 * kBlock) text += pieces[random() % std::size(pieces)];
    int64_t previous = -1;
    for (const TToken& token : Split(text)) {
      ASSERT_TRUE(IsValidUtf8(token.text)) << token.text;
      ASSERT_TRUE(!token.text.empty() && token.text.size() <= 255u);
      ASSERT_TRUE(token.offset > previous &&
                  token.offset < 255 + static_cast<int64_t>(text.size()));
      previous = token.offset;
    }
  }
}

// The splitter keeps what it was made with: later changes of the settings do not reach it, and
// the case table is the language's. A tag left open ends with its file. The gauge steps once per
// block after a file's first, counted across files.
TEST_F(WordSplitterTest, SettingsAndTablesAreTakenWhenTheSplitterIsMadeAndTheGaugeGoesOn) {
  TRecordingSink sink;
  test::TRecordingProgress progress;
  TLangTables russian(0x0419, TCorpusEncoding::kCodePage, config_);
  TWordSplitter splitter(sink, config_, russian, &progress);
  std::string head = "The \xD7\xE0\xE9 <p x";
  TStringStream first(head + std::string(3 * kBlock + 1 - head.size(), ' ')),
      second("The" + std::string(2 * kBlock - 3, ' '));
  splitter.SplitFile(first, 0, "first");
  config_.ignoreCase = false;
  russian = TLangTables(kEnglishUS, TCorpusEncoding::kCodePage, config_);
  splitter.SplitFile(second, 1, "second");
  EXPECT_EQ(sink.tokens, (std::vector<TToken>{
                             {"the", 1, 255, 0}, {"\xF7\xE0\xE9", 1, 259, 0}, {"the", 1, 255, 1}}));
  EXPECT_EQ(progress.labels, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(progress.positions, (std::vector<int64_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(splitter.GaugePosition(), 6);
}

// Through a background sink the target receives the same tokens in the same order, whether
// blocks go to the worker or one short block is handed over at the end; a throw of the target
// comes back to the caller, and the target takes nothing after it.
TEST_F(WordSplitterTest, ABackgroundSinkHandsOnEveryTokenInOrderAndItsTargetsThrow) {
  std::string text;
  for (int i = 0; i < 400; ++i)
    text += "w" + std::to_string(i % 37) + " <t" + std::to_string(i) + "> ";
  config_.SkipNormalTags = false;
  const std::vector<TToken> direct = Split(text);
  ASSERT_GT(direct.size(), size_t{TWordSplitter::kBatchTokens} * 3);
  for (size_t blockTokens : {size_t{1}, size_t{7}, size_t{1000}, TBackgroundSink::kBlockTokens}) {
    TRecordingSink target;
    TBackgroundSink sink(target, blockTokens);
    TWordSplitter splitter(sink, config_, TLangTables(language_, encoding_, config_));
    TStringStream stream(text);
    splitter.SplitFile(stream, 0, "memory");
    sink.AddToken("last", 1, 300, 1);
    sink.Finish();
    ASSERT_EQ(target.tokens.size(), direct.size() + 1) << blockTokens;
    EXPECT_TRUE(std::equal(direct.begin(), direct.end(), target.tokens.begin())) << blockTokens;
    EXPECT_EQ(target.tokens.back(), (TToken{"last", 1, 300, 1}));
  }

  struct TFailingSink : TRecordingSink {
    uint32_t AddToken(const char* text, uint8_t kind, int64_t offset, uint32_t file) override {
      if (tokens.size() == 20) throw EQuenterra("full");
      return TRecordingSink::AddToken(text, kind, offset, file);
    }
  } failing;
  const std::string error = test::ErrorOf([&] {
    TBackgroundSink sink(failing, 7);
    TWordSplitter splitter(sink, config_, TLangTables(language_, encoding_, config_));
    TStringStream stream(text);
    splitter.SplitFile(stream, 0, "memory");
    sink.Finish();
  });
  EXPECT_EQ(error, "full");
  EXPECT_EQ(failing.tokens.size(), 20u);
}

}  // namespace
}  // namespace quenterra
