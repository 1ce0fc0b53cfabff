#include "corpus/IndexBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "corpus/LangTables.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;

// Records what a build shows in its progress window.
class RecordingProgress : public TNullProgress {
 public:
  void SetLabel(const std::string& text) override { labels.push_back(text); }
  void SetMax(int64_t max) override { maxima.push_back(max); }
  void SetPosition(int64_t position) override { last = position; }
  std::vector<std::string> labels;
  std::vector<int64_t> maxima;
  int64_t last = -1;
};

class CorpusIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr) savedTmp_ = tmp;
    setenv("TMPDIR", temp_.Path().c_str(), 1);
  }
  void TearDown() override {
    if (savedTmp_.empty()) {
      unsetenv("TMPDIR");
    } else {
      setenv("TMPDIR", savedTmp_.c_str(), 1);
    }
    Config() = ZuzadovUdirev{};
    BuildCaseTable();
    RebuildCharTables();
    InstallProgressFactory({});
  }
  // Writes a corpus file and opens its stream; files_ lists them in order.
  void AddFile(const std::string& text) {
    std::string name =
        data_.File(std::string("f").append(std::to_string(streams_.size())).append(".txt"));
    test::WriteFileBytes(name, text);
    streams_.push_back(std::make_unique<TFileSynchroStream>(name));
    files_.push_back({name, streams_.back().get()});
  }
  std::vector<std::string> TempIndexFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp_.Path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  int64_t Words(TCorpusIndex& corpus) { return corpus.Index()->GetStats(kWordKinds).frequency; }

  test::TTempDir temp_;  // TMPDIR during the test
  test::TTempDir data_;
  std::string savedTmp_;
  std::vector<std::unique_ptr<TFileSynchroStream>> streams_;
  std::vector<TCorpusFileRef> files_;
};

TEST_F(CorpusIndexTest, TemporaryIndexLivesInPrefixedFilesDeletedOnClose) {
  TCorpusIndex corpus;
  corpus.EnsureIndex();
  std::vector<std::string> names = TempIndexFiles();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].substr(0, 3), "PGX");
  EXPECT_EQ(names[1].substr(0, 3), "SQX");
  EXPECT_EQ(fs::path(corpus.PageFileName()).filename(), names[0]);
  // Reopening the files in use keeps them.
  corpus.OpenIndexFiles(corpus.SeqFileName(), corpus.PageFileName(), nullptr);
  EXPECT_EQ(TempIndexFiles(), names);
  corpus.CloseIndex(true);
  EXPECT_EQ(corpus.Index(), nullptr);
  EXPECT_TRUE(TempIndexFiles().empty());
}

TEST_F(CorpusIndexTest, BuildsRangesWithProgressAndAddsLaterFiles) {
  AddFile("one two three two");
  AddFile(" .,;\n");  // delimiters only
  AddFile(std::string(9000, ' ') + "two four");
  TCorpusIndex corpus;
  RecordingProgress progress;
  corpus.BuildRange(files_, 0, 2, &progress);
  EXPECT_FALSE(corpus.Indexing());
  EXPECT_EQ(progress.labels,
            (std::vector<std::string>{files_[0].name, files_[1].name, files_[2].name}));
  EXPECT_EQ(progress.maxima, std::vector<int64_t>{1 + 1 + 2});  // 8192-byte blocks
  TTextIndex& index = *corpus.Index();
  EXPECT_FALSE(index.Modified());
  EXPECT_EQ(index.GetFileRange(1), std::make_pair(4, 4));
  EXPECT_EQ(index.FileOf(5), 2);

  AddFile("two");
  corpus.BuildRange(files_, 3, 3, nullptr);
  EXPECT_EQ(corpus.Index()->PatternFreq("two", false, kWordKinds), 4);
  EXPECT_EQ(corpus.Index()->GetFileRange(3), std::make_pair(6, 7));
}

