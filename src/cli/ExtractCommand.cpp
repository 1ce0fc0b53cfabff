// `quenterra-cli extract PATTERN FILE...`: the extract dialog and the extraction run without a
// window. The pattern (or a batch file of patterns) is parsed with the dialog's grammar, the run
// counts the collocations over the corpus, and the list is printed as a list window would save
// it, or as TSV or JSON for programs.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandCorpus.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/GlobalOptions.h"
#include "config/Settings.h"
#include "engine/ListFormat.h"
#include "engine/collocExtract.h"
#include "engine/collocList.h"
#include "patterns/collocExtractDialog.h"
#include "platform/AtomicFile.h"

namespace quenterra::cli {

namespace {

constexpr char kUsage[] =
    "Usage: quenterra-cli extract [OPTIONS] PATTERN FILE...\n"
    "       quenterra-cli extract [OPTIONS] --batch PATTERNS FILE...\n"
    "       quenterra-cli --workspace FILE.qws extract [OPTIONS] PATTERN\n"
    "\n"
    "Counts every window of SpanRange words of the FILEs (indexed in temporary files) that holds\n"
    "the PATTERN, drops those seen fewer than Min_Word_Freq times, scores them and prints the\n"
    "list sorted as a new list window sorts it: by score, then by frequency. Patterns follow the\n"
    "extract dialog: 'post office' (adjacent), 'post + office*' (anywhere in the window),\n"
    "'post > office' (in this order); Word/Tag terms are word&tag. Pattern errors are printed\n"
    "and end the command with status 1.\n"
    "\n"
    "  --syntax word|regex|tag  Word/Phrase (the default), Regular Expression or Word/Tag\n"
    "                           syntax; Word/Tag needs word tags (--set WordTag=1 ...)\n"
    "  --batch FILE             the patterns of FILE, one a line, as one request\n"
    "  --span N                 window length, 2 to 12 (sets SpanRange)\n"
    "  --min-freq N             minimal frequency, 1 to 32767 (sets Min_Word_Freq)\n"
    "  --score t|mi|ll|none     T-Score, Mutual Information, Log-likelihood or no score (sets\n"
    "                           Last_Method_Selected); T-Score and Log-likelihood need span 2\n"
    "  --sort KEY[,KEY2]        freq, score, alpha, position, revpos or postag (Word/Tag)\n"
    "  --no-freq                leave out the frequency column\n"
    "  --format text|tsv|json   text: the list window's saved file (the default); tsv: count,\n"
    "                           score, position and text a line; json: for programs\n"
    "\n"
    "The global option --stoplist FILE removes the windows that hold a word of FILE.\n";

enum class TFormat { Text, Tsv, Json };

struct TExtractOptions {
  bool help = false;
  std::vector<std::string> positional;  // PATTERN (unless --batch) and the FILEs
  uint8_t kind = kWordPhrase;
  std::optional<std::string> batchFile;
  std::optional<int> span;
  std::optional<int> minFreq;
  std::optional<uint8_t> scoreMethod;
  std::optional<std::pair<TCollocSortKey, TCollocSortKey>> sort;
  bool showFrequency = true;
  TFormat format = TFormat::Text;
};

[[noreturn]] void Usage(const std::string& text) {
  throw EUsage{"extract: " + text + " (see 'quenterra-cli extract --help')"};
}

int Number(const std::string& option, const std::string& text, int low, int high) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    Usage(option + " needs a number from " + std::to_string(low) + " to " + std::to_string(high) +
          ", not '" + text + "'");
  }
  return value;
}

template <typename T>
T Choice(const std::string& option, const std::string& text,
         std::initializer_list<std::pair<const char*, T>> choices) {
  for (const auto& [name, value] : choices) {
    if (text == name) return value;
  }
  Usage("unknown " + option + " value '" + text + "'");
}

TCollocSortKey SortKey(const std::string& name) {
  return Choice<TCollocSortKey>("--sort", name,
                                {{"freq", csFreq},
                                 {"score", csScore},
                                 {"alpha", csAlpha},
                                 {"position", csPosition},
                                 {"revpos", csRevPos},
                                 {"postag", csPOSTag}});
}

std::pair<TCollocSortKey, TCollocSortKey> SortKeys(const std::string& text) {
  size_t comma = text.find(',');
  TCollocSortKey first = SortKey(text.substr(0, comma));
  if (comma == std::string::npos) return {first, csNone};
  TCollocSortKey second = SortKey(text.substr(comma + 1));
  bool positions =
      (first == csPosition || first == csRevPos) && (second == csPosition || second == csRevPos);
  if (first == second || positions) Usage("--sort '" + text + "' is not a pair of keys");
  return {first, second};
}

