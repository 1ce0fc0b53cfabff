// The state file beside a workspace's two index files. It records whether the last build of the
// index finished and what the index was built from: the corpus files with their sizes, and a
// fingerprint of the settings that decide how text splits into tokens. Opening a workspace uses
// it to refuse an index whose build was interrupted (the process killed, the machine down) or
// that no longer describes the corpus (files gone or changed, other splitting settings), which
// the index files alone cannot tell: an interrupted first build leaves a pair of files that
// opens as a valid, empty index.
//
// Format (an INI file, like the workspace file):
//   [Index]
//   Complete=0|1           0 from before a build touches the index files until its commit is on
//                          disk; 1 afterwards
//   Tokenisation=<hex>     TokenisationFingerprint() of the build
//   FileCount=n, File0...  the corpus files, in corpus order (counted list)
//   SizeCount=n, Size0...  their sizes in bytes when they were indexed (counted list)
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "corpus/IndexBuilder.h"
#include "corpus/LangTables.h"
#include "settings/Settings.h"

namespace quenterra {

inline constexpr char kWorkspaceIndexStateName[] = "INDEX_STATE.ini";

// What an index was built from.
struct TIndexSource {
  std::vector<std::string> names;  // corpus order
  std::vector<int64_t> sizes;      // bytes, same order
  std::string tokenisation;        // TokenisationFingerprint()
  bool operator==(const TIndexSource&) const = default;
};

// A digest, in hex, of every setting that the word splitter and the index read when they build:
// the case table, the delimiters, the tag and word-tag settings, the skipped characters.
std::string TokenisationFingerprint(const ZuzadovUdirev& config, const TLangTables& tables);

// The source of an index over `files` built with these settings (the streams' sizes).
TIndexSource DescribeIndexSource(std::span<const TCorpusFileRef> files, const ZuzadovUdirev& config,
                                 const TLangTables& tables);

// Records that the index in directory `dir` (ending in '/') is being built: opening it fails from
// now until MarkIndexComplete. Creates the directory when missing. Throws EFileError.
void MarkIndexBuilding(const std::string& dir);
// Forces the two index files of `dir` to disk, then records that the index there is complete and
// built from `source`. Call it only after the index was committed. Throws EFileError.
void MarkIndexComplete(const std::string& dir, const TIndexSource& source);
// True when the state file of `dir` exists, is readable and records a complete index built from
// exactly `source`.
bool IndexStateMatches(const std::string& dir, const TIndexSource& source);

}  // namespace quenterra
