#include "corpus/SeqIndex.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Coding.h"
#include "support/ErrorOf.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using test::ErrorOf;

class SeqIndexTest : public ::testing::Test {
 protected:
  std::string Name() const { return dir_.File("seq"); }
  // A committed file of n entries: token id i % 7, file i / perFile.
  void Build(int n, int perFile) {
    TSeqIndex seq(Name(), TIndexFileMode::Create);
    for (int i = 0; i < n; ++i) seq.Add(i % 7, i / perFile, 1000 + i);
    seq.Commit();
  }
  std::string OpenError() {
    return ErrorOf([&] { TSeqIndex seq(Name(), TIndexFileMode::Open); });
  }
  test::TTempDir dir_;
};

TEST_F(SeqIndexTest, NewFileHasTheEmptyHeaderAndOpensEmpty) {
  { TSeqIndex seq(Name(), TIndexFileMode::Create); }
  std::string bytes = test::ReadFileBytes(Name());
  ASSERT_EQ(bytes.size(), 16384u);
  EXPECT_EQ(bytes.substr(0, 4), "SIND");
  EXPECT_EQ(DecodeFixed16(&bytes[4]), 1);
  EXPECT_EQ(DecodeFixed16(&bytes[6]), 0);
  EXPECT_EQ(DecodeFixed32(&bytes[8]), 16384u);
  EXPECT_EQ(bytes.substr(12), std::string(16384 - 12, '\0'));
  TSeqIndex seq(Name(), TIndexFileMode::Open);
  EXPECT_EQ(seq.Count(), 0);
  EXPECT_EQ(seq.FileCount(), 0);
  EXPECT_EQ(seq.GetFileRange(0), std::make_pair(0, 0));
}

TEST_F(SeqIndexTest, EntriesAndFileTableHaveTheirExactBytes) {
  {
    TSeqIndex seq(Name(), TIndexFileMode::Create);
    seq.Add(5, 0, 300);
    seq.Add(9, 2, 256);  // file 1 produced nothing
    seq.Commit();
  }
  std::string bytes = test::ReadFileBytes(Name());
  ASSERT_EQ(bytes.size(), 16384u + 16);
  EXPECT_EQ(DecodeFixed32(&bytes[12]), 2u);  // N
  EXPECT_EQ(DecodeFixed32(&bytes[16]), 0u);  // reserved
  EXPECT_EQ(DecodeFixed32(&bytes[20]), 3u);  // F
  EXPECT_EQ(DecodeFixed32(&bytes[24]), 0u);
  EXPECT_EQ(DecodeFixed32(&bytes[28]), 1u);
  EXPECT_EQ(DecodeFixed32(&bytes[32]), 1u);
  EXPECT_EQ(DecodeFixed32(&bytes[16384]), 5u);
  EXPECT_EQ(DecodeFixed32(&bytes[16388]), 300u);
  EXPECT_EQ(DecodeFixed32(&bytes[16392]), 9u);
  EXPECT_EQ(DecodeFixed32(&bytes[16396]), 256u);
}

TEST_F(SeqIndexTest, PositionsAcrossCacheBlocksSurviveReopening) {
  Build(1300, 400);
  TSeqIndex seq(Name(), TIndexFileMode::Open);
  ASSERT_EQ(seq.Count(), 1300);
  for (int p : {511, 512, 511, 512, 0, 1299, 1024, 1023}) {
    EXPECT_EQ(seq.TokenAt(p), static_cast<uint32_t>(p % 7)) << p;
  }
  EXPECT_EQ(seq.FileCount(), 4);
  EXPECT_EQ(seq.FileOf(399), 0);
  EXPECT_EQ(seq.FileOf(400), 1);
  EXPECT_EQ(seq.FileOf(1299), 3);
  EXPECT_EQ(seq.GetFileRange(3), std::make_pair(1200, 1300));
  EXPECT_EQ(ErrorOf([&] { seq.TokenAt(1300); }), "SeqIndex: Position out of bounds.");
  EXPECT_EQ(ErrorOf([&] { seq.TokenAt(-1); }), "SeqIndex: Position out of bounds.");
}

