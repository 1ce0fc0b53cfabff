// Compiles arbitrary bytes as a regular expression and runs it over arbitrary text. Input: one
// byte of options (bit 0: ignoreCase; bit 1: UTF-8 rather than code page 1252), two bytes of the
// pattern's length (little-endian, up to 1024: what a pattern field can hold and more), the
// pattern, then the text. Checks that every pattern compiles or raises one of the engine's
// messages, that a match lies inside the text and is not empty, and that the whole-word test
// agrees with the first match of a search.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "FuzzKit.h"
#include "corpus/LangTables.h"
#include "regexp/RegExp3.h"
#include "settings/Settings.h"

namespace {

using namespace quenterra;
using fuzz::Check;

// The US English tables of either letter-case mode and either encoding, built once.
const TReTables& Tables(bool ignoreCase, bool utf8) {
  static const auto tables = [] {
    std::array<TReTables, 4> all;
    for (int mode = 0; mode < 4; ++mode) {
      ZuzadovUdirev config;
      config.ignoreCase = (mode & 1) != 0;
      const auto encoding = (mode & 2) != 0 ? TCorpusEncoding::kUtf8 : TCorpusEncoding::kCodePage;
      all[static_cast<size_t>(mode)] =
          TLangTables(TGlobalSettings::kEnglishUS, encoding, config).RegExpTables();
    }
    return all;
  }();
  return tables[(ignoreCase ? 1 : 0) + (utf8 ? 2 : 0)];
}

bool KnownMessage(const std::string& message) {
  static const std::set<std::string> known = {"Invalid regular expression",
                                              "Invalid collation character",
                                              "Invalid character class name",
                                              "Trailing backslash",
                                              "Invalid back reference",
                                              "Unmatched [ or [^",
                                              "Unmatched ( or \\(",
                                              "Unmatched \\{",
                                              "Invalid content of \\{\\}",
                                              "Invalid range end",
                                              "Memory exhausted",
                                              "Invalid preceding regular expression",
                                              "Premature end of regular expression",
                                              "Regular expression too big",
                                              "Unmatched ) or \\)"};
  return known.count(message) != 0;
}

void Run(const TRegExp& re, std::string_view text) {
  std::string_view whole = text.substr(0, std::min(text.find('\0'), text.size()));
  std::optional<TRegExp::TMatch> first = re.Search(text);
  if (first)
    Check(0 <= first->start && first->start < first->end &&
          first->end <= static_cast<int>(whole.size()));
  bool expected = first && first->start == 0 && first->end == static_cast<int>(whole.size());
  Check(re.MatchesWhole(text) == expected);
  int middle = static_cast<int>(whole.size() / 2);
  if (std::optional<TRegExp::TMatch> later = re.Search(text, middle))
    Check(later->start >= middle && later->end <= static_cast<int>(whole.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kHeader = 3;
  constexpr size_t kMaxPattern = 1024;
  if (size < kHeader) return 0;
  const TReTables& tables = Tables(data[0] & 1, data[0] & 2);
  size_t patternLength =
      std::min<size_t>({size_t{data[1]} | size_t{data[2]} << 8, kMaxPattern, size - kHeader});
  std::string_view pattern(reinterpret_cast<const char*>(data) + kHeader, patternLength);
  std::string_view text(reinterpret_cast<const char*>(data) + kHeader + patternLength,
                        size - kHeader - patternLength);
  try {
    TRegExp re(pattern, tables);
    Run(re, text);
  } catch (const ERegExp& e) {
    Check(KnownMessage(e.what()));
  }
  return 0;
}
