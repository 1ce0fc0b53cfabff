#include "config/Workspace.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "config/SettingsFile.h"
#include "corpus/IndexState.h"
#include "platform/Errors.h"
#include "support/CorpusTestKit.h"
#include "support/FileDamage.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;

// Everything an index says about the corpus: tokens, the sequence and the file ranges. Long:
// compare with EXPECT_TRUE(a == b) so that a failure does not print it.
std::string Snapshot(const TCorpus& corpus) {
  TTextIndex* index = corpus.Index();
  if (index == nullptr) return "(no index)";
  std::string out;
  for (uint32_t id = 0; id < index->TokenCount(); ++id) {
    const TIndexToken& token = index->GetToken(id);
    out += std::string(token.text) + '/' + std::to_string(token.kind) + '/' +
           std::to_string(token.frequency) + ' ';
  }
  out += '\n';
  for (int32_t p = 0; p < index->SequenceCount(); ++p)
    out += std::to_string(index->TokenAt(p)) + ',';
  for (int32_t f = 0; f < index->FileCount(); ++f)
    out += " [" + std::to_string(index->GetFileRange(f).first) + ']';
  return out;
}

// Words from a small vocabulary, each with a tag, in lines of twelve.
std::string GeneratedText(int words, uint32_t seed) {
  std::string text;
  for (int i = 0; i < words; ++i) {
    seed = seed * 1103515245u + 12345u;
    uint32_t n = (seed >> 16) % 500;
    text += "w" + std::to_string(n) + "/t" + std::to_string(n % 7) + (i % 12 == 11 ? '\n' : ' ');
  }
  return text;
}

// Kills its own process once an index build has gone half way.
class TDieHalfway : public TNullProgress {
 public:
  explicit TDieHalfway(const std::string& caption) { SetCaption(caption); }
  void SetCaption(const std::string& caption) override { armed_ = caption == "Building index"; }
  void SetMax(int64_t max) override { max_ = max; }
  void SetPosition(int64_t position) override {
    if (armed_ && max_ >= 4 && position * 2 >= max_) ::raise(SIGKILL);
  }

 private:
  bool armed_ = false;
  int64_t max_ = 0;
};

class WorkspaceTest : public test::TSettingsTest {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    return data_.Write(name, text);
  }
  std::string Path(const std::string& name) const { return data_.File(name); }
  bool TempIsEmpty() const { return tmp_.Files().empty(); }
  // A workspace at Path(name) saved from the files given, its index moved out of TMPDIR.
  void MakeWorkspace(const std::string& name, const std::vector<std::string>& files) {
    TCorpus corpus(settings_.config, settings_.tables);
    corpus.LoadCorpusFiles(files, false);
    ASSERT_TRUE(SaveWorkspaceAs(corpus, settings_, Path(name), ""));
  }
  // The snapshot of a fresh temporary build over `files`.
  std::string FreshSnapshot(const std::vector<std::string>& files) {
    TCorpus corpus(settings_.config, settings_.tables);
    corpus.LoadCorpusFiles(files, false);
    return Snapshot(corpus);
  }
  // Opens workspace `name` in a child process, adds `file` and has the child killed half way
  // through that build, as a crash or a power cut would.
  void KillAdditionHalfway(const std::string& name, const std::string& file) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      InstallProgressFactory([](TProgressKind, const std::string& caption) {
        return std::make_unique<TDieHalfway>(caption);
      });
      TCorpus corpus(settings_.config, settings_.tables);
      if (OpenWorkspace(corpus, settings_, Path(name))) corpus.LoadCorpusFiles({file}, false);
      _exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "never got half way";
    // The build had written data, into files of its own.
    std::string dir = TCorpusIndex::WorkspaceDir(Path(name));
    uint64_t staged = 0;
    for (const std::string& entry : test::DirectoryEntries(dir))
      if (entry.starts_with("SEQ_IDX.tmp.tmp")) staged = test::FileSize(dir + entry);
    ASSERT_GT(staged, 16384u);
  }

  test::TTempDir data_;  // made before TMPDIR moves
  test::TPrivateTmpDir tmp_;
};

