#include "settings/Settings.h"

#include "platform/Text.h"

namespace quenterra {

TFontChoice TFontChoice::StockSystemFont() {
  return TFontChoice{"System", 10, 0, kWindowText, kDefaultCharset};
}

TFontChoice TFontChoice::DefaultSystemFont() {
  return TFontChoice{"MS Sans Serif", 8, 0, kWindowText, kDefaultCharset};
}

TFontChoice ZuzadovUdirev::BlueStockFont() {
  TFontChoice font = TFontChoice::StockSystemFont();
  font.color = TFontChoice::kBlue;
  return font;
}

TFontChoice ZuzadovUdirev::RedStockFont() {
  TFontChoice font = TFontChoice::StockSystemFont();
  font.color = TFontChoice::kRed;
  return font;
}

TCharSet BuildDelimiterSet(const ZuzadovUdirev& config, const TCharCoding& coding) {
  TCharSet set = CharSetOf(config.NonWordChars, coding);
  set.AddRange(0, ' ');
  for (TChar c : {config.WildCard0orMore, config.WildCard0or1, config.WildCardExactly1,
                  config.TagSearchSeparator, config.TagUnorderedChar, config.TagSubsequentChar})
    set.Add(c);
  return set;
}

bool ParseEqualChars(std::string_view text, const TCharCoding& coding,
                     std::vector<TCharSet>& groups) {
  text = TrimSpaces(text);
  if (text.empty()) {
    groups.clear();
    return true;
  }
  std::u32string packed;
  for (TChar c : coding.Decode(text))
    if (c != ' ') packed += c;
  if (packed.back() != ';') packed += ';';
  std::vector<TCharSet> parsed;
  size_t start = 0;
  while (start < packed.size()) {
    size_t end = packed.find(';', start);
    if (end == start) return false;  // an empty group
    TCharSet group;
    for (size_t i = start; i < end; ++i) {
      const TChar c = packed[i];
      bool member = (i - start) % 2 == 0;
      if (member ? c < 'A' : c != '=') return false;
      if (member) group.Add(c);
    }
    if (!group.Empty()) parsed.push_back(group);
    start = end + 1;
  }
  groups = std::move(parsed);
  return true;
}

}  // namespace quenterra
