// Reads arbitrary bytes as a stop-list file and uses the words as a run does. Checks that every
// word read is a non-empty line without a line end, that the words written back as the viewer
// saves them read back the same, and that the word lookup and the id list never fail.
//
// Input: byte 0 bit 0 ignoreCase off; the rest the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzKit.h"
#include "config/ProgramSettings.h"
#include "corpus/TextIndex.h"
#include "engine/StopList.h"

using namespace quenterra;
using fuzz::Check;

namespace {

TTextIndex& SmallIndex() {
  static TTextIndex* index = [] {
    std::string dir = fuzz::FuzzDir();
    auto made = new TTextIndex(dir + "PGX", TProgressCallback(), TIndexFileMode::kTemporary, false,
                               false, dir + "SQX");
    for (const char* word : {"the", "of", "and", "a", "in", "\xE9t\xE9", "x"})
      made->AddToken(word, kKindWord, 0, 0);
    made->AddToken("p", kKindTagName, 0, 0);
    made->Commit();
    return made;
  }();
  return *index;
}

const TProgramSettings& Settings(bool ignoreCase) {
  static const TProgramSettings both[2] = {[] {
                                             TProgramSettings s = TProgramSettings::Defaults();
                                             s.config.ignoreCase = false;
                                             s.RebuildTables();
                                             return s;
                                           }(),
                                           TProgramSettings::Defaults()};
  return both[ignoreCase];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const TProgramSettings& settings = Settings((data[0] & 1) == 0);
  const std::string file = fuzz::FuzzDir() + "stop.txt";
  fuzz::WriteAll(file, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  std::vector<std::string> words = TStopList::ReadWordsFromFile(file);
  std::string saved;
  for (const std::string& word : words) {
    Check(!word.empty() && word.find_first_of("\r\n") == std::string::npos);
    saved += word + "\r\n";
  }
  fuzz::WriteAll(file, saved);
  Check(TStopList::ReadWordsFromFile(file) == words);

  TStopList stopList;
  stopList.SetWords(words);
  for (const std::string& word : words) Check(stopList.Contains(word, settings.tables));
  TDWordsList ids = stopList.BuildIdList(SmallIndex(), kTextKinds, settings.tables);
  for (int i = 1; i < ids.Count(); ++i) Check(ids.GetItem(i - 1) <= ids.GetItem(i));
  return 0;
}