TEST(WorkspaceNames, NamesTitlesAndDirectories) {
  for (const char* name : {"/data/sample.qws", "MY DATA.QwS"})
    EXPECT_TRUE(IsWorkspaceFileName(name));
  for (const char* name : {"/data/a.qws.txt", "/data/qws", "/data/.qws"})
    EXPECT_FALSE(IsWorkspaceFileName(name)) << name;
  EXPECT_EQ(WorkspaceTitle("/data/a.qws"), "Quenterra - a");
  EXPECT_EQ(WorkspaceTitle("/data/MY DATA.QWS"), "Quenterra - My data");
  EXPECT_EQ(WorkspaceTitle("/data/9lives.qws"), "Quenterra - 9lives");
  EXPECT_EQ(TCorpusIndex::WorkspaceDir("/data/study.qws"), "/data/study/");
}

TEST_F(WorkspaceTest, FirstSaveMovesTheIndexAndReopeningUsesItWithTheWorkspaceSettings) {
  settings_.config.WordTag = 1;
  settings_.config.wTagDelimiter = '/';
  std::vector<std::string> files = {Write("a", GeneratedText(3000, 1)),
                                    Write("b", GeneratedText(2000, 2))};
  std::string fresh = FreshSnapshot(files);
  std::string config = Path("QUENTERRA.INI");
  {
    TCorpus corpus(settings_.config, settings_.tables);
    corpus.LoadCorpusFiles(files, false);
    ASSERT_TRUE(SaveWorkspaceAs(corpus, settings_, Path("study.qws"), config));
    EXPECT_EQ(corpus.WorkspaceFile(), Path("study.qws"));
    EXPECT_TRUE(fs::exists(Path("study/PAGE_IDX.tmp")));
    EXPECT_TRUE(TempIsEmpty());
  }
  EXPECT_EQ(ReadWorkspacePath(config), data_.Path().string() + "/");
  std::string text = test::ReadFileBytes(Path("study.qws"));
  EXPECT_EQ(text.find("SaveOnExit"), std::string::npos);
  // Inside the workspace's folder: relative names, so that the two can move together.
  EXPECT_TRUE(text.ends_with("[Corpus files]\nFileCount=2\nFile0=a\nFile1=b\nFile flagsCount=0\n"))
      << text;
  EXPECT_LT(text.find("[FrequencyConfiguration]"), text.find("[Corpus files]"));
  EXPECT_EQ(ReadWorkspaceFiles(Path("study.qws")), files);
  EXPECT_THROW(ReadWorkspaceFiles(Path("none.qws")), EFileError);
  auto stamp = fs::last_write_time(Path("study/SEQ_IDX.tmp"));

  settings_ = test::EnglishSettings();
  TCorpus corpus(settings_.config, settings_.tables);
  ASSERT_TRUE(OpenWorkspace(corpus, settings_, Path("study.qws")));
  EXPECT_EQ(settings_.config.WordTag, 1);
  EXPECT_EQ(settings_.config.wTagDelimiter, '/');
  EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::kStored);
  EXPECT_TRUE(Snapshot(corpus) == fresh);
  EXPECT_EQ(corpus.FileNames(), files);
  EXPECT_TRUE(messages_->errors.empty());
  EXPECT_TRUE(corpus.Index()->PairTableCurrent());

  // Unloading keeps the workspace and its files; loading again builds in its directory.
  corpus.UnloadCorpus();
  EXPECT_EQ(corpus.WorkspaceFile(), Path("study.qws"));
  EXPECT_EQ(fs::last_write_time(Path("study/SEQ_IDX.tmp")), stamp);
  corpus.LoadCorpusFiles({files[1]}, false);
  EXPECT_EQ(corpus.IndexFiles().SeqFileName(), Path("study/SEQ_IDX.tmp"));
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(WorkspaceTest, SaveAsItsOwnNameRewritesTheFileAnotherNameCopiesTheIndex) {
  MakeWorkspace("a.qws", {Write("t", "one two two")});
  TCorpus corpus(settings_.config, settings_.tables);
  ASSERT_TRUE(OpenWorkspace(corpus, settings_, Path("a.qws")));
  auto stampA = fs::last_write_time(Path("a/SEQ_IDX.tmp"));
  settings_.config.SpanRange = 7;
  corpus.FileFlags() = {"kept"};
  ASSERT_TRUE(SaveWorkspaceAs(corpus, settings_, Path("a.qws"), Path("none.ini")));
  EXPECT_FALSE(fs::exists(Path("none.ini")));  // WorkspacePath is for new names only
  ASSERT_TRUE(SaveWorkspaceAs(corpus, settings_, Path("b.qws"), ""));
  EXPECT_EQ(corpus.WorkspaceFile(), Path("b.qws"));
  EXPECT_EQ(fs::last_write_time(Path("a/SEQ_IDX.tmp")), stampA);
  EXPECT_EQ(corpus.IndexFiles().SeqFileName(), Path("b/SEQ_IDX.tmp"));

  // Both open from their own stored index, with the settings and flags saved.
  for (const char* name : {"a.qws", "b.qws"}) {
    settings_ = test::EnglishSettings();
    TCorpus other(settings_.config, settings_.tables);
    ASSERT_TRUE(OpenWorkspace(other, settings_, Path(name)));
    EXPECT_EQ(other.LastIndexSource(), TIndexSourceKind::kStored) << name;
    EXPECT_EQ(other.CorpusWordCount(), 3);
    EXPECT_EQ(settings_.config.SpanRange, 7);
    EXPECT_EQ(other.FileFlags(), std::vector<std::string>{"kept"});
  }
}

