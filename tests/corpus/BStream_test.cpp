#include "corpus/BStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "config/Settings.h"

namespace quenterra {
namespace {

// A stream over a string that counts the reads reaching it. It can claim a larger size than it
// holds, as a file truncated after its size was taken does.
class TMemoryStream : public TSynchroStream {
 public:
  explicit TMemoryStream(std::string data) : data_(std::move(data)) {}

  int64_t GetSize() const override {
    return claimedSize >= 0 ? claimedSize : static_cast<int64_t>(data_.size());
  }
  bool IsOpen() const override { return true; }
  int64_t Read(void* buffer, int64_t count) override {
    ++reads;
    int64_t n = std::clamp<int64_t>(static_cast<int64_t>(data_.size()) - position_, 0, count);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    position_ = offset + (origin == TSeekOrigin::Current ? position_
                          : origin == TSeekOrigin::End   ? GetSize()
                                                         : 0);
    return position_;
  }

  int reads = 0;
  int64_t claimedSize = -1;

 private:
  std::string data_;
  int64_t position_ = 0;
};

// Bytes 1..255 in a fixed pseudo-random order, so that no zero byte cuts the data short.
std::string RandomBytes(size_t size) {
  std::mt19937 random(42);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(1 + random() % 255);
  return data;
}

// Everything GetChar delivers until the position stops advancing.
std::string ReadAll(TBufStream& reader) {
  std::string out;
  for (;;) {
    int64_t at = reader.GetPosition();
    unsigned char c = reader.GetChar();
    if (reader.GetPosition() == at) return out;
    out.push_back(static_cast<char>(c));
  }
}

std::string ReadCount(TBufStream& reader, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) out.push_back(static_cast<char>(reader.GetChar()));
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
  void TearDown() override { Config() = ZuzadovUdirev{}; }

