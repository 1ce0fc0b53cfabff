// The program's settings and extraction dialogs, bound to the session whose settings they change
// and opened over the main window: what the session's command flows open (TSessionDialogs).
#pragma once

#include "desktop/DesktopSession.h"

namespace quenterra {

class TMainForm;

// The dialogs over form and its session, which must outlive them.
TSessionDialogs ProgramDialogs(TMainForm& form);

}  // namespace quenterra
