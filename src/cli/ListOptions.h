// What the commands that print a collocation list (extract, ngrams, full-extract) share: reading
// their options ("--name VALUE" or "--name=VALUE"), the listing options --min-freq, --score,
// --sort, --no-freq and --format, the sort keys a list window would offer, and the output as a
// list window saves it, or as TSV or JSON.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "cli/Commands.h"
#include "engine/collocList.h"
#include "settings/Settings.h"

namespace quenterra::cli {

enum class TListFormat { kText, kTsv, kJson };

struct TListOptions {
  std::optional<int> minFreq;                                     // --min-freq: Min_Word_Freq
  std::optional<TScoreMethod> scoreMethod;                        // --score
  std::optional<std::pair<TCollocSortKey, TCollocSortKey>> sort;  // --sort KEY[,KEY2]
  bool showFrequency = true;                                      // --no-freq clears it
  TListFormat format = TListFormat::kText;
};

// The help lines of the listing options; scoreHelp describes --score for the command.
// positions: whether the list can be sorted by position.
std::string ListOptionsHelp(const std::string& scoreHelp, const std::string& postagHelp,
                            bool positions = true);

// Throws the usage error "COMMAND: TEXT (see 'quenterra-cli COMMAND --help')".
[[noreturn]] void CommandUsage(const std::string& command, const std::string& text);

// The option at args[i] of a command: its name and, on demand, its value.
class TOptionArg {
 public:
  TOptionArg(const std::string& command, const TArgs& args, size_t& i);
  const std::string& Name() const { return name_; }
  // Throws the command's usage error.
  [[noreturn]] void Fail(const std::string& text) const { CommandUsage(command_, text); }
  // The text after '=', else the next argument (i moves past it); EUsage when there is none.
  std::string Value();
  // The value as a whole number from low to high, a number, or one of the named choices.
  int Number(int low, int high);
  double Float();
  template <typename T>
  T Choice(std::initializer_list<std::pair<const char*, T>> choices) {
    const std::string text = Value();
    for (const auto& [name, value] : choices) {
      if (text == name) return value;
    }
    Fail("unknown " + name_ + " value '" + text + "'");
  }

 private:
  const std::string& command_;
  const TArgs& args_;
  size_t& i_;
  std::string name_;
  size_t equals_;  // of the argument, or npos
};

// Takes the option when it is a listing option; false otherwise.
bool TakeListOption(TOptionArg& option, TListOptions& options);
// Puts --min-freq into Min_Word_Freq.
void ApplyListSettings(const TListOptions& options, ZuzadovUdirev& config);
// What a list offers to sort by, as its window does.
struct TSortableList {
  TScoreMethod shownMethod = TScoreMethod::kNone;  // score only when one is shown
  bool tagged = false;                             // postag only with word tags
  bool positions = true;  // position and revpos: not for n-gram and full-extract lists
};

// Refuses the sort keys a list window would not offer (postagHint names what makes a list
// tagged).
void CheckSortKeys(const std::string& command, const TListOptions& options,
                   const TSortableList& list, const std::string& postagHint);
// Sorts the list (by --sort, else by score and then frequency as a new list window does) and
// prints it to standard output; a failed write ends the run (OutputFailed).
void PrintList(TCollocationList& list, const TListOptions& options, TScoreMethod shownMethod,
               const std::string& caption);

}  // namespace quenterra::cli
