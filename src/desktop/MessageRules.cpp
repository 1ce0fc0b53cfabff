#include "desktop/MessageRules.h"

#include <algorithm>

#include "config/Workspace.h"

namespace quenterra {

namespace {

bool Has(const std::vector<TMsgButton>& buttons, TMsgButton button) {
  return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

}  // namespace

const char* MsgKindCaption(TMsgKind kind) {
  switch (kind) {
    case TMsgKind::kWarning:
      return "Warning";
    case TMsgKind::kError:
      return "Error";
    case TMsgKind::kInformation:
      return "Information";
    case TMsgKind::kConfirmation:
      return "Confirm";
    case TMsgKind::kCustom:
      return kProgramTitle;
  }
  return "";
}

const char* MsgButtonCaption(TMsgButton button) {
  static constexpr const char* kCaptions[] = {"&Yes",        "&No",         "OK",      "Cancel",
                                              "&Abort",      "&Retry",      "&Ignore", "&All",
                                              "&Not to All", "&Yes to All", "&Help"};
  return kCaptions[static_cast<size_t>(button)];
}

std::vector<TMsgButton> OrderedButtons(std::vector<TMsgButton> buttons) {
  std::sort(buttons.begin(), buttons.end());
  buttons.erase(std::unique(buttons.begin(), buttons.end()), buttons.end());
  return buttons;
}

TMsgButton DefaultButton(const std::vector<TMsgButton>& buttons) {
  for (TMsgButton button : {TMsgButton::kOk, TMsgButton::kYes, TMsgButton::kRetry}) {
    if (Has(buttons, button)) return button;
  }
  return buttons.empty() ? TMsgButton::kOk : buttons.front();
}

TMsgButton CancelButton(const std::vector<TMsgButton>& buttons) {
  for (TMsgButton button :
       {TMsgButton::kAbort, TMsgButton::kCancel, TMsgButton::kNo, TMsgButton::kOk}) {
    if (Has(buttons, button)) return button;
  }
  return buttons.empty() ? TMsgButton::kOk : buttons.back();
}

}  // namespace quenterra
