// The extract dialog's histories: the recent patterns of each search kind, the last batch and
// its search kind. Loaded and saved with the settings (section ExtractHistory).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quenterra {

// Search kinds of the extract dialog; the values are the codes the settings file stores.
enum class TSearchKind : uint8_t { kWordPhrase = 0, kRegExp = 1, kWordTag = 2 };

// The search kind of a stored code, or kWordPhrase for a code outside 0..2 (a damaged setting).
TSearchKind ValidSearchKind(int32_t kind);

struct TExtractHistory {
  static constexpr size_t kMaxPatterns = 100;  // per search kind

  std::vector<std::string> WordPhrase;  // most recent first
  std::vector<std::string> RegExp;
  std::vector<std::string> WordTag;
  std::vector<std::string> Batch;  // the lines of the last accepted batch
  int32_t LastBatchSyntax = 0;     // a TSearchKind code

  bool operator==(const TExtractHistory&) const = default;

  // The history of a search kind (kinds above 2 take the Word/Tag history).
  std::vector<std::string>& ForKind(TSearchKind kind);
  const std::vector<std::string>& ForKind(TSearchKind kind) const;

  // After a normal-mode OK: the pattern moves (or goes) to the front of its kind's history, which
  // keeps at most kMaxPatterns entries.
  void AddPattern(TSearchKind kind, const std::string& pattern);
  // After a batch-mode OK: remembers the kind and the batch's lines.
  void SetBatch(TSearchKind kind, std::vector<std::string> lines);
};

}  // namespace quenterra
