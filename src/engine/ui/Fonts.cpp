#include "engine/ui/Fonts.h"

#include <QApplication>
#include <QPalette>

namespace quenterra {

namespace {

bool IsStockName(const std::string& name) {
  return name.empty() || name == "System" || name == "MS Sans Serif";
}

}  // namespace

QFont FontFromSpec(const TFontSpec& spec) {
  QFont font = QApplication::font();
  if (!IsStockName(spec.name)) font.setFamily(QString::fromStdString(spec.name));
  if (spec.size > 0) font.setPointSize(spec.size);
  font.setBold((spec.style & TFontSpec::kBold) != 0);
  font.setItalic((spec.style & TFontSpec::kItalic) != 0);
  font.setUnderline((spec.style & TFontSpec::kUnderline) != 0);
  font.setStrikeOut((spec.style & TFontSpec::kStrikeOut) != 0);
  return font;
}

TFontSpec SpecFromFont(const QFont& font, const TFontSpec& old) {
  TFontSpec spec = old;
  spec.name = font.family().toStdString();
  spec.size = font.pointSize() > 0 ? font.pointSize() : old.size;
  spec.style = static_cast<uint8_t>((font.bold() ? TFontSpec::kBold : 0) |
                                    (font.italic() ? TFontSpec::kItalic : 0) |
                                    (font.underline() ? TFontSpec::kUnderline : 0) |
                                    (font.strikeOut() ? TFontSpec::kStrikeOut : 0));
  return spec;
}

QColor ColorFromSpec(const TFontSpec& spec) {
  if (spec.color < 0) return QApplication::palette().color(QPalette::WindowText);
  const auto rgb = static_cast<uint32_t>(spec.color);
  return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>((rgb >> 16) & 0xFF));
}

}  // namespace quenterra
