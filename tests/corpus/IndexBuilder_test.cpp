#include "corpus/IndexBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Errors.h"
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

// However the run ends, a temporary index leaves nothing behind: its files never have a name.
TEST_F(CorpusIndexTest, BuildsRangesWithProgressAndAddsLaterFilesToANamelessIndex) {
  AddFile("one two three two");
  AddFile(" .,;\n");  // delimiters only
  AddFile(std::string(9000, ' ') + "two four");
  TCorpusIndex corpus(settings_.config, settings_.tables);
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
  EXPECT_EQ(corpus.Index()->PatternFreq("two", kWordKinds), 4);
  EXPECT_EQ(corpus.Index()->GetFileRange(3), std::make_pair(6, 7));
  EXPECT_EQ(corpus.SeqFileName(), "");
  EXPECT_TRUE(temp_.Files().empty());
  corpus.CloseIndex(true);
  EXPECT_EQ(corpus.Index(), nullptr);
}

// Saving copies the temporary pair into the workspace's directory, saving as another workspace
// copies it (replacing stale files), and a workspace's index is kept and reopened.
TEST_F(CorpusIndexTest, WorkspaceIndexFilesAreMovedCopiedKeptAndReopened) {
  AddFile("x y z x");
  std::string dirA = data_.File("a/"), dirB = data_.File("b/");
  fs::create_directories(dirA);
  fs::create_directories(dirB);
  {
    TCorpusIndex corpus(settings_.config, settings_.tables);
    corpus.BuildRange(files_, 0, 0, nullptr);
    corpus.MoveIndexFiles(dirA + "SEQ_IDX.tmp", dirA + "PAGE_IDX.tmp");
    corpus.SetWorkspaceFile(data_.File("a.qws"));
    EXPECT_TRUE(corpus.InWorkspace());
    EXPECT_EQ(corpus.PageFileName(), dirA + "PAGE_IDX.tmp");
    EXPECT_EQ(Words(corpus), 4);

    test::WriteFileBytes(dirB + "PAGE_IDX.tmp", "stale");
    corpus.CopyIndexFiles(dirB + "SEQ_IDX.tmp", dirB + "PAGE_IDX.tmp");
    corpus.SetWorkspaceFile(data_.File("b.qws"));
    EXPECT_EQ(Words(corpus), 4);
    EXPECT_EQ(test::ReadFileBytes(dirA + "SEQ_IDX.tmp"), test::ReadFileBytes(dirB + "SEQ_IDX.tmp"));
    corpus.CopyIndexFiles(dirB + "SEQ_IDX.tmp", dirB + "PAGE_IDX.tmp");  // the files in use
    AddFile("x");
    corpus.BuildRange(files_, 1, 1, nullptr);
  }  // destroyed with the workspace active: kept
  for (const char* workspace : {"a.qws", "b.qws"}) {
    TCorpusIndex corpus(settings_.config, settings_.tables);
    corpus.SetWorkspaceFile(data_.File(workspace));
    ASSERT_TRUE(corpus.LoadWorkspaceIndex()) << workspace;
    EXPECT_EQ(Words(corpus), workspace[0] == 'a' ? 4 : 5);
  }
  EXPECT_EQ(test::DirectoryEntries(dirB),
            (std::vector<std::string>{"PAGE_IDX.tmp", "SEQ_IDX.tmp"}));
}

// A stream whose reads fail once it has delivered `good` bytes, as a disk going away does.
class TFailingStream : public test::TStringStream {
 public:
  TFailingStream(std::string data, int64_t good) : TStringStream(std::move(data)), good_(good) {}
  int64_t Read(void* buffer, int64_t count) override {
    if ((delivered_ += count) > good_) throw EFileError("Unable to read from file: x.");
    return TStringStream::Read(buffer, count);
  }

 private:
  int64_t good_;
  int64_t delivered_ = 0;
};

// A build for a workspace works on staged files: one that fails leaves the stored index as it
// was, open again, and nothing of its own behind.
TEST_F(CorpusIndexTest, AFailedWorkspaceBuildLeavesTheStoredIndex) {
  AddFile("a b c a");
  TCorpusIndex corpus(settings_.config, settings_.tables);
  std::string dir = data_.File("w/");
  corpus.SetWorkspaceFile(data_.File("w.qws"));
  corpus.BuildRange(files_, 0, 0, nullptr);
  ASSERT_TRUE(corpus.InWorkspace());
  std::string stored = test::ReadFileBytes(dir + "SEQ_IDX.tmp");

  TFailingStream failing(std::string(20000, 'x') + " y", 8192);
  files_.push_back({"failing", &failing});
  EXPECT_THROW(corpus.BuildRange(files_, 1, 1, nullptr), EFileError);
  ASSERT_TRUE(corpus.InWorkspace());
  EXPECT_EQ(Words(corpus), 4);
  EXPECT_EQ(test::ReadFileBytes(dir + "SEQ_IDX.tmp"), stored);
  EXPECT_EQ(test::DirectoryEntries(dir), (std::vector<std::string>{"PAGE_IDX.tmp", "SEQ_IDX.tmp"}));

  // A rebuild that fails keeps the stored files too; the index is gone from memory.
  EXPECT_THROW(corpus.Rebuild(files_), EFileError);
  EXPECT_EQ(corpus.Index(), nullptr);
  EXPECT_EQ(test::ReadFileBytes(dir + "SEQ_IDX.tmp"), stored);
  EXPECT_EQ(test::DirectoryEntries(dir), (std::vector<std::string>{"PAGE_IDX.tmp", "SEQ_IDX.tmp"}));
}

