#include "config/Workspace.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/IniFile.h"
#include "settings/Settings.h"
#include "config/SettingsFile.h"
#include "corpus/IndexState.h"
#include "support/EnvScope.h"
#include "support/FileDamage.h"
#include "support/StoredSettingsTest.h"
#include "support/TempDir.h"

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
  for (int32_t f = 0; f < index->FileCount(); ++f) {
    out += " [" + std::to_string(index->GetFileRange(f).first) + ']';
  }
  return out;
}

// Words from a small vocabulary, some tagged, in lines of twelve.
std::string GeneratedText(int words, uint32_t seed) {
  std::string text;
  for (int i = 0; i < words; ++i) {
    seed = seed * 1103515245u + 12345u;
    uint32_t n = (seed >> 16) % 500;
    text += "w" + std::to_string(n) + "/t" + std::to_string(n % 7);
    text += i % 12 == 11 ? '\n' : ' ';
  }
  return text;
}

// Stops the build it reports on once the gauge has passed half way, tells the parent through a
// pipe and waits there to be killed. Armed only by the caption of a build.
class THaltHalfway : public TNullProgress {
 public:
  THaltHalfway(int fd, const std::string& caption) : fd_(fd), armed_(caption == "Building index") {}
  void SetCaption(const std::string& caption) override { armed_ = caption == "Building index"; }
  void SetMax(int64_t max) override { max_ = max; }
  void SetPosition(int64_t position) override {
    if (!armed_ || max_ < 4 || position * 2 < max_) return;
    if (::write(fd_, "!", 1) != 1) _exit(2);
    for (;;) ::pause();
  }

 private:
  int fd_;
  bool armed_;
  int64_t max_ = 0;
};

class WorkspaceTest : public test::TStoredSettingsTest {
 protected:
  void TearDown() override {
    InstallProgressFactory({});
    TStoredSettingsTest::TearDown();
  }
  std::string Write(const std::string& name, const std::string& text) {
    return data_.Write(name, text);
  }
  std::string Path(const std::string& name) const { return data_.File(name); }
  bool TempIsEmpty() const { return fs::is_empty(temp_.Path()); }
  // A workspace at Path(name) saved from the files given, its index moved out of TMPDIR.
  void MakeWorkspace(const std::string& name, const std::vector<std::string>& files) {
    TCorpus corpus;
    corpus.LoadCorpusFiles(files, false);
    ASSERT_TRUE(SaveWorkspaceAs(corpus, Path(name), ""));
  }
  // The snapshot of a fresh temporary build over `files`.
  std::string FreshSnapshot(const std::vector<std::string>& files) {
    TCorpus corpus;
    corpus.LoadCorpusFiles(files, false);
    return Snapshot(corpus);
  }
  // Runs `build` in a child process and kills it with SIGKILL in the middle of its index build:
  // the child stops half way through and waits, so the kill never misses the build.
  static void KillMidBuild(const std::function<void()>& build) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(fds[0]);
      InstallProgressFactory([fd = fds[1]](TProgressKind, const std::string& caption) {
        return std::make_unique<THaltHalfway>(fd, caption);
      });
      try {
        build();
      } catch (...) {
      }
      _exit(1);  // never got half way: the parent reads the end of the pipe
    }
    ::close(fds[1]);
    char byte = 0;
    ssize_t got = 0;
    do {
      got = ::read(fds[0], &byte, 1);
    } while (got < 0 && errno == EINTR);
    ::close(fds[0]);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_EQ(got, 1) << "the child's build did not get half way";
    ASSERT_TRUE(WIFSIGNALED(status));
  }

  test::TTempDir data_;
  test::TTempDir temp_;  // TMPDIR while the test runs
  test::TEnvScope tmpdir_{"TMPDIR", temp_.Path().c_str()};
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
  Config().WordTag = 1;
  Config().wTagDelimiter = '/';
  std::vector<std::string> files = {Write("a", GeneratedText(3000, 1)),
                                    Write("b", GeneratedText(2000, 2))};
  std::string fresh = FreshSnapshot(files);
  std::string config = Path("QUENTERRA.INI");
  {
    TCorpus corpus;
    corpus.LoadCorpusFiles(files, false);
    EXPECT_FALSE(TempIsEmpty());
    ASSERT_TRUE(SaveWorkspaceAs(corpus, Path("study.qws"), config));
    EXPECT_EQ(corpus.WorkspaceFile(), Path("study.qws"));
    EXPECT_EQ(corpus.Title(), "Quenterra");  // saving does not rename the window
    EXPECT_TRUE(fs::exists(Path("study/PAGE_IDX.tmp")));
    EXPECT_TRUE(TempIsEmpty());
  }
  EXPECT_EQ(ReadWorkspacePath(config), data_.Path().string() + "/");
  std::string text = test::ReadFileBytes(Path("study.qws"));
  EXPECT_NE(text.find("[GeneralConfiguration]\n"), std::string::npos);
  EXPECT_EQ(text.find("SaveOnExit"), std::string::npos);
  EXPECT_TRUE(text.ends_with("[Corpus files]\nFileCount=2\nFile0=" + files[0] +
                             "\nFile1=" + files[1] + "\nFile flagsCount=0\n"))
      << text;
  EXPECT_LT(text.find("[FrequencyConfiguration]"), text.find("[Corpus files]"));
  auto stamp = fs::last_write_time(Path("study/SEQ_IDX.tmp"));

  ResetSettings();
  TCorpus corpus;
  ASSERT_TRUE(OpenWorkspace(corpus, Path("study.qws")));
  EXPECT_EQ(Config().WordTag, 1);
  EXPECT_EQ(Config().wTagDelimiter, '/');
  EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::Stored);
  EXPECT_TRUE(Snapshot(corpus) == fresh);
  EXPECT_EQ(corpus.Title(), "Quenterra - Study");
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

