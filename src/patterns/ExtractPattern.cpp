#include "patterns/ExtractPattern.h"

#include <algorithm>

#include "platform/Text.h"

namespace quenterra {

namespace {

std::string Quoted(char c) { return std::string("\"") + c + "\""; }

// Leading and trailing blanks (spaces and control characters) go.
std::string Trimmed(const std::string& line) { return std::string(TrimControls(line)); }

void SkipSpaces(std::string_view& rest) {
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
}

// A separator with no term on one of its sides.
EExtractPattern MissingTerm(char separator) {
  return EExtractPattern("Incorrect use of " + Quoted(separator) +
                         " at the end of the extract term.");
}

void CheckCharacters(TSearchKind kind, const std::string& line, const ZuzadovUdirev& config) {
  if (kind == TSearchKind::kRegExp) return;
  TCharSet invalid = ExtractInvalidSet(kind, config);
  for (char c : line) {
    if (invalid.Contains(static_cast<unsigned char>(c))) {
      throw EExtractPattern("Invalid character in extract pattern: " + Quoted(c) + ".");
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
  std::string anything(1, config.WildCard0orMore);
  size_t separator = term.find(config.TagSearchSeparator);
  if (separator == std::string::npos) return TExtractTerm(term, false, anything, config, tables);
  if (term.size() == 1) throw MissingTerm(config.TagSearchSeparator);  // neither word nor tag
  std::string word = term.substr(0, separator);
  return TExtractTerm(word.empty() ? anything : word, false, term.substr(separator + 1), config,
                      tables);
}

// The first separator fixes the line's order; every later one must be the same character.
void TakeSeparator(char separator, bool first, TExtractRecord& record, char& previous,
                   const ZuzadovUdirev& config) {
  if (first) {
    record.SetOrder(separator == config.TagUnorderedChar    ? TOrderMode::kUnordered
                    : separator == config.TagSubsequentChar ? TOrderMode::kSubsequent
                                                            : TOrderMode::kAdjacent);
  } else if (separator != previous) {
    throw EExtractPattern(std::string("Incorrect syntax. ") + Quoted(config.TagUnorderedChar) +
                          ", " + Quoted(config.TagSubsequentChar) + " or " + Quoted(' ') +
                          " can't be used in a combination.");
  }
  previous = separator;
}

void ParseTerms(TSearchKind kind, std::string_view rest, TExtractRecord& record,
                const ZuzadovUdirev& config, const TLangTables& tables) {
  TCharSet stops = ExtractTermStopSet(kind, config);
  char previous = ' ';
  bool first = true;
  while (!rest.empty()) {
    size_t length = 0;
    while (length < rest.size() && !stops.Contains(static_cast<unsigned char>(rest[length]))) {
      ++length;
    }
    if (length == 0) throw MissingTerm(rest.front());  // '+ post', 'post + + office'
    record.AddTerm(MakeTerm(kind, std::string(rest.substr(0, length)), config, tables));
    rest.remove_prefix(length);
    SkipSpaces(rest);
    if (rest.empty()) break;
    char separator = ' ';
    if (rest.front() == config.TagUnorderedChar || rest.front() == config.TagSubsequentChar) {
      separator = rest.front();
      rest.remove_prefix(1);
    }
    SkipSpaces(rest);
    if (separator != ' ' && rest.empty()) throw MissingTerm(separator);
    TakeSeparator(separator, first, record, previous, config);
    first = false;
  }
}

}  // namespace

TCharSet ExtractInvalidSet(TSearchKind kind, const ZuzadovUdirev& config) {
  TCharSet set = BuildDelimiterSet(config);
  for (char c : {' ', config.WildCard0orMore, config.WildCard0or1, config.WildCardExactly1,
                 config.TagUnorderedChar, config.TagSubsequentChar}) {
    set.Remove(static_cast<unsigned char>(c));
  }
  if (kind == TSearchKind::kWordTag) {
    set.Remove(static_cast<unsigned char>(config.TagSearchSeparator));
  }
  return set;
}

TCharSet ExtractTermStopSet(TSearchKind kind, const ZuzadovUdirev& config) {
  TCharSet set;
  set.Add(' ');
  if (kind != TSearchKind::kRegExp) {
    set.Add(static_cast<unsigned char>(config.TagUnorderedChar));
    set.Add(static_cast<unsigned char>(config.TagSubsequentChar));
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
  CheckCharacters(kind, text, config);
  TExtractRecord record(kind, line);
  ParseTerms(kind, text, record, config, tables);
  records.AddRecord(std::move(record));
}

std::string ExtractExamples(TSearchKind kind, const ZuzadovUdirev& c) {
  auto s = [](char ch) { return std::string(1, ch); };
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
