#include "corpus/Corpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "support/CorpusTestKit.h"
#include "support/ScriptedMessages.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class CorpusTest : public test::TSettingsTest {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    return data_.Write(name, text);
  }

  test::TTempDir data_;        // made before TMPDIR moves
  test::TPrivateTmpDir temp_;  // TMPDIR: where temporary index files go
  test::ScriptedMessages* messages_ = test::ScriptedMessages::Install();
};

TEST_F(CorpusTest, LoadsIndexesAndDescribesTheCorpus) {
  std::vector<int> shown;
  Names panel;
  TCorpus corpus;
  corpus.SetHooks({.showText = [&](int file) { shown.push_back(file); },
                   .corpusInfo = [&](const std::string& text) { panel.push_back(text); }});
  EXPECT_EQ(corpus.StatusHint(), "No files loaded");
  EXPECT_EQ(corpus.LoadCorpusFiles({Write("a.txt", "the cat and the hat\n")}, false).added, 1);
  EXPECT_EQ(corpus.StatusHint(), "1 file in current corpus");
  EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::Built);

  // Three at once: only the first one's text window opens.
  TLoadResult result = corpus.LoadCorpusFiles(
      {Write("b.txt", "The end"), Write("c.txt", "x"), Write("d.txt", "y")}, false);
  EXPECT_EQ(result.added, 3);
  EXPECT_EQ(shown, (std::vector<int>{0, 1}));
  EXPECT_EQ(corpus.StatusHint(), "4 files in current corpus");
  EXPECT_EQ(corpus.Index()->FileCount(), 4);
  ASSERT_FALSE(panel.empty());
  EXPECT_EQ(panel.back(), "9 words, 7 types");
  EXPECT_EQ(corpus.LastCorpusDir(), data_.Path().string() + "/");
  EXPECT_TRUE(messages_->errors.empty());
}

TEST_F(CorpusTest, DuplicatesMissingAndNonTextFiles) {
  std::vector<int> shown;
  TCorpus corpus;
  corpus.SetHooks({.showText = [&](int file) { shown.push_back(file); }});
  std::string a = Write("a.txt", "one two");
  fs::create_symlink(a, data_.File("link.txt"));
  corpus.LoadCorpusFiles({a, Write("A.txt", "three")}, false);
  shown.clear();

  // The same file again, by name or through a link, only brings its window forward. Names
  // that differ in letter case are different files here.
  TLoadResult result = corpus.LoadCorpusFiles({data_.File("link.txt"), a}, false);
  EXPECT_EQ(result.added, 0);
  EXPECT_TRUE(result.failed.empty());
  EXPECT_EQ(shown, (std::vector<int>{0, 0}));
  EXPECT_EQ(corpus.FileCount(), 2);

  // A missing file is reported by name and skipped; the rest load.
  std::string missing = data_.File("gone.txt");
  std::string binary = Write("data.bin", std::string(200, '\x01'));
  messages_->answers = {false};
  result = corpus.LoadCorpusFiles({missing, binary, Write("c.txt", "four")}, false);
  EXPECT_EQ(result.added, 1);
  EXPECT_EQ(result.failed, (Names{missing, binary}));
  EXPECT_EQ(messages_->errors, Names{"Unable to open file: " + missing + "."});
  EXPECT_EQ(messages_->asked, Names{binary + "\r\ndoes not seem to be a text file. Open anyway?"});

  // Accepting the question opens it anyway.
  messages_->answers = {true};
  EXPECT_TRUE(corpus.AddCorpusFile(binary));
  EXPECT_EQ(corpus.FileCount(), 4);
}

TEST_F(CorpusTest, NamesBecomeFullPathsAndLoseStrayQuoting) {
  EXPECT_EQ(TCorpus::NormalizeName("x/../y.txt"), fs::current_path().string() + "/y.txt");
  EXPECT_EQ(TCorpus::NormalizeName("/d/\"*a?<b>|:\\.txt\""), "/d/ab.txt\"");
  EXPECT_EQ(TCorpus::NormalizeName("/d/a.b?c"), "/d/a.b?c");  // only before the first period
  // A real file keeps every character Linux allows in its name.
  std::string odd = Write("odd:name?.txt", "w");
  EXPECT_EQ(TCorpus::NormalizeName(odd), odd);
}

