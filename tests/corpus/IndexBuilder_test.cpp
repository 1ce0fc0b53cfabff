#include "corpus/IndexBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "support/CorpusTestKit.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;

class CorpusIndexTest : public test::TSettingsTest {
 protected:
  // Opens a stream on a corpus file; files_ lists them in order.
  void AddStream(const std::string& name) {
    streams_.push_back(std::make_unique<TFileSynchroStream>(name));
    files_.push_back({name, streams_.back().get()});
  }
  void AddFile(const std::string& text) {
    AddStream(data_.Write("f" + std::to_string(files_.size()) + ".txt", text));
  }
  int64_t Words(TCorpusIndex& corpus) { return corpus.Index()->GetStats(kWordKinds).frequency; }

  test::TTempDir data_;        // made before TMPDIR moves
  test::TPrivateTmpDir temp_;  // TMPDIR: where temporary index files go
  std::vector<std::unique_ptr<TFileSynchroStream>> streams_;
  std::vector<TCorpusFileRef> files_;
};

TEST_F(CorpusIndexTest, TemporaryIndexLivesInPrefixedFilesDeletedOnClose) {
  TCorpusIndex corpus;
  corpus.EnsureIndex();
  std::vector<std::string> names = temp_.Files();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].substr(0, 3), "PGX");
  EXPECT_EQ(names[1].substr(0, 3), "SQX");
  EXPECT_EQ(fs::path(corpus.PageFileName()).filename(), names[0]);
  // Reopening the files in use keeps them.
  corpus.OpenIndexFiles(corpus.SeqFileName(), corpus.PageFileName(), nullptr);
  EXPECT_EQ(temp_.Files(), names);
  corpus.CloseIndex(true);
  EXPECT_EQ(corpus.Index(), nullptr);
  EXPECT_TRUE(temp_.Files().empty());
}

TEST_F(CorpusIndexTest, BuildsRangesWithProgressAndAddsLaterFiles) {
  AddFile("one two three two");
  AddFile(" .,;\n");  // delimiters only
  AddFile(std::string(9000, ' ') + "two four");
  TCorpusIndex corpus;
  test::TRecordingProgress progress;
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

// Saving moves the temporary pair into the workspace's directory, saving as another workspace
// copies it (replacing stale files), and a workspace's index is kept and reopened.
TEST_F(CorpusIndexTest, WorkspaceIndexFilesAreMovedCopiedKeptAndReopened) {
  AddFile("x y z x");
  std::string dirA = data_.File("a/"), dirB = data_.File("b/");
  fs::create_directories(dirA);
  fs::create_directories(dirB);
  {
    TCorpusIndex corpus;
    corpus.BuildRange(files_, 0, 0, nullptr);
    corpus.SetWorkspaceFile(data_.File("a.qws"));
    corpus.MoveIndexFiles(dirA + "SEQ_IDX.tmp", dirA + "PAGE_IDX.tmp");
    EXPECT_TRUE(temp_.Files().empty());
    EXPECT_EQ(corpus.PageFileName(), dirA + "PAGE_IDX.tmp");
    EXPECT_EQ(Words(corpus), 4);

    test::WriteFileBytes(dirB + "PAGE_IDX.tmp", "stale");
    corpus.SetWorkspaceFile(data_.File("b.qws"));
    corpus.CopyIndexFiles(dirB + "SEQ_IDX.tmp", dirB + "PAGE_IDX.tmp");
    EXPECT_EQ(Words(corpus), 4);
    EXPECT_EQ(test::ReadFileBytes(dirA + "SEQ_IDX.tmp"), test::ReadFileBytes(dirB + "SEQ_IDX.tmp"));
    corpus.CopyIndexFiles(dirB + "SEQ_IDX.tmp", dirB + "PAGE_IDX.tmp");  // the files in use
    AddFile("x");
    corpus.BuildRange(files_, 1, 1, nullptr);
  }  // destroyed with the workspace active: committed and kept
  for (const char* workspace : {"a.qws", "b.qws"}) {
    TCorpusIndex corpus;
    corpus.SetWorkspaceFile(data_.File(workspace));
    ASSERT_TRUE(corpus.LoadWorkspaceIndex()) << workspace;
    EXPECT_EQ(Words(corpus), workspace[0] == 'a' ? 4 : 5);
  }
  // A damaged file makes the caller rebuild.
  test::OverwriteBytes(dirB + "PAGE_IDX.tmp", 0, "XXXX");
  TCorpusIndex corpus;
  corpus.SetWorkspaceFile(data_.File("b.qws"));
  EXPECT_FALSE(corpus.LoadWorkspaceIndex());
  EXPECT_EQ(corpus.Index(), nullptr);
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
  ASSERT_TRUE(dog != nullptr && nn != nullptr);
  EXPECT_EQ(index.PairFreq(static_cast<int32_t>(dog->id), static_cast<int32_t>(nn->id)), 1u);
  EXPECT_EQ(temp_.Files().size(), 2u);  // the old pair was deleted
}

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

TEST_F(CorpusIndexTest, BrownSamplePairsAgreeWithGrep) {
  std::string dir = std::string(QUENTERRA_SAMPLES_DIR) + "/brown/";
  if (!fs::exists(dir + "ca01")) GTEST_SKIP() << "sample corpus not installed";
  for (const char* name : {"ca01", "ca02", "ca03", "cb01", "cc01", "cd01", "ce01", "cf01"}) {
    AddStream(dir + name);
  }
  Config().WordTag = 1;
  Config().wTagDelimiter = '/';
  TCorpusIndex corpus;
  corpus.BuildRange(files_, 0, static_cast<int>(files_.size()) - 1, nullptr);
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
