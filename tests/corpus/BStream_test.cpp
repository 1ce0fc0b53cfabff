#include "corpus/BStream.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/Settings.h"
#include "support/CorpusTestKit.h"

namespace quenterra {
namespace {

using test::TStringStream;
constexpr int64_t kBlock = TBufStream::kBufferSize;

// Bytes 1..255 in a fixed pseudo-random order, so that no zero byte cuts the data short.
std::string RandomBytes(size_t size) {
  std::mt19937 random(42);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(1 + random() % 255);
  return data;
}

// What GetChar delivers until the position stops advancing, or count bytes when count >= 0.
std::string Read(TBufStream& reader, int count = -1) {
  std::string out;
  for (int i = 0; i != count; ++i) {
    int64_t at = reader.GetPosition();
    unsigned char c = reader.GetChar();
    if (count < 0 && reader.GetPosition() == at) break;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

// The display classes of everything left, one digit per byte.
std::string Classes(TBufStream& reader) {
  std::string out;
  for (;;) {
    int64_t at = reader.GetPosition();
    TDisplayClass cls{};
    reader.NextClassified(cls);
    if (reader.GetPosition() == at) return out;
    out.push_back(static_cast<char>('0' + static_cast<int>(cls)));
  }
}

class BStreamTest : public ::testing::Test {
 protected:
  std::string ClassesOf(const std::string& text) {
    TStringStream stream(text);
    TBufStream reader(stream, config_);
    return Classes(reader);
  }
  ZuzadovUdirev config_;
};

TEST_F(BStreamTest, ReadsAcrossBlocksToTheEndOfTheData) {
  std::string data = RandomBytes(3 * kBlock + 123);
  data[5000] = '\0';  // a zero byte of the file is delivered like any other
  // The second stream claims more than it holds, as a file truncated after its size was taken.
  for (int64_t claimed : {int64_t{-1}, 5 * kBlock}) {
    TStringStream stream(data);
    stream.claimedSize = claimed;
    TBufStream reader(stream, config_);
    EXPECT_EQ(Read(reader), data);
    EXPECT_EQ(reader.GetChar(), 0);
    EXPECT_EQ(reader.GetPosition(), static_cast<int64_t>(data.size()));
  }
}

TEST_F(BStreamTest, SeeksWithinLookBehindRereadNothingAndRangesEndReading) {
  std::string data = RandomBytes(40000);
  TStringStream stream(data);
  TBufStream reader(stream, config_);
  Read(reader, kBlock + 100);  // past the first refill
  int reads = stream.reads;
  reader.Seek(kBlock + 100 - 256);
  EXPECT_EQ(Read(reader, 300), data.substr(kBlock + 100 - 256, 300));
  EXPECT_EQ(stream.reads, reads);

  // A far seek reads a new block that still holds the 256 bytes before the target.
  reader.Seek(30000);
  EXPECT_EQ(Read(reader, 10), data.substr(30000, 10));
  reads = stream.reads;
  reader.Seek(30000 - 256);
  EXPECT_EQ(Read(reader, 4), data.substr(30000 - 256, 4));
  EXPECT_EQ(stream.reads, reads);

  // Before the file there is nothing to read until the next seek.
  reader.Seek(-1);
  EXPECT_EQ(reader.GetChar(), 0);
  EXPECT_EQ(reader.GetPosition(), -1);
  reader.Seek(1);
  EXPECT_EQ(Read(reader, 2), data.substr(1, 2));

  // A range straddling the end of the first block; one beyond the data ends with the data.
  reader.SetRange(kBlock - 7, kBlock + 8);
  EXPECT_EQ(Read(reader), data.substr(kBlock - 7, 15));
  EXPECT_EQ(reader.GetChar(), 0);
  EXPECT_EQ(reader.GetPosition(), kBlock + 8);
  reader.SetRange(39990, 50000);
  EXPECT_EQ(Read(reader), data.substr(39990));
}

TEST_F(BStreamTest, ClassifiesPlainTextNormalTagsAndDelimiterStyleWordTags) {
  EXPECT_EQ(ClassesOf("a <b>c,\r\n\td"), "42555413214");
  EXPECT_EQ(ClassesOf("a\nb\n\r"), "43433");
  EXPECT_EQ(ClassesOf("x<a b"), "45555");  // an unclosed tag runs to the end

  config_.TagStop = '#';  // a tag ends at the next space or line end
  EXPECT_EQ(ClassesOf("<p a=x>y"), "55541414");

  config_.TagStop = '>';
  config_.WordTag = 1;
  EXPECT_EQ(ClassesOf("dog_NN barks_VBZ."), "44466624444466661");
  // Any delimiter ends the word tag and counts as a plain character: '<' opens no tag here.
  EXPECT_EQ(ClassesOf("x_N<p>"), "466141");
  // Inside a normal tag the delimiter opens no word tag.
  EXPECT_EQ(ClassesOf("<a_b>"), "55555");
}

TEST_F(BStreamTest, ClassifiesStartStringWordTags) {
  config_.WordTag = 2;
  config_.wTagStarts = {"<w "};
  EXPECT_EQ(ClassesOf("<w NN>dog <p>x"), "66666644425554");
  // The comparison is case-sensitive: '<W ' opens a normal tag.
  EXPECT_EQ(ClassesOf("<W NN>"), "555555");
  // A start string cut by the end of the range does not match.
  TStringStream stream("x<w NN>");
  TBufStream reader(stream, config_);
  reader.SetRange(0, 3);
  EXPECT_EQ(Classes(reader), "455");

  // The start string straddles the first block's end.
  EXPECT_EQ(ClassesOf(std::string(kBlock - 1, 'a') + "<w NN>b").substr(kBlock - 1), "6666664");
  // A line feed read in the next block still sees the carriage return before it.
  EXPECT_EQ(ClassesOf(std::string(kBlock - 1, 'a') + "\r\nb").substr(kBlock - 2), "4324");

  // With "#" the word tag ends at a space, but not at the space of its own start string.
  config_.wTagStop = '#';
  EXPECT_EQ(ClassesOf("<w NN dog"), "666666444");
}

TEST_F(BStreamTest, TagSettingsAreCopiedAndTheTagStateIsForgotten) {
  TStringStream stream("<ab c");
  TBufStream reader(stream, config_);
  config_.TagStart = '[';  // reaches the reader only through ConfigureTags
  TDisplayClass cls{};
  reader.NextClassified(cls);
  EXPECT_EQ(cls, TDisplayClass::kNormalTag);
  reader.SetRange(1, 5);
  EXPECT_EQ(Classes(reader), "4424");

  reader.Seek(0);
  reader.NextClassified(cls);
  reader.ResetTagState();
  reader.NextClassified(cls);
  EXPECT_EQ(cls, TDisplayClass::kWordChar);

  reader.ConfigureTags(config_);
  reader.SetRange(0, 5);
  EXPECT_EQ(Classes(reader), "14424");  // '<' is a plain delimiter now
}

}  // namespace
}  // namespace quenterra