// Applies the option at args[i]; false when it is no option of this command.
bool TakeOption(const TArgs& args, size_t& i, TExtractOptions& options) {
  const std::string& arg = args[i];
  size_t equals = arg.find('=');
  std::string name = arg.substr(0, equals);
  auto value = [&]() -> std::string {
    if (equals != std::string::npos) return arg.substr(equals + 1);
    if (i + 1 >= args.size()) Usage(name + " needs an argument");
    return args[++i];
  };
  if (name == "--help" || name == "-h") {
    options.help = true;
  } else if (name == "--no-freq") {
    options.showFrequency = false;
  } else if (name == "--syntax") {
    options.kind = Choice<uint8_t>(name, value(),
                                   {{"word", kWordPhrase}, {"regex", kRegExp}, {"tag", kWordTag}});
  } else if (name == "--batch") {
    options.batchFile = value();
  } else if (name == "--span") {
    options.span = Number(name, value(), kMinSpan, kMaxSpan);
  } else if (name == "--min-freq") {
    options.minFreq = Number(name, value(), 1, 32767);
  } else if (name == "--score") {
    options.scoreMethod = Choice<uint8_t>(
        name, value(),
        {{"t", smTScore}, {"mi", smMutualInfo}, {"ll", smLogLikelihood}, {"none", smNone}});
  } else if (name == "--sort") {
    options.sort = SortKeys(value());
  } else if (name == "--format") {
    options.format = Choice<TFormat>(
        name, value(), {{"text", TFormat::Text}, {"tsv", TFormat::Tsv}, {"json", TFormat::Json}});
  } else {
    return false;
  }
  return true;
}

TExtractOptions ParseOptions(const TArgs& args) {
  TExtractOptions options;
  bool more = true;
  for (size_t i = 0; i < args.size(); ++i) {
    if (more && args[i] == "--") {
      more = false;
    } else if (more && args[i].size() > 1 && args[i][0] == '-') {
      if (!TakeOption(args, i, options)) Usage("unknown option '" + args[i] + "'");
    } else {
      options.positional.push_back(args[i]);
    }
  }
  if (!options.help && !options.batchFile && options.positional.empty()) Usage("no PATTERN given");
  return options;
}

// The lines of a batch file, line ends of either kind.
std::vector<std::string> ReadBatch(const std::string& name) {
  constexpr uint64_t kMaxBatchFile = 16 * 1024 * 1024;
  std::string text = ReadWholeFile(name, kMaxBatchFile);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The settings of the options, on top of those of the corpus (a workspace brings its own).
void ApplyRunSettings(const TExtractOptions& options) {
  ZuzadovUdirev& config = Config();
  if (options.span) config.SpanRange = *options.span;
  if (options.minFreq) config.Min_Word_Freq = *options.minFreq;
  if (options.scoreMethod) config.Last_Method_Selected = *options.scoreMethod;
  if (options.kind == kWordTag && config.WordTag == 0) {
    Usage("Word/Tag syntax needs a corpus with word tags (--set WordTag=1 or 2)");
  }
}

// The keys a list window offers for this list: score only with a score shown, the tag key only
// for tagged lists.
void CheckSortKeys(const TExtractOptions& options) {
  if (!options.sort) return;
  uint8_t method = ValidScoreMethod(Config().Last_Method_Selected);
  if (Config().SpanRange >= 3 && method != smMutualInfo) method = smNone;
  for (TCollocSortKey key : {options.sort->first, options.sort->second}) {
    if (key == csScore && method == smNone) Usage("--sort score needs a score method");
    if (key == csPOSTag && options.kind != kWordTag) Usage("--sort postag needs --syntax tag");
  }
}

void Print(const TCollocationList& list, const TListView& view, TFormat format,
           const std::string& caption) {
  switch (format) {
    case TFormat::Text:
      WriteSavedList(std::cout, list, view);
      break;
    case TFormat::Tsv:
      WriteListTsv(std::cout, list, view);
      break;
    case TFormat::Json:
      WriteListJson(std::cout, list, view, caption);
      break;
  }
  std::cout.flush();
}

}  // namespace

int RunExtract(const TArgs& args) {
  TExtractOptions options = ParseOptions(args);
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  TExtractDialogState request;
  request.Kind = options.kind;
  std::vector<std::string> files = options.positional;
  if (options.batchFile) {
    request.Batch = true;
    request.BatchLines = ReadBatch(*options.batchFile);
  } else {
    request.Pattern = files.front();
    files.erase(files.begin());
  }
  // A workspace brings its own settings (separators, case, meta-tags) that the pattern is read
  // under; without one, a faulty pattern is reported before the files are indexed.
  bool workspace = CurrentGlobalOptions().workspaceFile.has_value();
  InstallConsoleFrontEnd(CurrentGlobalOptions().assumeYes);
  if (!workspace && files.empty()) Usage("no FILE given");
  std::unique_ptr<TCorpus> corpus;
  if (workspace && !(corpus = OpenCommandCorpus(files, "extract"))) return 1;
  ApplyRunSettings(options);
  CheckSortKeys(options);
  std::unique_ptr<TExtractRecords> records = BuildExtractRecords(request);
  if (!records) return 1;
  if (!workspace && !(corpus = OpenCommandCorpus(files, "extract"))) return 1;
  if (corpus->Index() == nullptr) {
    std::cerr << "extract: the corpus has no index\n";
    return 1;
  }
  std::unique_ptr<TCollocationList> list = ExtractAll(*records, *corpus->Index());
  auto [key1, key2] = options.sort.value_or(std::make_pair(csScore, csFreq));
  list->Sort(key1, key2);
  Print(*list, TListView{options.showFrequency, list->ScoreMethod()}, options.format,
        records->Caption());
  return std::cout.good() ? 0 : 1;
}

}  // namespace quenterra::cli
