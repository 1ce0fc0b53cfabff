// Opens mutated index files and queries them: damage must end in an EQuenterra, never in a
// crash, a hang or a read out of bounds.
//
// Input: byte 0 picks the form; its bit 2 adds tokens to the opened index and commits.
//   bits 0-1 = 0, 1: a patch script over a valid pair of files built at start-up (0: with a pair
//            table, 1: without); the rest is records of 6 bytes: u8 op (bit 0: seq file, else
//            page file; bit 1: truncate there instead of xor), u32 offset, u8 value.
//   bits 0-1 = 2, 3: raw files: u32 page file length, the page file, then the seq file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "corpus/TextIndex.h"
#include "platform/Coding.h"
#include "platform/Errors.h"

using namespace quenterra;

namespace {

struct TFiles {
  std::string page, seq;
};

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const std::string& Dir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/index_fuzzXXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    static std::string made = pattern;
    std::atexit([] { std::filesystem::remove_all(made); });
    return made + "/";
  }();
  return dir;
}

// Two sessions over a few files, so the files hold 1- and 8-page chunks, continued lists and a
// free list.
TFiles Baseline(bool pairs) {
  std::string page = Dir() + (pairs ? "base_pairs.page" : "base.page");
  std::string seq = Dir() + (pairs ? "base_pairs.seq" : "base.seq");
  uint32_t state = 12345;
  auto next = [&state] { return state = state * 1103515245 + 12345, state >> 16; };
  for (int session = 0; session < 2; ++session) {
    TTextIndex index(page, TProgressCallback(),
                     session == 0 ? TIndexFileMode::kCreate : TIndexFileMode::kOpen, false, pairs,
                     seq);
    for (int i = 0; i < 1500; ++i) {
      uint32_t file = static_cast<uint32_t>(session * 3 + i / 600);
      std::string word = "w" + std::to_string(next() % (i % 3 == 0 ? 4 : 200));
      index.AddToken(word.c_str(), 1, i, file);
      if (pairs && i % 2 == 0) index.AddToken(i % 4 ? "nn" : "vb", 5, i, file);
    }
    index.Commit();
  }
  return {ReadAll(page), ReadAll(seq)};
}

void Exercise(const std::string& page, const std::string& seq, bool pairs, bool add) {
  TTextIndex index(page, TProgressCallback(), TIndexFileMode::kOpen, false, pairs, seq);
  index.GetStats(0xFF);
  for (uint32_t id = 0; id < index.TokenCount(); id += 7) {
    const TIndexToken& token = index.GetToken(id);
    index.PatternPositions(token.text, KindBit(token.kind));
  }
  index.PatternPositions("w1*", 0xFF);
  for (int32_t p = 0; p < index.SequenceCount(); p += 61) {
    index.PrevPosition(p, KindBit(1));
    index.NextPosition(p, KindBit(5));
    index.PairFreq(static_cast<int32_t>(index.TokenAt(p)), 0);
  }
  if (pairs && !index.PairTableCurrent()) index.RebuildPairTable(TProgressCallback());
  if (!add) return;
  for (int i = 0; i < 70; ++i) index.AddToken(i % 2 ? "w1" : "w2", 1, 0, 9);
  index.Commit();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TFiles withPairs = Baseline(true);
  static const TFiles plain = Baseline(false);
  if (size < 1) return 0;
  int form = data[0] & 3;
  std::string page, seq;
  if (form < 2) {
    const TFiles& base = form == 0 ? withPairs : plain;
    page = base.page;
    seq = base.seq;
    for (size_t at = 1; at + 6 <= size; at += 6) {
      std::string& target = (data[at] & 1) ? seq : page;
      uint32_t offset = DecodeFixed32(reinterpret_cast<const char*>(data + at + 1));
      if (target.empty()) continue;
      offset %= target.size();
      if (data[at] & 2) {
        target.resize(offset);
      } else {
        target[offset] = static_cast<char>(target[offset] ^ data[at + 5]);
      }
    }
  } else {
    if (size < 5) return 0;
    size_t pageSize = DecodeFixed32(reinterpret_cast<const char*>(data + 1));
    pageSize = std::min(pageSize, size - 5);
    page.assign(reinterpret_cast<const char*>(data + 5), pageSize);
    seq.assign(reinterpret_cast<const char*>(data + 5 + pageSize), size - 5 - pageSize);
  }
  const std::string pageName = Dir() + "page";
  const std::string seqName = Dir() + "seq";
  WriteAll(pageName, page);
  WriteAll(seqName, seq);
  try {
    Exercise(pageName, seqName, form != 1 && form != 3, (data[0] & 4) != 0);
  } catch (const EQuenterra&) {
    // Damage noticed: what we want.
  }
  return 0;
}
