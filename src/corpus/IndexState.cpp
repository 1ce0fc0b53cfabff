#include "corpus/IndexState.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>

#include "corpus/IndexBuilder.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"

namespace quenterra {

namespace {

constexpr char kSection[] = "Index";
constexpr uint64_t kMaxStateFileSize = 16 << 20;
// How long after a file's last change its stamp may be taken: more than one tick of the clock
// that stamps file times (4 or 10 ms on Linux), so that a later change gets later times.
constexpr int64_t kStampSettleNs = 20'000'000;

int64_t Nanoseconds(const timespec& time) {
  return int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec;
}

int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

// Waits until the latest change of the files lies kStampSettleNs in the past. False when a
// file's times have no sub-second part (a file system whose ticks are too coarse to trust).
bool SettleForStamps(const std::vector<std::string>& names) {
  int64_t latest = 0;
  for (const std::string& name : names) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) return false;
    if (info.st_mtim.tv_nsec == 0 && info.st_ctim.tv_nsec == 0) return false;
    latest = std::max({latest, Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim)});
  }
  const int64_t wait = latest + kStampSettleNs - NowNs();
  if (wait > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
  return true;
}

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

void WriteSum(TIniFile& file, const std::string& prefix, const TFileSum& sum,
              const std::string& stamp) {
  file.WriteString(kSection, prefix + "Size", std::to_string(sum.size));
  file.WriteString(kSection, prefix + "Crc32c", Hex32(sum.crc));
  if (!stamp.empty()) file.WriteString(kSection, prefix + "Stamp", stamp);
}

// The file's stamp is unchanged, or it has the size and checksum of the state.
bool SameFile(const std::string& name, const TFileSum& sum, const std::string& stamp) {
  std::error_code error;
  if (std::filesystem::file_size(name, error) != sum.size || error) return false;
  if (!stamp.empty() && FileStamp(name) == stamp) return true;
  return FileCrc32c(name) == sum;
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
  WriteSum(file, "Seq", state.seq, state.seqStamp);
  WriteSum(file, "Page", state.page, state.pageStamp);
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
  state.seqStamp = file.ReadString(kSection, "SeqStamp", "");
  state.pageStamp = file.ReadString(kSection, "PageStamp", "");
  return state;
}

std::string FileStamp(const std::string& name) {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) return "";
  return std::to_string(info.st_ino) + ':' + std::to_string(Nanoseconds(info.st_mtim)) + ':' +
         std::to_string(Nanoseconds(info.st_ctim));
}

void MarkIndexComplete(const std::string& dir, const TIndexSource& source) {
  const std::string seq = dir + kWorkspaceSeqIndexName;
  const std::string page = dir + kWorkspacePageIndexName;
  TIndexState state;
  state.complete = true;
  state.source = source;
  const bool stamped = SettleForStamps({seq, page});
  const std::string seqBefore = stamped ? FileStamp(seq) : "";
  const std::string pageBefore = stamped ? FileStamp(page) : "";
  state.seq = FileCrc32c(seq);
  state.page = FileCrc32c(page);
  // A file changed while it was read keeps no stamp: its sum may mix old and new bytes.
  if (FileStamp(seq) == seqBefore) state.seqStamp = seqBefore;
  if (FileStamp(page) == pageBefore) state.pageStamp = pageBefore;
  ReplaceFile(dir + kWorkspaceIndexStateName, IndexStateText(state));
}

bool IndexStateMatches(const std::string& dir, const TIndexSource& source) {
  try {
    TIndexState state =
        ParseIndexState(ReadWholeFile(dir + kWorkspaceIndexStateName, kMaxStateFileSize));
    if (!state.complete || !(state.source == source)) return false;
    return SameFile(dir + kWorkspaceSeqIndexName, state.seq, state.seqStamp) &&
           SameFile(dir + kWorkspacePageIndexName, state.page, state.pageStamp);
  } catch (const EQuenterra&) {
    return false;
  }
}

std::vector<TIndexedFile> CompleteIndexFiles(const std::string& dir,
                                             const std::string& tokenisation) {
  try {
    TIndexState state =
        ParseIndexState(ReadWholeFile(dir + kWorkspaceIndexStateName, kMaxStateFileSize));
    if (state.complete && state.source.tokenisation == tokenisation) return state.source.files;
  } catch (const EQuenterra&) {
  }
  return {};
}

}  // namespace quenterra
