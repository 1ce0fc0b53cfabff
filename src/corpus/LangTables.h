// The corpus language and encoding, and the character tables derived from them and from the
// settings: the case table, the character-type table, the regular-expression word table and the
// folding map, with the code page's decoding. A TLangTables is a value: a front end builds one
// from its current settings (the language, the encoding and ZuzadovUdirev) and builds it again
// after any of them changes; the word splitter, the index, the regular expressions and the list
// texts read the one they are given.
//
// In a code page the tables have one entry per byte. In UTF-8 a character is a code point, and
// the per-character functions (Fold, CharType, Translate) answer for every one of them
// (corpus/Utf8Classes.h); the 256-entry tables then describe the language's code page, which
// reads the bytes that are no valid UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/Utf8Classes.h"
#include "platform/CharCoding.h"
#include "platform/CharSet.h"
#include "platform/CharType.h"
#include "platform/CodePages.h"
#include "regexp/RegExp3.h"
#include "settings/Settings.h"

namespace quenterra {

struct TLanguage {
  uint16_t id;
  const char* name;
};

// The fixed table of the 76 languages, in table order.
const std::vector<TLanguage>& LanguageTable();
std::string LanguageName(uint32_t id);         // empty when the table lacks the id
uint32_t LanguageId(const std::string& name);  // first row with that name; 0 when absent

// The user's default language, from the first of LC_ALL, LC_CTYPE and LANG that is set and not
// empty ("de_AT.UTF-8" gives 0x0C07, "sr_RS@latin" 0x241A); 0x0409 for C, POSIX, a locale
// without a Windows language id or code page, and when none of them is set.
uint32_t UserDefaultLanguage();

// Names of the languages whose code page this system can convert, each once, in table order.
const std::vector<std::string>& InstalledLanguages();

// The language that a stored setting selects: `stored` when it is the user's default or a row of
// the table, else the user's default.
uint32_t StoredLanguage(uint32_t stored);

// How text of the language in the encoding decodes: TLangTables(language, encoding, ...).Coding()
// without the tables.
TCharCoding CorpusCoding(uint32_t language, TCorpusEncoding encoding);

// Refused: a text holds a character that the corpus encoding cannot hold.
class EUnencodable : public EQuenterra {
 public:
  using EQuenterra::EQuenterra;
};

class TLangTables {
 public:
  // Before a language is known: a code page with identity case table and folding map, ASCII
  // decoding, no character classes.
  TLangTables();
  // The tables of `language` read in `encoding`, shaped by ignoreCase, NonWordChars and, when
  // UseEqualChars is on, the equal groups of `config`. A language without a case table (Chinese,
  // Japanese, Korean, Thai) or whose code page cannot be read keeps the identity case table; one
  // whose code page cannot be read is classified as US English and decodes ASCII only.
  TLangTables(uint32_t language, TCorpusEncoding encoding, const ZuzadovUdirev& config);

  uint32_t Language() const { return language_; }
  TCorpusEncoding Encoding() const { return coding_.Encoding(); }
  bool Utf8() const { return coding_.IsUtf8(); }
  const TCharCoding& Coding() const { return coding_; }  // how text decodes into characters
  int CodePage() const { return codePage_; }             // CodePageOf(Language())
  bool NoCase() const { return noCase_; }                // the language has no case table
  // "UTF-8", or "code page 1252".
  std::string EncodingName() const;

  // Per character of the encoding (a byte of the code page, or a code point): the case table,
  // the character-type flags (adjusted as CharTypeTable's) and the folding map.
  TChar Fold(TChar c) const;
  uint8_t CharType(TChar c) const;
  TChar Translate(TChar c) const;

