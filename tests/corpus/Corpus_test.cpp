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

// Writes down what the corpus tells its owner, one line an event; the idle calls are counted.
class TRecordingObserver : public TCorpusObserver {
 public:
  void FileShown(int file) override { events.push_back("shown " + std::to_string(file)); }
  void FileRemoving(int file) override { events.push_back("removing " + std::to_string(file)); }
  void Unloading() override { events.push_back("unloading"); }
  void IndexRebuilding() override { events.push_back("rebuilding"); }
  void Idle() override { ++idle; }
  void CorpusInfoChanged(const std::string& text) override { info.push_back(text); }

  Names events;
  Names info;
  int idle = 0;
};

class CorpusTest : public test::TSettingsTest {
 protected:
  CorpusTest() { corpus_.SetObserver(&observer_); }
  std::string Write(const std::string& name, const std::string& text) {
    return data_.Write(name, text);
  }

  test::TTempDir data_;        // made before TMPDIR moves
  test::TPrivateTmpDir temp_;  // TMPDIR: where temporary index files go
  TRecordingObserver observer_;
  TCorpus corpus_{settings_.config, settings_.tables};
};

TEST_F(CorpusTest, LoadsIndexesAndDescribesTheCorpus) {
  EXPECT_EQ(corpus_.StatusHint(), "No files loaded");
  EXPECT_EQ(corpus_.LoadCorpusFiles({Write("a.txt", "the cat and the hat\n")}, false).added, 1);
  EXPECT_EQ(corpus_.StatusHint(), "1 file in current corpus");
  EXPECT_EQ(corpus_.LastIndexSource(), TIndexSourceKind::kBuilt);

  // Three at once: only the first one is shown; the front end breathes after each.
  observer_.idle = 0;
  TLoadResult result = corpus_.LoadCorpusFiles(
      {Write("b.txt", "The end"), Write("c.txt", "x"), Write("d.txt", "y")}, false);
  EXPECT_EQ(result.added, 3);
  EXPECT_EQ(observer_.events, (Names{"shown 0", "shown 1"}));
  EXPECT_EQ(observer_.idle, 3);
  EXPECT_EQ(corpus_.StatusHint(), "4 files in current corpus");
  EXPECT_EQ(corpus_.Index()->FileCount(), 4);
  ASSERT_FALSE(observer_.info.empty());
  EXPECT_EQ(observer_.info.back(), "9 words, 7 types");
  EXPECT_EQ(corpus_.LastCorpusDir(), data_.Path().string() + "/");
  EXPECT_TRUE(messages_->errors.empty());
}

TEST_F(CorpusTest, DuplicatesMissingAndNonTextFiles) {
  std::string a = Write("a.txt", "one two");
  fs::create_symlink(a, data_.File("link.txt"));
  corpus_.LoadCorpusFiles({a, Write("A.txt", "three")}, false);
  observer_.events.clear();

  // The same file again, by name or through a link, is only shown. Names that differ in letter
  // case are different files here.
  TLoadResult result = corpus_.LoadCorpusFiles({data_.File("link.txt"), a}, false);
  EXPECT_EQ(result.added, 0);
  EXPECT_TRUE(result.failed.empty());
  EXPECT_EQ(observer_.events, (Names{"shown 0", "shown 0"}));
  EXPECT_EQ(corpus_.FileCount(), 2);

  // A missing file is reported by name and skipped; the rest load.
  std::string missing = data_.File("gone.txt");
  std::string binary = Write("data.bin", std::string(200, '\x01'));
  messages_->answers = {false};
  result = corpus_.LoadCorpusFiles({missing, binary, Write("c.txt", "four")}, false);
  EXPECT_EQ(result.added, 1);
  EXPECT_EQ(result.failed, (Names{missing, binary}));
  EXPECT_EQ(messages_->errors, Names{"Unable to open file: " + missing + "."});
  EXPECT_EQ(messages_->asked, Names{binary + "\r\ndoes not seem to be a text file. Open anyway?"});

  // Accepting the question opens it anyway.
  messages_->answers = {true};
  EXPECT_TRUE(corpus_.AddCorpusFile(binary));
  EXPECT_EQ(corpus_.FileCount(), 4);
}

