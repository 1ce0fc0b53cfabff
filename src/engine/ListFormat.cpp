#include "engine/ListFormat.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <sstream>

#include "corpus/TextIndex.h"
#include "engine/collocList.h"
#include "platform/AtomicFile.h"
#include "platform/CharCoding.h"
#include "platform/CodePages.h"
#include "platform/Errors.h"
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

// The collocation texts of a long list's lines. An item's text is read through three scattered
// hops: its ids, their tokens, the tokens' texts; the token entries and texts of a large index
// miss the cache at nearly every word. So a list with more words to write than the index has
// tokens first puts every token's text (raw, or converted to UTF-8) side by side in one small
// table; a line then reads its words from there.
class TLineTexts {
 public:
  TLineTexts(const TCollocationList& list, bool utf8) : list_(list), utf8_(utf8) {
    const TTextIndex& index = list.Index();
    const int64_t words = int64_t{list.Count()} * list.WordCount();
    // Converted one by one, tokens give what the whole line converted gives, except in a
    // multi-byte code page, where a line that fails to decode is converted byte by byte.
    const bool byToken =
        !utf8 || list.Tables().Utf8() || !codepage::MultiByte(list.Tables().CodePage());
    if (!byToken || words < int64_t{index.TokenCount()}) return;
    ends_.reserve(index.TokenCount());
    for (uint32_t id = 0; id < index.TokenCount(); ++id) {
      const TIndexToken& token = index.GetToken(id);
      const std::string_view text(token.text, token.length);
      if (utf8 && !(list.Tables().Utf8() && IsValidUtf8(text))) {
        texts_ += list.Tables().ToUtf8(text);
      } else {
        texts_ += text;
      }
      ends_.push_back(texts_.size());
      longest_ = std::max(longest_, texts_.size() - (id == 0 ? 0 : ends_[id - 1]));
    }
    texts_.append(kCopyBytes, '\0');  // a fixed-size copy of the last text stays inside
  }

  // Appends item i's collocation text: TCollocationList::AppendCollocationText's, in UTF-8 when
  // asked.
  void Append(std::string& out, int i) const {
    if (!Direct(i)) {
      AppendThroughIndex(out, i);
      return;
    }
    const size_t start = out.size();
    out.resize(start + MostBytes());
    out.resize(static_cast<size_t>(Write(out.data() + start, i) - out.data()));
  }

  // Whether Write can give item i's text: the table is built and the item has no tags.
  bool Direct(int i) const { return !ends_.empty() && list_.Item(i).tags == nullptr; }
  // The most bytes Write puts at once, room for fixed-size copies included.
  size_t MostBytes() const {
    return static_cast<size_t>(list_.WordCount()) * (longest_ + 1) + kCopyBytes;
  }
  // Append's text of item i, written at out (which has MostBytes of room) when Direct(i);
  // returns its end. A short text is copied kCopyBytes at a time, past its end.
  char* Write(char* out, int i) const {
    const TCollocItem& item = list_.Item(i);
    for (int j = 0; j < list_.WordCount() && item.words[j] >= 0; ++j) {
      const auto id = static_cast<size_t>(item.words[j]);
      if (id >= ends_.size()) throw EQuenterra("TextIndex: Token index out of bounds.");
      if (j > 0) *out++ = ' ';
      const size_t start = id == 0 ? 0 : ends_[id - 1];
      const size_t length = ends_[id] - start;
      std::memcpy(out, texts_.data() + start, length <= kCopyBytes ? kCopyBytes : length);
      out += length;
    }
    return out;
  }

  // Asks for item i's ids, which Append will read some items later.
  void Prefetch(int i) const {
    if (i < list_.Count()) __builtin_prefetch(list_.Item(i).words);
  }

 private:
  void AppendThroughIndex(std::string& out, int i) const {
    const size_t start = out.size();
    list_.AppendCollocationText(i, out);
    const std::string_view text(out.data() + start, out.size() - start);
    if (!utf8_ || (list_.Tables().Utf8() && IsValidUtf8(text))) return;
    const std::string utf8 = list_.Tables().ToUtf8(text);
    out.replace(start, std::string::npos, utf8);
  }

  static constexpr size_t kCopyBytes = 16;

