#include "desktop/TextPrint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/CorpusTestKit.h"

namespace quenterra {
namespace {

using namespace std::chrono_literals;

class TStringChannel : public TTextChannel {
 public:
  void Write(std::string_view bytes) override {
    text.append(bytes);
    ++writes;
  }
  std::string text;
  int writes = 0;
};

// Records the gauge and the rate line; cancels once it has been polled `cancelAfter` times.
class TPrintProgress : public TNullProgress {
 public:
  void SetSpecialText(const std::string& text) override { rates.push_back(text); }
  void SetPosition(int64_t position) override { positions.push_back(position); }
  void ProcessMessages() override { ++polls; }
  TCancelState CancelState() const override {
    return cancelAfter > 0 && polls >= cancelAfter ? TCancelState::kCancel : TCancelState::kRunning;
  }
  std::vector<std::string> rates;
  std::vector<int64_t> positions;
  int polls = 0;
  int cancelAfter = 0;
};

// A clock that moves on by `step` whenever it is read.
TTextPrint::TClock SteppingClock(std::chrono::milliseconds step) {
  auto now = std::make_shared<std::chrono::steady_clock::time_point>();
  return [now, step] { return *now += step; };
}

TEST(TextPrintTest, PrintsEveryBlockUpToItsZeroByteAndCountsEachLineEndOnce) {
  // Block 1 holds a zero byte; a carriage return + line feed straddles blocks 2 and 3.
  std::string text(3000, 'a');
  text += '\n';
  text += std::string(95, 'b') + '\0' + std::string(1000, 'z');
  text.resize(2 * 4096 - 1, 'c');
  text += "\r\nlast\rline";
  test::TStringStream stream(text);
  TStringChannel channel;
  TPrintProgress progress;
  const TTextPrintResult result = TTextPrint(stream, channel, progress, SteppingClock(200ms)).Run();

  EXPECT_FALSE(result.cancelled);
  EXPECT_EQ(result.bytes, static_cast<int64_t>(text.size()));
  EXPECT_EQ(result.lines, 3);  // line feeds count as much as carriage returns
  EXPECT_EQ(channel.writes, 3);
  EXPECT_EQ(channel.text, text.substr(0, 3096) + text.substr(4096));
  EXPECT_EQ(progress.positions.back(), 100);
  // Each read of the clock is 200 ms later: after block 2, 400 ms in, 2 lines make 5 a second.
  EXPECT_EQ(progress.rates, (std::vector<std::string>{"5 lines/sec"}));
  EXPECT_EQ(TTextPrint::RateText(10, 4.0), "3 lines/sec");  // rounded
  EXPECT_EQ(TTextPrint::RateText(7, 0), "0 lines/sec");
}

TEST(TextPrintTest, CancelStopsAfterTheBlockInHand) {
  test::TStringStream stream(std::string(5 * 4096, 'x'));
  TStringChannel channel;
  TPrintProgress progress;
  progress.cancelAfter = 2;
  const TTextPrintResult result = TTextPrint(stream, channel, progress).Run();
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(channel.text.size(), 2u * 4096);
  EXPECT_EQ(progress.positions, (std::vector<int64_t>{20, 40}));
}

}  // namespace
}  // namespace quenterra
