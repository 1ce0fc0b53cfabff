// Stand-ins for the dialogs that the settings and extraction dialogs will replace: each leaves
// the stored settings as they are, so that every command already runs end to end. The extract
// stand-in asks for a single pattern line with InputQuery (a batch takes the stored batch), parses
// it with the extract dialog's rules and keeps the histories as the dialog would.
#pragma once

#include "config/ProgramSettings.h"
#include "desktop/DesktopSession.h"

namespace quenterra {

// Captions of the extract stand-in's input, by search kind.
const char* ExtractStandInCaption(TSearchKind kind);
inline constexpr char kExtractStandInPrompt[] = "Pattern:";

// The stand-ins over `settings`, which must outlive them.
TSessionDialogs StandInDialogs(TProgramSettings& settings);

}  // namespace quenterra
