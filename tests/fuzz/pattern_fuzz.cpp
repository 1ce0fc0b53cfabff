// Parses arbitrary text as an extract pattern or a batch file of patterns, in each of the three
// syntaxes, and runs what parses against a small index. A pattern is parsed or refused with the
// grammar's (or the regular-expression engine's) message; a run never fails.
//
// Input: byte 0 picks the syntax (bits 0-1: Word/Phrase, Regular Expression, Word/Tag; 3 reads
// as Word/Tag), bit 2 a batch (the rest split into lines at LF, a CR before it dropped, as a
// batch file is read; else the first line only), bit 3 ignoreCase off, bits 4-6 SpanRange - 2.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FuzzKit.h"
#include "config/ProgramSettings.h"
#include "corpus/TextIndex.h"
#include "engine/collocExtract.h"
#include "engine/collocList.h"
#include "patterns/ExtractPattern.h"
#include "platform/Errors.h"

using namespace quenterra;

namespace {

// Tagged words, a normal tag or two, a meta-tag: something for every kind of term to find.
TTextIndex& SmallIndex() {
  static TTextIndex* index = [] {
    std::string dir = fuzz::FuzzDir();
    auto made = new TTextIndex(dir + "PGX", TProgressCallback(), TIndexFileMode::kTemporary, false,
                               true, dir + "SQX");
    const char* words[] = {"post", "office", "the", "run", "colour", "color", "a", "ab"};
    const char* tags[] = {"nn", "vbn", "at", "vb"};
    uint32_t seed = 1;
    for (uint32_t i = 0; i < 600; ++i) {
      seed = seed * 1103515245 + 12345;
      made->AddToken(words[(seed >> 16) % 8], kKindWord, i, i / 200);
      made->AddToken(tags[(seed >> 20) % 4], kKindWordTag, i, i / 200);
      if (i % 50 == 0) made->AddToken("p", kKindTagName, i, i / 200);
    }
    made->Commit();
    return made;
  }();
  return *index;
}

const TProgramSettings& Settings(uint8_t bits) {
  static std::map<uint8_t, std::unique_ptr<TProgramSettings>> made;
  std::unique_ptr<TProgramSettings>& settings = made[bits];
  if (settings) return *settings;
  settings = std::make_unique<TProgramSettings>(TProgramSettings::Defaults());
  settings->config.ignoreCase = (bits & 1) == 0;
  settings->config.SpanRange = 2 + (bits >> 1);
  settings->config.WordTag = 1;
  settings->config.Min_Word_Freq = 1;
  settings->config.MetaTags = {TMetaTag{"NOUN", {"nn", "nns"}}};
  settings->RebuildTables();
  return *settings;
}

std::vector<std::string> Lines(std::string_view text, bool batch) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = std::min(text.find('\n', start), text.size());
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (!batch) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4096) return 0;
  static const TSearchKind kinds[] = {TSearchKind::kWordPhrase, TSearchKind::kRegExp,
                                      TSearchKind::kWordTag, TSearchKind::kWordTag};
  TSearchKind kind = kinds[data[0] & 3];
  bool batch = (data[0] & 4) != 0;
  const TProgramSettings& settings = Settings(static_cast<uint8_t>((data[0] >> 3) & 15));
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::unique_ptr<TExtractRecords> records;
  try {
    records =
        ParseExtractRequest(kind, batch, Lines(text, batch), settings.config, settings.tables);
  } catch (const EQuenterra&) {
    return 0;  // refused with a message: what the extract dialog shows
  }
  fuzz::Check(records != nullptr && records->RecordCount() > 0);
  std::unique_ptr<TCollocationList> list = ExtractAll(*records, SmallIndex(), settings.Run());
  fuzz::Check(list != nullptr);
  return 0;
}