TEST_F(WorkspaceTest, FailedSavesAndOpensChangeNothing) {
  TCorpus corpus(settings_.config, settings_.tables);
  corpus.LoadCorpusFiles({Write("t", "one two")}, false);
  settings_.config.SpanRange = 7;
  std::string target = Path("no/such/dir/b.qws");
  EXPECT_FALSE(SaveWorkspaceAs(corpus, settings_, target, ""));
  // Without an extension the index directory would take the workspace file's own name.
  EXPECT_FALSE(SaveWorkspaceAs(corpus, settings_, Path("plain"), ""));
  EXPECT_FALSE(SaveWorkspace(corpus, settings_));  // no workspace active
  EXPECT_FALSE(OpenWorkspace(corpus, settings_, Path("gone.qws")));
  fs::create_directory(Path("dir.qws"));
  EXPECT_FALSE(OpenWorkspace(corpus, settings_, Path("dir.qws")));
  const std::string write = "Could not write to configuration file ";
  const std::string read = "Could not read from configuration file ";
  EXPECT_EQ(messages_->errors, (std::vector<std::string>{
                                   write + target + "!", write + Path("plain") + "!",
                                   read + Path("gone.qws") + "!", read + Path("dir.qws") + "!"}));
  EXPECT_EQ(corpus.WorkspaceFile(), "");
  EXPECT_EQ(corpus.FileCount(), 1);
  ASSERT_NE(corpus.Index(), nullptr);
  EXPECT_EQ(corpus.UpdateCorpusInfo(), "2 words, 2 types");
  EXPECT_FALSE(fs::exists(Path("no")));
  EXPECT_FALSE(fs::exists(Path("plain")));
  EXPECT_EQ(settings_.config.SpanRange, 7);
}

TEST_F(WorkspaceTest, AWorkspaceWithoutFilesOpensEmptyWithItsSettings) {
  Write("empty.qws", "[ExtractConfiguration]\nMin_Word_Freq=5\n[Corpus files]\nFileCount=0\n");
  TCorpus corpus(settings_.config, settings_.tables);
  corpus.LoadCorpusFiles({Write("t", "one")}, false);
  ASSERT_TRUE(OpenWorkspace(corpus, settings_, Path("empty.qws")));
  EXPECT_EQ(settings_.config.Min_Word_Freq, 5);
  EXPECT_EQ(corpus.FileCount(), 0);
  EXPECT_EQ(corpus.Index(), nullptr);
  EXPECT_EQ(corpus.UpdateCorpusInfo(), "0 bytes, 0 files");
  EXPECT_TRUE(messages_->errors.empty());
  EXPECT_TRUE(TempIsEmpty());  // the previous corpus's temporary index went with it
}

