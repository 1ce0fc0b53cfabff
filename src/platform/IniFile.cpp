#include "platform/IniFile.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/CharCoding.h"
#include "platform/NumberFormat.h"

namespace quenterra {

namespace {

constexpr int64_t kMaxListEntries = 10000;
constexpr int32_t kDefaultListCount = 20;

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerName(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlankChar(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankChar(s.back())) s.remove_suffix(1);
  return s;
}

// A value in one pair of matching quotes, as the profile reader takes them off.
bool Quoted(std::string_view value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
         value.back() == value.front();
}

// How a value is stored so that it reads back as it was: in quotes when the reader would
// otherwise drop its blanks at either end or a pair of quotes around it.
std::string StoredValue(std::string_view value) {
  const bool blankEnds =
      !value.empty() && (IsBlankChar(value.front()) || IsBlankChar(value.back()));
  if (!blankEnds && !Quoted(value)) return std::string(value);
  return '"' + std::string(value) + '"';
}

// The part of a value that fits on one line.
std::string_view OneLine(std::string_view value) {
  return value.substr(0, value.find_first_of("\r\n"));
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

// ---- The model --------------------------------------------------------------------------------

TIniFile TIniFile::Parse(std::string_view text) {
  text = WithoutUtf8Bom(text);  // as editors save UTF-8
  TIniFile file;
  size_t current = std::string::npos;  // the section that key lines go to; none before the first
  while (!text.empty()) {
    size_t end = text.find_first_of("\r\n");
    file.AddParsedLine(text.substr(0, end), current);
    if (end == std::string_view::npos) break;
    bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crlf ? 2 : 1));
  }
  return file;
}

void TIniFile::AddParsedLine(std::string_view line, size_t& current) {
  line = TrimBlanks(line);
  if (line.empty()) return;
  if (line.front() == '[') {
    std::string_view name = line.substr(1);
    name = TrimBlanks(name.substr(0, name.find(']')));
    current = std::string::npos;  // keys under a nameless header belong nowhere
    if (name.empty()) return;
    TSection* found = FindSection(name);
    current = found != nullptr ? static_cast<size_t>(found - sections_.data())
                               : (AddSection(name), sections_.size() - 1);
    return;
  }
  size_t equals = line.find('=');
  if (current == std::string::npos || equals == std::string_view::npos) return;
  std::string_view key = TrimBlanks(line.substr(0, equals));
  TSection& section = sections_[current];
  if (key.empty() || FindKey(section, key) != nullptr) return;  // the first of equal keys wins
  AddKey(section, key, TrimBlanks(line.substr(equals + 1)));
}

TIniFile TIniFile::Load(const std::string& fileName) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::path(fileName), error) && !error) return {};
  return Parse(ReadWholeFile(fileName, kMaxFileSize));
}

std::string TIniFile::Text() const {
  std::string text;
  for (const TSection& section : sections_) {
    if (!text.empty()) text += '\n';
    text += '[';
    text += OneLine(section.name);
    text += "]\n";
    for (const TKey& key : section.keys) {
      text += OneLine(key.name);
      text += '=';
      text += OneLine(key.value);
      text += '\n';
    }
  }
  return text;
}

void TIniFile::Save(const std::string& fileName) const { ReplaceFile(fileName, Text()); }

TIniFile::TSection* TIniFile::FindSection(std::string_view name) {
  auto found = index_.find(LowerName(name));
  return found == index_.end() ? nullptr : &sections_[found->second];
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const {
  return const_cast<TIniFile*>(this)->FindSection(name);
}

TIniFile::TSection& TIniFile::AddSection(std::string_view name) {
  index_.emplace(LowerName(name), sections_.size());
  sections_.push_back(TSection{std::string(name), {}, {}});
  return sections_.back();
}

TIniFile::TKey* TIniFile::FindKey(TSection& section, std::string_view key) {
  auto found = section.index.find(LowerName(key));
  return found == section.index.end() ? nullptr : &section.keys[found->second];
}

void TIniFile::AddKey(TSection& section, std::string_view key, std::string_view value) {
  section.index.emplace(LowerName(key), section.keys.size());
  section.keys.push_back(TKey{std::string(key), std::string(value)});
}

void TIniFile::Reindex() {
  index_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) {
    TSection& section = sections_[i];
    index_.emplace(LowerName(section.name), i);
    section.index.clear();
    for (size_t k = 0; k < section.keys.size(); ++k)
      section.index.emplace(LowerName(section.keys[k].name), k);
  }
}

bool TIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key) != nullptr;
}

std::vector<std::string> TIniFile::SectionNames() const {
  std::vector<std::string> names;
  for (const TSection& section : sections_) names.push_back(section.name);
  return names;
}

std::vector<std::string> TIniFile::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  if (const TSection* found = FindSection(section))
    for (const TKey& key : found->keys) names.push_back(key.name);
  return names;
}

