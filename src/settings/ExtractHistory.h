// The extract dialog's histories: the recent patterns of each search kind, the last batch and
// its search kind. Loaded and saved with the settings (section ExtractHistory).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quenterra {

// Search kinds of the extract dialog.
enum TSearchKind : uint8_t { kWordPhrase = 0, kRegExp = 1, kWordTag = 2 };

struct TExtractHistory {
  static constexpr size_t kMaxPatterns = 100;  // per search kind

  std::vector<std::string> WordPhrase;  // most recent first
  std::vector<std::string> RegExp;
  std::vector<std::string> WordTag;
  std::vector<std::string> Batch;       // the lines of the last accepted batch
  int32_t LastBatchSyntax = kWordPhrase;

  bool operator==(const TExtractHistory&) const = default;

  // The history of a search kind (kinds above 2 take the Word/Tag history).
  std::vector<std::string>& ForKind(uint8_t kind);
  const std::vector<std::string>& ForKind(uint8_t kind) const;

  // After a normal-mode OK: the pattern moves (or goes) to the front of its kind's history, which
  // keeps at most kMaxPatterns entries.
  void AddPattern(uint8_t kind, const std::string& pattern);
  // After a batch-mode OK: remembers the kind and the batch's lines.
  void SetBatch(uint8_t kind, std::vector<std::string> lines);
};

}  // namespace quenterra
