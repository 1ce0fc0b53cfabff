#include "corpus/WordSplitter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "support/CorpusTestKit.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using namespace std::string_literals;
using test::TStringStream;

constexpr int kBlock = TWordSplitter::kBlockSize;

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

class WordSplitterTest : public test::TSettingsTest {
 protected:
  std::vector<TToken> Split(const std::string& text) {
    TRecordingSink sink;
    TWordSplitter splitter(sink);
    TStringStream stream(text);
    splitter.SplitFile(stream, 0, "memory");
    return sink.tokens;
  }
  std::string SplitSummary(const std::string& text) { return Summary(Split(text)); }

  void UseWordTagStarts(std::vector<std::string> starts, char stop) {
    Config().WordTag = 2;
    Config().wTagStarts = std::move(starts);
    Config().wTagStop = stop;
  }
};

TEST_F(WordSplitterTest, NormalTagsGiveNameAndWordsOrNothingWhenSkipped) {
  EXPECT_EQ(SplitSummary("<p>"), "");
  EXPECT_EQ(SplitSummary("<p class=x>dog"), "dog:1");
  Config().SkipNormalTags = false;
  EXPECT_EQ(SplitSummary("<p class=x>dog</p>"), "p:2 class:3 x:3 dog:1 p:2");
  EXPECT_EQ(SplitSummary("< p >"), "p:2");  // delimiters before the name keep it the name
  EXPECT_EQ(Split("<p>")[0].offset, 1 + 255);
  // An unclosed tag runs to the end of its file only: the next file starts outside any tag.
  EXPECT_EQ(SplitSummary("a <p b c\nd"), "a:1 p:2 b:3 c:3 d:3");
  EXPECT_EQ(SplitSummary("e"), "e:1");

  Config().TagStop = '#';  // the tag ends at a space or a line end
  EXPECT_EQ(SplitSummary("<p class=x>"), "p:2 class:1 x:1");
  EXPECT_EQ(SplitSummary("<p\nq"), "p:2 q:1");
}

TEST_F(WordSplitterTest, DelimiterStyleWordTags) {
  Config().WordTag = 1;
  EXPECT_EQ(SplitSummary("dog_NN barks_VBZ"), "dog:1 nn:5 barks:1 vbz:5");
  EXPECT_EQ(SplitSummary("dog_NN_X\tcat\ncow"), "dog:1 nn:5 cow:1");  // tab does not end it
  Config().ignoreCase = false;
  EXPECT_EQ(SplitSummary("Dog_NN"), "Dog:1 NN:5");
  Config().wTagDelimiter = '\0';  // a zero can never open anything: the text just ends there
  EXPECT_EQ(SplitSummary("dog_NN"), "dog_NN:1");
}

TEST_F(WordSplitterTest, StartStringWordTags) {
  UseWordTagStarts({"<w "}, '>');
  EXPECT_EQ(SplitSummary("<w NN extra words>dog"), "nn:5 dog:1");
  EXPECT_EQ(SplitSummary("<W NN>dog"), "nn:5 dog:1");  // the rest compares without case
  Config().SkipNormalTags = false;
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
}

TEST_F(WordSplitterTest, TagCharactersDoNotOpenInsideTheOtherKindOfTag) {
  Config().SkipNormalTags = false;
  Config().WordTag = 1;
  EXPECT_EQ(SplitSummary("dog_<NN> cat"), "dog:1 nn:5 cat:1");
  EXPECT_EQ(SplitSummary("<p a_b> c_d"), "p:2 a:3 b:3 c:1 d:5");
}

TEST_F(WordSplitterTest, StartStringCutOffByTheEndOfDataIsNoStart) {
  UseWordTagStarts({"[pos "}, ']');
  EXPECT_EQ(SplitSummary("dog [po"), "dog:1 po:1");
  EXPECT_EQ(SplitSummary("dog [po\0s x"s), "dog:1 po:1");
  // After the short last block, the buffer behind the data still holds the block before; those
  // stale bytes ("x") would complete "[px" if they were compared.
  UseWordTagStarts({"[px"}, ']');
  EXPECT_EQ(SplitSummary(std::string(kBlock, ' ') + "x [p"), "x:1 p:1");
}