TEST_F(CorpusTest, CorpusWithoutWordsShowsItsSizeAndUnloadDeletesTemporaryIndex) {
  TCorpus corpus;
  EXPECT_EQ(corpus.UpdateCorpusInfo(), "0 bytes, 0 files");
  corpus.LoadCorpusFiles({Write("dots.txt", std::string(1536, '.'))}, false);
  EXPECT_EQ(corpus.UpdateCorpusInfo(), "1.50 kbytes, 1 file");
  EXPECT_FALSE(temp_.Files().empty());

  int destroyed = 0;
  corpus.SetHooks({.destroyChildWindows = [&] { ++destroyed; }});
  corpus.UnloadCorpus();
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(corpus.FileCount(), 0);
  EXPECT_EQ(corpus.Index(), nullptr);
  EXPECT_EQ(corpus.CorpusWordCount(), 0);
  EXPECT_TRUE(temp_.Files().empty());
}

TEST_F(CorpusTest, RemovingFilesAndRebuilding) {
  std::vector<int> closed;
  int listsClosed = 0;
  Names captions;
  InstallProgressFactory([&](TProgressKind, const std::string& caption) {
    captions.push_back(caption);
    return std::make_unique<TNullProgress>();
  });
  TCorpus corpus;
  corpus.SetHooks({.closeText = [&](int file) { closed.push_back(file); },
                   .closeListWindows = [&] { ++listsClosed; }});
  corpus.LoadCorpusFiles({Write("a", "a a"), Write("b", "b b b"), Write("c", "c")}, false);
  EXPECT_EQ(captions, Names{"Loading..."});
  corpus.RemoveFile(1);
  EXPECT_EQ(closed, std::vector<int>{1});
  EXPECT_EQ(corpus.FileNames(), (Names{data_.File("a"), data_.File("c")}));
  EXPECT_EQ(corpus.CorpusWordCount(), 6);  // the index still holds the removed file

  EXPECT_TRUE(HandleCorpusMessage(corpus, CM_REBUILDINDEX));
  EXPECT_EQ(listsClosed, 1);
  EXPECT_EQ(captions.back(), "Building index");
  EXPECT_EQ(corpus.CorpusWordCount(), 3);
  EXPECT_EQ(corpus.Index()->FileCount(), 2);

  // Later files are appended to the rebuilt index.
  corpus.LoadCorpusFiles({Write("d", "d d")}, false);
  EXPECT_EQ(corpus.Index()->GetFileRange(2), std::make_pair(3, 5));

  // Removing every file, as the corpora list does, then unloading.
  while (corpus.FileCount() > 0) corpus.RemoveFile(corpus.FileCount() - 1);
  EXPECT_TRUE(HandleCorpusMessage(corpus, CM_UNLOADCORPUS));
  EXPECT_EQ(corpus.Index(), nullptr);
  EXPECT_FALSE(HandleCorpusMessage(corpus, 1126));
}

TEST_F(CorpusTest, AFileRemovedBeforeLoadingMoreMakesTheNextLoadRebuild) {
  TCorpus corpus;
  corpus.LoadCorpusFiles({Write("a", "a"), Write("b", "b b")}, false);
  corpus.RemoveFile(0);
  // Appending to an index that still numbers the removed file would shift every file.
  corpus.LoadCorpusFiles({Write("c", "c c c")}, false);
  EXPECT_EQ(corpus.Index()->FileCount(), 2);
  EXPECT_EQ(corpus.Index()->GetFileRange(0), std::make_pair(0, 2));
  EXPECT_EQ(corpus.CorpusWordCount(), 5);
}

TEST_F(CorpusTest, BusyWhileLoadingAndIndexingAndCountingFollowsSkipNormalTags) {
  TCorpus corpus;
  std::vector<bool> busy;
  class TWatch : public TNullProgress {
   public:
    TWatch(TCorpus& corpus, std::vector<bool>& busy) : corpus_(corpus), busy_(busy) {}
    void SetPosition(int64_t) override { busy_.push_back(corpus_.Loading() && corpus_.Busy()); }
    void SetLabel(const std::string&) override { busy_.push_back(corpus_.Busy()); }

   private:
    TCorpus& corpus_;
    std::vector<bool>& busy_;
  };
  InstallProgressFactory(
      [&](TProgressKind, const std::string&) { return std::make_unique<TWatch>(corpus, busy); });
  Config().SkipNormalTags = false;
  corpus.LoadCorpusFiles({Write("t", "word <tag inside> end")}, false);
  ASSERT_FALSE(busy.empty());
  EXPECT_EQ(std::count(busy.begin(), busy.end(), false), 0);
  EXPECT_FALSE(corpus.Busy());
  EXPECT_EQ(corpus.UpdateCorpusInfo(), "4 words, 4 types");  // the tag name and its word count
  Config().SkipNormalTags = true;
  corpus.Recount();
  EXPECT_EQ(corpus.CorpusWordCount(), 2);
  corpus.SetExtracting(true);
  EXPECT_TRUE(corpus.Busy());
}

}  // namespace
}  // namespace quenterra
