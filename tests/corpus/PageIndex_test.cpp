#include "corpus/PageIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Coding.h"
#include "support/ErrorOf.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using test::ErrorOf;

std::string Data(size_t size, char fill) { return std::string(size, fill); }

class PageIndexTest : public ::testing::Test {
 protected:
  std::string Name() const { return dir_.File("page"); }
  std::string Bytes() const { return test::ReadFileBytes(Name()); }
  // The chain from first as a string, through the stream.
  static std::string ReadAll(TPageIndex& index, uint8_t kind, uint32_t first) {
    TChunkStream stream(index, TChunkStream::TMode::Read, kind, first);
    std::string out;
    char buffer[100];
    while (size_t n = stream.Read(buffer, sizeof buffer)) out.append(buffer, n);
    return out;
  }
  static uint32_t WriteStream(TPageIndex& index, const std::string& content) {
    TChunkStream stream(index, TChunkStream::TMode::Write, kChunkTokenTable);
    stream.Write(content.data(), content.size());
    return stream.Finish();
  }
  test::TTempDir dir_;
};

TEST_F(PageIndexTest, NewFileIsTheHeaderAlone) {
  { TPageIndex index(Name(), TIndexFileMode::Create); }
  std::string bytes = Bytes();
  ASSERT_EQ(bytes.size(), 256u);
  EXPECT_EQ(bytes.substr(0, 4), "PIND");
  EXPECT_EQ(DecodeFixed16(&bytes[4]), 1);
  EXPECT_EQ(DecodeFixed16(&bytes[6]), 1);
  EXPECT_EQ(DecodeFixed32(&bytes[8]), 8u);
  EXPECT_EQ(DecodeFixed32(&bytes[12]), 0u);
  EXPECT_EQ(DecodeFixed32(&bytes[16]), 0u);
  EXPECT_EQ(DecodeFixed32(&bytes[20]), 0u);
  EXPECT_EQ(DecodeFixed32(&bytes[24]), 0xFFFFFFFFu);
  TPageIndex index(Name(), TIndexFileMode::Open);
  EXPECT_EQ(index.TokenTableRoot(), 0);
  EXPECT_EQ(index.PairTableRoot(), -1);
  EXPECT_EQ(index.PageCount(), 8u);
}

TEST_F(PageIndexTest, ChunksAreLinkedPagesWithExactHeaders) {
  uint32_t a = 0, b = 0;
  {
    TPageIndex index(Name(), TIndexFileMode::Create);
    a = index.WriteChunk(kChunkOccurrences, 8, Data(248, 'a').data(), 0);
    b = index.WriteChunk(kChunkOccurrences, 1, Data(24, 'b').data(), a);
    index.WriteHeader();
  }
  EXPECT_EQ(a, 8u);
  EXPECT_EQ(b, 16u);
  std::string bytes = Bytes();
  ASSERT_EQ(bytes.size(), 17u * 32);
  EXPECT_EQ(bytes.substr(256, 8), std::string("\x01\x08\0\0\x10\0\0\0", 8));
  EXPECT_EQ(bytes.substr(264, 248), Data(248, 'a'));
  EXPECT_EQ(bytes.substr(512, 8), std::string("\x01\x01\0\0\0\0\0\0", 8));
  TPageIndex index(Name(), TIndexFileMode::Open);
  std::string chain(300, '\0');
  EXPECT_EQ(index.ReadChain(a, kChunkOccurrences, chain.data(), 300), 272u);
  EXPECT_EQ(chain.substr(0, 272), Data(248, 'a') + Data(24, 'b'));
  EXPECT_EQ(index.ReadChain(a, kChunkOccurrences, chain.data(), 250), 250u);
  EXPECT_EQ(ErrorOf([&] { index.ReadChain(a, kChunkTokenTable, chain.data(), 10); }),
            "PageIndex: Index file is damaged.");
}