  const TCollocationList& list_;
  bool utf8_;
  std::string texts_;         // every token's text, by id, then kCopyBytes zero bytes
  std::vector<size_t> ends_;  // where each token's text ends in texts_; empty: no table
  size_t longest_ = 0;        // bytes of the longest text
};

// How many items ahead of its line an item's ids are asked for.
constexpr int kPrefetchDistance = 16;

// Appends one cell of item i.
void AppendCell(std::string& out, const TCollocationList& list, int i, TListColumn column,
                TScoreTexts& scores, const TLineTexts& texts) {
  switch (column) {
    case TListColumn::kFrequency:
      AppendNumber(out, list.Item(i).count);
      return;
    case TListColumn::kScore:
      out += scores.Text(list.Item(i).score);
      return;
    case TListColumn::kText:
      texts.Append(out, i);
      return;
  }
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
  const TLineTexts texts(list, false);
  std::string buffer;
  for (int i = 0; i < list.Count(); ++i) {
    texts.Prefetch(i + kPrefetchDistance);
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) buffer += '\t';
      AppendCell(buffer, list, i, columns[c], scores, texts);
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

// Bytes written through a cursor: Room makes space for a whole line at once, so that its parts
// go in without a check each.
class TByteBlock {
 public:
  char* Room(size_t bytes) {
    if (capacity_ - size_ < bytes) Grow(size_ + bytes);
    return data_.get() + size_;
  }
  void Commit(const char* end) { size_ = static_cast<size_t>(end - data_.get()); }
  void Append(std::string_view text) {
    Commit(std::copy(text.begin(), text.end(), Room(text.size())));
  }
  void WriteTo(std::ostream& out) {
    out.write(data_.get(), static_cast<std::streamsize>(size_));
    size_ = 0;
  }

 private:
  void Grow(size_t least) {
    const size_t capacity = std::max({least, 2 * capacity_, size_t{1} << 16});
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// The TSV lines of items [first, end), appended to out.
void AppendTsvLines(TByteBlock& out, const TCollocationList& list, const TListView& view,
                    const TLineTexts& texts, int first, int end) {
  constexpr size_t kNumberBytes = 11;  // an int32_t with its sign
  TScoreTexts scores(view.scoreMethod, '.');
  std::string text;  // of an item whose words are read through the index
  for (int i = first; i < end; ++i) {
    texts.Prefetch(i + kPrefetchDistance);
    const TCollocItem& item = list.Item(i);
    const std::string& score = scores.Text(item.score);
    const bool direct = texts.Direct(i);
    if (!direct) {
      text.clear();
      texts.Append(text, i);
    }
    char* p =
        out.Room(2 * kNumberBytes + score.size() + (direct ? texts.MostBytes() : text.size()) + 4);
    if (view.showFrequency) {
      p = std::to_chars(p, p + kNumberBytes, item.count).ptr;
      *p++ = '\t';
    }
    p = std::copy(score.begin(), score.end(), p);
    *p++ = '\t';
    p = std::to_chars(p, p + kNumberBytes, item.position).ptr;
    *p++ = '\t';
    p = direct ? texts.Write(p, i) : std::copy(text.begin(), text.end(), p);
    *p++ = '\n';
    out.Commit(p);
  }
}

}  // namespace

// Two threads format the lines, a pair of blocks at a time: while this one formats and writes
// its block, the other formats the next, which is written after it.
void WriteListTsv(std::ostream& out, const TCollocationList& list, const TListView& view) {
  constexpr int kBlockItems = 1 << 14;
  TByteBlock mine, theirs;
  mine.Append(view.showFrequency ? "count\tscore\tposition\ttext\n" : "score\tposition\ttext\n");
  const TLineTexts texts(list, true);
  const int count = list.Count();
  for (int first = 0; first < count; first += 2 * kBlockItems) {
    const int middle = std::min(first + kBlockItems, count);
    const int end = std::min(middle + kBlockItems, count);
    std::future<void> other;
    if (middle < end) {
      other = std::async(std::launch::async,
                         [&] { AppendTsvLines(theirs, list, view, texts, middle, end); });
    }
    AppendTsvLines(mine, list, view, texts, first, middle);
    mine.WriteTo(out);
    if (other.valid()) {
      other.get();
      theirs.WriteTo(out);
    }
  }
  mine.WriteTo(out);
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
