// The settings' fonts ("Arial,10,1,255,0") as Qt fonts and back. The design's stock names
// ("System", "MS Sans Serif") stand for the desktop's own font.
#pragma once

#include <QColor>
#include <QFont>

#include "settings/Settings.h"

namespace quenterra {

QFont FontFromChoice(const TFontChoice& desc);
// The font value of a font the user chose; the colour and charset are kept from `old`.
TFontChoice ChoiceFromFont(const QFont& font, const TFontChoice& old);
// The choice's colour (a Windows COLORREF, red in the low byte); the window-text colour for the
// system colour.
QColor ColorFromChoice(const TFontChoice& desc);

}  // namespace quenterra
