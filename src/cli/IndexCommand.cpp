// `quenterra-cli index FILE...`: builds the text index of the files in temporary index files
// and prints the corpus information as the main window's status panel shows it.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "config/Settings.h"
#include "corpus/IndexBuilder.h"
#include "corpus/SynStream.h"
#include "platform/NumberFormat.h"
#include "platform/Progress.h"

namespace quenterra::cli {

namespace {

constexpr char kUsage[] =
    "Usage: quenterra-cli index [--stats] [--] FILE...\n"
    "\n"
    "Builds the text index of the FILEs, numbered 0, 1, ... in the order given, in temporary\n"
    "index files that are deleted afterwards, and prints the corpus information as the status\n"
    "panel shows it: running words and distinct words ('12,345 words, 2,001 types'), counting\n"
    "words only, or also tag names and words inside tags when SkipNormalTags is off. A corpus\n"
    "without words shows its size and number of files instead.\n"
    "\n"
    "  --stats   also print the files, positions, tokens by kind and the time taken\n";

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
  if (!options.help && options.files.empty()) {
    throw EUsage{"index: no FILE given (see 'quenterra-cli index --help')"};
  }
  return options;
}

// "12,345 words": the count with the user's thousands separator, then the noun, plural unless
// the count is 1.
std::string CountText(int64_t count, const std::string& noun) {
  std::string digits = FormatCount(count);
  return digits + ' ' + noun + (digits == "1" ? "" : "s");
}

// "512 bytes", "1.50 kbytes", "2.00 mbytes".
std::string ByteSizeText(int64_t size) {
  if (size < 0) return "";
  std::string number;
  std::string unit = "byte";
  if (size < 1024) {
    number = std::to_string(size);
  } else {
    bool mega = size >= 1048576;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f",
                  static_cast<double>(size) / (mega ? 1048576.0 : 1024.0));
    number = text;
    unit = mega ? "mbyte" : "kbyte";
  }
  return number + ' ' + unit + (number == "1" ? "" : "s");
}

void PrintStats(TTextIndex& index, size_t files, double seconds) {
  std::printf("files: %s (%s with tokens)\n", FormatCount(static_cast<int64_t>(files)).c_str(),
              FormatCount(index.FileCount()).c_str());
  std::printf("positions: %s\n", FormatCount(index.SequenceCount()).c_str());
  const std::pair<uint8_t, const char*> kinds[] = {{kKindWord, "word"},
                                                   {kKindTagName, "tag name"},
                                                   {kKindTagWord, "tag word"},
                                                   {kKindWordTag, "word tag"}};
  for (const auto& [kind, name] : kinds) {
    TIndexStats stats = index.GetStats(KindBit(kind));
    std::printf("kind %d (%s): %s, %s\n", kind, name, CountText(stats.tokens, "token").c_str(),
                CountText(stats.frequency, "occurrence").c_str());
  }
  std::printf(
      "time: %.3f s (%s positions/s)\n", seconds,
      FormatCount(seconds > 0 ? static_cast<int64_t>(index.SequenceCount() / seconds) : 0).c_str());
}

}  // namespace

int RunIndex(const TArgs& args) {
  TIndexOptions options = ParseOptions(args);
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  InstallConsoleFrontEnd(false);
  std::vector<std::unique_ptr<TFileSynchroStream>> streams;
  std::vector<TCorpusFileRef> files;
  int64_t totalSize = 0;
  for (const std::string& name : options.files) {
    streams.push_back(std::make_unique<TFileSynchroStream>(name));
    files.push_back({name, streams.back().get()});
    totalSize += streams.back()->GetSize();
  }

  auto start = std::chrono::steady_clock::now();
  TCorpusIndex corpus;
  corpus.EnsureIndex();
  {
    std::unique_ptr<TProgress> progress = ShowProgress(TProgressKind::Simple, "Building index");
    corpus.BuildRange(files, 0, static_cast<int>(files.size()) - 1, progress.get());
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  TTextIndex& index = *corpus.Index();
  TIndexStats counted = index.GetStats(Config().SkipNormalTags ? kWordKinds : kTextKinds);
  if (counted.frequency != 0 && counted.tokens != 0) {
    std::printf("%s, %s\n", CountText(counted.frequency, "word").c_str(),
                CountText(counted.tokens, "type").c_str());
  } else {
    std::printf("%s, %s\n", ByteSizeText(totalSize).c_str(),
                CountText(static_cast<int64_t>(files.size()), "file").c_str());
  }
  if (options.stats) PrintStats(index, files.size(), seconds);
  corpus.CloseIndex(true);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace quenterra::cli
