#include "corpus/IndexState.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "corpus/IndexBuilder.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"

namespace quenterra {

namespace {

constexpr char kSection[] = "Index";
constexpr uint64_t kMaxStateFileSize = 16 << 20;

// FNV-1a over the bytes fed to it.
class TDigest {
 public:
  void Add(const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash_ = (hash_ ^ bytes[i]) * 1099511628211u;
  }
  void Add(uint64_t value) { Add(&value, sizeof value); }
  void Add(const std::string& text) {
    Add(uint64_t{text.size()});
    Add(text.data(), text.size());
  }
  void Add(const TCharSet& set) {
    unsigned char bits[32] = {};
    for (int c = 0; c < 256; ++c) {
      if (set.Contains(static_cast<unsigned char>(c))) {
        bits[c / 8] = static_cast<unsigned char>(bits[c / 8] | (1u << (c % 8)));
      }
    }
    Add(bits, sizeof bits);
    for (TChar c : set.Wide()) Add(uint64_t{c});
  }
  std::string Hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
    return text;
  }

 private:
  uint64_t hash_ = 14695981039346656037u;
};

// The numbers of one counted list of the state; false when an entry is not a number.
template <typename T>
bool ReadNumbers(const TIniFile& file, const char* key, int base, std::vector<T>& numbers) {
  for (const std::string& entry : ReadCountedListEntries(file, kSection, key)) {
    T value{};
    auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), value, base);
    if (error != std::errc() || end != entry.data() + entry.size() || entry.empty()) return false;
    numbers.push_back(value);
  }
  return true;
}

template <typename T>
void WriteNumbers(TIniFile& file, const char* key, const std::vector<T>& numbers) {
  std::vector<std::string> entries;
  for (T value : numbers) entries.push_back(std::to_string(value));
  WriteCountedList(file, kSection, key, entries);
}

std::string Hex32(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", value);
  return text;
}

// One index file's size and checksum; false when either is not a number.
bool ReadSum(const TIniFile& file, const std::string& prefix, TFileSum& sum) {
  std::string size = file.ReadString(kSection, prefix + "Size", "");
  std::string crc = file.ReadString(kSection, prefix + "Crc32c", "");
  auto [sizeEnd, sizeError] = std::from_chars(size.data(), size.data() + size.size(), sum.size);
  auto [crcEnd, crcError] = std::from_chars(crc.data(), crc.data() + crc.size(), sum.crc, 16);
  return sizeError == std::errc() && sizeEnd == size.data() + size.size() && !size.empty() &&
         crcError == std::errc() && crcEnd == crc.data() + crc.size() && !crc.empty();
}

void WriteSum(TIniFile& file, const std::string& prefix, const TFileSum& sum) {
  file.WriteString(kSection, prefix + "Size", std::to_string(sum.size));
  file.WriteString(kSection, prefix + "Crc32c", Hex32(sum.crc));
}

// The corpus files of the state; false when its lists disagree or hold something else.
bool ReadFiles(const TIniFile& file, std::vector<TIndexedFile>& files) {
  std::vector<std::string> names = ReadCountedListEntries(file, kSection, "File");
  std::vector<int64_t> sizes, modified;
  std::vector<uint64_t> inodes;
  if (!ReadNumbers(file, "Size", 10, sizes) || !ReadNumbers(file, "Modified", 10, modified) ||
      !ReadNumbers(file, "Inode", 10, inodes)) {
    return false;
  }
  size_t n = names.size();
  if (sizes.size() != n || modified.size() != n || inodes.size() != n) return false;
  for (size_t i = 0; i < n; ++i) files.push_back({names[i], sizes[i], modified[i], inodes[i]});
  return true;
}

}  // namespace

std::string TokenisationFingerprint(const ZuzadovUdirev& config, const TLangTables& tables) {
  // Everything TWordSplitter::LoadSettings and the index take from the settings.
  TDigest digest;
  digest.Add(tables.CaseTable(), 256);
  // UTF-8 folds by the language's rules, not by the table; a code page adds nothing, so indexes
  // built before the encoding could be chosen stay current.
  if (tables.Utf8()) digest.Add("UTF-8 " + std::to_string(tables.Language()));
  digest.Add(BuildDelimiterSet(config, tables.Coding()));
  digest.Add(uint64_t{config.ignoreCase});
  digest.Add(uint64_t{config.SkipNormalTags});
  digest.Add(uint64_t{config.TagStart});
  digest.Add(uint64_t{config.TagStop});
  digest.Add(uint64_t{config.UseSkippingChars});
  if (config.UseSkippingChars) digest.Add(config.SkippingChars);
  digest.Add(uint64_t{config.WordTag});
  digest.Add(uint64_t{config.wTagBefore});
  digest.Add(uint64_t{config.wTagStop});
  if (config.WordTag == 1) digest.Add(uint64_t{config.wTagDelimiter});
  if (config.WordTag == 2) {
    digest.Add(uint64_t{config.wTagStarts.size()});
    for (const std::string& start : config.wTagStarts) digest.Add(start);
  }
  return digest.Hex();
}

std::string IndexStateText(const TIndexState& state) {
  TIniFile file;
  file.WriteBool(kSection, "Complete", state.complete);
  file.WriteString(kSection, "Tokenisation", state.source.tokenisation);
  WriteSum(file, "Seq", state.seq);
  WriteSum(file, "Page", state.page);
  std::vector<std::string> names;
  std::vector<int64_t> sizes, modified;
  std::vector<uint64_t> inodes;
  for (const TIndexedFile& indexed : state.source.files) {
    names.push_back(indexed.name);
    sizes.push_back(indexed.size);
    modified.push_back(indexed.modifiedNs);
    inodes.push_back(indexed.inode);
  }
  WriteCountedList(file, kSection, "File", names);
  WriteNumbers(file, "Size", sizes);
  WriteNumbers(file, "Modified", modified);
  WriteNumbers(file, "Inode", inodes);
  return file.Text();
}

TIndexState ParseIndexState(std::string_view text) {
  TIniFile file = TIniFile::Parse(text);
  TIndexState state;
  state.source.tokenisation = file.ReadString(kSection, "Tokenisation", "");
  state.complete = file.ReadBool(kSection, "Complete", false) && ReadSum(file, "Seq", state.seq) &&
                   ReadSum(file, "Page", state.page) && ReadFiles(file, state.source.files);
  return state;
}

void MarkIndexComplete(const std::string& dir, const TIndexSource& source) {
  TIndexState state;
  state.complete = true;
  state.source = source;
  state.seq = FileCrc32c(dir + kWorkspaceSeqIndexName);
  state.page = FileCrc32c(dir + kWorkspacePageIndexName);
  ReplaceFile(dir + kWorkspaceIndexStateName, IndexStateText(state));
}

bool IndexStateMatches(const std::string& dir, const TIndexSource& source) {
  try {
    TIndexState state =
        ParseIndexState(ReadWholeFile(dir + kWorkspaceIndexStateName, kMaxStateFileSize));
    if (!state.complete || !(state.source == source)) return false;
    // The sizes first: a file of another length needs no reading.
    std::string seq = dir + kWorkspaceSeqIndexName;
    std::string page = dir + kWorkspacePageIndexName;
    std::error_code error;
    if (std::filesystem::file_size(seq, error) != state.seq.size || error) return false;
    if (std::filesystem::file_size(page, error) != state.page.size || error) return false;
    return FileCrc32c(seq) == state.seq && FileCrc32c(page) == state.page;
  } catch (const EQuenterra&) {
    return false;
  }
}

}  // namespace quenterra
