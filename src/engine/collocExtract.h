// The extraction run: the parsed pattern lines of one request (TExtractRecords) run against the
// text index, and every window of SpanRange counted positions that satisfies a line is counted
// into a TCollocationList.
//
// A window is a run of S = SpanRange consecutive counted positions inside one corpus file
// (counted: the token's kind is in the run's kind set, {1} or {1, 2, 3} when SkipNormalTags is
// off; other positions are passed over). A line of T terms is satisfied by a window when
//   adjacent     the terms stand at consecutive window places o .. o+T-1 for some o; the item's
//                position is the smallest such o
//   unordered    every term matches some place (one place may satisfy several terms); the
//                position is the first place where any term matches
//   subsequent   the terms match places in their order, gaps allowed; the position is that of
//                term 0 in the leftmost (greedy) embedding
// A window holding a token rarer than Min_Word_Freq or a stop word is never counted.
//
// The run never scans the corpus: it starts from the occurrences of the line's rarest term and
// examines each window start that such an occurrence admits once per line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "corpus/DWordList.h"
#include "corpus/LangTables.h"
#include "corpus/TextIndex.h"
#include "engine/RunSettings.h"
#include "engine/Scores.h"
#include "platform/Progress.h"
#include "regexp/RegExp3.h"
#include "settings/ExtractHistory.h"
#include "settings/Settings.h"

namespace quenterra {

class TCollocationList;

// Order modes of a pattern line (search kinds are TSearchKind).
enum class TOrderMode : uint8_t { kAdjacent = 0, kUnordered = 1, kSubsequent = 2 };

// One term of a pattern line.
class TExtractTerm {
 public:
  // text is a word pattern (the wildcards of config) or, with isRegExp, the source of a regular
  // expression, compiled here against the tables (throws ERegExp when it does not compile). tag
  // is the tag pattern of Word/Tag lines, "" elsewhere; when it names one of config's meta-tags
  // (letter case ignored) the term takes a copy of the meta-tag's patterns, lower-cased when
  // ignoreCase is on.
  TExtractTerm(std::string text, bool isRegExp, std::string tag, const ZuzadovUdirev& config,
               const TLangTables& tables);

  const std::string& Text() const { return text_; }
  const std::string& Tag() const { return tag_; }
  const TRegExp* RegExp() const { return regExp_.get(); }  // null unless a regular expression
  bool HasTagList() const { return hasTagList_; }
  const std::vector<std::string>& TagList() const { return tagList_; }

  // The patterns with the wildcards of the settings replaced by the index matcher's fixed
  // '*', '%' and '?', as the run hands them to the index.
  const std::string& WordPattern() const { return wordPattern_; }
  // The word part as an index query: the regular expression, else WordPattern().
  TTokenPattern WordQuery() const {
    return regExp_ ? TTokenPattern(*regExp_) : TTokenPattern(wordPattern_, encoding_);
  }
  const std::vector<std::string>& TagPatterns() const { return tagPatterns_; }
  // How the patterns' characters are read (what '?' and '%' count).
  TCorpusEncoding Encoding() const { return encoding_; }
  // Whether a word without a tag satisfies the tag part: a tag pattern of the 0-or-more
  // wildcard alone (or such a meta-tag entry).
  bool MatchesUntagged() const { return matchesUntagged_; }

 private:
  std::string text_;
  std::string tag_;
  std::unique_ptr<TRegExp> regExp_;
  bool hasTagList_ = false;
  std::vector<std::string> tagList_;      // the meta-tag's patterns, when Tag names one
  std::string wordPattern_;               // text_ in the index's wildcards
  std::vector<std::string> tagPatterns_;  // tag_ or tagList_ in the index's wildcards
  TCorpusEncoding encoding_;
  bool matchesUntagged_ = false;
};

// One pattern line: its terms in pattern order.
class TExtractRecord {
 public:
  TExtractRecord() = default;
  TExtractRecord(TSearchKind kind, std::string text) : kind_(kind), text_(std::move(text)) {}

