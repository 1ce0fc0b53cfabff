#include "corpus/SeqIndex.h"

#include <gtest/gtest.h>

#include <string>

#include "support/CorpusTestKit.h"
#include "support/ErrorOf.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using test::ErrorOf;
using test::Fixed32s;
using Range = std::pair<int32_t, int32_t>;

class SeqIndexTest : public ::testing::Test {
 protected:
  std::string Name() const { return dir_.File("seq"); }
  // A committed file of n entries: token id i % 7, file i / perFile.
  void Build(int n, int perFile) {
    TSeqIndex seq(Name(), TIndexFileMode::kCreate);
    for (int i = 0; i < n; ++i) seq.Add(i % 7, i / perFile, 1000 + i);
    seq.Commit();
  }
  std::string OpenError() {
    return ErrorOf([&] { TSeqIndex seq(Name(), TIndexFileMode::kOpen); });
  }
  test::TTempDir dir_;
};

TEST_F(SeqIndexTest, FileLayoutIsExact) {
  { TSeqIndex seq(Name(), TIndexFileMode::kCreate); }
  const std::string header = std::string("SIND\x01\0\0\0", 8) + Fixed32s({16384});
  EXPECT_EQ(test::ReadFileBytes(Name()), header + std::string(16384 - 12, '\0'));
  {
    TSeqIndex seq(Name(), TIndexFileMode::kOpen);
    EXPECT_EQ(seq.Count(), 0);
    EXPECT_EQ(seq.FileCount(), 0);
    EXPECT_EQ(seq.GetFileRange(0), Range(0, 0));
    seq.Add(5, 0, 300);
    seq.Add(9, 2, 256);  // file 1 produced nothing
    seq.Commit();
  }
  std::string bytes = test::ReadFileBytes(Name());
  // N, a reserved word, F, then the start of each file; the entries are token id and offset.
  EXPECT_EQ(bytes.substr(0, 36), header + Fixed32s({2, 0, 3, 0, 1, 1}));
  EXPECT_EQ(bytes.substr(16384), Fixed32s({5, 300, 9, 256}));
}

TEST_F(SeqIndexTest, PositionsAcrossCacheBlocksSurviveReopening) {
  Build(1300, 400);
  TSeqIndex seq(Name(), TIndexFileMode::kOpen);
  ASSERT_EQ(seq.Count(), 1300);
  for (int p : {511, 512, 511, 512, 0, 1299, 1024, 1023}) {
    EXPECT_EQ(seq.TokenAt(p), static_cast<uint32_t>(p % 7)) << p;
  }
  EXPECT_EQ(seq.FileCount(), 4);
  EXPECT_EQ(seq.FileOf(399), 0);
  EXPECT_EQ(seq.FileOf(400), 1);
  EXPECT_EQ(seq.GetFileRange(3), Range(1200, 1300));
  EXPECT_EQ(seq.GetFileRange(5), Range(1300, 1300));  // files after the last one are empty
  EXPECT_EQ(ErrorOf([&] { seq.TokenAt(1300); }), "SeqIndex: Position out of bounds.");
  EXPECT_EQ(ErrorOf([&] { seq.TokenAt(-1); }), "SeqIndex: Position out of bounds.");
}

TEST_F(SeqIndexTest, AddingAfterReopenContinuesThePartialBlock) {
  Build(700, 1000);
  {
    TSeqIndex seq(Name(), TIndexFileMode::kOpen);
    EXPECT_EQ(seq.TokenAt(3), 3u);  // a read cache elsewhere must not confuse the append
    for (int i = 700; i < 1100; ++i) seq.Add(i % 7, 1, 0);
    EXPECT_EQ(seq.TokenAt(699), 699u % 7);  // cached reads see uncommitted entries
    seq.Commit();
  }
  TSeqIndex seq(Name(), TIndexFileMode::kOpen);
  ASSERT_EQ(seq.Count(), 1100);
  for (int p = 0; p < 1100; ++p) ASSERT_EQ(seq.TokenAt(p), static_cast<uint32_t>(p % 7)) << p;
  EXPECT_EQ(seq.GetFileRange(0), Range(0, 700));
  EXPECT_EQ(seq.GetFileRange(1), Range(700, 1100));
}

TEST_F(SeqIndexTest, FileLimitIs4090) {
  TSeqIndex seq(Name(), TIndexFileMode::kCreate);
  seq.Add(0, 4089, 0);
  EXPECT_EQ(ErrorOf([&] { seq.Add(0, 4090, 0); }), "SeqIndex: Max files limit reached.");
  EXPECT_EQ(seq.Count(), 1);  // nothing was added
  seq.Add(1, 4089, 0);
  seq.Commit();
  TSeqIndex reopened(Name(), TIndexFileMode::kOpen);
  EXPECT_EQ(reopened.FileCount(), 4090);
  EXPECT_EQ(reopened.FileOf(1), 4089);
}

TEST_F(SeqIndexTest, RejectsForeignAndDamagedFiles) {
  Build(600, 100);
  const std::string good = test::ReadFileBytes(Name());
  const std::string damaged = "SeqIndex: Index file is damaged.";
  auto damage = [&](auto change) {
    test::WriteFileBytes(Name(), good);
    change();
    return OpenError();
  };
  EXPECT_EQ(damage([&] { test::OverwriteBytes(Name(), 0, "PIND"); }),
            "SeqIndex: Invalid file type.");
  EXPECT_EQ(damage([&] { test::WriteFileBytes(Name(), "SI"); }), "SeqIndex: Invalid file type.");
  EXPECT_EQ(damage([&] { test::FlipByte(Name(), 6, 0x01); }),  // minor version 1
            "SeqIndex: Invalid version.");
  // The last entry missing, a file start beyond N, 4091 files, another data offset.
  EXPECT_EQ(damage([&] { test::TruncateFile(Name(), 16384 + 8 * 599); }), damaged);
  EXPECT_EQ(damage([&] { test::FlipByte(Name(), 24 + 4 * 3 + 1, 0x40); }), damaged);
  EXPECT_EQ(damage([&] { test::OverwriteBytes(Name(), 20, Fixed32s({4091})); }), damaged);
  EXPECT_EQ(damage([&] { test::FlipByte(Name(), 9, 0x01); }), damaged);
  EXPECT_EQ(damage([] {}), "(no exception)");
}

}  // namespace
}  // namespace quenterra
