// The language tables of a UTF-8 corpus: how each code point classifies and folds under the
// corpus language and the settings. Where a code page has 256-entry tables, UTF-8 has these
// functions over every code point, answered by ICU (platform/Unicode.h) and adjusted as the
// tables are: a character of NonWordChars is punctuation only, any other punctuation or symbol a
// letter; ignoreCase folds by simple case folding; equal characters compare as the lowest of
// their group. Immutable once built: the language tables share it with the regular expressions
// compiled against them, on any thread.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/CharCoding.h"
#include "platform/CharSet.h"
#include "regexp/RegExp3.h"
#include "settings/Settings.h"

namespace quenterra {

class TUtf8Classes : public TReCharClasses {
 public:
  // turkic: the language folds 'I' to dotless 'ı' (Turkish, Azeri); noCase: a language without a
  // case table (Chinese, Japanese, Korean, Thai), whose letters never fold. coding reads the
  // settings' texts (NonWordChars).
  TUtf8Classes(bool turkic, bool noCase, const TCharCoding& coding, const ZuzadovUdirev& config);

  const TCharCoding& Coding() const override { return coding_; }
  // The case table: the language's simple case folding of c; c itself without case.
  TChar Fold(TChar c) const;
  // The upper-case form of c (the language's simple mapping).
  TChar Upper(TChar c) const;
  // The folding map: c folded when ignoreCase is on, then the representative of its equal group
  // when equal characters are on.
  TChar Translate(TChar c) const override;
  // Character-type flags, adjusted by NonWordChars.
  uint8_t CharType(TChar c) const override;
  // Regular-expression word bits: letters, digits and '_' are word characters.
  uint8_t WordClass(TChar c) const override;
  bool IgnoresCase() const override { return ignoreCase_; }

 private:
  void AddEqualGroup(const TCharSet& group);

  bool turkic_;
  bool noCase_;
  bool ignoreCase_;
  TCharCoding coding_;
  TCharSet nonWord_;
  std::vector<std::pair<TChar, TChar>> equal_;  // sorted: a (folded) member, its representative
};

}  // namespace quenterra
