// `quenterra-cli index FILE...`: builds the text index of the files in temporary index files
// (or opens a workspace's stored index) and prints the corpus information as the main window's
// status panel shows it.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/CommandCorpus.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "corpus/Corpus.h"
#include "platform/NumberFormat.h"

namespace quenterra::cli {

namespace {

constexpr char kUsage[] =
    "Usage: quenterra-cli index [--stats] [--] FILE...\n"
    "       quenterra-cli --workspace FILE.qws index [--stats]\n"
    "\n"
    "Builds the text index of the FILEs, numbered 0, 1, ... in the order given, in temporary\n"
    "index files that are deleted afterwards (with --workspace: opens the workspace's stored\n"
    "index, rebuilding it only when it is unusable), and prints the corpus information as the\n"
    "status panel shows it: running words and distinct words ('12,345 words, 2,001 types'),\n"
    "counting words only, or also tag names and words inside tags when SkipNormalTags is off.\n"
    "A corpus without words shows its size and number of files instead.\n"
    "\n"
    "  --stats   also print the files, positions, tokens by kind, whether the index was built\n"
    "            or stored, and the time taken\n";

struct TIndexOptions {
  std::vector<std::string> files;
  bool stats = false;
  bool help = false;
};

TIndexOptions ParseOptions(const TArgs& args) {
  TIndexOptions options;
  bool more = true;
  for (const std::string& arg : args) {
    if (more && arg == "--") {
      more = false;
    } else if (more && (arg == "--help" || arg == "-h")) {
      options.help = true;
    } else if (more && arg == "--stats") {
      options.stats = true;
    } else if (more && arg.size() > 1 && arg[0] == '-') {
      throw EUsage{"index: unknown option '" + arg + "' (see 'quenterra-cli index --help')"};
    } else {
      options.files.push_back(arg);
    }
  }
  return options;
}

void PrintStats(const TCorpus& corpus, double seconds) {
  if (corpus.Index() == nullptr) {
    std::printf("index: none\n");
    return;
  }
  TTextIndex& index = *corpus.Index();
  int64_t files = corpus.FileCount();
  bool stored = corpus.LastIndexSource() == TIndexSourceKind::kStored;
  bool temporary = corpus.WorkspaceFile().empty() || corpus.TemporaryIndex();
  std::printf("index: %s in %s\n", stored ? "stored" : "built",
              temporary ? "temporary files" : corpus.WorkspaceDir().c_str());
  std::printf("files: %s (%s with tokens)\n", FormatCount(files).c_str(),
              FormatCount(index.FileCount()).c_str());
  std::printf("positions: %s\n", FormatCount(index.SequenceCount()).c_str());
  const std::pair<uint8_t, const char*> kinds[] = {{kKindWord, "word"},
                                                   {kKindTagName, "tag name"},
                                                   {kKindTagWord, "tag word"},
                                                   {kKindWordTag, "word tag"}};
  for (const auto& [kind, name] : kinds) {
    TIndexStats stats = index.GetStats(KindBit(kind));
    std::printf("kind %d (%s): %s, %s\n", kind, name, FormatCount(stats.tokens, "type").c_str(),
                FormatCount(stats.frequency, "occurrence").c_str());
  }
  std::printf(
      "time: %.3f s (%s positions/s)\n", seconds,
      FormatCount(seconds > 0 ? static_cast<int64_t>(index.SequenceCount() / seconds) : 0).c_str());
}

}  // namespace

int RunIndex(const TArgs& args, TCliSession& session) {
  TIndexOptions options = ParseOptions(args);
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  auto start = std::chrono::steady_clock::now();
  std::unique_ptr<TCorpus> corpus = OpenCommandCorpus(session, options.files, "index");
  if (!corpus) return 1;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s\n", corpus->UpdateCorpusInfo().c_str());
  if (options.stats) PrintStats(*corpus, seconds);
  FlushOutput();
  return 0;
}

}  // namespace quenterra::cli
