#include "corpus/PageIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Coding.h"
#include "support/CorpusTestKit.h"
#include "support/ErrorOf.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using test::ErrorOf;
using test::Fixed32s;

const std::string kDamaged = "PageIndex: Index file is damaged.";

std::string Data(size_t size, char fill) { return std::string(size, fill); }

class PageIndexTest : public ::testing::Test {
 protected:
  std::string Name() const { return dir_.File("page"); }
  std::string Bytes() const { return test::ReadFileBytes(Name()); }
  // The chain from first as a string, through the stream.
  static std::string ReadAll(TPageIndex& index, uint8_t kind, uint32_t first) {
    TChunkStream stream(index, TChunkStream::TMode::kRead, kind, first);
    std::string out;
    char buffer[100];
    while (size_t n = stream.Read(buffer, sizeof buffer)) out.append(buffer, n);
    return out;
  }
  static uint32_t WriteStream(TPageIndex& index, const std::string& content) {
    TChunkStream stream(index, TChunkStream::TMode::kWrite, kChunkTokenTable);
    stream.Write(content.data(), content.size());
    return stream.Finish();
  }
  test::TTempDir dir_;
};

TEST_F(PageIndexTest, NewFileIsTheHeaderAloneAndChunksAreLinkedPages) {
  uint32_t a = 0, b = 0;
  {
    TPageIndex index(Name(), TIndexFileMode::kCreate);
    EXPECT_EQ(Bytes().substr(0, 28),
              std::string("PIND\x01\0\x01\0", 8) + Fixed32s({8, 0, 0, 0, 0xFFFFFFFF}));
    EXPECT_EQ(index.TokenTableRoot(), 0);
    EXPECT_EQ(index.PairTableRoot(), -1);
    EXPECT_EQ(index.PageCount(), 8u);
    a = index.WriteChunk(kChunkOccurrences, 8, Data(248, 'a').data(), 0);
    b = index.WriteChunk(kChunkOccurrences, 1, Data(24, 'b').data(), a);
    index.WriteHeader();
  }
  EXPECT_EQ(a, 8u);
  EXPECT_EQ(b, 16u);
  std::string bytes = Bytes();
  ASSERT_EQ(bytes.size(), 17u * 32);
  EXPECT_EQ(bytes.substr(256), std::string("\x01\x08\0\0\x10\0\0\0", 8) + Data(248, 'a') +
                                   std::string("\x01\x01\0\0\0\0\0\0", 8) + Data(24, 'b'));
  TPageIndex index(Name(), TIndexFileMode::kOpen);
  std::string chain(300, '\0');
  EXPECT_EQ(index.ReadChain(a, kChunkOccurrences, chain.data(), 300), 272u);
  EXPECT_EQ(chain.substr(0, 272), Data(248, 'a') + Data(24, 'b'));
  EXPECT_EQ(index.ReadChain(a, kChunkOccurrences, chain.data(), 250), 250u);
  EXPECT_EQ(ErrorOf([&] { index.ReadChain(a, kChunkTokenTable, chain.data(), 10); }), kDamaged);
}

TEST_F(PageIndexTest, FreedChunksAreReusedOnlyForTheirSizeAfterReopening) {
  uint32_t small = 0, large = 0, other = 0;
  {
    TPageIndex index(Name(), TIndexFileMode::kCreate);
    small = index.WriteChunk(kChunkOccurrences, 1, Data(24, 's').data(), 0);
    large = index.WriteChunk(kChunkOccurrences, 8, Data(248, 'l').data(), small);
    other = index.WriteChunk(kChunkOccurrences, 8, Data(248, 'o').data(), 0);
    index.FreeChain(small);  // small, then large
    index.FreeChain(other);
    index.WriteHeader();
  }
  TPageIndex index(Name(), TIndexFileMode::kOpen);
  uint64_t end = index.PageCount();
  EXPECT_EQ(index.AllocChunk(8), large);  // the first free 8-page chunk, past a 1-page one
  EXPECT_EQ(index.AllocChunk(8), other);
  EXPECT_EQ(index.AllocChunk(8), end);  // none left of that size: the end of the file
  index.WriteHeader();
  // The list on file now holds the small chunk alone, head and tail.
  std::string bytes = Bytes();
  EXPECT_EQ(bytes.substr(12, 8), Fixed32s({small, small}));
  EXPECT_EQ(bytes.substr(32 * small, 8), std::string("\0\x01\0\0\0\0\0\0", 8));
  EXPECT_EQ(index.AllocChunk(1), small);
}