  TSearchKind Kind() const { return kind_; }
  TOrderMode Order() const { return order_; }
  void SetOrder(TOrderMode order) { order_ = order; }
  const std::string& Text() const { return text_; }  // the line as typed; the progress label

  void AddTerm(TExtractTerm term) { terms_.push_back(std::move(term)); }
  int TermCount() const { return static_cast<int>(terms_.size()); }
  const TExtractTerm& Term(int i) const { return terms_.at(static_cast<size_t>(i)); }

 private:
  TSearchKind kind_ = TSearchKind::kWordPhrase;
  TOrderMode order_ = TOrderMode::kAdjacent;
  std::string text_;
  std::vector<TExtractTerm> terms_;
};

// One extraction request.
class TExtractRecords {
 public:
  static constexpr char kBatchCaption[] = "Batch collocation";

  TExtractRecords() = default;
  TExtractRecords(TSearchKind kind, std::string caption)
      : kind_(kind), caption_(std::move(caption)) {}

  TSearchKind Kind() const { return kind_; }
  const std::string& Caption() const { return caption_; }  // the list window's caption

  void AddRecord(TExtractRecord record) { records_.push_back(std::move(record)); }
  int RecordCount() const { return static_cast<int>(records_.size()); }
  const TExtractRecord& Record(int i) const { return records_.at(static_cast<size_t>(i)); }

 private:
  TSearchKind kind_ = TSearchKind::kWordPhrase;
  std::string caption_;
  std::vector<TExtractRecord> records_;
};

// What a run reads once at its start; later changes of the settings or the stop list do not
// reach it.
struct TExtractSettings {
  int span = 2;             // S, SpanRange
  int32_t minWordFreq = 2;  // Min_Word_Freq
  TKindSet kinds = kWordKinds;
  bool tagBefore = false;  // word tags stand before their words (WordTag 2 and wTagBefore)
  TDWordsList stopIds;     // sorted; empty unless UseStoplist is on
  TScoreMethod scoreMethod = TScoreMethod::kMutualInfo;  // Last_Method_Selected
  TProgressKind progressKind = TProgressKind::kCancel;

  // From the settings and the stop list; `several` asks for the progress window of a batch
  // ("Cancel" and "Cancel All").
  static TExtractSettings FromSettings(const TRunSettings& run, const TTextIndex& index,
                                       bool several);
};

// Runs every line of the request and returns the list (the caller owns it; it reads the run's
// tables, which must outlive it): counted, rare items dropped, scored by Last_Method_Selected. A
// cancel in a progress window (either button) ends the run; the list then holds what was
// counted until then, post-processed the same way.
std::unique_ptr<TCollocationList> ExtractAll(const TExtractRecords& records, TTextIndex& index,
                                             const TRunSettings& run);

// Counts the windows of one line into list (a hashed list of WordCount settings.span). Returns
// false only when the user cancelled.
bool ExtractInto(TTextIndex& index, const TExtractRecord& record, const TExtractSettings& settings,
                 TCollocationList& list);

// Whether a window of `span` word ids (and tag ids, -1 for none; null outside Word/Tag lines)
// satisfies the line, and the line's position inside it. For adjacent lines the phrase is tried
// at `offset` only.
bool MatchWindow(const TTextIndex& index, const TExtractRecord& record, const int32_t* words,
                 const int32_t* tags, int span, int offset, int& position);

// Whether the token wordId, with tag tagId (-1 for none), satisfies term `term` of the line.
bool MatchToken(const TTextIndex& index, const TExtractRecord& record, int32_t wordId,
                int32_t tagId, int term);

// The first meta-tag named `name`, letter case ignored (the tables' case table), or -1.
int FindMetaTag(const std::vector<TMetaTag>& tags, std::string_view name,
                const TLangTables& tables);

// The token id of the word tag of the word at position in file `file`: the token right after it,
// or right before it with tagBefore, when that token is a word tag (kind 5) of the same file;
// else -1.
int32_t TagOf(TTextIndex& index, int32_t position, int32_t file, bool tagBefore);

}  // namespace quenterra