TEST_F(CorpusIndexTest, WorkspaceIndexIsKeptAndReopened) {
  AddFile("alpha beta alpha");
  std::string workspace = data_.File("study.qws");
  EXPECT_EQ(TCorpusIndex::WorkspaceDir(workspace), data_.File("study/"));
  {
    TCorpusIndex corpus;
    corpus.SetWorkspaceFile(workspace);
    EXPECT_FALSE(corpus.LoadWorkspaceIndex());  // nothing stored yet
    corpus.BuildRange(files_, 0, 0, nullptr);
    EXPECT_EQ(corpus.PageFileName(), data_.File("study/PAGE_IDX.tmp"));
    EXPECT_EQ(corpus.SeqFileName(), data_.File("study/SEQ_IDX.tmp"));
  }  // destroyed with the workspace active: committed and kept
  TCorpusIndex corpus;
  corpus.SetWorkspaceFile(workspace);
  ASSERT_TRUE(corpus.LoadWorkspaceIndex());
  EXPECT_EQ(Words(corpus), 3);
  corpus.CloseIndex(false);

  // A damaged or missing file makes the caller rebuild.
  test::OverwriteBytes(data_.File("study/PAGE_IDX.tmp"), 0, "XXXX");
  EXPECT_FALSE(corpus.LoadWorkspaceIndex());
  EXPECT_EQ(corpus.Index(), nullptr);
  fs::remove(data_.File("study/SEQ_IDX.tmp"));
  EXPECT_FALSE(corpus.LoadWorkspaceIndex());
  corpus.Rebuild(files_);
  EXPECT_EQ(Words(corpus), 3);
  EXPECT_TRUE(fs::exists(data_.File("study/SEQ_IDX.tmp")));
}

TEST_F(CorpusIndexTest, SavingAsMovesTemporaryFilesAndCopiesWorkspaceFiles) {
  AddFile("x y z x");
  TCorpusIndex corpus;
  corpus.BuildRange(files_, 0, 0, nullptr);
  std::string tempPage = corpus.PageFileName();

  // First save: the temporary pair moves into the new workspace's directory.
  std::string dirA = data_.File("a/");
  fs::create_directories(dirA);
  corpus.SetWorkspaceFile(data_.File("a.qws"));
  corpus.MoveIndexFiles(dirA + "SEQ_IDX.tmp", dirA + "PAGE_IDX.tmp");
  EXPECT_FALSE(fs::exists(tempPage));
  EXPECT_TRUE(TempIndexFiles().empty());
  EXPECT_EQ(corpus.PageFileName(), dirA + "PAGE_IDX.tmp");
  EXPECT_EQ(Words(corpus), 4);

  // Save as another workspace: a copy; a.qws keeps its own, stale files at b are replaced.
  std::string dirB = data_.File("b/");
  fs::create_directories(dirB);
  test::WriteFileBytes(dirB + "PAGE_IDX.tmp", "stale");
  corpus.SetWorkspaceFile(data_.File("b.qws"));
  corpus.CopyIndexFiles(dirB + "SEQ_IDX.tmp", dirB + "PAGE_IDX.tmp");
  EXPECT_TRUE(fs::exists(dirA + "PAGE_IDX.tmp"));
  EXPECT_EQ(Words(corpus), 4);
  EXPECT_EQ(test::ReadFileBytes(dirA + "SEQ_IDX.tmp"), test::ReadFileBytes(dirB + "SEQ_IDX.tmp"));

  // Saving into the folder already in use reopens the same files.
  corpus.CopyIndexFiles(dirB + "SEQ_IDX.tmp", dirB + "PAGE_IDX.tmp");
  EXPECT_EQ(Words(corpus), 4);
}

