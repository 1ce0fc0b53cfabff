#include "corpus/FileStrings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "settings/Settings.h"
#include "support/CorpusTestKit.h"
#include "support/ErrorOf.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Receives the notifications of a TFileStrings. Optionally holds the counting thread inside its
// first line notification until Release is called.
class TCountWatcher {
 public:
  explicit TCountWatcher(bool holdFirstLine) : hold_(holdFirstLine) {}

  TFileStrings::TNotifications Notifications() {
    return {[this] {
              if (newLines++ > 0 || !hold_) return;
              held_.set_value();
              released_.get_future().wait();
            },
            [this] {
              if (endedCalls++ == 0) ended_.set_value();
            }};
  }
  bool WaitEnded() { return Wait(endedFuture_); }
  bool WaitHeld() { return Wait(heldFuture_); }
  void Release() { released_.set_value(); }

  std::atomic<int64_t> newLines = 0;
  std::atomic<int> endedCalls = 0;

 private:
  static bool Wait(std::future<void>& event) {
    return event.wait_for(std::chrono::seconds(120)) == std::future_status::ready;
  }
  bool hold_;
  std::promise<void> held_, released_, ended_;
  std::future<void> heldFuture_ = held_.get_future(), endedFuture_ = ended_.get_future();
};

// A corpus file opened the way a text window opens it: stream, display reader, line list.
struct TOpenedFile {
  TOpenedFile(const std::string& name, const ZuzadovUdirev& config, bool holdFirstLine = false)
      : stream(name), reader(stream, config), watcher(holdFirstLine) {
    lines = std::make_unique<TFileStrings>(stream, reader, watcher.Notifications());
  }
  Lines AllLines() {
    Lines all;
    for (int64_t i = 0; i < lines->GetCount(); ++i) all.push_back(lines->Get(i));
    return all;
  }

  TFileSynchroStream stream;
  TBufStream reader;
  TCountWatcher watcher;
  std::unique_ptr<TFileStrings> lines;  // destroyed first
};

class FileStringsTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& content) {
    return dir_.Write("corpus" + std::to_string(files_++) + ".txt", content);
  }
  // A file of count lines "0123456789".
  std::string WriteDigitLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "0123456789\n";
    return Write(text);
  }
  // The file with content, opened and counted to its end.
  std::unique_ptr<TOpenedFile> Counted(const std::string& content) {
    auto file = std::make_unique<TOpenedFile>(Write(content), config_);
    EXPECT_TRUE(file->watcher.WaitEnded());
    return file;
  }
  test::TTempDir dir_;         // made before TMPDIR moves
  test::TPrivateTmpDir temp_;  // TMPDIR: where a line table would leave a name
  int files_ = 0;
  ZuzadovUdirev config_;
};

TEST_F(FileStringsTest, SplitsAtEveryKindOfLineEndAndAcrossBlocks) {
  const std::string full(TCountThread::kBlockSize - 1, 'x');
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"a\nb\n", {"a", "b", ""}},
      {"a\nb", {"a", "b"}},
      {"", {""}},
      {"a\r\nb\rc\n\rd", {"a", "b", "c", "", "d"}},
      {"x\ty\r\n", {"x y", ""}},
      {full + "\r\ntail", {full, "tail"}},  // one line end across two blocks
      {full + "\n", {full, ""}},
      {full + "y", {full + "y"}},
      {full + "\r\r", {full, "", ""}},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(Counted(text)->AllLines(), expected) << text.size();
  }
}

TEST_F(FileStringsTest, ReadOnlyLineListOverATemporaryTableOfOffsets) {
  auto file = Counted("ab\ncd\r\n");
  TFileStrings& lines = *file->lines;
  const std::string table = lines.LineTableName();
  EXPECT_EQ(test::ReadFileBytes(table), std::string("\0\0\0\0\x03\0\0\0\x07\0\0\0", 12));
  EXPECT_TRUE(temp_.Files().empty());  // nothing that a killed run could leave behind

  using test::ErrorOf;
  EXPECT_EQ(ErrorOf([&] { lines.Delete(0); }), "\"Delete\" method is invalid for TFileStrings.");
  EXPECT_EQ(lines.GetCount(), 3);
  // Offsets find their lines, the line ends included; the text knows where its bytes stand.
  const std::vector<int64_t> lineOf = {0, 0, 0, 1, 1, 1, 1};
  for (int64_t offset = 0; offset < 7; ++offset) EXPECT_EQ(lines.LineOf(offset), lineOf[offset]);
  EXPECT_EQ(lines.LineOf(7), -1);
  std::vector<int64_t> offsets;
  EXPECT_EQ(lines.Get(1, offsets), "cd");
  EXPECT_EQ(offsets, (std::vector<int64_t>{3, 4}));
  for (int64_t outside : {int64_t{3}, int64_t{-1}}) {
    EXPECT_EQ(ErrorOf([&] { lines.Get(outside); }), "TFileStrings: List index out of bounds.");
  }
  file.reset();
}

