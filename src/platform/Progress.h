// The seam between long-running core work and whatever shows its progress: the GUI's progress
// window, the CLI's bar on stderr, or a test's recorder. The core never draws anything itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quenterra {

// Cancel state polled by cancellable runs.
enum class TCancelState { kRunning = 0, kCancel = 1, kCancelAll = 2 };

// How a progress window presents itself: no buttons (loading, indexing), one Cancel button, or
// "Cancel" plus "Cancel All" (a batch of extractions).
enum class TProgressKind { kSimple, kCancel, kCancelSeveral };

class TProgress {
 public:
  virtual ~TProgress() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetLabel(const std::string& text) = 0;        // the main line, repainted at once
  virtual void SetSpecialText(const std::string& text) = 0;  // the second, smaller line
  virtual void SetMax(int64_t max) = 0;                      // gauge runs 0..max (100 at first)
  virtual void SetPosition(int64_t position) = 0;
  virtual void ProcessMessages() = 0;  // let the front-end breathe (repaint, read Cancel)
  virtual TCancelState CancelState() const = 0;
};

// Shows nothing and never cancels; what the core uses when no front-end is installed.
class TNullProgress : public TProgress {
 public:
  void SetCaption(const std::string&) override {}
  void SetLabel(const std::string&) override {}
  void SetSpecialText(const std::string&) override {}
  void SetMax(int64_t) override {}
  void SetPosition(int64_t) override {}
  void ProcessMessages() override {}
  TCancelState CancelState() const override { return TCancelState::kRunning; }
};

// Creates the progress windows of the installed front-end.
using TProgressFactory =
    std::function<std::unique_ptr<TProgress>(TProgressKind kind, const std::string& caption)>;

// Installs the front-end's factory; an empty function restores the silent default.
void InstallProgressFactory(TProgressFactory factory);

// A new progress window of the installed front-end, shown until the returned object is destroyed.
std::unique_ptr<TProgress> ShowProgress(TProgressKind kind, const std::string& caption);

// The gauge callback handed to the text index: with setMax the gauge's maximum becomes n, else its
// position. Does nothing when progress is null.
using TProgressCallback = std::function<void(bool setMax, int64_t n)>;
TProgressCallback GaugeCallback(TProgress* progress);

}  // namespace quenterra