TEST_F(SeqIndexTest, AddingAfterReopenContinuesThePartialBlock) {
  Build(700, 1000);
  {
    TSeqIndex seq(Name(), TIndexFileMode::Open);
    EXPECT_EQ(seq.TokenAt(3), 3u);  // a read cache elsewhere must not confuse the append
    for (int i = 700; i < 1100; ++i) seq.Add(i % 7, 1, 0);
    EXPECT_EQ(seq.TokenAt(699), 699u % 7);  // cached reads see uncommitted entries
    seq.Commit();
  }
  TSeqIndex seq(Name(), TIndexFileMode::Open);
  ASSERT_EQ(seq.Count(), 1100);
  for (int p = 0; p < 1100; ++p) ASSERT_EQ(seq.TokenAt(p), static_cast<uint32_t>(p % 7)) << p;
  EXPECT_EQ(seq.GetFileRange(0), std::make_pair(0, 700));
  EXPECT_EQ(seq.GetFileRange(1), std::make_pair(700, 1100));
}

TEST_F(SeqIndexTest, EmptyMiddleFileHasAnEmptyRange) {
  TSeqIndex seq(Name(), TIndexFileMode::Create);
  seq.Add(0, 0, 0);
  seq.Add(0, 0, 0);
  seq.Add(1, 2, 0);
  EXPECT_EQ(seq.FileCount(), 3);
  EXPECT_EQ(seq.GetFileRange(1), std::make_pair(2, 2));
  EXPECT_EQ(seq.FileOf(2), 2);
  EXPECT_EQ(seq.GetFileRange(5), std::make_pair(3, 3));  // trailing files without tokens
}

TEST_F(SeqIndexTest, FileLimitIs4090) {
  TSeqIndex seq(Name(), TIndexFileMode::Create);
  seq.Add(0, 4089, 0);
  EXPECT_EQ(seq.FileCount(), 4090);
  EXPECT_EQ(ErrorOf([&] { seq.Add(0, 4090, 0); }), "SeqIndex: Max files limit reached.");
  EXPECT_EQ(seq.Count(), 1);  // nothing was added
  seq.Add(1, 4089, 0);
  seq.Commit();
  TSeqIndex reopened(Name(), TIndexFileMode::Open);
  EXPECT_EQ(reopened.FileCount(), 4090);
  EXPECT_EQ(reopened.FileOf(1), 4089);
}

TEST_F(SeqIndexTest, RejectsForeignAndDamagedFiles) {
  Build(600, 100);
  std::string good = test::ReadFileBytes(Name());
  auto restore = [&] { test::WriteFileBytes(Name(), good); };

  test::OverwriteBytes(Name(), 0, "PIND");
  EXPECT_EQ(OpenError(), "SeqIndex: Invalid file type.");
  test::WriteFileBytes(Name(), "SI");
  EXPECT_EQ(OpenError(), "SeqIndex: Invalid file type.");
  restore();
  test::FlipByte(Name(), 6, 0x01);  // minor version 1
  EXPECT_EQ(OpenError(), "SeqIndex: Invalid version.");
  restore();
  test::TruncateFile(Name(), 16384 + 8 * 599);  // the last entry is missing
  EXPECT_EQ(OpenError(), "SeqIndex: Index file is damaged.");
  restore();
  test::FlipByte(Name(), 24 + 4 * 3 + 1, 0x40);  // a file start beyond N
  EXPECT_EQ(OpenError(), "SeqIndex: Index file is damaged.");
  restore();
  test::OverwriteBytes(Name(), 20, std::string("\xFB\x0F\0\0", 4));  // 4091 files
  EXPECT_EQ(OpenError(), "SeqIndex: Index file is damaged.");
  restore();
  test::FlipByte(Name(), 9, 0x01);  // another data offset
  EXPECT_EQ(OpenError(), "SeqIndex: Index file is damaged.");
  restore();
  EXPECT_EQ(OpenError(), "(no exception)");
}

}  // namespace
}  // namespace quenterra