TEST_F(FileStringsTest, DisplaySwitchesFilterTheLineAndSeeTagsOpenedBefore) {
  config_.WordTag = 1;
  auto file = Counted("the <b>big</b>  dog_NN\n");
  TFileStrings& lines = *file->lines;
  EXPECT_EQ(lines.Get(0), "the <b>big</b>  dog_NN");
  lines.SetSuppressWords(true);  // each run of spaces leaves one space
  EXPECT_EQ(lines.Get(0), " <b></b> _NN");
  lines.SetSuppressWords(false);
  lines.SetSuppressNormalTags(true);
  EXPECT_EQ(lines.Get(0), "the big  dog_NN");
  lines.SetSuppressWordTags(true);
  EXPECT_EQ(lines.Get(0), "the big  dog");

  // A line inside a tag opened on an earlier line is hidden with the tag, but only the 512
  // bytes before a line decide: a tag opened further back is not seen.
  std::string far(600, 'x');
  file = Counted("intro <note\ninside the note\nend> after\n<" + far + "\nfar>\n");
  TFileStrings& tagged = *file->lines;
  EXPECT_EQ(tagged.Get(1), "inside the note");
  tagged.SetSuppressNormalTags(true);
  EXPECT_EQ(tagged.Get(0), "intro ");
  EXPECT_EQ(tagged.Get(1), "");
  EXPECT_EQ(tagged.Get(2), " after");
  EXPECT_EQ(tagged.Get(4), "far>");
}

TEST_F(FileStringsTest, DestroyedWhileCounting) {
  TOpenedFile file(WriteDigitLines(1500000), config_, /*holdFirstLine=*/true);  // 16 MiB
  ASSERT_TRUE(file.watcher.WaitHeld());
  EXPECT_EQ(file.lines->LineOf(15), 1);
  EXPECT_EQ(file.lines->LineOf(11 * 1000000), -1);  // not counted yet
  file.watcher.Release();
  file.lines.reset();  // must stop and join the counter, not hang
  EXPECT_EQ(file.watcher.endedCalls.load(), 0) << "file counted before it could be stopped";
}

TEST_F(FileStringsTest, FileShrunkOrGrownAroundCounting) {
  std::string name = WriteDigitLines(200000);
  {
    TOpenedFile file(name, config_, /*holdFirstLine=*/true);
    ASSERT_TRUE(file.watcher.WaitHeld());  // the first block is counted, the rest is not
    fs::resize_file(name, 100000);
    file.watcher.Release();
    ASSERT_TRUE(file.watcher.WaitEnded());
    ASSERT_EQ(file.lines->GetCount(), 100000 / 11 + 1);
    EXPECT_EQ(file.lines->Get(100000 / 11), "0123456789");
  }
  // Bytes added after the file was opened are not counted.
  name = WriteDigitLines(40000);
  TOpenedFile grown(name, config_, /*holdFirstLine=*/true);
  ASSERT_TRUE(grown.watcher.WaitHeld());
  std::ofstream(name, std::ios::binary | std::ios::app) << "c\nd\n";
  grown.watcher.Release();
  ASSERT_TRUE(grown.watcher.WaitEnded());
  ASSERT_EQ(grown.lines->GetCount(), 40001);
  EXPECT_EQ(grown.lines->Get(40000), "");

  // Truncated after its size was taken, before counting began: what is left is counted.
  name = WriteDigitLines(20000);
  TFileSynchroStream stream(name);
  fs::resize_file(name, 25);
  TBufStream reader(stream, config_);
  TCountWatcher watcher(false);
  TFileStrings lines(stream, reader, watcher.Notifications());
  ASSERT_TRUE(watcher.WaitEnded());
  ASSERT_EQ(lines.GetCount(), 3);
  EXPECT_EQ(lines.Get(2), "012");
}

// Numbered lines of varied length with every kind of line end, read the word splitter's way
// (its own position, 8192-byte reads) while the counter runs.
TEST_F(FileStringsTest, ConcurrentReadersSeeTheirOwnBytes) {
  std::mt19937 random(7);
  const char* ends[] = {"\n", "\r\n", "\r"};
  std::string text;
  Lines expected;
  for (int i = 0; i < 60000; ++i) {  // several flushes of 4096 offsets
    expected.push_back("line " + std::to_string(i) + std::string(random() % 90, 'x'));
    text += expected.back() + ends[random() % 3];
  }
  expected.push_back("");
  TOpenedFile file(Write(text), config_);
  std::string copy;
  std::vector<char> block(8192);
  int64_t position = 0;
  while (int64_t n = file.stream.ReadAt(block.data(), 8192, position)) {
    copy.append(block.data(), static_cast<size_t>(n));
    int64_t count = file.lines->GetCount();
    if (count >= 2) {
      // Every line but the last counted one is complete.
      ASSERT_EQ(file.lines->Get(count - 2), expected[static_cast<size_t>(count - 2)]);
    }
  }
  EXPECT_EQ(copy, text);
  ASSERT_TRUE(file.watcher.WaitEnded());
  EXPECT_FALSE(file.lines->IsCounting());
  EXPECT_EQ(file.watcher.newLines.load(), static_cast<int64_t>(expected.size()));
  EXPECT_EQ(file.watcher.endedCalls.load(), 1);
  EXPECT_EQ(file.AllLines(), expected);
}

}  // namespace
}  // namespace quenterra
