// The setting values: the configuration object ZuzadovUdirev, the full-extract options and the
// few global settings kept beside them, each with its default. Fields are named by their
// configuration keys; the settings file (config/SettingsFile.h) fills and stores them. Plain
// values: a front end holds the current ones and passes them down, a workspace carries a copy,
// and a test builds the ones it needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CharCoding.h"
#include "platform/CharSet.h"

namespace quenterra {

// A font as the settings file stores it ("Arial,10,1,255,0"). The GUI maps it to a real font.
struct TFontChoice {
  // The style bits.
  static constexpr uint8_t kBold = 1;
  static constexpr uint8_t kItalic = 2;
  static constexpr uint8_t kUnderline = 4;
  static constexpr uint8_t kStrikeOut = 8;
  static constexpr int32_t kWindowText = INT32_MIN + 8;  // the window-text system colour
  static constexpr int32_t kBlue = 0xFF0000;             // red in the low byte, blue in the high
  static constexpr int32_t kRed = 0x0000FF;
  static constexpr int kDefaultCharset = 1;

  std::string name;
  int size = 0;       // points
  uint8_t style = 0;  // style bits
  int32_t color = kWindowText;
  int charset = kDefaultCharset;

  bool operator==(const TFontChoice&) const = default;

  static TFontChoice StockSystemFont();    // the system's stock font: "System", 10 point
  static TFontChoice DefaultSystemFont();  // "MS Sans Serif", 8 point, regular
};

// A named group of tag patterns (Word/Tag patterns may name it instead of a tag).
struct TMetaTag {
  std::string name;
  std::vector<std::string> tags;
  bool operator==(const TMetaTag&) const = default;
};

// The 25 default delimiters, in their stored order.
inline constexpr char kDefaultNonWordChars[] = ".,;:!#$^&()[]{}<>+=/\\|`~\"";

// The characters and texts are in the corpus encoding (platform/CharCoding.h): the one
// character settings are characters of it, the strings its bytes.
class ZuzadovUdirev {
 public:
  std::string NonWordChars = kDefaultNonWordChars;
  std::string SkippingChars = "-=";
  std::string EqualChars;
  std::vector<TCharSet> EqualGroups;  // parsed from EqualChars
  TChar WildCard0orMore = '*';
  TChar WildCard0or1 = '%';
  TChar WildCardExactly1 = '?';
  TChar WildCardMatchWords = 0;  // written empty, never read
  uint8_t MatchWordsLo = 0;      // written as 0, never read
  uint8_t MatchWordsHi = 0;
  TChar TagSearchSeparator = '&';
  TChar TagUnorderedChar = '+';
  TChar TagSubsequentChar = '>';
  int32_t SpanRange = 2;  // 2..12
  int32_t Min_Word_Freq = 2;
  uint8_t Last_Method_Selected = 2;
  bool ignoreCase = true;
  bool UseSkippingChars = false;  // not stored: off at every start
  bool UseEqualChars = false;     // not stored: off at every start
  bool UseStoplist = false;
  bool SkipNormalTags = true;
  TFontChoice NormalFont = TFontChoice::StockSystemFont();
  TFontChoice HiliteFont = BlueStockFont();
  TFontChoice QuenterraFont = RedStockFont();
  TChar TagStart = '<';
  TChar TagStop = '>';
  uint8_t WordTag = 0;  // 0 none, 1 delimiter style, 2 start strings
  bool wTagBefore = false;
  TChar wTagDelimiter = '_';
  std::vector<std::string> wTagStarts;
  TChar wTagStop = '>';
  std::vector<TMetaTag> MetaTags;

  bool operator==(const ZuzadovUdirev&) const = default;

 private:
  static TFontChoice BlueStockFont();
  static TFontChoice RedStockFont();
};

struct TFullExtractOptions {
  uint8_t IF_Score_Method = 4;
  double IFMin_T_Score = 0.5;
  double IFMin_Mutual_Info = 0.5;
  double IFMin_Likehood = 1.0;
  uint8_t EF_Score_Method = 3;
  int32_t EFMin_Cost_Criteria = 3;
  double EFMin_Mutual_Info = 0.5;
  bool UsePOSTags = false;
  int32_t Min_Span = 2;
  int32_t Max_Span = 7;
  bool operator==(const TFullExtractOptions&) const = default;
};

// Settings kept outside the configuration object.
struct TGlobalSettings {
  static constexpr uint32_t kEnglishUS = 0x0409;

  uint32_t Language = kEnglishUS;  // a Windows language id (corpus/LangTables.h)
  // How corpus text, and every text setting, is encoded: new settings read UTF-8; settings
  // stored before the choice existed keep the language's code page.
  TCorpusEncoding Encoding = TCorpusEncoding::kUtf8;
  TFontChoice CorpusFont = TFontChoice::StockSystemFont();
  TFontChoice SystemFont = TFontChoice::DefaultSystemFont();
  std::string ConcordancePath;
  std::string FreqPath;
  std::string CorpusFreqPath;
  std::string CorpusPath;    // directory of the last corpus file loaded
  std::string StopListPath;  // the stop-list viewer's last directory
  bool operator==(const TGlobalSettings&) const = default;
};

// Characters 0..32, NonWordChars and the six special characters of the search syntax: what
// separates words. `coding` reads NonWordChars.
TCharSet BuildDelimiterSet(const ZuzadovUdirev& config, const TCharCoding& coding);

// Parses an equal-characters text ("a=b; c=d=e") into its groups. Spaces are ignored; each
// ';'-separated group alternates characters of code 65 or above with '='. Returns false (and
// leaves `groups` alone) on a syntax error; an empty text gives no groups.
bool ParseEqualChars(std::string_view text, const TCharCoding& coding,
                     std::vector<TCharSet>& groups);

}  // namespace quenterra