TEST_F(WorkspaceTest, SaveAsAnotherNameCopiesAndKeepsTheFirst) {
  MakeWorkspace("a.qws", {Write("t", "one two two")});
  TCorpus corpus;
  ASSERT_TRUE(OpenWorkspace(corpus, Path("a.qws")));
  std::string seqA = test::ReadFileBytes(Path("a/SEQ_IDX.tmp"));
  auto stampA = fs::last_write_time(Path("a/PAGE_IDX.tmp"));

  ASSERT_TRUE(SaveWorkspaceAs(corpus, Path("b.qws"), ""));
  EXPECT_EQ(corpus.WorkspaceFile(), Path("b.qws"));
  EXPECT_EQ(corpus.Title(), "Quenterra - a");
  EXPECT_EQ(fs::last_write_time(Path("a/PAGE_IDX.tmp")), stampA);
  EXPECT_EQ(test::ReadFileBytes(Path("b/SEQ_IDX.tmp")), seqA);
  EXPECT_EQ(corpus.IndexFiles().SeqFileName(), Path("b/SEQ_IDX.tmp"));

  // Both open from their own stored index.
  for (const char* name : {"a.qws", "b.qws"}) {
    TCorpus other;
    ASSERT_TRUE(OpenWorkspace(other, Path(name)));
    EXPECT_EQ(other.LastIndexSource(), TIndexSourceKind::Stored) << name;
    EXPECT_EQ(other.CorpusWordCount(), 3);
  }
}

TEST_F(WorkspaceTest, SaveAsItsOwnNameOnlyRewritesTheFile) {
  MakeWorkspace("a.qws", {Write("t", "one two")});
  TCorpus corpus;
  ASSERT_TRUE(OpenWorkspace(corpus, Path("a.qws")));
  auto stamp = fs::last_write_time(Path("a/SEQ_IDX.tmp"));
  Config().SpanRange = 7;
  corpus.FileFlags() = {"kept"};
  ASSERT_TRUE(SaveWorkspaceAs(corpus, Path("a.qws"), Path("none.ini")));
  EXPECT_FALSE(fs::exists(Path("none.ini")));  // WorkspacePath is for new names only
  EXPECT_EQ(fs::last_write_time(Path("a/SEQ_IDX.tmp")), stamp);
  TIniFile file = TIniFile::Load(Path("a.qws"));
  EXPECT_EQ(file.ReadInteger("ExtractConfiguration", "SpanRange", 0), 7);
  EXPECT_EQ(file.ReadString("Corpus files", "File flags0", ""), "kept");

  ResetSettings();
  TCorpus again;
  ASSERT_TRUE(OpenWorkspace(again, Path("a.qws")));
  EXPECT_EQ(Config().SpanRange, 7);
  EXPECT_EQ(again.FileFlags(), std::vector<std::string>{"kept"});
}