  // Character-type flags (platform/CharType.h) of the code page's bytes, adjusted by
  // NonWordChars: a delimiter is punctuation only, other punctuation a letter (both bits). The
  // bytes are classified from their Unicode properties: upper and lower case by the Uppercase
  // and Lowercase properties, a letter without case (Thai, kana) or a combining mark as upper
  // and lower both; digits are decimal digits only, so '²' and '½' are punctuation like every
  // other symbol, number or format character (the soft hyphen); space is White_Space, blank is
  // tab and the horizontal spaces, control is Cc.
  const uint8_t* CharTypeTable() const { return type_.data(); }
  const uint8_t* CaseTable() const { return case_.data(); }       // lower-case form of each byte
  const uint8_t* RegexWordTable() const { return word_.data(); }  // kReWord | kReSpace | kReDigit
  const uint8_t* FoldingMap() const { return fold_.data(); }      // the byte each compares as

  unsigned char FoldChar(unsigned char c) const { return case_[c]; }
  // The other-case form: the case-table entry of an upper-case letter, the upper-case form of a
  // lower-case letter (the letter itself when its upper case is not in the code page), else 0.
  // Always 0 in a no-case language.
  unsigned char OtherCase(unsigned char c) const { return other_[c]; }
  // The text folded through the case table, character by character (in UTF-8 a folded
  // character may take another number of bytes; bytes that are no valid UTF-8 come out as the
  // UTF-8 of what the code page reads them as).
  std::string FoldString(std::string_view s) const;
  // The text upper-cased: in a code page by its own mapping (ASCII only while the code page is
  // unknown), each lower-case letter whose upper case the code page holds becoming it, the
  // second bytes of double-byte characters staying as they are; in UTF-8 by the simple mapping.
  std::string UpperString(std::string_view s) const;
  // True as soon as either zero-terminated string ends with all bytes so far equal (folded
  // through the case table on both sides when fold is set); false at the first difference.
  // Bytes of the code page.
  bool FoldedPrefixMatch(const char* pattern, const char* text, bool fold) const;

  // What a regular expression is compiled against: the folding map, the character types, the
  // word table, and the other-case forms when ignoreCase is on.
  TReTables RegExpTables() const;

  // The Unicode character a byte stands for on its own in the code page (U+FFFD where none,
  // e.g. the lead bytes of a double-byte code page).
  char32_t DecodeByte(unsigned char c) const { return decode_[c]; }
  // Text of the encoding as valid UTF-8: a code page's double-byte characters decode whole, and
  // bytes that form no character become U+FFFD; in UTF-8, bytes that are no valid UTF-8 become
  // what the code page reads them as.
  std::string ToUtf8(std::string_view bytes) const;
  // UTF-8 text in the encoding: characters the code page lacks become '?'; in UTF-8, invalid
  // bytes are read as ToUtf8 reads them.
  std::string FromUtf8(std::string_view utf8) const;
  // The same, but a character the code page lacks is refused: throws EUnencodable "The
  // character "<c>" cannot be written in code page <n>."
  std::string FromUtf8Exact(std::string_view utf8) const;

 private:
  using TTable = std::array<uint8_t, 256>;

  void BuildCaseTable();
  void BuildTypeTable(const codepage::TByteFacts& facts, const ZuzadovUdirev& config);
  void BuildWordTable();
  void BuildFoldingMap(const ZuzadovUdirev& config);
  void FoldEqualGroup(const TCharSet& group);

  uint32_t language_ = TGlobalSettings::kEnglishUS;
  TCharCoding coding_;
  std::shared_ptr<const TUtf8Classes> unicode_;  // UTF-8 only
  int codePage_ = 1252;
  bool noCase_ = false;
  bool ignoreCase_ = false;
  bool factsValid_ = false;       // facts_ describe the language's code page
  codepage::TByteFacts facts_{};  // what the code page says about each byte
  std::array<char32_t, 256> decode_{};
  TTable case_{};   // lower-case form of each byte
  TTable other_{};  // other-case form of each byte, 0 for none
  TTable type_{};   // character-type flags
  TTable word_{};   // regular-expression word bits
  TTable fold_{};   // the byte each byte compares as
};

}  // namespace quenterra