TEST_F(WorkspaceTest, UnusableStoredIndexIsReportedAndRebuilt) {
  std::vector<std::string> files = {Write("a", GeneratedText(800, 3)), Write("b", "x y"),
                                    Write("c", "p q r")};
  std::string fresh = FreshSnapshot(files);
  MakeWorkspace("w.qws", files);
  MakeWorkspace("other.qws", {Write("o", "x y")});
  const std::vector<std::function<void()>> damages = {
      [&] { fs::remove_all(Path("w")); },
      [&] { fs::remove(Path("w/PAGE_IDX.tmp")); },
      // (Bytes damaged along with the modification time: WorkspaceDamage_test.)
      [&] {  // a byte flipped, the file's modification time set back
        auto stamp = fs::last_write_time(Path("w/SEQ_IDX.tmp"));
        test::FlipByte(Path("w/SEQ_IDX.tmp"), test::FileSize(Path("w/SEQ_IDX.tmp")) - 3);
        fs::last_write_time(Path("w/SEQ_IDX.tmp"), stamp);
      },
      [&] { fs::remove(Path("w/INDEX_STATE.ini")); },
      [&] { test::WriteFileBytes(Path("w/INDEX_STATE.ini"), "[Index]\nComplete=0\n"); },
      [&] {  // another workspace's index, with the same settings
        fs::copy_file(Path("other/SEQ_IDX.tmp"), Path("w/SEQ_IDX.tmp"),
                      fs::copy_options::overwrite_existing);
        fs::copy_file(Path("other/PAGE_IDX.tmp"), Path("w/PAGE_IDX.tmp"),
                      fs::copy_options::overwrite_existing);
      },
      [&] { Write("b", "x y z"); },  // a corpus file changed since indexing
      [&] {                          // changed again, to the same size, its time set back
        auto stamp = fs::last_write_time(files[1]);
        Write("b", "q y");
        fs::last_write_time(files[1], stamp + std::chrono::nanoseconds(1));
      },
  };
  for (size_t i = 0; i < damages.size(); ++i) {
    damages[i]();
    messages_->errors.clear();
    TCorpus corpus(settings_.config, settings_.tables);
    ASSERT_TRUE(OpenWorkspace(corpus, settings_, Path("w.qws")));
    EXPECT_EQ(messages_->errors, std::vector<std::string>{"Error loading the index."}) << i;
    EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::kBuilt) << i;
    EXPECT_TRUE(corpus.IndexFiles().InWorkspace()) << i;
    if (i + 2 < damages.size()) {
      EXPECT_TRUE(Snapshot(corpus) == fresh) << i;
    }
  }
  // Once mended, the index is used again; a build killed half way leaves it as it was.
  std::string big = Write("big", GeneratedText(300000, 9));
  KillAdditionHalfway("w.qws", big);
  messages_->errors.clear();
  TCorpus corpus(settings_.config, settings_.tables);
  ASSERT_TRUE(OpenWorkspace(corpus, settings_, Path("w.qws")));
  EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::kStored);
  EXPECT_TRUE(messages_->errors.empty());
  EXPECT_EQ(test::DirectoryEntries(Path("w")),
            (std::vector<std::string>{"INDEX.lock", "INDEX_STATE.ini", "PAGE_IDX.tmp",
                                      "SEQ_IDX.tmp"}));  // the killed build's files removed
}

// A workspace whose corpus files cannot all be opened is not what its index describes: the
// files are named, the rest is indexed in temporary files and the stored index stays as it was,
// for the day the files are back. With requireAllFiles nothing is indexed at all.
TEST_F(WorkspaceTest, MissingCorpusFilesLeaveTheStoredIndexAlone) {
  std::vector<std::string> files = {Write("a", "one two three"), Write("b", "four"),
                                    Write("c", "five six")};
  MakeWorkspace("w.qws", files);
  std::string seq = test::ReadFileBytes(Path("w/SEQ_IDX.tmp"));
  std::string state = test::ReadFileBytes(Path("w/INDEX_STATE.ini"));
  fs::rename(files[1], Path("b.moved"));
  {
    TCorpus corpus(settings_.config, settings_.tables);
    ASSERT_TRUE(OpenWorkspace(corpus, settings_, Path("w.qws")));
    EXPECT_EQ(messages_->errors, (std::vector<std::string>{"Unable to open file: " + files[1] + ".",
                                                           "Error loading the index."}));
    EXPECT_EQ(corpus.FileNames(), (std::vector<std::string>{files[0], files[2]}));
    EXPECT_EQ(corpus.UpdateCorpusInfo(), "5 words, 5 types");
    EXPECT_TRUE(corpus.TemporaryIndex());
    messages_->errors.clear();
    TCorpus strict(settings_.config, settings_.tables);
    EXPECT_FALSE(OpenWorkspace(strict, settings_, Path("w.qws"), {.requireAllFiles = true}));
    EXPECT_EQ(messages_->errors,
              std::vector<std::string>{"Unable to open file: " + files[1] + "."});
    EXPECT_EQ(strict.Index(), nullptr);
  }
  EXPECT_EQ(test::ReadFileBytes(Path("w/SEQ_IDX.tmp")), seq);
  EXPECT_EQ(test::ReadFileBytes(Path("w/INDEX_STATE.ini")), state);
  EXPECT_TRUE(TempIsEmpty());
  fs::rename(Path("b.moved"), files[1]);
  TCorpus corpus(settings_.config, settings_.tables);
  ASSERT_TRUE(OpenWorkspace(corpus, settings_, Path("w.qws")));
  EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::kStored);
}