TEST_F(CorpusIndexTest, RebuildShowsBuildingIndexAndCountsPairs) {
  std::vector<std::string> captions;
  InstallProgressFactory([&](TProgressKind, const std::string& caption) {
    captions.push_back(caption);
    return std::make_unique<TNullProgress>();
  });
  AddFile("dog_NN barks_VBZ");
  TCorpusIndex corpus;
  corpus.BuildRange(files_, 0, 0, nullptr);
  EXPECT_FALSE(corpus.Index()->CountsPairs());
  Config().WordTag = 1;
  corpus.Rebuild(files_);
  EXPECT_EQ(captions, std::vector<std::string>{"Building index"});
  TTextIndex& index = *corpus.Index();
  ASSERT_TRUE(index.PairTableCurrent());
  const TIndexToken* dog = index.FindToken("dog", kKindWord);
  const TIndexToken* nn = index.FindToken("nn", kKindWordTag);
  ASSERT_NE(dog, nullptr);
  ASSERT_NE(nn, nullptr);
  EXPECT_EQ(index.PairFreq(static_cast<int32_t>(dog->id), static_cast<int32_t>(nn->id)), 1u);
  EXPECT_EQ(TempIndexFiles().size(), 2u);  // the old pair was deleted
}

// Counts the tokens a split produces, the simple way.
class CountingSink : public TTokenSink {
 public:
  uint32_t AddToken(const char* text, uint8_t kind, int64_t, uint32_t) override {
    ++counts[{text, kind}];
    return 0;
  }
  std::map<std::pair<std::string, uint8_t>, int64_t> counts;
};

// Whitespace-separated fields of the files equal to the text, letter case ignored: what a
// linguist's grep counts for a word/tag pair.
int64_t GrepCount(const std::vector<TCorpusFileRef>& files, const std::string& wanted) {
  int64_t count = 0;
  for (const TCorpusFileRef& file : files) {
    std::istringstream in(test::ReadFileBytes(file.name));
    std::string field;
    while (in >> field) {
      for (char& c : field) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      count += field == wanted;
    }
  }
  return count;
}

TEST_F(CorpusIndexTest, BrownSampleAgreesWithItsTokensAndWithGrep) {
  std::string dir = std::string(QUENTERRA_SAMPLES_DIR) + "/brown/";
  if (!fs::exists(dir + "ca01")) GTEST_SKIP() << "sample corpus not installed";
  for (const char* name : {"ca01", "ca02", "ca03", "cb01", "cc01", "cd01", "ce01", "cf01"}) {
    streams_.push_back(std::make_unique<TFileSynchroStream>(dir + name));
    files_.push_back({dir + name, streams_.back().get()});
  }
  Config().WordTag = 1;
  Config().wTagDelimiter = '/';
  TCorpusIndex corpus;
  corpus.BuildRange(files_, 0, static_cast<int>(files_.size()) - 1, nullptr);

  CountingSink sink;
  TWordSplitter splitter(sink);
  for (size_t i = 0; i < files_.size(); ++i) {
    splitter.SplitFile(*files_[i].stream, static_cast<uint32_t>(i), files_[i].name);
  }
  int64_t words = 0, types = 0;
  for (const auto& [key, count] : sink.counts) {
    if (key.second != kKindWord) continue;
    words += count;
    ++types;
  }
  TIndexStats stats = corpus.Index()->GetStats(kWordKinds);
  EXPECT_EQ(stats.frequency, words);
  EXPECT_EQ(stats.tokens, types);

  TTextIndex& index = *corpus.Index();
  for (const auto& [word, tag] : std::vector<std::pair<std::string, std::string>>{{"the", "at"},
                                                                                  {"of", "in"},
                                                                                  {"and", "cc"},
                                                                                  {"said", "vbd"},
                                                                                  {"to", "to"},
                                                                                  {"to", "in"}}) {
    const TIndexToken* w = index.FindToken(word, kKindWord);
    const TIndexToken* t = index.FindToken(tag, kKindWordTag);
    ASSERT_TRUE(w != nullptr && t != nullptr) << word << '/' << tag;
    EXPECT_EQ(index.PairFreq(static_cast<int32_t>(w->id), static_cast<int32_t>(t->id)),
              GrepCount(files_, word + "/" + tag))
        << word << '/' << tag;
  }
}

}  // namespace
}  // namespace quenterra
