// Damage done to a workspace's stored files (the two index files and their state file) never
// shows: a run gives the list of the undamaged workspace, either at once or after "Error loading
// the index." and a rebuild, and the run after that uses the mended index without a word.
//
// The workspace file itself is left out: what it holds is the user's own settings and file list,
// and a changed setting rightly gives another list.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/Workspace.h"
#include "engine/ListFormat.h"
#include "engine/collocExtract.h"
#include "engine/collocList.h"
#include "patterns/ExtractPattern.h"
#include "support/CorpusTestKit.h"
#include "support/FileDamage.h"

namespace quenterra {
namespace {

// Tagged words of a small vocabulary, so that the page file holds 1- and 8-page chunks and a
// pair table.
std::string TaggedText(int words, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string text;
  for (int i = 0; i < words; ++i) {
    uint32_t n = rng() % 300 % (1 + rng() % 300);
    text += "w" + std::to_string(n) + "/t" + std::to_string(n % 5) + (i % 11 == 10 ? '\n' : ' ');
  }
  return text;
}

class WorkspaceDamageTest : public test::TSettingsTest {
 protected:
  void SetUp() override {
    TSettingsTest::SetUp();
    settings_.config.WordTag = 1;
    settings_.config.wTagDelimiter = '/';
    settings_.config.SpanRange = 3;
    std::vector<std::string> files;
    for (uint32_t i = 0; i < 3; ++i)
      files.push_back(data_.Write("c" + std::to_string(i), TaggedText(500, i)));
    TCorpus corpus(settings_.config, settings_.tables);
    ASSERT_EQ(CreateWorkspace(corpus, settings_, workspace_, files), TCreateResult::kCreated);
  }

  // The list a run on the workspace gives, as it would be saved; what it reported goes to
  // `errors`, and whether the index was stored to `stored`.
  std::string RunList(std::vector<std::string>& errors, bool& stored) {
    messages_->errors.clear();
    TProgramSettings settings = test::EnglishSettings();
    TCorpus corpus(settings.config, settings.tables);
    EXPECT_TRUE(OpenWorkspace(corpus, settings, workspace_));
    errors = messages_->errors;
    stored = corpus.LastIndexSource() == TIndexSourceKind::kStored;
    auto records = ParseExtractRequest(TSearchKind::kWordPhrase, false, {"w1*"}, settings.config,
                                       settings.tables);
    std::unique_ptr<TCollocationList> list = ExtractAll(*records, *corpus.Index(), settings.Run());
    std::ostringstream out;
    WriteSavedList(out, *list, TListView{true, list->ScoreMethod()});
    return out.str();
  }

  test::TTempDir data_{test::MemoryFolder()};  // in memory where it can: a rebuild syncs
  test::TPrivateTmpDir tmp_;
  std::string workspace_ = data_.File("w.qws");
  std::string dir_ = data_.File("w/");
};

// One damage: a byte flipped, a run zeroed, the file cut short, or two runs swapped.
void Damage(std::string& bytes, std::mt19937& rng) {
  if (bytes.empty()) return;
  auto at = [&](size_t room) { return rng() % (bytes.size() - std::min(room, bytes.size() - 1)); };
  switch (rng() % 4) {
    case 0:
      bytes[at(1)] ^= static_cast<char>(1 + rng() % 255);
      break;
    case 1: {
      size_t length = 1 + rng() % std::min<size_t>(4096, bytes.size());
      bytes.replace(at(length), length, length, '\0');
      break;
    }
    case 2:
      bytes.resize(rng() % bytes.size());
      break;
    default: {
      size_t length = 1 + rng() % std::min<size_t>(64, bytes.size() / 2);
      size_t a = at(length), b = at(length);
      for (size_t i = 0; i < length && a + i < bytes.size() && b + i < bytes.size(); ++i)
        std::swap(bytes[a + i], bytes[b + i]);
    }
  }
}

TEST_F(WorkspaceDamageTest, DamagedStoredFilesNeverChangeTheListNorFailForGood) {
  std::vector<std::string> errors;
  bool stored = false;
  const std::string expected = RunList(errors, stored);
  ASSERT_TRUE(stored && errors.empty());
  ASSERT_NE(expected.find("( "), std::string::npos);
  const std::vector<std::string> names = {"SEQ_IDX.tmp", "PAGE_IDX.tmp", "INDEX_STATE.ini"};
  std::vector<std::string> pristine;
  for (const std::string& name : names) pristine.push_back(test::ReadFileBytes(dir_ + name));

  std::mt19937 rng(20240612);
  int rebuilt = 0;
  for (int round = 0; round < 250; ++round) {
    for (size_t f = 0; f < names.size(); ++f) test::WriteFileBytes(dir_ + names[f], pristine[f]);
    size_t target = rng() % names.size();
    std::string bytes = pristine[target];
    Damage(bytes, rng);
    test::WriteFileBytes(dir_ + names[target], bytes);

    EXPECT_TRUE(RunList(errors, stored) == expected) << names[target] << " round " << round;
    EXPECT_TRUE(errors.empty() || errors == std::vector<std::string>{"Error loading the index."})
        << names[target] << " round " << round;
    rebuilt += !stored;
    EXPECT_TRUE(RunList(errors, stored) == expected) << "after round " << round;
    EXPECT_TRUE(stored && errors.empty()) << names[target] << " round " << round;
  }
  EXPECT_GT(rebuilt, 150);  // most damage is seen; the rest (a changed letter case of a key) is
                            // harmless
  EXPECT_TRUE(tmp_.Files().empty());
}

}  // namespace
}  // namespace quenterra