TEST_F(CorpusIndexTest, RebuildTakesTheSettingsInForce) {
  AddFile("dog_NN barks_VBZ \xD7\xE0\xE9");
  TCorpusIndex corpus(settings_.config, settings_.tables);
  corpus.BuildRange(files_, 0, 0, nullptr);
  EXPECT_FALSE(corpus.Index()->CountsPairs());
  // The settings as they stand at the rebuild decide: word tags, and Russian case folding of
  // code page 1251.
  settings_.config.WordTag = 1;
  settings_.global.Language = 0x0419;
  settings_.global.Encoding = TCorpusEncoding::kCodePage;
  settings_.RebuildTables();
  corpus.Rebuild(files_);
  TTextIndex& index = *corpus.Index();
  ASSERT_TRUE(index.PairTableCurrent());
  const TIndexToken* dog = index.FindToken("dog", kKindWord);
  const TIndexToken* nn = index.FindToken("nn", kKindWordTag);
  ASSERT_TRUE(dog != nullptr && nn != nullptr);
  EXPECT_EQ(index.PairFreq(static_cast<int32_t>(dog->id), static_cast<int32_t>(nn->id)), 1u);
  EXPECT_NE(index.FindToken("\xF7\xE0\xE9", kKindWord), nullptr);
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

// The sample corpus is read as word/tag tokens. '/' is both a delimiter and the word-tag
// delimiter; '-' is a word character, so labels such as 'np-tl' stay whole, while '$' is a
// delimiter that ends the label 'np' of 'np$' (the tag goes on, so nothing more is kept). A
// label made only of delimiters gives no token at all ('not/*', ',/,'), and a delimiter inside
// a word splits it ('1,119/cd' gives '1', then '119' with the label 'cd').
TEST_F(CorpusIndexTest, BrownSampleGivesLabelledWordsWhosePairsAgreeWithGrep) {
  std::string dir = std::string(QUENTERRA_SAMPLES_DIR) + "/brown/";
  if (!fs::exists(dir + "ca01")) GTEST_SKIP() << "sample corpus not installed";
  for (const char* name : {"ca01", "ca02", "ca03", "cb01", "cc01", "cd01", "ce01", "cf01"}) {
    AddStream(dir + name);
  }
  settings_.config.WordTag = 1;
  settings_.config.wTagDelimiter = '/';
  TCorpusIndex corpus(settings_.config, settings_.tables);
  corpus.BuildRange(files_, 0, static_cast<int>(files_.size()) - 1, nullptr);
  TTextIndex& index = *corpus.Index();

  std::string ca01;  // "text:kind" of its tokens
  std::vector<std::string> unlabelled;
  auto [begin, end] = index.GetFileRange(0);
  ASSERT_GT(end - begin, 4000);
  for (int32_t p = begin; p < end; ++p) {
    const TIndexToken& token = index.GetToken(index.TokenAt(p));
    ca01 += std::string(token.text) + ':' + std::to_string(token.kind) + ' ';
    if (token.kind == kKindWordTag) {
      ASSERT_EQ(p > begin ? index.GetToken(index.TokenAt(p - 1)).kind : 0, kKindWord) << p;
    } else {
      ASSERT_EQ(token.kind, kKindWord);
      if (p + 1 == end || index.GetToken(index.TokenAt(p + 1)).kind != kKindWordTag) {
        unlabelled.emplace_back(token.text);
      }
    }
  }
  EXPECT_EQ(ca01.rfind("the:1 at:5 fulton:1 np-tl:5 county:1 nn-tl:5 ", 0), 0u);
  EXPECT_NE(ca01.find(" atlanta's:1 np:5 recent:1 "), std::string::npos);
  EXPECT_NE(ca01.find(" 1:1 119:1 cd:5 "), std::string::npos);
  EXPECT_EQ(unlabelled, (std::vector<std::string>{"not", "not", "not", "not", "not", "1", "not"}));

  const std::pair<std::string, std::string> pairs[] = {{"the", "at"},   {"of", "in"}, {"and", "cc"},
                                                       {"said", "vbd"}, {"to", "to"}, {"to", "in"}};
  for (const auto& [word, tag] : pairs) {
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
