// The help window: the manual QUENTERRA.HLP (an HTML file beside the program) at its contents.
#pragma once

#include <QString>

class QWidget;

namespace quenterra {

inline constexpr char kHelpFileName[] = "QUENTERRA.HLP";

// The manual's full name: beside the program.
QString HelpFilePath();
// Shows the manual in the program's help window, opened at its contents; raises the window when
// it is open already. A missing manual shows "Unable to open file: <name>.".
void ShowHelp(QWidget* parent);

}  // namespace quenterra