const std::string* TIniFile::Find(std::string_view section, std::string_view key) const {
  auto* self = const_cast<TIniFile*>(this);
  TSection* found = self->FindSection(section);
  if (found == nullptr) return nullptr;
  const TKey* entry = FindKey(*found, key);
  return entry == nullptr ? nullptr : &entry->value;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  TSection* found = FindSection(section);
  if (found == nullptr) found = &AddSection(section);
  const std::string stored = StoredValue(value);
  if (TKey* entry = FindKey(*found, key))
    entry->value = stored;
  else
    AddKey(*found, key, stored);
}

void TIniFile::EraseSection(std::string_view section) {
  std::erase_if(sections_, [&](const TSection& s) { return SameName(s.name, section); });
  Reindex();
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  if (TSection* found = FindSection(section)) {
    std::erase_if(found->keys, [&](const TKey& k) { return SameName(k.name, key); });
    Reindex();
  }
}

// ---- Value encodings --------------------------------------------------------------------------

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const std::string* value = Find(section, key);
  std::string_view text = value != nullptr ? std::string_view(*value) : defaultValue;
  text = text.substr(0, text.find('\0'));
  if (value == nullptr) return std::string(text.substr(0, kMaxValueLength));
  // Blanks around the value are dropped, then one pair of quotes around what is left, so that
  // quotes keep blanks at its ends (also where the length cut falls after one).
  if (std::string_view trimmed = TrimBlanks(text); Quoted(trimmed))
    return std::string(trimmed.substr(1, trimmed.size() - 2).substr(0, kMaxValueLength));
  return std::string(TrimBlanks(text.substr(0, kMaxValueLength)));
}

bool ParseProfileInteger(std::string_view text, int32_t& value) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with('$')) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  for (char c : text)
    if (base == 16 ? !IsHexDigit(c) : (c < '0' || c > '9')) return false;
  uint64_t magnitude = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (base == 16) {
    if (magnitude > UINT32_MAX) return false;
    uint32_t bits = static_cast<uint32_t>(magnitude);
    value = static_cast<int32_t>(negative ? 0u - bits : bits);
    return true;
  }
  if (magnitude > (negative ? uint64_t{1} << 31 : uint64_t{INT32_MAX})) return false;
  value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                        : static_cast<int64_t>(magnitude));
  return true;
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                              int32_t defaultValue) const {
  int32_t value = 0;
  std::string text = ReadString(section, key, "");
  return ParseProfileInteger(text, value) ? value : defaultValue;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
  WriteString(section, key, std::to_string(value));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key,
                           double defaultValue) const {
  double value = 0;
  return ParseFloat(ReadString(section, key, ""), value) ? value : defaultValue;
}

void TIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  WriteString(section, key, FormatFloat(value));
}

char TIniFile::ReadChar(std::string_view section, std::string_view key, char defaultValue) const {
  std::string text =
      ReadString(section, key, std::string_view(&defaultValue, defaultValue ? 1 : 0));
  return text.empty() ? '\0' : text[0];
}

void TIniFile::WriteChar(std::string_view section, std::string_view key, char value) {
  WriteString(section, key, std::string_view(&value, value ? 1 : 0));
}

// ---- Counted lists ----------------------------------------------------------------------------

std::string CountedListKey(std::string_view key, int64_t index, int64_t count) {
  int digits = 1;  // decimal digits of count - 1; 1 below 10 (and for empty lists)
  for (int64_t last = count - 1; last >= 10; last /= 10) ++digits;
  int width = (digits == 1 || index >= 100) ? digits : 2;
  std::string number = std::to_string(index);
  std::string out(key);
  if (static_cast<int>(number.size()) < width) out.append(width - number.size(), '0');
  return out + number;
}

std::vector<std::string> ReadCountedListEntries(const TIniFile& file, std::string_view section,
                                                std::string_view key) {
  std::string countKey = std::string(key) + "Count";
  int64_t count = file.ReadInteger(section, countKey, kDefaultListCount);
  std::vector<std::string> entries;
  for (int64_t i = 0; i < std::min(count, kMaxListEntries); ++i)
    entries.push_back(file.ReadString(section, CountedListKey(key, i, count), ""));
  return entries;
}

void ReadCountedList(const TIniFile& file, std::string_view section, std::string_view key,
                     std::vector<std::string>& list) {
  list.clear();
  for (std::string& entry : ReadCountedListEntries(file, section, key))
    if (!entry.empty()) list.push_back(std::move(entry));
}

void WriteCountedList(TIniFile& file, std::string_view section, std::string_view key,
                      const std::vector<std::string>& list) {
  int64_t count = std::min(static_cast<int64_t>(list.size()), kMaxListEntries);
  file.WriteInteger(section, std::string(key) + "Count", count);
  for (int64_t i = 0; i < count; ++i)
    file.WriteString(section, CountedListKey(key, i, count), list[static_cast<size_t>(i)]);
}

}  // namespace quenterra