TEST_F(PageIndexTest, FreedChunksAreReusedOnlyForTheirSize) {
  TPageIndex index(Name(), TIndexFileMode::Create);
  uint32_t small = index.WriteChunk(kChunkOccurrences, 1, Data(24, 's').data(), 0);
  uint32_t large = index.WriteChunk(kChunkOccurrences, 8, Data(248, 'l').data(), small);
  uint32_t other = index.WriteChunk(kChunkOccurrences, 8, Data(248, 'o').data(), 0);
  index.FreeChain(small);  // small, then large
  index.FreeChain(other);
  uint64_t end = index.PageCount();
  EXPECT_EQ(index.AllocChunk(8), large);  // the first free 8-page chunk, past a 1-page one
  EXPECT_EQ(index.AllocChunk(8), other);
  EXPECT_EQ(index.AllocChunk(8), end);  // none left of that size: the end of the file
  index.WriteHeader();
  // The list on file now holds the small chunk alone, head and tail.
  std::string bytes = Bytes();
  EXPECT_EQ(DecodeFixed32(&bytes[12]), small);
  EXPECT_EQ(DecodeFixed32(&bytes[16]), small);
  EXPECT_EQ(bytes[32 * small], 0);  // kind: free
  EXPECT_EQ(DecodeFixed32(&bytes[32 * small + 4]), 0u);
}

TEST_F(PageIndexTest, FreeListIsReadBackFromTheFile) {
  uint32_t first = 0, second = 0;
  {
    TPageIndex index(Name(), TIndexFileMode::Create);
    first = index.WriteChunk(kChunkTokenTable, 8, Data(248, 'x').data(), 0);
    second = index.WriteChunk(kChunkTokenTable, 1, Data(24, 'y').data(), first);
    index.WriteChunk(kChunkTokenTable, 8, Data(248, 'z').data(), 0);
    index.FreeChain(first);
    index.WriteHeader();
  }
  TPageIndex index(Name(), TIndexFileMode::Open);
  EXPECT_EQ(index.AllocChunk(1), second);
  EXPECT_EQ(index.AllocChunk(8), first);
  EXPECT_EQ(index.AllocChunk(1), index.PageCount());
}

TEST_F(PageIndexTest, ChunkStreamPicksChunkSizesAndReadsBack) {
  TPageIndex index(Name(), TIndexFileMode::Create);
  for (size_t size : {0u, 4u, 24u, 25u, 248u, 249u, 272u, 273u, 1000u}) {
    std::string content;
    for (size_t i = 0; i < size; ++i) content += static_cast<char>('a' + i % 26);
    uint64_t before = index.PageCount();
    uint32_t first = WriteStream(index, content);
    EXPECT_GE(first, 8u);
    // The last chunk's unused bytes follow the content: readers know how much they want.
    EXPECT_EQ(ReadAll(index, kChunkTokenTable, first).substr(0, size), content) << size;
    // 248 bytes per full chunk, then 1 page when at most 24 bytes remain, else 8.
    size_t rest = size % 248;
    uint64_t pages = size / 248 * 8 + (rest == 0 && size > 0 ? 0 : rest <= 24 ? 1 : 8);
    EXPECT_EQ(index.PageCount() - before, pages) << size;
  }
}

TEST_F(PageIndexTest, ChunkStreamSeeksOnlyToTheStart) {
  TPageIndex index(Name(), TIndexFileMode::Create);
  uint32_t first = WriteStream(index, Data(300, 'q'));
  TChunkStream reader(index, TChunkStream::TMode::Read, kChunkTokenTable, first);
  char buffer[10];
  reader.ReadExact(buffer, sizeof buffer);
  EXPECT_EQ(reader.Seek(0, TSeekOrigin::Begin), 0);
  EXPECT_EQ(reader.Read(buffer, 10), 10u);
  const std::string unsupported = "TChunkStream: Operation not supported.";
  EXPECT_EQ(ErrorOf([&] { reader.Seek(5, TSeekOrigin::Begin); }), unsupported);
  EXPECT_EQ(ErrorOf([&] { reader.Seek(0, TSeekOrigin::End); }), unsupported);
  EXPECT_EQ(ErrorOf([&] { reader.SetSize(0); }), unsupported);
  EXPECT_EQ(ErrorOf([&] { reader.Write("x", 1); }), unsupported);

  // Rewinding a writer frees what it wrote; the new chain reuses those chunks.
  TChunkStream writer(index, TChunkStream::TMode::Write, kChunkPairTable);
  writer.Write(Data(500, 'w').data(), 500);
  uint32_t abandoned = writer.FirstPage();
  EXPECT_EQ(ErrorOf([&] { writer.Read(buffer, 1); }), unsupported);
  writer.Seek(0, TSeekOrigin::Begin);
  writer.Write(Data(248, 'v').data(), 248);
  EXPECT_EQ(writer.Finish(), abandoned);
  EXPECT_EQ(ReadAll(index, kChunkPairTable, abandoned), Data(248, 'v'));
}

