#include "patterns/ExtractPattern.h"

#include <algorithm>

#include "platform/Text.h"

namespace quenterra {

namespace {

// A character in double quotes, for messages.
std::string Quoted(TChar c, const TLangTables& tables) {
  return "\"" + tables.ToUtf8(tables.Coding().Encode(c)) + "\"";
}

// Leading and trailing blanks (spaces and control characters) go.
std::string Trimmed(const std::string& line) { return std::string(TrimControls(line)); }

void SkipSpaces(std::string_view& rest) {
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
}

// A separator with no term on one of its sides.
EExtractPattern MissingTerm(TChar separator, const TLangTables& tables) {
  return EExtractPattern("Incorrect use of " + Quoted(separator, tables) +
                         " at the end of the extract term.");
}

void CheckCharacters(TSearchKind kind, const std::string& line, const ZuzadovUdirev& config,
                     const TLangTables& tables) {
  if (kind == TSearchKind::kRegExp) return;
  TCharSet invalid = ExtractInvalidSet(kind, config, tables.Coding());
  for (TChar c : tables.Coding().Decode(line)) {
    if (invalid.Contains(c)) {
      throw EExtractPattern("Invalid character in extract pattern: " + Quoted(c, tables) + ".");
    }
  }
}

// Word/Tag terms split at the first tag search separator into word and tag patterns; a missing
// tag is any tag, a missing word any word.
TExtractTerm MakeTerm(TSearchKind kind, const std::string& term, const ZuzadovUdirev& config,
                      const TLangTables& tables) {
  if (kind != TSearchKind::kWordTag) {
    return TExtractTerm(term, kind == TSearchKind::kRegExp, "", config, tables);
  }
  const std::string anything = tables.Coding().Encode(config.WildCard0orMore);
  const std::string separator = tables.Coding().Encode(config.TagSearchSeparator);
  size_t at = term.find(separator);
  if (at == std::string::npos) return TExtractTerm(term, false, anything, config, tables);
  if (term == separator) throw MissingTerm(config.TagSearchSeparator, tables);  // no word, no tag
  std::string word = term.substr(0, at);
  return TExtractTerm(word.empty() ? anything : word, false, term.substr(at + separator.size()),
                      config, tables);
}

// The first separator fixes the line's order; every later one must be the same character.
void TakeSeparator(TChar separator, bool first, TExtractRecord& record, TChar& previous,
                   const ZuzadovUdirev& config, const TLangTables& tables) {
  if (first) {
    record.SetOrder(separator == config.TagUnorderedChar    ? TOrderMode::kUnordered
                    : separator == config.TagSubsequentChar ? TOrderMode::kSubsequent
                                                            : TOrderMode::kAdjacent);
  } else if (separator != previous) {
    throw EExtractPattern("Incorrect syntax. " + Quoted(config.TagUnorderedChar, tables) + ", " +
                          Quoted(config.TagSubsequentChar, tables) + " or " + Quoted(' ', tables) +
                          " can't be used in a combination.");
  }
  previous = separator;
}

void ParseTerms(TSearchKind kind, std::string_view rest, TExtractRecord& record,
                const ZuzadovUdirev& config, const TLangTables& tables) {
  const TCharCoding& coding = tables.Coding();
  TCharSet stops = ExtractTermStopSet(kind, config);
  TChar previous = ' ';
  bool first = true;
  while (!rest.empty()) {
    size_t length = 0;
    for (size_t next = 0; length < rest.size() && !stops.Contains(coding.Next(rest, next));)
      length = next;
    if (length == 0) {  // '+ post', 'post + + office'
      size_t next = 0;
      throw MissingTerm(coding.Next(rest, next), tables);
    }
    record.AddTerm(MakeTerm(kind, std::string(rest.substr(0, length)), config, tables));
    rest.remove_prefix(length);
    SkipSpaces(rest);
    if (rest.empty()) break;
    TChar separator = ' ';
    size_t next = 0;
    const TChar c = coding.Next(rest, next);
    if (c == config.TagUnorderedChar || c == config.TagSubsequentChar) {
      separator = c;
      rest.remove_prefix(next);
    }
    SkipSpaces(rest);
    if (separator != ' ' && rest.empty()) throw MissingTerm(separator, tables);
    TakeSeparator(separator, first, record, previous, config, tables);
    first = false;
  }
}

}  // namespace

TCharSet ExtractInvalidSet(TSearchKind kind, const ZuzadovUdirev& config,
                           const TCharCoding& coding) {
  TCharSet set = BuildDelimiterSet(config, coding);
  for (TChar c : {TChar{' '}, config.WildCard0orMore, config.WildCard0or1, config.WildCardExactly1,
                  config.TagUnorderedChar, config.TagSubsequentChar}) {
    set.Remove(c);
  }
  if (kind == TSearchKind::kWordTag) set.Remove(config.TagSearchSeparator);
  return set;
}

TCharSet ExtractTermStopSet(TSearchKind kind, const ZuzadovUdirev& config) {
  TCharSet set;
  set.Add(' ');
  if (kind != TSearchKind::kRegExp) {
    set.Add(config.TagUnorderedChar);
    set.Add(config.TagSubsequentChar);
  }
  return set;
}

void AddExtractPattern(TSearchKind kind, TExtractRecords& records, const std::string& line,
                       const ZuzadovUdirev& config, const TLangTables& tables) {
  std::string text = Trimmed(line);
  if (text.empty()) return;
  // A regular expression stays as typed: folding it would turn \W into \w. The translate table
  // folds its letters and the text's alike.
  if (config.ignoreCase && kind != TSearchKind::kRegExp) text = tables.FoldString(text);
  CheckCharacters(kind, text, config, tables);
  TExtractRecord record(kind, line);
  ParseTerms(kind, text, record, config, tables);
  records.AddRecord(std::move(record));
}

std::string ExtractExamples(TSearchKind kind, const ZuzadovUdirev& c, const TCharCoding& coding) {
  auto s = [&](TChar ch) { return coding.Encode(ch); };
  if (kind == TSearchKind::kRegExp) {
    return "e.g. \"colou?r\", \"\\ba\\W\\w+\\Wof\\b\", \"(\\b[A-Z]\\w*\\W){2}\"";
  }
  if (kind == TSearchKind::kWordTag) {
    return "e.g. \"computer" + s(c.TagSearchSeparator) + "nn" + s(c.WildCard0or1) + " + run" +
           s(c.WildCard0or1) + s(c.TagSearchSeparator) + "vbn + " + s(c.WildCard0orMore) +
           s(c.TagSearchSeparator) + "nn1\"";
  }
  return "e.g. \"colo" + s(c.WildCard0or1) + "r table\", \"post + office" + s(c.WildCardExactly1) +
         "\", \"computer + program" + s(c.WildCard0orMore) + "\", \"post > office?\"";
}

std::unique_ptr<TExtractRecords> ParseExtractRequest(TSearchKind kind, bool batch,
                                                     const std::vector<std::string>& lines,
                                                     const ZuzadovUdirev& config,
                                                     const TLangTables& tables) {
  std::string caption = batch           ? std::string(TExtractRecords::kBatchCaption)
                        : lines.empty() ? std::string()
                                        : lines.front();
  auto records = std::make_unique<TExtractRecords>(kind, caption);
  for (const std::string& line : lines) AddExtractPattern(kind, *records, line, config, tables);
  if (records->RecordCount() == 0) throw EExtractPattern(kEmptyPatternMessage);
  return records;
}

}  // namespace quenterra