TEST_F(WorkspaceTest, AFailedSaveAsChangesNothing) {
  TCorpus corpus;
  corpus.LoadCorpusFiles({Write("t", "one two")}, false);
  std::string seq = corpus.IndexFiles().SeqFileName();
  std::string target = Path("no/such/dir/b.qws");
  EXPECT_FALSE(SaveWorkspaceAs(corpus, target, ""));
  EXPECT_EQ(messages_->errors,
            std::vector<std::string>{"Could not write to configuration file " + target + "!"});
  EXPECT_EQ(corpus.WorkspaceFile(), "");
  EXPECT_EQ(corpus.IndexFiles().SeqFileName(), seq);
  EXPECT_TRUE(fs::exists(seq));
  EXPECT_FALSE(fs::exists(Path("no")));
  EXPECT_FALSE(SaveWorkspace(corpus));  // no workspace active
}

TEST_F(WorkspaceTest, MissingOrUnreadableWorkspaceLeavesTheCorpusAlone) {
  TCorpus corpus;
  corpus.LoadCorpusFiles({Write("t", "one two")}, false);
  std::string missing = Path("gone.qws");
  EXPECT_FALSE(OpenWorkspace(corpus, missing));
  fs::create_directory(Path("dir.qws"));
  EXPECT_FALSE(OpenWorkspace(corpus, Path("dir.qws")));
  EXPECT_EQ(messages_->errors,
            (std::vector<std::string>{
                "Could not read from configuration file " + missing + "!",
                "Could not read from configuration file " + Path("dir.qws") + "!"}));
  EXPECT_EQ(corpus.FileCount(), 1);
  EXPECT_EQ(corpus.WorkspaceFile(), "");
  EXPECT_EQ(corpus.Title(), "Quenterra");
}

TEST_F(WorkspaceTest, AWorkspaceWithoutFilesOpensEmptyWithItsSettings) {
  TIniFile file;
  file.WriteInteger("ExtractConfiguration", "Min_Word_Freq", 5);
  file.WriteInteger("Corpus files", "FileCount", 0);
  file.Save(Path("empty.qws"));
  TCorpus corpus;
  corpus.LoadCorpusFiles({Write("t", "one")}, false);
  ASSERT_TRUE(OpenWorkspace(corpus, Path("empty.qws")));
  EXPECT_EQ(Config().Min_Word_Freq, 5);
  EXPECT_EQ(corpus.FileCount(), 0);
  EXPECT_EQ(corpus.Index(), nullptr);
  EXPECT_EQ(corpus.UpdateCorpusInfo(), "0 bytes, 0 files");
  EXPECT_TRUE(messages_->errors.empty());
  EXPECT_TRUE(TempIsEmpty());  // the previous corpus's temporary index went with it
}

TEST_F(WorkspaceTest, UnusableStoredIndexIsReportedAndRebuilt) {
  std::vector<std::string> files = {Write("a", GeneratedText(800, 3)), Write("b", "x y")};
  std::string fresh = FreshSnapshot(files);
  MakeWorkspace("w.qws", files);
  // Each damage in turn: the directory deleted, a file missing, a header damaged, the
  // state file lost, a build marked unfinished, a corpus file changed since indexing.
  const std::vector<std::function<void()>> damages = {
      [&] { fs::remove_all(Path("w")); },
      [&] { fs::remove(Path("w/PAGE_IDX.tmp")); },
      [&] { test::OverwriteBytes(Path("w/SEQ_IDX.tmp"), 0, "XXXX"); },
      [&] { fs::remove(Path("w/INDEX_STATE.ini")); },
      [&] { MarkIndexBuilding(Path("w/")); },
      [&] { Write("b", "x y z"); },
  };
  for (size_t i = 0; i < damages.size(); ++i) {
    damages[i]();
    messages_->errors.clear();
    TCorpus corpus;
    ASSERT_TRUE(OpenWorkspace(corpus, Path("w.qws")));
    EXPECT_EQ(messages_->errors, std::vector<std::string>{"Error loading the index."}) << i;
    EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::Built) << i;
    if (i + 1 < damages.size()) {
      EXPECT_TRUE(Snapshot(corpus) == fresh) << i;
    }
    EXPECT_TRUE(fs::exists(Path("w/SEQ_IDX.tmp")));
  }
  TCorpus corpus;
  ASSERT_TRUE(OpenWorkspace(corpus, Path("w.qws")));
  EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::Stored);
}

