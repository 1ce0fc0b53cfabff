// A progress window as the n-gram and full-extract passes drive it: the bar advances one step at
// a time, and a cancel, once seen, stays seen, so that every later stage stops at its first test.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Progress.h"

namespace quenterra {

class TStepProgress {
 public:
  // window may be null (no window is shown): nothing is drawn and nothing cancels.
  explicit TStepProgress(TProgress* window) : window_(window) {}

  bool Shown() const { return window_ != nullptr; }
  bool Cancelled() const { return cancelled_; }

  // A new stage: its caption, an empty label and the bar at 0 of max. The bar goes back to 0
  // first, so that it never shows the old position against the new maximum.
  void Restart(const std::string& caption, int64_t max) {
    if (window_ == nullptr) return;
    position_ = 0;
    window_->SetPosition(0);
    window_->SetCaption(caption);
    window_->SetLabel("");
    window_->SetMax(max);
  }
  void SetMax(int64_t max) {
    if (window_ != nullptr) window_->SetMax(max);
  }
  void SetLabel(const std::string& text) {
    if (window_ != nullptr) window_->SetLabel(text);
  }

  // Advances the bar by one, lets the front-end breathe and reads its cancel state. True when
  // the user has cancelled, now or before.
  bool Step() {
    if (window_ == nullptr) return cancelled_;
    window_->SetPosition(++position_);
    window_->ProcessMessages();
    return Poll();
  }
  // Reads the cancel state without moving the bar.
  bool Poll() {
    if (window_ != nullptr && window_->CancelState() != TCancelState::kRunning) cancelled_ = true;
    return cancelled_;
  }

 private:
  TProgress* window_;     // not owned
  int64_t position_ = 0;  // of the bar
  bool cancelled_ = false;
};

}  // namespace quenterra