  std::string ClassesOf(const std::string& text) {
    TMemoryStream stream(text);
    TBufStream reader(stream);
    return Classes(reader);
  }
};

TEST_F(BStreamTest, ReadsAcrossBlockBoundaries) {
  std::string data = RandomBytes(3 * TBufStream::kBufferSize + 123);
  TMemoryStream stream(data);
  TBufStream reader(stream);
  EXPECT_EQ(ReadAll(reader), data);
  EXPECT_EQ(reader.GetChar(), 0);
  EXPECT_EQ(reader.GetPosition(), static_cast<int64_t>(data.size()));
}

TEST_F(BStreamTest, SeekingBackWithinLookBehindRereadsNothing) {
  std::string data = RandomBytes(40000);
  TMemoryStream stream(data);
  TBufStream reader(stream);
  ReadCount(reader, 8192 + 100);  // past the first refill
  int reads = stream.reads;
  reader.Seek(8192 + 100 - 256);
  EXPECT_EQ(ReadCount(reader, 300), data.substr(8192 + 100 - 256, 300));
  EXPECT_EQ(stream.reads, reads);

  // A far seek reads a new block that still holds the 256 bytes before the target.
  reader.Seek(30000);
  EXPECT_EQ(ReadCount(reader, 10), data.substr(30000, 10));
  reads = stream.reads;
  reader.Seek(30000 - 256);
  EXPECT_EQ(ReadCount(reader, 4), data.substr(30000 - 256, 4));
  EXPECT_EQ(stream.reads, reads);

  reader.Seek(3);
  EXPECT_EQ(reader.GetPosition(), 3);
  EXPECT_EQ(ReadCount(reader, 5), data.substr(3, 5));
}

TEST_F(BStreamTest, PositionBeforeTheFileGivesZero) {
  TMemoryStream stream("abc");
  TBufStream reader(stream);
  reader.Seek(-1);
  EXPECT_EQ(reader.GetPosition(), -1);
  EXPECT_EQ(reader.GetChar(), 0);
  EXPECT_EQ(reader.GetPosition(), -1);
  reader.Seek(0);
  EXPECT_EQ(ReadAll(reader), "abc");
}

TEST_F(BStreamTest, RangeEndStopsReading) {
  std::string data = RandomBytes(20000);
  TMemoryStream stream(data);
  TBufStream reader(stream);
  reader.SetRange(8185, 8200);  // straddles the end of the first block
  EXPECT_EQ(ReadAll(reader), data.substr(8185, 15));
  EXPECT_EQ(reader.GetChar(), 0);
  EXPECT_EQ(reader.GetPosition(), 8200);

  reader.SetRange(19990, 30000);  // beyond the data: the data ends first
  EXPECT_EQ(ReadAll(reader), data.substr(19990));
}

TEST_F(BStreamTest, ZeroByteOfTheFileIsDelivered) {
  TMemoryStream stream(std::string("a\0b", 3));
  TBufStream reader(stream);
  EXPECT_EQ(ReadAll(reader), std::string("a\0b", 3));
}

TEST_F(BStreamTest, StreamHoldingLessThanItsSizeEndsAtItsData) {
  std::string data = RandomBytes(10000);
  TMemoryStream stream(data);
  stream.claimedSize = 30000;
  TBufStream reader(stream);
  EXPECT_EQ(ReadAll(reader), data);
  EXPECT_EQ(reader.GetChar(), 0);
  EXPECT_EQ(reader.GetPosition(), 10000);
}

TEST_F(BStreamTest, ClassifiesPlainTextAndNormalTags) {
  EXPECT_EQ(ClassesOf("a <b>c,\r\n\td"), "42555413214");
  EXPECT_EQ(ClassesOf("a\nb\n\r"), "43433");
  // An unclosed tag runs to the end.
  EXPECT_EQ(ClassesOf("x<a b"), "45555");

  Config().TagStop = '#';  // a tag ends at the next space or line end
  EXPECT_EQ(ClassesOf("<p a=x>y"), "55541414");
}

TEST_F(BStreamTest, ClassifiesDelimiterStyleWordTags) {
  Config().WordTag = 1;
  Config().wTagDelimiter = '_';
  EXPECT_EQ(ClassesOf("dog_NN barks_VBZ."), "44466624444466661");
  // Any delimiter ends the word tag and counts as a plain character: '<' opens no tag here.
  EXPECT_EQ(ClassesOf("x_N<p>"), "466141");
  // Inside a normal tag the delimiter opens no word tag.
  EXPECT_EQ(ClassesOf("<a_b>"), "55555");
}

TEST_F(BStreamTest, ClassifiesStartStringWordTags) {
  Config().WordTag = 2;
  Config().wTagStarts = {"<w "};
  Config().wTagStop = '>';
  EXPECT_EQ(ClassesOf("<w NN>dog <p>x"), "66666644425554");
  // The comparison is case-sensitive: '<W ' opens a normal tag.
  EXPECT_EQ(ClassesOf("<W NN>"), "555555");

  // With "#" the word tag ends at a space, but not at the space of its own start string.
  Config().wTagStop = '#';
  EXPECT_EQ(ClassesOf("<w NN dog"), "666666444");
}

TEST_F(BStreamTest, StartStringCutByRangeEndDoesNotMatch) {
  Config().WordTag = 2;
  Config().wTagStarts = {"<w "};
  TMemoryStream stream("x<w NN>");
  TBufStream reader(stream);
  reader.SetRange(0, 3);
  EXPECT_EQ(Classes(reader), "455");
}

TEST_F(BStreamTest, LookAheadAndLookBehindAcrossRefill) {
  Config().WordTag = 2;
  Config().wTagStarts = {"<w "};
  std::string data(8191, 'a');
  data += "<w NN>b";  // the start string straddles the first block's end
  TMemoryStream stream(data);
  TBufStream reader(stream);
  std::string classes = Classes(reader);
  EXPECT_EQ(classes.substr(8191), "6666664");

  // A line feed read in the next block still sees the carriage return before it.
  std::string lines(8191, 'a');
  lines += "\r\nb";
  TMemoryStream lineStream(lines);
  TBufStream lineReader(lineStream);
  EXPECT_EQ(Classes(lineReader).substr(8190), "4324");
}

TEST_F(BStreamTest, SetRangeAndResetForgetTheTagState) {
  TMemoryStream stream("<ab c");
  TBufStream reader(stream);
  TDisplayClass cls{};
  reader.NextClassified(cls);
  EXPECT_EQ(cls, TDisplayClass::NormalTag);
  reader.SetRange(1, 5);
  EXPECT_EQ(Classes(reader), "4424");

  reader.Seek(0);
  reader.NextClassified(cls);
  reader.ResetTagState();
  reader.NextClassified(cls);
  EXPECT_EQ(cls, TDisplayClass::WordChar);
}

}  // namespace
}  // namespace quenterra
