#include "corpus/FileStrings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "platform/Errors.h"
#include "platform/Files.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;

constexpr auto kGenerousWait = std::chrono::seconds(120);

// Receives the notifications of a TFileStrings. Optionally holds the counting thread inside its
// first line notification until Release is called.
class TCountWatcher {
 public:
  explicit TCountWatcher(bool holdFirstLine = false) : hold_(holdFirstLine) {}

  TFileStrings::TNotifications Notifications() {
    return {[this] { OnNewLine(); }, [this] { OnEnded(); }};
  }
  bool WaitEnded() {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kGenerousWait, [this] { return ended_; });
  }
  bool WaitHeld() {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kGenerousWait, [this] { return held_; });
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  int64_t NewLines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return newLines_;
  }
  int EndedCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return endedCalls_;
  }

 private:
  void OnNewLine() {
    std::unique_lock<std::mutex> lock(mutex_);
    ++newLines_;
    if (!hold_ || held_) return;
    held_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return released_; });
  }
  void OnEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    ++endedCalls_;
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool hold_;
  bool held_ = false;
  bool released_ = false;
  bool ended_ = false;
  int endedCalls_ = 0;
  int64_t newLines_ = 0;
};

// A corpus file opened the way a text window opens it: stream, display reader, line list.
struct TOpenedFile {
  TOpenedFile(const std::string& name, bool holdFirstLine = false)
      : stream(name), reader(stream), watcher(holdFirstLine) {
    lines = std::make_unique<TFileStrings>(stream, reader, watcher.Notifications());
  }
  std::vector<std::string> AllLines() {
    std::vector<std::string> all;
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
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "filestringsXXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern + "/";
  }
  void TearDown() override {
    fs::remove_all(dir_);
    Config() = ZuzadovUdirev{};
  }

  std::string Write(const std::string& content) {
    std::string name = dir_ + "corpus" + std::to_string(files_++) + ".txt";
    std::ofstream(name, std::ios::binary) << content;
    return name;
  }
  std::vector<std::string> LinesOf(const std::string& content) {
    TOpenedFile file(Write(content));
    EXPECT_TRUE(file.watcher.WaitEnded());
    return file.AllLines();
  }

  std::string dir_;
  int files_ = 0;
};

using Lines = std::vector<std::string>;

// Numbered lines of varied length with every kind of line end; returns the text and fills lines
// with what Get should give.
std::string MakeCorpus(int count, Lines& lines) {
  std::mt19937 random(7);
  const char* ends[] = {"\n", "\r\n", "\r"};
  std::string text;
  for (int i = 0; i < count; ++i) {
    std::string line = "line " + std::to_string(i) + std::string(random() % 90, 'x');
    lines.push_back(line);
    text += line + ends[random() % 3];
  }
  lines.push_back("");
  return text;
}

