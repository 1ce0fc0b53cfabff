#include "settings/Settings.h"

namespace quenterra {

TFontSpec TFontSpec::StockSystemFont() { return TFontSpec{"System", 10, 0, kWindowText, kDefaultCharset}; }

TFontSpec TFontSpec::DefaultSystemFont() {
  return TFontSpec{"MS Sans Serif", 8, 0, kWindowText, kDefaultCharset};
}

TFontSpec ZuzadovUdirev::BlueStockFont() {
  TFontSpec font = TFontSpec::StockSystemFont();
  font.color = TFontSpec::kBlue;
  return font;
}

TFontSpec ZuzadovUdirev::RedStockFont() {
  TFontSpec font = TFontSpec::StockSystemFont();
  font.color = TFontSpec::kRed;
  return font;
}

ZuzadovUdirev& Config() {
  static ZuzadovUdirev config;
  return config;
}

TFullExtractOptions& FullExtractOptions() {
  static TFullExtractOptions options;
  return options;
}

TGlobalSettings& GlobalSettings() {
  static TGlobalSettings settings;
  return settings;
}

}  // namespace quenterra