TEST_F(CorpusTest, NamesBecomeFullPathsAndLoseStrayQuoting) {
  EXPECT_EQ(TCorpus::NormalizeName("x/../y.txt"), fs::current_path().string() + "/y.txt");
  EXPECT_EQ(TCorpus::NormalizeName("/d/\"*a?<b>|:\\.txt\""), "/d/ab.txt\"");
  EXPECT_EQ(TCorpus::NormalizeName("/d/a.b?c"), "/d/a.b?c");  // only before the first period
  // A real file keeps every character Linux allows in its name.
  std::string odd = Write("odd:name?.txt", "w");
  EXPECT_EQ(TCorpus::NormalizeName(odd), odd);
}

TEST_F(CorpusTest, RemovingFilesRebuildingAndUnloading) {
  Names captions;
  InstallProgressFactory([&](TProgressKind, const std::string& caption) {
    captions.push_back(caption);
    return std::make_unique<TNullProgress>();
  });
  corpus_.LoadCorpusFiles({Write("a", "a a"), Write("b", "b b b"), Write("c", "c")}, false);
  EXPECT_EQ(captions, Names{"Loading..."});
  observer_.events.clear();
  corpus_.RemoveFile(1);
  EXPECT_EQ(corpus_.FileNames(), (Names{data_.File("a"), data_.File("c")}));
  EXPECT_EQ(corpus_.CorpusWordCount(), 6);  // the index still holds the removed file

  corpus_.RebuildIndex();
  EXPECT_EQ(observer_.events, (Names{"removing 1", "rebuilding"}));
  EXPECT_EQ(captions.back(), "Building index");
  EXPECT_EQ(corpus_.CorpusWordCount(), 3);
  EXPECT_EQ(corpus_.Index()->FileCount(), 2);

  // Later files are appended to the rebuilt index.
  corpus_.LoadCorpusFiles({Write("d", "d d")}, false);
  EXPECT_EQ(corpus_.Index()->GetFileRange(2), std::make_pair(3, 5));

  // Unloading deletes the temporary index; a corpus without words shows its size.
  observer_.events.clear();
  corpus_.UnloadCorpus();
  EXPECT_EQ(observer_.events, Names{"unloading"});
  EXPECT_EQ(corpus_.Index(), nullptr);
  EXPECT_EQ(corpus_.CorpusWordCount(), 0);
  EXPECT_TRUE(temp_.Files().empty());
  EXPECT_EQ(observer_.info.back(), "0 bytes, 0 files");
  corpus_.LoadCorpusFiles({Write("dots.txt", std::string(1536, '.'))}, false);
  EXPECT_EQ(corpus_.UpdateCorpusInfo(), "1.50 kbytes, 1 file");
}

TEST_F(CorpusTest, AFileRemovedBeforeLoadingMoreMakesTheNextLoadRebuild) {
  corpus_.LoadCorpusFiles({Write("a", "a"), Write("b", "b b")}, false);
  corpus_.RemoveFile(0);
  // Appending to an index that still numbers the removed file would shift every file.
  corpus_.LoadCorpusFiles({Write("c", "c c c")}, false);
  EXPECT_EQ(corpus_.Index()->FileCount(), 2);
  EXPECT_EQ(corpus_.Index()->GetFileRange(0), std::make_pair(0, 2));
  EXPECT_EQ(corpus_.CorpusWordCount(), 5);
}

TEST_F(CorpusTest, LoadingAndIndexingFlagsAndCountsFollowTheSettingsInForce) {
  std::vector<bool> flags;
  class TWatch : public TNullProgress {
   public:
    TWatch(TCorpus& corpus, std::vector<bool>& flags) : corpus_(corpus), flags_(flags) {}
    void SetPosition(int64_t) override {
      flags_.push_back(corpus_.Loading() && corpus_.Indexing());
    }
    void SetLabel(const std::string&) override { flags_.push_back(corpus_.Loading()); }

   private:
    TCorpus& corpus_;
    std::vector<bool>& flags_;
  };
  InstallProgressFactory(
      [&](TProgressKind, const std::string&) { return std::make_unique<TWatch>(corpus_, flags); });
  settings_.config.SkipNormalTags = false;
  corpus_.LoadCorpusFiles({Write("t", "word <tag inside> end")}, false);
  ASSERT_FALSE(flags.empty());
  EXPECT_EQ(std::count(flags.begin(), flags.end(), false), 0);
  EXPECT_FALSE(corpus_.Loading() || corpus_.Indexing());
  EXPECT_EQ(corpus_.UpdateCorpusInfo(), "4 words, 4 types");  // the tag name and its word count
  settings_.config.SkipNormalTags = true;
  corpus_.Recount();
  EXPECT_EQ(corpus_.CorpusWordCount(), 2);
}

}  // namespace
}  // namespace quenterra
