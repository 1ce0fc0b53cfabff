#include "engine/ListFormat.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>
#include <future>
#include <sstream>

#include "corpus/TextIndex.h"
#include "engine/collocList.h"
#include "platform/AtomicFile.h"
#include "platform/CharCoding.h"
#include "platform/NumberFormat.h"

namespace quenterra {

namespace {

constexpr const char* kCrLf = "\r\n";
// Lists are written through a buffer of about this many bytes: one stream write per block
// rather than several per item.
constexpr size_t kWriteBlock = 1 << 20;

void AppendNumber(std::string& out, int64_t value) {
  char text[24];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Writes the buffer out once it holds a block, and always when `last`.
void Drain(std::ostream& out, std::string& buffer, bool last) {
  if (!last && buffer.size() < kWriteBlock) return;
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  buffer.clear();
}

// A sorted list repeats each score many times over: its text is formatted once per run of it.
class TScoreTexts {
 public:
  TScoreTexts(TScoreMethod method, char decimalSeparator)
      : method_(method), separator_(decimalSeparator) {}

  const std::string& Text(double score) {
    const auto bits = std::bit_cast<uint64_t>(score);
    if (!known_ || bits != bits_) {
      text_ = FormatScore(score, method_, separator_);
      bits_ = bits;
      known_ = true;
    }
    return text_;
  }

 private:
  TScoreMethod method_;
  char separator_;
  bool known_ = false;
  uint64_t bits_ = 0;  // of the score text_ shows
  std::string text_;
};

// Appends one cell of item i.
void AppendCell(std::string& out, const TCollocationList& list, int i, TListColumn column,
                TScoreTexts& scores) {
  switch (column) {
    case TListColumn::kFrequency:
      AppendNumber(out, list.Item(i).count);
      return;
    case TListColumn::kScore:
      out += scores.Text(list.Item(i).score);
      return;
    case TListColumn::kText:
      list.AppendCollocationText(i, out);
      return;
  }
}

// An item's text is read through three scattered hops: its ids, their tokens, the tokens' texts.
// Going through the list in order, the writer asks for each hop some items ahead of its use.
constexpr int kPrefetchDistance = 8;

void PrefetchText(const TCollocationList& list, int i) {
  const TTextIndex& index = list.Index();
  auto tokenAt = [&](int item, int j) -> const TIndexToken* {
    const int32_t id = list.Item(item).words[j];
    return id >= 0 && static_cast<uint32_t>(id) < index.TokenCount()
               ? &index.GetToken(static_cast<uint32_t>(id))
               : nullptr;
  };
  const int count = list.Count();
  if (i + 3 * kPrefetchDistance < count) {
    __builtin_prefetch(list.Item(i + 3 * kPrefetchDistance).words);
  }
  for (int j = 0; i + 2 * kPrefetchDistance < count && j < list.WordCount(); ++j) {
    if (const TIndexToken* token = tokenAt(i + 2 * kPrefetchDistance, j)) __builtin_prefetch(token);
  }
  for (int j = 0; i + kPrefetchDistance < count && j < list.WordCount(); ++j) {
    if (const TIndexToken* token = tokenAt(i + kPrefetchDistance, j))
      __builtin_prefetch(token->text);
  }
}

// Appends the collocation text of item i in UTF-8.
void AppendUtf8Text(std::string& out, const TCollocationList& list, int i) {
  const size_t start = out.size();
  list.AppendCollocationText(i, out);
  const std::string_view text(out.data() + start, out.size() - start);
  if (list.Tables().Utf8() && IsValidUtf8(text)) return;
  const std::string utf8 = list.Tables().ToUtf8(text);
  out.replace(start, std::string::npos, utf8);
}

std::string JoinedByTabs(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += '\t';
    line += cells[i];
  }
  return line;
}

// A JSON string literal of text in the corpus encoding.
std::string JsonString(std::string_view bytes, const TLangTables& tables) {
  const std::string utf8 = tables.ToUtf8(bytes);
  std::string quoted = "\"";
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

std::string JsonNumber(double value) {
  char text[64];
  auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string JsonScore(const TCollocItem& item, const TListView& view) {
  if (view.scoreMethod == TScoreMethod::kNone || ScoreUnavailable(item.score, view.scoreMethod))
    return "null";
  return JsonNumber(item.score);
}

// The words of the item: those before the first empty place of a shorter full-extract item.
int ItemLength(const TCollocationList& list, const TCollocItem& item) {
  int length = 0;
  while (length < list.WordCount() && item.words[length] >= 0) ++length;
  return length;
}

// The tags in upper case, as the item's text shows them.
void WriteJsonWords(std::ostream& out, const TCollocationList& list, const TCollocItem& item) {
  const TTextIndex& index = list.Index();
  auto text = [&](int32_t id) { return index.GetToken(static_cast<uint32_t>(id)).text; };
  const int length = ItemLength(list, item);
  out << "\"words\":[";
  const TLangTables& tables = list.Tables();
  for (int j = 0; j < length; ++j) {
    out << (j > 0 ? "," : "") << JsonString(text(item.words[j]), tables);
  }
  out << "],\"tags\":[";
  for (int j = 0; item.tags != nullptr && j < length; ++j) {
    out << (j > 0 ? "," : "");
    out << (item.tags[j] >= 0 ? JsonString(tables.UpperString(text(item.tags[j])), tables)
                              : "null");
  }
  out << "]";
}

}  // namespace

std::vector<TListColumn> ShownColumns(const TListView& view) {
  std::vector<TListColumn> columns;
  if (view.showFrequency) columns.push_back(TListColumn::kFrequency);
  if (view.scoreMethod != TScoreMethod::kNone) columns.push_back(TListColumn::kScore);
  columns.push_back(TListColumn::kText);
  return columns;
}

std::string ColumnTitle(TListColumn column, const TListView& view) {
  switch (column) {
    case TListColumn::kFrequency:
      return "Freq";
    case TListColumn::kScore:
      return ScoreColumnTitle(view.scoreMethod);
    case TListColumn::kText:
      return "Collocation";
  }
  return "";
}

std::string CellText(const TCollocationList& list, int i, TListColumn column,
                     const TListView& view) {
  switch (column) {
    case TListColumn::kFrequency:
      return std::to_string(list.Item(i).count);
    case TListColumn::kScore:
      return FormatScore(list.Item(i).score, view.scoreMethod);
    case TListColumn::kText:
      return list.CollocationText(i);
  }
  return "";
}

std::string TitleLine(const TListView& view) {
  std::vector<std::string> titles;
  for (TListColumn column : ShownColumns(view)) titles.push_back(ColumnTitle(column, view));
  return JoinedByTabs(titles);
}

std::string ItemLine(const TCollocationList& list, int i, const TListView& view) {
  std::vector<std::string> cells;
  for (TListColumn column : ShownColumns(view)) cells.push_back(CellText(list, i, column, view));
  return JoinedByTabs(cells);
}

void WriteSavedList(std::ostream& out, const TCollocationList& list, const TListView& view) {
  char header[64];
  std::snprintf(header, sizeof header, "%s ( %d collocations )", "Collocation List", list.Count());
  out << header << kCrLf << kCrLf;
  if (view.scoreMethod != TScoreMethod::kNone)
    out << "Score method: " << ScoreLongName(view.scoreMethod) << kCrLf << kCrLf;
  const std::string titles = TitleLine(view);
  out << titles << kCrLf << std::string(titles.size(), '_') << kCrLf << kCrLf;
  const std::vector<TListColumn> columns = ShownColumns(view);
  TScoreTexts scores(view.scoreMethod, NumberFormat().decimalSeparator);
  std::string buffer;
  for (int i = 0; i < list.Count(); ++i) {
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) buffer += '\t';
      AppendCell(buffer, list, i, columns[c], scores);
    }
    buffer += kCrLf;
    Drain(out, buffer, false);
  }
  Drain(out, buffer, true);
}

void SaveListToFile(const std::string& fileName, const TCollocationList& list,
                    const TListView& view) {
  std::ostringstream text;
  WriteSavedList(text, list, view);
  ReplaceFile(fileName, text.view());
}

namespace {

// The TSV lines of items [first, end), appended to out.
void AppendTsvLines(std::string& out, const TCollocationList& list, const TListView& view,
                    int first, int end) {
  TScoreTexts scores(view.scoreMethod, '.');
  for (int i = first; i < end; ++i) {
    PrefetchText(list, i);
    const TCollocItem& item = list.Item(i);
    if (view.showFrequency) {
      AppendNumber(out, item.count);
      out += '\t';
    }
    out += scores.Text(item.score);
    out += '\t';
    AppendNumber(out, item.position);
    out += '\t';
    AppendUtf8Text(out, list, i);
    out += '\n';
  }
}

}  // namespace

// Two threads format the lines, a pair of blocks at a time: while this one formats and writes
// its block, the other formats the next, which is written after it.
void WriteListTsv(std::ostream& out, const TCollocationList& list, const TListView& view) {
  constexpr int kBlockItems = 1 << 14;
  std::string mine =
      view.showFrequency ? "count\tscore\tposition\ttext\n" : "score\tposition\ttext\n";
  std::string theirs;
  const int count = list.Count();
  for (int first = 0; first < count; first += 2 * kBlockItems) {
    const int middle = std::min(first + kBlockItems, count);
    const int end = std::min(middle + kBlockItems, count);
    std::future<void> other;
    if (middle < end) {
      other =
          std::async(std::launch::async, [&] { AppendTsvLines(theirs, list, view, middle, end); });
    }
    AppendTsvLines(mine, list, view, first, middle);
    Drain(out, mine, true);
    if (other.valid()) {
      other.get();
      Drain(out, theirs, true);
    }
  }
  Drain(out, mine, true);
}

void WriteListJson(std::ostream& out, const TCollocationList& list, const TListView& view,
                   const std::string& caption) {
  const TLangTables& tables = list.Tables();
  out << "{\"caption\":" << JsonString(caption, tables) << ",\"wordCount\":" << list.WordCount()
      << ",\"scoreMethod\":" << JsonString(ScoreLongName(view.scoreMethod), tables)
      << ",\"items\":[";
  for (int i = 0; i < list.Count(); ++i) {
    const TCollocItem& item = list.Item(i);
    out << (i > 0 ? ",\n" : "\n") << "{";
    if (view.showFrequency) out << "\"count\":" << item.count << ',';
    out << "\"score\":" << JsonScore(item, view) << ",\"position\":" << item.position
        << ",\"wordCount\":" << ItemLength(list, item)
        << ",\"text\":" << JsonString(list.CollocationText(i), tables) << ',';
    WriteJsonWords(out, list, item);
    out << '}';
  }
  out << "\n]}\n";
}

}  // namespace quenterra
