#include "corpus/IndexState.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

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

// Writes to disk what the kernel holds of a file; any descriptor of it will do.
void SyncToDisk(const std::string& name) {
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFileError("Unable to open file: " + name + ".");
  int result = ::fsync(fd);
  ::close(fd);
  if (result != 0) throw EFileError("Unable to write file: " + name + ".");
}

void WriteState(const std::string& dir, bool complete, const TIndexSource& source) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) throw EFileError("Unable to create directory: " + dir + ".");
  TIniFile file;
  file.WriteBool(kSection, "Complete", complete);
  file.WriteString(kSection, "Tokenisation", source.tokenisation);
  WriteCountedList(file, kSection, "File", source.names);
  std::vector<std::string> sizes;
  for (int64_t size : source.sizes) sizes.push_back(std::to_string(size));
  WriteCountedList(file, kSection, "Size", sizes);
  file.Save(dir + kWorkspaceIndexStateName);
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

TIndexSource DescribeIndexSource(std::span<const TCorpusFileRef> files, const ZuzadovUdirev& config,
                                 const TLangTables& tables) {
  TIndexSource source;
  for (const TCorpusFileRef& file : files) {
    source.names.push_back(file.name);
    source.sizes.push_back(file.stream != nullptr ? file.stream->GetSize() : -1);
  }
  source.tokenisation = TokenisationFingerprint(config, tables);
  return source;
}

void MarkIndexBuilding(const std::string& dir) { WriteState(dir, false, TIndexSource{}); }

void MarkIndexComplete(const std::string& dir, const TIndexSource& source) {
  // The state must never claim more than the disk holds, also after a power cut.
  SyncToDisk(dir + kWorkspaceSeqIndexName);
  SyncToDisk(dir + kWorkspacePageIndexName);
  WriteState(dir, true, source);
}

bool IndexStateMatches(const std::string& dir, const TIndexSource& source) {
  std::string name = dir + kWorkspaceIndexStateName;
  try {
    TIniFile file = TIniFile::Parse(ReadWholeFile(name, kMaxStateFileSize));
    if (!file.ReadBool(kSection, "Complete", false)) return false;
    TIndexSource stored;
    stored.tokenisation = file.ReadString(kSection, "Tokenisation", "");
    // Entries are kept in place (empty ones too) so that a list with holes never matches.
    stored.names = ReadCountedListEntries(file, kSection, "File");
    for (const std::string& size : ReadCountedListEntries(file, kSection, "Size")) {
      int64_t value = -1;
      auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), value);
      stored.sizes.push_back(error == std::errc() && end == size.data() + size.size() ? value : -1);
    }
    return stored == source;
  } catch (const EQuenterra&) {
    return false;
  }
}

}  // namespace quenterra
