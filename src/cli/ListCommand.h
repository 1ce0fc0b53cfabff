// The skeleton that the commands printing a list (extract, ngrams, full-extract, and the result
// tables of concordance, collocates and wordlist) share: the help, where the corpus comes from
// and when it is indexed, the command's settings on top of the corpus's, the run and the
// printing. Each command keeps its own option parser and its compute call and hands them over in
// a TListCommand.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ListOptions.h"
#include "corpus/Corpus.h"
#include "engine/collocList.h"

namespace quenterra::cli {

// What a run gives to print: the list (null when the run stopped without one, the reason
// printed), the score method it shows and the one asked for (a difference is told on stderr)
// and the caption of its JSON form. A command whose result is no collocation list prints it
// itself through `print` (false when the output failed).
struct TListResult {
  std::unique_ptr<TCollocationList> list;
  TScoreMethod shownMethod = TScoreMethod::kNone;
  TScoreMethod askedMethod = TScoreMethod::kNone;
  std::string caption;
  std::function<bool()> print = {};
};

struct TListCommand {
  std::string name;                // as typed, for messages
  std::string usage;               // printed by --help
  bool help = false;               // --help was given
  std::vector<std::string> files;  // the FILE arguments
  TListOptions list;               // the listing options
  // What the run reads of an index in temporary files: kSequence for one that never asks where
  // a token occurs.
  TIndexContents contents = TIndexContents::kFull;
  // Puts the command's options into the settings, over those of the corpus (a workspace brings
  // its own), and checks them; throws EUsage for options the run cannot honour.
  std::function<void(TProgramSettings& settings)> apply = {};
  // What can be checked once the settings are final but before the FILEs are indexed (a
  // pattern); false stops the command with status 1, the reason printed. May be empty.
  std::function<bool(const TProgramSettings& settings)> prepare = {};
  // The run over the corpus's index.
  std::function<TListResult(TCorpus& corpus, TProgramSettings& settings)> compute = {};
};

// Runs the command: without --workspace the options are applied and checked before the FILEs
// are indexed, so that a mistake costs no indexing; with it, after the workspace's settings were
// read. A corpus without a counted word fails (status 1) with a message. Returns the exit
// status.
int RunListCommand(TListCommand& command, TCliSession& session);

}  // namespace quenterra::cli