TEST_F(WorkspaceTest, OtherSplittingSettingsMakeTheStoredIndexStale) {
  MakeWorkspace("w.qws", {Write("a", "Word word WORD")});
  TCorpus corpus;
  ASSERT_TRUE(OpenWorkspace(corpus, Path("w.qws"), [] { Config().ignoreCase = false; }));
  EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::Built);
  EXPECT_EQ(corpus.UpdateCorpusInfo(), "3 words, 3 types");
  // Back to the workspace's own settings: built once more, for them.
  TCorpus other;
  ASSERT_TRUE(OpenWorkspace(other, Path("w.qws")));
  EXPECT_EQ(other.LastIndexSource(), TIndexSourceKind::Built);
  EXPECT_EQ(other.UpdateCorpusInfo(), "3 words, 1 type");
  // Settings that do not touch splitting keep the index.
  TCorpus third;
  ASSERT_TRUE(OpenWorkspace(third, Path("w.qws"), [] { Config().SpanRange = 9; }));
  EXPECT_EQ(third.LastIndexSource(), TIndexSourceKind::Stored);
}

TEST_F(WorkspaceTest, MissingCorpusFilesAreNamedAndTheRestOpen) {
  std::vector<std::string> files = {Write("a", "one two"), Write("b", "three"),
                                    Write("c", "four five six")};
  MakeWorkspace("w.qws", files);
  fs::remove(files[1]);
  TCorpus corpus;
  ASSERT_TRUE(OpenWorkspace(corpus, Path("w.qws")));
  EXPECT_EQ(messages_->errors, (std::vector<std::string>{"Unable to open file: " + files[1] + ".",
                                                         "Error loading the index."}));
  EXPECT_EQ(corpus.FileNames(), (std::vector<std::string>{files[0], files[2]}));
  // The stored index numbered three files; the one built now numbers the two that are here.
  EXPECT_EQ(corpus.Index()->FileCount(), 2);
  EXPECT_EQ(corpus.UpdateCorpusInfo(), "5 words, 5 types");
  EXPECT_EQ(corpus.Index()->FileOf(4), 1);
}

TEST_F(WorkspaceTest, AKilledFirstBuildIsDetectedAndRebuilt) {
  Config().WordTag = 1;
  Config().wTagDelimiter = '/';
  std::vector<std::string> files = {Write("big", GeneratedText(300000, 7))};
  {
    // A workspace that lists the file but has no index yet.
    TCorpus corpus;
    corpus.SetWorkspaceFile(Path("w.qws"));
    ASSERT_TRUE(corpus.AddCorpusFile(files[0]));
    ASSERT_TRUE(SaveWorkspace(corpus));
  }
  KillMidBuild([&] {
    TCorpus corpus;
    OpenWorkspace(corpus, Path("w.qws"));
  });
  ASSERT_GT(test::FileSize(Path("w/SEQ_IDX.tmp")), 16384u);  // the build had written data

  messages_->errors.clear();
  TCorpus corpus;
  ASSERT_TRUE(OpenWorkspace(corpus, Path("w.qws")));
  EXPECT_EQ(messages_->errors, std::vector<std::string>{"Error loading the index."});
  EXPECT_EQ(corpus.LastIndexSource(), TIndexSourceKind::Built);
  EXPECT_EQ(corpus.CorpusWordCount(), 300000);
  EXPECT_TRUE(Snapshot(corpus) == FreshSnapshot(files));
}

TEST_F(WorkspaceTest, AKilledAdditionIsDetectedAndTheSavedCorpusRebuilt) {
  std::vector<std::string> small = {Write("a", GeneratedText(500, 1)), Write("b", "x y")};
  std::string fresh = FreshSnapshot(small);
  MakeWorkspace("w.qws", small);
  std::string big = Write("big", GeneratedText(300000, 9));
  KillMidBuild([&] {
    TCorpus corpus;
    if (!OpenWorkspace(corpus, Path("w.qws"))) return;
    corpus.LoadCorpusFiles({big}, false);
    SaveWorkspace(corpus);
  });

  TCorpus corpus;
  ASSERT_TRUE(OpenWorkspace(corpus, Path("w.qws")));
  EXPECT_EQ(messages_->errors, std::vector<std::string>{"Error loading the index."});
  EXPECT_EQ(corpus.FileNames(), small);  // the addition was never saved
  EXPECT_TRUE(Snapshot(corpus) == fresh);
}

}  // namespace
}  // namespace quenterra
