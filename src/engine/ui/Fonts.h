// The settings' fonts ("Arial,10,1,255,0") as Qt fonts and back. The design's stock names
// ("System", "MS Sans Serif") stand for the desktop's own font.
#pragma once

#include <QColor>
#include <QFont>

#include "settings/Settings.h"

namespace quenterra {

QFont FontFromSpec(const TFontSpec& spec);
// The spec of a chosen font; the colour and charset are kept from `old`.
TFontSpec SpecFromFont(const QFont& font, const TFontSpec& old);
// The spec's colour (a Windows COLORREF, red in the low byte); the window-text colour for the
// system colour.
QColor ColorFromSpec(const TFontSpec& spec);

}  // namespace quenterra
