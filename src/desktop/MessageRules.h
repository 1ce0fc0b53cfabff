// The program's message box as data: its kinds with their captions, its buttons with their
// captions, and which button is the default (Enter) and which the cancel button (Escape) for a
// set of buttons. The box itself (shell/MessageForm.h) only lays these out.
#pragma once

#include <cstdint>
#include <vector>

namespace quenterra {

enum class TMsgKind : uint8_t { kWarning, kError, kInformation, kConfirmation, kCustom };

// In their order of appearance in a box.
enum class TMsgButton : uint8_t {
  kYes,
  kNo,
  kOk,
  kCancel,
  kAbort,
  kRetry,
  kIgnore,
  kAll,
  kNoToAll,
  kYesToAll,
  kHelp
};

// "Warning", "Error", "Information", "Confirm"; the program's title for kCustom.
const char* MsgKindCaption(TMsgKind kind);
// "&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&All", "&Not to All",
// "&Yes to All", "&Help".
const char* MsgButtonCaption(TMsgButton button);

// The buttons sorted into their order of appearance.
std::vector<TMsgButton> OrderedButtons(std::vector<TMsgButton> buttons);
// OK when present, else Yes, else Retry; the first button when none of them is.
TMsgButton DefaultButton(const std::vector<TMsgButton>& buttons);
// Abort when present, else Cancel, else No, else OK; the last button when none of them is.
TMsgButton CancelButton(const std::vector<TMsgButton>& buttons);

}  // namespace quenterra
