// The corpus a command of quenterra-cli works on, from one place for every command: the workspace
// of --workspace FILE.qws (its corpus files and stored index), or the FILEs named on the command
// line, indexed in temporary files that go when the corpus is destroyed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "corpus/Corpus.h"

namespace quenterra::cli {

// The ready corpus: with --workspace, that workspace opened (its settings read again with the
// --set overrides on top; a stored index that is missing, damaged or stale is rebuilt, with
// "Error loading the index."; overrides that split text otherwise index the corpus in temporary
// files, said in one line on stderr, and leave the stored index alone); else the FILEs loaded and
// indexed. Throws EUsage when both or neither are given. Returns null after the reason was
// printed when the workspace cannot be read or one of its files or a FILE cannot be loaded
// (nothing is indexed then). Installs the console front-end (--yes answers its questions). The
// corpus reads the session's settings, which outlive it. contents: what an index in temporary
// files must hold for the command.
std::unique_ptr<TCorpus> OpenCommandCorpus(TCliSession& session,
                                           const std::vector<std::string>& files,
                                           const std::string& command,
                                           TIndexContents contents = TIndexContents::kFull);

// OpenWorkspace for a run that reads the workspace: the --set and --stoplist options on top of
// its settings, for this run only; every corpus file required.
bool OpenWorkspaceWithOverrides(TCliSession& session, TCorpus& corpus, const std::string& fileName);

}  // namespace quenterra::cli