TEST_F(PageIndexTest, RejectsForeignVersionsAndDamagedHeaders) {
  { TPageIndex index(Name(), TIndexFileMode::Create); }
  std::string good = Bytes();
  auto openError = [&] { return ErrorOf([&] { TPageIndex index(Name(), TIndexFileMode::Open); }); };
  test::OverwriteBytes(Name(), 0, "SIND");
  EXPECT_EQ(openError(), "PageIndex: Invalid file type.");
  test::WriteFileBytes(Name(), good);
  test::OverwriteBytes(Name(), 6, std::string("\x02\0", 2));
  EXPECT_EQ(openError(), "PageIndex: Invalid version.");
  test::OverwriteBytes(Name(), 4, std::string("\x02\0\x01\0", 4));
  EXPECT_EQ(openError(), "PageIndex: Invalid version.");
  test::WriteFileBytes(Name(), good);
  test::TruncateFile(Name(), 200);
  EXPECT_EQ(openError(), "PageIndex: Index file is damaged.");
  test::WriteFileBytes(Name(), good);
  test::OverwriteBytes(Name(), 12, std::string("\x09\0\0\0", 4));  // head without a tail
  EXPECT_EQ(openError(), "PageIndex: Index file is damaged.");

  // Version 1.0 has no pair-table root; writing the header makes the file 1.1.
  test::WriteFileBytes(Name(), good);
  test::OverwriteBytes(Name(), 6, std::string("\0\0", 2));
  TPageIndex index(Name(), TIndexFileMode::Open);
  EXPECT_EQ(index.PairTableRoot(), 0);
  index.WriteHeader();
  EXPECT_EQ(DecodeFixed16(&Bytes()[6]), 1);
}

TEST_F(PageIndexTest, ChainsThatLeaveTheFileOrLoopAreDamage) {
  const std::string damaged = "PageIndex: Index file is damaged.";
  TPageIndex index(Name(), TIndexFileMode::Create);
  uint32_t a = index.WriteChunk(kChunkTokenTable, 8, Data(248, 'a').data(), 0);
  uint32_t b = index.WriteChunk(kChunkTokenTable, 8, Data(248, 'b').data(), a);
  index.Flush();
  std::vector<char> buffer(100000);
  EXPECT_EQ(ErrorOf([&] { index.ReadChain(3, kChunkTokenTable, buffer.data(), 10); }), damaged);
  EXPECT_EQ(ErrorOf([&] { index.ReadChain(999, kChunkTokenTable, buffer.data(), 10); }), damaged);
  // b links back to a: readers give up after as many chunks as the file has pages.
  test::OverwriteBytes(Name(), 32 * b + 4, std::string("\x08\0\0\0", 4));
  TPageIndex looped(Name(), TIndexFileMode::Open);
  EXPECT_EQ(ErrorOf([&] { looped.ReadChain(a, kChunkTokenTable, buffer.data(), buffer.size()); }),
            damaged);
  EXPECT_EQ(ErrorOf([&] { ReadAll(looped, kChunkTokenTable, a); }), damaged);
  EXPECT_EQ(ErrorOf([&] { looped.FreeChain(a); }), damaged);
  // A chunk whose page count is neither 1 nor 8.
  test::OverwriteBytes(Name(), 32 * a + 1, "\x03");
  TPageIndex odd(Name(), TIndexFileMode::Open);
  EXPECT_EQ(ErrorOf([&] { odd.ReadChain(a, kChunkTokenTable, buffer.data(), 10); }), damaged);
}

TEST_F(PageIndexTest, LoopingFreeListIsDamage) {
  uint32_t a = 0, b = 0;
  {
    TPageIndex index(Name(), TIndexFileMode::Create);
    a = index.WriteChunk(kChunkTokenTable, 1, Data(24, 'a').data(), 0);
    b = index.WriteChunk(kChunkTokenTable, 1, Data(24, 'b').data(), a);
    index.FreeChain(a);
    index.WriteHeader();
  }
  test::OverwriteBytes(Name(), 32 * b + 4, std::string("\x08\0\0\0", 4));  // b -> a
  TPageIndex index(Name(), TIndexFileMode::Open);
  EXPECT_EQ(ErrorOf([&] { index.AllocChunk(1); }), "PageIndex: Index file is damaged.");
}

}  // namespace
}  // namespace quenterra
