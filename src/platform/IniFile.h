// An INI profile file held in memory, with the rules of the Windows profile functions that the
// settings and workspace files rely on: sections and keys are found without regard to ASCII
// letter case, spaces and tabs around names and values are dropped, then one pair of matching
// quotes (" or ') around a value, a key line splits at its first '=', and a value reads back as
// at most 2047 characters. A value written with blanks at an end, or in quotes, is stored in one
// more pair of double quotes, so that it reads back as it was. Sections and keys keep the order
// in which they were read or first written. Values are bytes of the user's code page.
//
// Text format, as Text() writes it:
//   [Section]\n
//   Key=Value\n
//   ...
//   \n                       (one blank line between sections)
// Reading accepts LF, CR LF and CR line ends. Lines that are neither a section header nor a key
// line (comments, garbage, keys before the first section) are ignored. A section that appears
// twice is merged into its first occurrence, and of two equal keys in a section the first wins,
// so every file written back has unique sections and keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quenterra {

class TIniFile {
 public:
  static constexpr size_t kMaxValueLength = 2047;     // characters a value reads back as
  static constexpr uint64_t kMaxFileSize = 64 << 20;  // larger files are refused on load

  TIniFile() = default;

  // Parses INI text; never fails (unusable lines are ignored).
  static TIniFile Parse(std::string_view text);
  // Loads a file; a missing file gives an empty model. Throws EFileError when the file exists but
  // cannot be read, is not a regular file, or is larger than kMaxFileSize.
  static TIniFile Load(const std::string& fileName);

  // The text of the whole model. Line breaks inside a value (which no reader could take back)
  // end the value there.
  std::string Text() const;
  // Replaces the file with Text(); the old file stays intact on failure (throws EFileError).
  void Save(const std::string& fileName) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;                      // in file order
  std::vector<std::string> KeyNames(std::string_view section) const;  // in file order
  // The stored value of a key, untruncated, or null; valid until the model changes.
  const std::string* Find(std::string_view section, std::string_view key) const;

  // Sets a key: its value is replaced in place, or it is appended to its section, which is
  // appended to the file when absent. Stored in quotes when ReadString needs them to give it back.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

  // Value encodings. A missing key gives the default.
  // The value up to kMaxValueLength characters and up to a zero byte, without the blanks and
  // then the one pair of quotes around it.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Decimal, or hexadecimal after "0x" or "$" (32 bits, so "$FFFFFFFF" is -1), with an optional
  // sign; a value that is not such a number, or out of range, gives the default.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  void WriteInteger(std::string_view section, std::string_view key, int64_t value);
  // An integer; non-zero is true. Written as "1" or "0".
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // Read and written with the user's decimal separator (platform/NumberFormat.h).
  double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;
  void WriteFloat(std::string_view section, std::string_view key, double value);
  // The first character of the value, or code 0 for an empty value.
  char ReadChar(std::string_view section, std::string_view key, char defaultValue) const;
  // The one character as a string; code 0 is written as an empty value.
  void WriteChar(std::string_view section, std::string_view key, char value);

 private:
  struct TKey {
    std::string name;
    std::string value;
  };
  struct TSection {
    std::string name;
    std::vector<TKey> keys;                         // in file order
    std::unordered_map<std::string, size_t> index;  // lower-case key name -> position in keys
  };

  TSection* FindSection(std::string_view name);
  const TSection* FindSection(std::string_view name) const;
  TSection& AddSection(std::string_view name);
  static TKey* FindKey(TSection& section, std::string_view key);
  static void AddKey(TSection& section, std::string_view key, std::string_view value);
  void Reindex();
  void AddParsedLine(std::string_view line, size_t& current);

  std::vector<TSection> sections_;                 // in file order
  std::unordered_map<std::string, size_t> index_;  // lower-case section name -> position
};

// Parses an integer as ReadInteger does; false when the text is not one.
bool ParseProfileInteger(std::string_view text, int32_t& value);

// The key of entry i of a counted list of n entries stored under K: K followed by i, padded with
// zeros to 2 digits, or to the digits of n - 1 from entry 100 on, or to 1 digit when n - 1 < 10
// ("File0".."File9" for n = 10; "File00".."File99", "File0100".."File1999" for n = 2000).
std::string CountedListKey(std::string_view key, int64_t index, int64_t count);
// Reads the list stored under `key` in `section`: the count from key + "Count" (20 when absent,
// at most 10000 used), then the entries numbered for that count; empty entries are skipped.
void ReadCountedList(const TIniFile& file, std::string_view section, std::string_view key,
                     std::vector<std::string>& list);
// The same entries with the empty ones kept in place, so that two lists stay aligned by index.
std::vector<std::string> ReadCountedListEntries(const TIniFile& file, std::string_view section,
                                                std::string_view key);
// Writes key + "Count" (the list's size, at most 10000) and that many entries.
void WriteCountedList(TIniFile& file, std::string_view section, std::string_view key,
                      const std::vector<std::string>& list);

}  // namespace quenterra
