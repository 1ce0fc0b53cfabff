// The main window's answers to what the corpus reports (corpus/Corpus.h), from whichever thread
// the corpus works on: windows are destroyed on the window's thread while the worker waits, and
// the corpus information reaches the status panel, and text windows open and close with their
// files.
#pragma once

#include "corpus/Corpus.h"

namespace quenterra {

class TMainForm;

class TCorpusWatcher : public TCorpusObserver {
 public:
  explicit TCorpusWatcher(TMainForm& form) : form_(form) {}

  void FileShown(int fileNumber) override;
  void FileRemoving(int fileNumber) override;
  void Unloading() override;
  void IndexRebuilding() override;
  void Idle() override;
  void CorpusInfoChanged(const std::string& text) override;

 private:
  TMainForm& form_;
};

}  // namespace quenterra
