// The record classes, the token and window tests, and the request-level driver of the
// extraction run. The window scan of one line is in collocExtractRun.cpp.
#include "engine/collocExtract.h"

#include <algorithm>

#include "engine/collocExtractRun.h"
#include "engine/collocList.h"

namespace quenterra {

namespace {

// The settings' wildcards become the fixed ones of the index's matcher.
std::string IndexWildcards(std::string_view pattern, const ZuzadovUdirev& config,
                           const TCharCoding& coding) {
  std::string out;
  for (size_t pos = 0; pos < pattern.size();) {
    const TChar c = coding.Next(pattern, pos);
    if (c == config.WildCard0orMore) {
      out += TTextIndex::kWildMany;
    } else if (c == config.WildCard0or1) {
      out += TTextIndex::kWildOptional;
    } else if (c == config.WildCardExactly1) {
      out += TTextIndex::kWildOne;
    } else {
      coding.Append(out, c);
    }
  }
  return out;
}

bool IsZeroOrMoreAlone(const std::string& pattern, const ZuzadovUdirev& config,
                       const TCharCoding& coding) {
  return coding.Length(pattern) == 1 && coding.First(pattern) == config.WildCard0orMore;
}

std::string_view TokenText(const TTextIndex& index, int32_t id) {
  const TIndexToken& token = index.GetToken(static_cast<uint32_t>(id));
  return {token.text, token.length};
}

}  // namespace

TExtractTerm::TExtractTerm(std::string text, bool isRegExp, std::string tag,
                           const ZuzadovUdirev& config, const TLangTables& tables)
    : text_(std::move(text)), tag_(std::move(tag)), encoding_(tables.Encoding()) {
  const TCharCoding& coding = tables.Coding();
  if (isRegExp) {
    regExp_ = std::make_unique<TRegExp>(text_, tables.RegExpTables());
    wordPattern_ = text_;
  } else {
    wordPattern_ = IndexWildcards(text_, config, coding);
  }
  int meta = tag_.empty() ? -1 : FindMetaTag(config.MetaTags, tag_, tables);
  if (meta >= 0) {
    hasTagList_ = true;
    tagList_ = config.MetaTags[static_cast<size_t>(meta)].tags;
    if (config.ignoreCase) {
      for (std::string& entry : tagList_) entry = tables.FoldString(entry);
    }
  }
  for (const std::string& pattern : hasTagList_ ? tagList_ : std::vector<std::string>{tag_}) {
    tagPatterns_.push_back(IndexWildcards(pattern, config, coding));
    if (IsZeroOrMoreAlone(pattern, config, coding)) matchesUntagged_ = true;
  }
}

int FindMetaTag(const std::vector<TMetaTag>& tags, std::string_view name,
                const TLangTables& tables) {
  std::string folded = tables.FoldString(name);
  for (size_t i = 0; i < tags.size(); ++i)
    if (tables.FoldString(tags[i].name) == folded) return static_cast<int>(i);
  return -1;
}

bool WordMatchesTerm(const TTextIndex& index, const TExtractTerm& term, int32_t wordId) {
  std::string_view text = TokenText(index, wordId);
  if (term.RegExp() != nullptr) return term.RegExp()->MatchesWhole(text);
  return TTextIndex::MatchWildcard(text, term.WordPattern(), term.Encoding());
}

bool TagMatchesTerm(const TTextIndex& index, const TExtractTerm& term, int32_t tagId) {
  if (tagId < 0) return term.MatchesUntagged();
  std::string_view text = TokenText(index, tagId);
  return std::any_of(
      term.TagPatterns().begin(), term.TagPatterns().end(),
      [&](const std::string& p) { return TTextIndex::MatchWildcard(text, p, term.Encoding()); });
}

bool MatchToken(const TTextIndex& index, const TExtractRecord& record, int32_t wordId,
                int32_t tagId, int term) {
  const TExtractTerm& t = record.Term(term);
  if (!WordMatchesTerm(index, t, wordId)) return false;
  return record.Kind() != TSearchKind::kWordTag || TagMatchesTerm(index, t, tagId);
}

bool MatchWindow(const TTextIndex& index, const TExtractRecord& record, const int32_t* words,
                 const int32_t* tags, int span, int offset, int& position) {
  auto match = [&](int term, int place) {
    return MatchToken(index, record, words[place], tags != nullptr ? tags[place] : -1, term);
  };
  return MatchPlaces(record.Order(), record.TermCount(), span, offset, match, position);
}

int32_t TagOf(TTextIndex& index, int32_t position, int32_t file, bool tagBefore) {
  auto [begin, end] = index.GetFileRange(file);
  int32_t at = tagBefore ? position - 1 : position + 1;
  if (at < begin || at >= end) return -1;
  uint32_t id = index.TokenAt(at);
  return index.GetToken(id).kind == kKindWordTag ? static_cast<int32_t>(id) : -1;
}

TExtractSettings TExtractSettings::FromSettings(const TRunSettings& run, const TTextIndex& index,
                                                bool several) {
  const ZuzadovUdirev& config = run.config;
  TExtractSettings settings;
  settings.span = std::clamp(config.SpanRange, 2, 12);
  settings.minWordFreq = config.Min_Word_Freq;
  settings.kinds = config.SkipNormalTags ? kWordKinds : kTextKinds;
  settings.tagBefore = config.WordTag == 2 && config.wTagBefore;
  if (config.UseStoplist)
    settings.stopIds = run.stopList.BuildIdList(index, settings.kinds, run.tables);
  settings.scoreMethod = ValidScoreMethod(config.Last_Method_Selected);
  settings.progressKind = several ? TProgressKind::kCancelSeveral : TProgressKind::kCancel;
  return settings;
}

std::unique_ptr<TCollocationList> ExtractAll(const TExtractRecords& records, TTextIndex& index,
                                             const TRunSettings& run) {
  TExtractSettings settings = TExtractSettings::FromSettings(run, index, records.RecordCount() > 1);
  auto list = std::make_unique<TCollocationList>(index, run.tables, settings.span);
  for (int i = 0; i < records.RecordCount(); ++i) {
    if (!ExtractInto(index, records.Record(i), settings, *list)) break;
  }
  list->ReleaseHash();
  list->DropRare(settings.minWordFreq);
  list->ComputeScores(settings.scoreMethod, index.GetStats(settings.kinds).frequency);
  return list;
}

}  // namespace quenterra
