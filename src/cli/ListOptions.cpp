#include "cli/ListOptions.h"

#include <charconv>
#include <iostream>
#include <sstream>

#include "cli/Console.h"
#include "cli/SettingOverride.h"
#include "engine/ListFormat.h"

namespace quenterra::cli {

namespace {

std::pair<TCollocSortKey, TCollocSortKey> SortKeys(TOptionArg& option) {
  const std::string text = option.Value();
  auto key = [&](const std::string& name) {
    for (auto [word, value] : {std::pair{"freq", TCollocSortKey::kFreq},
                               {"score", TCollocSortKey::kScore},
                               {"alpha", TCollocSortKey::kAlpha},
                               {"position", TCollocSortKey::kPosition},
                               {"revpos", TCollocSortKey::kRevPos},
                               {"postag", TCollocSortKey::kPOSTag}}) {
      if (name == word) return value;
    }
    option.Fail("unknown --sort value '" + name + "'");
  };
  const size_t comma = text.find(',');
  const TCollocSortKey first = key(text.substr(0, comma));
  if (comma == std::string::npos) return {first, TCollocSortKey::kNone};
  const TCollocSortKey second = key(text.substr(comma + 1));
  const bool positions = (first == TCollocSortKey::kPosition || first == TCollocSortKey::kRevPos) &&
                         (second == TCollocSortKey::kPosition || second == TCollocSortKey::kRevPos);
  if (first == second || positions) option.Fail("--sort '" + text + "' is not a pair of keys");
  return {first, second};
}

}  // namespace

std::string ListOptionsHelp(const std::string& scoreHelp, const std::string& postagHelp,
                            bool positions) {
  return "  --min-freq N             minimal frequency, 1 to 32767 (sets Min_Word_Freq)\n" +
         scoreHelp + "  --sort KEY[,KEY2]        freq, score, alpha, " +
         (positions ? "position, revpos " : "") + "or postag (" + postagHelp +
         ")\n"
         "  --no-freq                leave out the frequency column\n"
         "  --format text|tsv|json   text: the list window's saved file (the default); tsv: "
         "count,\n"
         "                           score, position and text a line; json: for programs\n";
}

void CommandUsage(const std::string& command, const std::string& text) {
  throw EUsage{command + ": " + text + " (see 'quenterra-cli " + command + " --help')"};
}

TOptionArg::TOptionArg(const std::string& command, const TArgs& args, size_t& i)
    : command_(command), args_(args), i_(i) {
  const std::string& arg = args[i];
  equals_ = arg.find('=');
  name_ = arg.substr(0, equals_);
}

std::string TOptionArg::Value() {
  const std::string& arg = args_[i_];
  if (equals_ != std::string::npos) return arg.substr(equals_ + 1);
  if (i_ + 1 >= args_.size()) Fail(name_ + " needs an argument");
  return args_[++i_];
}

int TOptionArg::Number(int low, int high) {
  const std::string text = Value();
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    Fail(name_ + " needs a number from " + std::to_string(low) + " to " + std::to_string(high) +
         ", not '" + text + "'");
  }
  return value;
}

double TOptionArg::Float() {
  const std::string text = Value();
  const std::optional<double> value = PlainNumber(text);
  if (!value) Fail(name_ + " needs a number such as 0.5 or -2, not '" + text + "'");
  return *value;
}

bool TakeListOption(TOptionArg& option, TListOptions& options) {
  const std::string& name = option.Name();
  if (name == "--no-freq") {
    options.showFrequency = false;
  } else if (name == "--min-freq") {
    options.minFreq = option.Number(1, 32767);
  } else if (name == "--score") {
    options.scoreMethod = option.Choice<TScoreMethod>({{"t", TScoreMethod::kTScore},
                                                       {"mi", TScoreMethod::kMutualInfo},
                                                       {"ll", TScoreMethod::kLogLikelihood},
                                                       {"none", TScoreMethod::kNone}});
  } else if (name == "--sort") {
    options.sort = SortKeys(option);
  } else if (name == "--format") {
    options.format = option.Choice<TListFormat>(
        {{"text", TListFormat::kText}, {"tsv", TListFormat::kTsv}, {"json", TListFormat::kJson}});
  } else {
    return false;
  }
  return true;
}

void ApplyListSettings(const TListOptions& options, ZuzadovUdirev& config) {
  if (options.minFreq) config.Min_Word_Freq = *options.minFreq;
}

void CheckSortKeys(const std::string& command, const TListOptions& options,
                   const TSortableList& list, const std::string& postagHint) {
  if (!options.sort) return;
  for (TCollocSortKey key : {options.sort->first, options.sort->second}) {
    if (key == TCollocSortKey::kScore && list.shownMethod == TScoreMethod::kNone) {
      CommandUsage(command, "--sort score needs a score method");
    }
    if (key == TCollocSortKey::kPOSTag && !list.tagged) {
      CommandUsage(command, "--sort postag needs " + postagHint);
    }
    if ((key == TCollocSortKey::kPosition || key == TCollocSortKey::kRevPos) && !list.positions) {
      CommandUsage(command, "its list has no positions to sort by (--sort freq, score, alpha" +
                                std::string(list.tagged ? " or postag)" : ")"));
    }
  }
}

void PrintList(TCollocationList& list, const TListOptions& options, TScoreMethod shownMethod,
               const std::string& caption) {
  auto [key1, key2] =
      options.sort.value_or(std::make_pair(TCollocSortKey::kScore, TCollocSortKey::kFreq));
  list.Sort(key1, key2);
  const TListView view{options.showFrequency, shownMethod};
  switch (options.format) {
    case TListFormat::kText: {
      // The saved file holds the corpus encoding; a terminal or a pipe gets UTF-8.
      std::ostringstream text;
      WriteSavedList(text, list, view);
      std::cout << list.Tables().ToUtf8(text.view());
      break;
    }
    case TListFormat::kTsv:
      WriteListTsv(std::cout, list, view);
      break;
    case TListFormat::kJson:
      WriteListJson(std::cout, list, view, caption);
      break;
  }
  FlushOutput();
}

}  // namespace quenterra::cli
