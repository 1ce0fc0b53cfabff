// Opens mutated index files and queries them: damage must end in an EQuenterra, never in a
// crash, a hang or a read out of bounds.
//
// Input: byte 0 picks the form; its bit 2 adds tokens to the opened index and commits; its bit
// 3 (forms 0 and 1) opens the files through the stored-index path of a workspace instead, with a
// state file that vouches for the damaged files (their checksums taken after the damage, as
// damage that the checksums cannot see would look), and extracts from them.
//   bits 0-1 = 0, 1: a patch script over a valid pair of files built at start-up (0: with a pair
//            table, 1: without); the rest is records of 6 bytes: u8 op (bit 0: seq file, else
//            page file; bit 1: truncate there instead of xor), u32 offset, u8 value.
//   bits 0-1 = 2, 3: raw files: u32 page file length, the page file, then the seq file.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzKit.h"
#include "config/ProgramSettings.h"
#include "config/Workspace.h"
#include "corpus/IndexState.h"
#include "corpus/TextIndex.h"
#include "engine/collocExtract.h"
#include "engine/collocList.h"
#include "patterns/ExtractPattern.h"
#include "platform/Coding.h"
#include "platform/Errors.h"

using namespace quenterra;
using fuzz::FuzzDir;

namespace {

struct TFiles {
  std::string page, seq;
};

// Words w0 .. w199, a few of them common; with word tags when `pairs`.
std::string CorpusText(uint32_t seed, bool pairs) {
  std::string text;
  for (int i = 0; i < 400; ++i) {
    seed = seed * 1103515245 + 12345;
    std::string word = "w" + std::to_string((seed >> 16) % (i % 3 == 0 ? 4 : 200));
    text += word + (pairs ? (i % 4 ? "/nn " : "/vb ") : " ");
  }
  return text;
}

// A workspace of three files built at start-up (a fourth waits to be added), and what its index
// directory held then.
struct TWorkspaceBase {
  std::string file;
  std::string dir;
  TProgramSettings settings;
  TFiles files;
  TIndexState state;
};

TWorkspaceBase MakeWorkspace(bool pairs) {
  TWorkspaceBase base;
  std::string name = pairs ? "stored_pairs" : "stored";
  base.file = FuzzDir() + name + ".qws";
  base.dir = FuzzDir() + name + "/";
  base.settings = TProgramSettings::Defaults();
  base.settings.config.WordTag = pairs ? 1 : 0;
  base.settings.config.wTagDelimiter = '/';
  base.settings.RebuildTables();
  std::vector<std::string> corpus;
  for (uint32_t i = 0; i < 4; ++i) {
    corpus.push_back(FuzzDir() + name + std::to_string(i) + ".txt");
    fuzz::WriteAll(corpus.back(), CorpusText(i, pairs));
  }
  // Built in two steps, so that the files hold continued lists and a free list.
  TCorpus made(base.settings.config, base.settings.tables);
  if (CreateWorkspace(made, base.settings, base.file, {corpus[0], corpus[1]}) !=
      TCreateResult::kCreated)
    std::abort();
  made.LoadCorpusFiles({corpus[2]}, false);
  if (!SaveWorkspaceFileList(made)) std::abort();
  base.files = {fuzz::ReadAll(base.dir + "PAGE_IDX.tmp"), fuzz::ReadAll(base.dir + "SEQ_IDX.tmp")};
  base.state = ParseIndexState(fuzz::ReadAll(base.dir + kWorkspaceIndexStateName));
  return base;
}

const TWorkspaceBase& Base(bool pairs) {
  static const TWorkspaceBase withPairs = MakeWorkspace(true);
  static const TWorkspaceBase plain = MakeWorkspace(false);
  return pairs ? withPairs : plain;
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

// The damaged pair as the workspace's stored index, vouched for by its state file.
void ExerciseStored(const TWorkspaceBase& base, const TFiles& files, bool add) {
  fuzz::WriteAll(base.dir + "PAGE_IDX.tmp", files.page);
  fuzz::WriteAll(base.dir + "SEQ_IDX.tmp", files.seq);
  TIndexState state = base.state;
  state.page = FileCrc32c(base.dir + "PAGE_IDX.tmp");
  state.seq = FileCrc32c(base.dir + "SEQ_IDX.tmp");
  fuzz::WriteAll(base.dir + kWorkspaceIndexStateName, IndexStateText(state));
  TProgramSettings settings = base.settings;
  TCorpus corpus(settings.config, settings.tables);
  fuzz::Check(OpenWorkspace(corpus, settings, base.file));
  fuzz::Check(corpus.Index() != nullptr);
  for (const char* pattern : {"w1*", "w2 + w3", "w0 > w%"}) {
    auto records = ParseExtractRequest(TSearchKind::kWordPhrase, false, {pattern}, settings.config,
                                       settings.tables);
    ExtractAll(*records, *corpus.Index(), settings.Run());
  }
  if (add) corpus.LoadCorpusFiles({base.file.substr(0, base.file.size() - 4) + "3.txt"}, false);
}

TFiles Patched(const TFiles& base, const uint8_t* data, size_t size) {
  TFiles files = base;
  for (size_t at = 1; at + 6 <= size; at += 6) {
    std::string& target = (data[at] & 1) ? files.seq : files.page;
    uint32_t offset = DecodeFixed32(reinterpret_cast<const char*>(data + at + 1));
    if (target.empty()) continue;
    offset %= target.size();
    if (data[at] & 2) {
      target.resize(offset);
    } else {
      target[offset] = static_cast<char>(target[offset] ^ data[at + 5]);
    }
  }
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool initialised = [] {
    InstallMessageHandler(std::make_unique<fuzz::TSilentMessages>());
    return true;
  }();
  (void)initialised;
  if (size < 1) return 0;
  int form = data[0] & 3;
  bool add = (data[0] & 4) != 0;
  TFiles files;
  if (form < 2) {
    const TWorkspaceBase& base = Base(form == 0);
    files = Patched(base.files, data, size);
    if ((data[0] & 8) != 0) {
      try {
        ExerciseStored(base, files, add);
      } catch (const EQuenterra&) {
        // Damage noticed while querying: the run reports it.
      }
      return 0;
    }
  } else {
    if (size < 5) return 0;
    size_t pageSize = DecodeFixed32(reinterpret_cast<const char*>(data + 1));
    pageSize = std::min(pageSize, size - 5);
    files.page.assign(reinterpret_cast<const char*>(data + 5), pageSize);
    files.seq.assign(reinterpret_cast<const char*>(data + 5 + pageSize), size - 5 - pageSize);
  }
  const std::string pageName = FuzzDir() + "page";
  const std::string seqName = FuzzDir() + "seq";
  fuzz::WriteAll(pageName, files.page);
  fuzz::WriteAll(seqName, files.seq);
  try {
    Exercise(pageName, seqName, form != 1 && form != 3, add);
  } catch (const EQuenterra&) {
    // Damage noticed: what we want.
  }
  return 0;
}