// Corpus files inside the workspace's folder are stored relative to it: the folder can move,
// and its index is used where it lands. Files outside it keep their full names.
TEST_F(WorkspaceTest, AWorkspaceMovedWithItsCorpusKeepsItsIndex) {
  fs::create_directories(Path("study/texts"));
  std::vector<std::string> files = {Write("study/texts/a", "one two"), Write("outside", "three")};
  MakeWorkspace("study/w.qws", files);
  EXPECT_NE(
      test::ReadFileBytes(Path("study/w.qws")).find("File0=texts/a\nFile1=" + files[1] + "\n"),
      std::string::npos);
  fs::rename(Path("study"), Path("moved"));
  TCorpus corpus(settings_.config, settings_.tables);
  ASSERT_TRUE(OpenWorkspace(corpus, settings_, Path("moved/w.qws")));
  EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::kStored);
  EXPECT_EQ(corpus.FileNames(), (std::vector<std::string>{Path("moved/texts/a"), files[1]}));
  EXPECT_TRUE(messages_->errors.empty());
}

// One-off settings that split text otherwise are indexed in temporary files; the stored index
// is not touched. (Settings made the workspace's own: the command-line test of save-settings.)
TEST_F(WorkspaceTest, OtherSplittingSettingsAreIndexedApart) {
  MakeWorkspace("w.qws", {Write("a", "Word word WORD")});
  std::string seq = test::ReadFileBytes(Path("w/SEQ_IDX.tmp"));
  int told = 0;
  auto caseSensitive = [this] {
    settings_.config.ignoreCase = false;
    settings_.RebuildTables();
  };
  {
    TCorpus corpus(settings_.config, settings_.tables);
    ASSERT_TRUE(
        OpenWorkspace(corpus, settings_, Path("w.qws"),
                      {.settingsRead = caseSensitive, .indexingTemporarily = [&] { ++told; }}));
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(corpus.TemporaryIndex());
    EXPECT_EQ(corpus.UpdateCorpusInfo(), "3 words, 3 types");
  }
  EXPECT_EQ(test::ReadFileBytes(Path("w/SEQ_IDX.tmp")), seq);
  EXPECT_TRUE(TempIsEmpty());
  // The workspace's own settings still find their index.
  TCorpus other(settings_.config, settings_.tables);
  ASSERT_TRUE(OpenWorkspace(other, settings_, Path("w.qws")));
  EXPECT_EQ(other.LastIndexSource(), TIndexSourceKind::kStored);
  EXPECT_EQ(other.UpdateCorpusInfo(), "3 words, 1 type");
  // Settings that do not touch splitting keep the index.
  TCorpus third(settings_.config, settings_.tables);
  ASSERT_TRUE(OpenWorkspace(third, settings_, Path("w.qws"),
                            {.settingsRead = [this] { settings_.config.SpanRange = 9; }}));
  EXPECT_EQ(third.LastIndexSource(), TIndexSourceKind::kStored);
  EXPECT_TRUE(messages_->errors.empty());
}

// Creation claims the name under the workspace's lock and writes the workspace file last: a
// name that exists is left alone, a creation that fails leaves nothing.
TEST_F(WorkspaceTest, CreationWritesTheWorkspaceLastOrNothing) {
  std::string a = Write("a", "one two");
  TCorpus failed(settings_.config, settings_.tables);
  EXPECT_EQ(CreateWorkspace(failed, settings_, Path("w.qws"), {a, Path("missing")}),
            TCreateResult::kFailed);
  EXPECT_FALSE(fs::exists(Path("w.qws")));
  EXPECT_FALSE(fs::exists(Path("w")));
  EXPECT_EQ(failed.WorkspaceFile(), "");

  TCorpus corpus(settings_.config, settings_.tables);
  ASSERT_EQ(CreateWorkspace(corpus, settings_, Path("w.qws"), {a}), TCreateResult::kCreated);
  EXPECT_EQ(corpus.WorkspaceFile(), Path("w.qws"));
  EXPECT_TRUE(corpus.IndexFiles().InWorkspace());
  std::string text = test::ReadFileBytes(Path("w.qws"));
  TCorpus again(settings_.config, settings_.tables);
  EXPECT_EQ(CreateWorkspace(again, settings_, Path("w.qws"), {a}), TCreateResult::kExists);
  EXPECT_EQ(test::ReadFileBytes(Path("w.qws")), text);
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
}  // namespace quenterra
