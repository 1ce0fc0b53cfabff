#include "engine/ui/Fonts.h"

#include <QApplication>
#include <QPalette>

namespace quenterra {

namespace {

bool IsStockName(const std::string& name) {
  return name.empty() || name == "System" || name == "MS Sans Serif";
}

}  // namespace

QFont FontFromChoice(const TFontChoice& desc) {
  QFont font = QApplication::font();
  if (!IsStockName(desc.name)) font.setFamily(QString::fromStdString(desc.name));
  if (desc.size > 0) font.setPointSize(desc.size);
  font.setBold((desc.style & TFontChoice::kBold) != 0);
  font.setItalic((desc.style & TFontChoice::kItalic) != 0);
  font.setUnderline((desc.style & TFontChoice::kUnderline) != 0);
  font.setStrikeOut((desc.style & TFontChoice::kStrikeOut) != 0);
  return font;
}

TFontChoice ChoiceFromFont(const QFont& font, const TFontChoice& old) {
  TFontChoice desc = old;
  desc.name = font.family().toStdString();
  desc.size = font.pointSize() > 0 ? font.pointSize() : old.size;
  desc.style = static_cast<uint8_t>((font.bold() ? TFontChoice::kBold : 0) |
                                    (font.italic() ? TFontChoice::kItalic : 0) |
                                    (font.underline() ? TFontChoice::kUnderline : 0) |
                                    (font.strikeOut() ? TFontChoice::kStrikeOut : 0));
  return desc;
}

QColor ColorFromChoice(const TFontChoice& desc) {
  if (desc.color < 0) return QApplication::palette().color(QPalette::WindowText);
  const auto rgb = static_cast<uint32_t>(desc.color);
  return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>((rgb >> 16) & 0xFF));
}

}  // namespace quenterra