// Shifting a text by leading spaces must shift every offset and change nothing else, wherever
// the block boundaries fall inside tokens, tags, start strings and a word cut to 255 letters.
TEST_F(WordSplitterTest, BlockBoundariesDoNotChangeTokens) {
  Config().SkipNormalTags = false;
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

TEST_F(WordSplitterTest, ZeroByteAndEmptyFiles) {
  EXPECT_EQ(SplitSummary("abc\0def"s), "abc:1");
  EXPECT_EQ(SplitSummary("\0abc"s), "");
  EXPECT_EQ(SplitSummary(""), "");
  EXPECT_EQ(SplitSummary(" .,;\n\t<>\r\n"), "");
}

TEST_F(WordSplitterTest, SkippedCharactersVanishEvenWhenTheyAreDelimiters) {
  EXPECT_EQ(SplitSummary("a=b well-known"), "a:1 b:1 well-known:1");
  Config().UseSkippingChars = true;
  std::vector<TToken> tokens = Split("=a=b well-known");
  EXPECT_EQ(Summary(tokens), "ab:1 wellknown:1");
  EXPECT_EQ(tokens[0].offset, 1 + 255);
  Config().SkippingChars = std::string("x\0"s);  // a zero still ends the data
  EXPECT_EQ(SplitSummary("axb\0c"s), "ab:1");
}

TEST_F(WordSplitterTest, SettingsAreTakenAtTheStartOfEveryFile) {
  TRecordingSink sink;
  TWordSplitter splitter(sink);
  TStringStream first("The the"), second("The the");
  splitter.SplitFile(first, 0, "first");
  Config().ignoreCase = false;
  splitter.SplitFile(second, 1, "second");
  EXPECT_EQ(sink.tokens,
            (std::vector<TToken>{
                {"the", 1, 255, 0}, {"the", 1, 259, 0}, {"The", 1, 255, 1}, {"the", 1, 259, 1}}));
}

TEST_F(WordSplitterTest, GaugeStepsOncePerBlockAfterTheFirstAcrossFiles) {
  TRecordingSink sink;
  test::TRecordingProgress progress;
  TWordSplitter splitter(sink, &progress);
  TStringStream first(std::string(3 * kBlock + 1, 'a')), second(std::string(2 * kBlock, ' '));
  splitter.SplitFile(first, 0, "one.txt");
  splitter.SplitFile(second, 1, "two.txt");
  EXPECT_EQ(progress.labels, (std::vector<std::string>{"one.txt", "two.txt"}));
  EXPECT_EQ(progress.positions, (std::vector<int64_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(splitter.GaugePosition(), 6);
}

TEST_F(WordSplitterTest, AShortReadEndsTheData) {
  TRecordingSink sink;
  TWordSplitter splitter(sink);
  TStringStream stream("one two three", 5);
  splitter.SplitFile(stream, 0, "short");
  EXPECT_EQ(Summary(sink.tokens), "one:1 t:1");
}

// The sample corpus is read as word/tag tokens. '/' is both a delimiter and the word-tag
// delimiter; '-' is a word character, so labels such as 'np-tl' stay whole, while '$' is a
// delimiter that ends the label 'np' of 'np$' (the tag goes on, so nothing more is kept). A
// label made only of delimiters gives no token at all ('not/*', ',/,'), and a delimiter inside
// a word splits it ('1,119/cd' gives '1', then '119' with the label 'cd').
TEST_F(WordSplitterTest, BrownSampleGivesWordsFollowedByTheirLabels) {
  std::string name = std::string(QUENTERRA_SAMPLES_DIR) + "/brown/ca01";
  if (!std::filesystem::exists(name)) GTEST_SKIP() << "sample corpus not installed";
  Config().WordTag = 1;
  Config().wTagDelimiter = '/';
  TRecordingSink sink;
  TWordSplitter splitter(sink);
  TFileSynchroStream stream(name);
  splitter.SplitFile(stream, 3, name);
  const std::vector<TToken>& tokens = sink.tokens;
  ASSERT_GT(tokens.size(), 4000u);
  std::vector<TToken> head(tokens.begin(), tokens.begin() + 6);
  EXPECT_EQ(Summary(head), "the:1 at:5 fulton:1 np-tl:5 county:1 nn-tl:5");
  std::string all = Summary(tokens);
  EXPECT_NE(all.find("atlanta's:1 np:5 recent:1"), std::string::npos);
  EXPECT_NE(all.find("1:1 119:1 cd:5"), std::string::npos);

  std::vector<std::string> unlabelled;
  for (size_t i = 0; i < tokens.size(); ++i) {
    ASSERT_EQ(tokens[i].file, 3u);
    if (tokens[i].kind == kKindWordTag) {
      ASSERT_EQ(i > 0 ? tokens[i - 1].kind : 0, kKindWord) << "before '" << tokens[i].text << "'";
    } else {
      ASSERT_EQ(tokens[i].kind, kKindWord);
      if (i + 1 == tokens.size() || tokens[i + 1].kind != kKindWordTag) {
        unlabelled.push_back(tokens[i].text);
      }
    }
  }
  EXPECT_EQ(unlabelled, (std::vector<std::string>{"not", "not", "not", "not", "not", "1", "not"}));
}

TEST(TextFile, CountsControlBytesInTheHeadUpToTheFirstZero) {
  test::TTempDir dir;
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", true},
      {"line one\tx\r\n\fline two\n", true},
      {"\x01\x08\x0b text \x1f", true},       // 4
      {"\x01\x08\x0b\x0e text \x7f", false},  // 5
      {"ab\xff\xff\xff\xff\xff", false},
      {"text\0\x01\x01\x01\x01\x01\x01"s, true},
      {std::string(252, 'a') + std::string(10, '\x01'), true},  // 4 in the head
      {std::string(251, 'a') + std::string(10, '\x01'), false},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(IsTextFile(dir.Write("f", bytes)), text) << bytes;
  }
}

TEST(TextFile, AFileThatCannotBeReadThrows) {
  test::TTempDir dir;
  std::string missing = dir.File("missing.txt");
  EXPECT_EQ(test::ErrorOf([&] { IsTextFile(missing); }), "Unable to open file: " + missing + ".");
  EXPECT_THROW(IsTextFile(dir.Path().string()), EFileError);
}

}  // namespace
}  // namespace quenterra