TEST_F(PageIndexTest, ChunkStreamPicksChunkSizesReadsBackAndRewinds) {
  TPageIndex index(Name(), TIndexFileMode::kCreate);
  uint32_t first = 0;  // of the last chain, 1000 bytes
  for (size_t size : {0u, 4u, 24u, 25u, 248u, 249u, 272u, 273u, 1000u}) {
    std::string content;
    for (size_t i = 0; i < size; ++i) content += static_cast<char>('a' + i % 26);
    uint64_t before = index.PageCount();
    first = WriteStream(index, content);
    EXPECT_GE(first, 8u);
    // The last chunk's unused bytes follow the content: readers know how much they want.
    EXPECT_EQ(ReadAll(index, kChunkTokenTable, first).substr(0, size), content) << size;
    // 248 bytes per full chunk, then 1 page when at most 24 bytes remain, else 8.
    size_t rest = size % 248;
    uint64_t pages = size / 248 * 8 + (rest == 0 && size > 0 ? 0 : rest <= 24 ? 1 : 8);
    EXPECT_EQ(index.PageCount() - before, pages) << size;
  }

  // A reader rewinds to the start only; rewinding a writer frees what it wrote, and the new
  // chain reuses those chunks.
  TChunkStream reader(index, TChunkStream::TMode::kRead, kChunkTokenTable, first);
  char buffer[10];
  reader.ReadExact(buffer, sizeof buffer);
  EXPECT_EQ(reader.Seek(0, TSeekOrigin::kBegin), 0);
  EXPECT_EQ(reader.Read(buffer, 10), 10u);
  const std::string unsupported = "TChunkStream: Operation not supported.";
  EXPECT_EQ(ErrorOf([&] { reader.Seek(5, TSeekOrigin::kBegin); }), unsupported);
  EXPECT_EQ(ErrorOf([&] { reader.Write("x", 1); }), unsupported);
  TChunkStream writer(index, TChunkStream::TMode::kWrite, kChunkPairTable);
  writer.Write(Data(500, 'w').data(), 500);
  uint32_t abandoned = writer.FirstPage();
  writer.Seek(0, TSeekOrigin::kBegin);
  writer.Write(Data(248, 'v').data(), 248);
  EXPECT_EQ(writer.Finish(), abandoned);
  EXPECT_EQ(ReadAll(index, kChunkPairTable, abandoned), Data(248, 'v'));
}

TEST_F(PageIndexTest, RejectsForeignVersionsAndDamagedHeaders) {
  { TPageIndex index(Name(), TIndexFileMode::kCreate); }
  const std::string good = Bytes();
  auto damage = [&](uint64_t offset, const std::string& bytes) {
    test::WriteFileBytes(Name(), good);
    test::OverwriteBytes(Name(), offset, bytes);
    return ErrorOf([&] { TPageIndex index(Name(), TIndexFileMode::kOpen); });
  };
  EXPECT_EQ(damage(0, "SIND"), "PageIndex: Invalid file type.");
  EXPECT_EQ(damage(6, std::string("\x02\0", 2)), "PageIndex: Invalid version.");
  EXPECT_EQ(damage(4, std::string("\x02\0\x01\0", 4)), "PageIndex: Invalid version.");
  EXPECT_EQ(damage(12, Fixed32s({9})), kDamaged);  // head without a tail
  test::TruncateFile(Name(), 200);
  EXPECT_EQ(ErrorOf([&] { TPageIndex index(Name(), TIndexFileMode::kOpen); }), kDamaged);

  // Version 1.0 has no pair-table root; writing the header makes the file 1.1.
  EXPECT_EQ(damage(6, std::string("\0\0", 2)), "(no exception)");
  TPageIndex index(Name(), TIndexFileMode::kOpen);
  EXPECT_EQ(index.PairTableRoot(), 0);
  index.WriteHeader();
  EXPECT_EQ(DecodeFixed16(&Bytes()[6]), 1);
}

TEST_F(PageIndexTest, ChainsThatLeaveTheFileOrLoopAreDamage) {
  TPageIndex index(Name(), TIndexFileMode::kCreate);
  uint32_t a = index.WriteChunk(kChunkTokenTable, 8, Data(248, 'a').data(), 0);
  uint32_t b = index.WriteChunk(kChunkTokenTable, 8, Data(248, 'b').data(), a);
  index.Flush();
  std::vector<char> buffer(100000);
  for (uint32_t page : {3u, 999u}) {
    EXPECT_EQ(ErrorOf([&] { index.ReadChain(page, kChunkTokenTable, buffer.data(), 10); }),
              kDamaged);
  }
  // b links back to a: readers give up after as many chunks as the file has pages.
  test::OverwriteBytes(Name(), 32 * b + 4, Fixed32s({a}));
  TPageIndex looped(Name(), TIndexFileMode::kOpen);
  EXPECT_EQ(ErrorOf([&] { looped.ReadChain(a, kChunkTokenTable, buffer.data(), buffer.size()); }),
            kDamaged);
  EXPECT_EQ(ErrorOf([&] { ReadAll(looped, kChunkTokenTable, a); }), kDamaged);
  EXPECT_EQ(ErrorOf([&] { looped.FreeChain(a); }), kDamaged);
  // A chunk whose page count is neither 1 nor 8.
  test::OverwriteBytes(Name(), 32 * a + 1, "\x03");
  TPageIndex odd(Name(), TIndexFileMode::kOpen);
  EXPECT_EQ(ErrorOf([&] { odd.ReadChain(a, kChunkTokenTable, buffer.data(), 10); }), kDamaged);
}

TEST_F(PageIndexTest, LoopingFreeListIsDamage) {
  uint32_t a = 0, b = 0;
  {
    TPageIndex index(Name(), TIndexFileMode::kCreate);
    a = index.WriteChunk(kChunkTokenTable, 1, Data(24, 'a').data(), 0);
    b = index.WriteChunk(kChunkTokenTable, 1, Data(24, 'b').data(), a);
    index.FreeChain(a);
    index.WriteHeader();
  }
  test::OverwriteBytes(Name(), 32 * b + 4, Fixed32s({a}));  // b -> a
  TPageIndex index(Name(), TIndexFileMode::kOpen);
  EXPECT_EQ(ErrorOf([&] { index.AllocChunk(1); }), kDamaged);
}

}  // namespace
}  // namespace quenterra