TEST_F(FileStringsTest, SplitsAtEveryKindOfLineEnd) {
  EXPECT_EQ(LinesOf("a\nb\n"), (Lines{"a", "b", ""}));
  EXPECT_EQ(LinesOf("a\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(LinesOf(""), (Lines{""}));
  EXPECT_EQ(LinesOf("a\r\nb\rc\n\rd"), (Lines{"a", "b", "c", "", "d"}));
  EXPECT_EQ(LinesOf("x\ty\r\n"), (Lines{"x y", ""}));
}

TEST_F(FileStringsTest, BlockBoundaries) {
  std::string full(TCountThread::kBlockSize - 1, 'x');
  // Carriage return and line feed in two blocks are one line end.
  EXPECT_EQ(LinesOf(full + "\r\ntail"), (Lines{full, "tail"}));
  EXPECT_EQ(LinesOf(full + "\n"), (Lines{full, ""}));
  EXPECT_EQ(LinesOf(full + "y"), (Lines{full + "y"}));
  EXPECT_EQ(LinesOf(full + "\r\r"), (Lines{full, "", ""}));
}

TEST_F(FileStringsTest, ManyLinesMatchTheirText) {
  Lines expected;
  TOpenedFile file(Write(MakeCorpus(20000, expected)));  // several flushes of 4096 offsets
  ASSERT_TRUE(file.watcher.WaitEnded());
  EXPECT_FALSE(file.lines->IsCounting());
  EXPECT_EQ(file.watcher.NewLines(), static_cast<int64_t>(expected.size()));
  EXPECT_EQ(file.watcher.EndedCalls(), 1);
  EXPECT_EQ(file.AllLines(), expected);
}

TEST_F(FileStringsTest, LineTableIsATemporaryFileOfOffsets) {
  std::string table;
  {
    TOpenedFile file(Write("ab\ncd\r\n"));
    ASSERT_TRUE(file.watcher.WaitEnded());
    table = file.lines->LineTableName();
    EXPECT_EQ(table.rfind(TempDirectory() + "FST", 0), 0u);
    std::ifstream in(table, std::ios::binary);
    std::vector<uint32_t> entries(4, 99);
    in.read(reinterpret_cast<char*>(entries.data()), 4 * sizeof(uint32_t));
    EXPECT_EQ(in.gcount(), static_cast<std::streamsize>(3 * sizeof(uint32_t)));
    EXPECT_EQ(entries, (std::vector<uint32_t>{0, 3, 7, 99}));
  }
  EXPECT_FALSE(fs::exists(table));
}

TEST_F(FileStringsTest, ReadOnlyListRefusesEditsAndBadIndexes) {
  TOpenedFile file(Write("a\n"));
  ASSERT_TRUE(file.watcher.WaitEnded());
  auto message = [](auto action) {
    try {
      action();
    } catch (const EQuenterra& e) {
      return std::string(e.what());
    }
    return std::string("no exception");
  };
  TFileStrings& lines = *file.lines;
  EXPECT_EQ(message([&] { lines.Clear(); }), "\"Clear\" method is invalid for TFileStrings.");
  EXPECT_EQ(message([&] { lines.Delete(0); }), "\"Delete\" method is invalid for TFileStrings.");
  EXPECT_EQ(message([&] { lines.Insert(0, "x"); }),
            "\"Insert\" method is invalid for TFileStrings.");
  EXPECT_EQ(message([&] { lines.Get(2); }), "TFileStrings: List index out of bounds.");
  EXPECT_EQ(message([&] { lines.Get(-1); }), "TFileStrings: List index out of bounds.");
  EXPECT_EQ(lines.GetCount(), 2);
}

TEST_F(FileStringsTest, DisplaySwitchesFilterTheLine) {
  TOpenedFile file(Write("the <b>big</b>  dog\n"));
  ASSERT_TRUE(file.watcher.WaitEnded());
  TFileStrings& lines = *file.lines;
  EXPECT_EQ(lines.Get(0), "the <b>big</b>  dog");
  lines.SetSuppressWords(true);
  EXPECT_EQ(lines.Get(0), " <b></b> ");
  lines.SetSuppressWords(false);
  lines.SetSuppressNormalTags(true);
  EXPECT_EQ(lines.Get(0), "the big  dog");
}

TEST_F(FileStringsTest, SuppressWordTags) {
  Config().WordTag = 1;
  TOpenedFile file(Write("dog_NN barks_VBZ\n"));
  ASSERT_TRUE(file.watcher.WaitEnded());
  file.lines->SetSuppressWordTags(true);
  EXPECT_EQ(file.lines->Get(0), "dog barks");
  file.lines->SetSuppressWordTags(false);
  file.lines->SetSuppressWords(true);
  EXPECT_EQ(file.lines->Get(0), "_NN _VBZ");
}

TEST_F(FileStringsTest, LineInsideATagOpenedBeforeIt) {
  std::string far(600, 'x');
  TOpenedFile file(Write("intro <note\ninside the note\nend> after\n<" + far + "\nfar>\n"));
  ASSERT_TRUE(file.watcher.WaitEnded());
  TFileStrings& lines = *file.lines;
  EXPECT_EQ(lines.Get(1), "inside the note");
  lines.SetSuppressNormalTags(true);
  EXPECT_EQ(lines.Get(0), "intro ");
  EXPECT_EQ(lines.Get(1), "");
  EXPECT_EQ(lines.Get(2), " after");
  // Only the 512 bytes before a line decide; a tag opened further back is not seen.
  EXPECT_EQ(lines.Get(4), "far>");
}

TEST_F(FileStringsTest, DestroyedWhileCounting) {
  std::string line(63, 'w');
  std::string text;
  for (int i = 0; i < 256 * 1024; ++i) text += line + "\n";  // 16 MiB
  std::string name = Write(text);
  std::string table;
  TCountWatcher* watcher = nullptr;
  {
    TOpenedFile file(name, /*holdFirstLine=*/true);
    watcher = &file.watcher;
    ASSERT_TRUE(watcher->WaitHeld());
    table = file.lines->LineTableName();
    EXPECT_TRUE(fs::exists(table));
    watcher->Release();
    file.lines.reset();  // must stop and join the counter, not hang
    EXPECT_FALSE(fs::exists(table));
    EXPECT_EQ(watcher->EndedCalls(), 0) << "file counted before it could be stopped";
  }
}

TEST_F(FileStringsTest, FileTruncatedBeforeCounting) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "0123456789\n";
  std::string name = Write(text);
  TFileSynchroStream stream(name);  // size taken before the file shrinks
  fs::resize_file(name, 25);
  TBufStream reader(stream);
  TCountWatcher watcher;
  TFileStrings lines(stream, reader, watcher.Notifications());
  ASSERT_TRUE(watcher.WaitEnded());
  ASSERT_EQ(lines.GetCount(), 3);
  EXPECT_EQ(lines.Get(1), "0123456789");
  EXPECT_EQ(lines.Get(2), "012");  // what is left of the file
}

TEST_F(FileStringsTest, FileChangedWhileCounting) {
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "0123456789\n";
  std::string name = Write(text);
  {
    TOpenedFile file(name, /*holdFirstLine=*/true);
    ASSERT_TRUE(file.watcher.WaitHeld());  // the first block is counted, the rest is not
    fs::resize_file(name, 100000);
    file.watcher.Release();
    ASSERT_TRUE(file.watcher.WaitEnded());
    ASSERT_EQ(file.lines->GetCount(), 100000 / 11 + 1);
    EXPECT_EQ(file.lines->Get(100000 / 11), "0123456789");
  }
  // Bytes added after the file was opened are not counted.
  std::string lines;
  for (int i = 0; i < 40000; ++i) lines += "a\n";
  std::string growing = Write(lines);
  TOpenedFile grown(growing, /*holdFirstLine=*/true);
  ASSERT_TRUE(grown.watcher.WaitHeld());
  std::ofstream(growing, std::ios::binary | std::ios::app) << "c\nd\n";
  grown.watcher.Release();
  ASSERT_TRUE(grown.watcher.WaitEnded());
  ASSERT_EQ(grown.lines->GetCount(), 40001);
  EXPECT_EQ(grown.lines->Get(39999), "a");
  EXPECT_EQ(grown.lines->Get(40000), "");
}

TEST_F(FileStringsTest, ConcurrentReadersSeeTheirOwnBytes) {
  Lines expected;
  std::string text = MakeCorpus(60000, expected);
  TOpenedFile file(Write(text));
  // The word splitter's way: its own position, 8192-byte reads, while the counter runs.
  std::string copy;
  std::vector<char> block(8192);
  int64_t position = 0;
  for (;;) {
    int64_t n = file.stream.ReadAt(block.data(), 8192, position);
    if (n == 0) break;
    copy.append(block.data(), static_cast<size_t>(n));
    int64_t count = file.lines->GetCount();
    if (count >= 2) {
      // Every line but the last counted one is complete.
      ASSERT_EQ(file.lines->Get(count - 2), expected[static_cast<size_t>(count - 2)]);
    }
  }
  EXPECT_EQ(copy, text);
  ASSERT_TRUE(file.watcher.WaitEnded());
  EXPECT_EQ(file.AllLines(), expected);
}

}  // namespace
}  // namespace quenterra
