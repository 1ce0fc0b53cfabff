// The concordance, collocate and word-list windows of the main window: opening them from the
// Extract menu, a concordance from a list item (a collocation list's item, a word list's word),
// keeping their bars idle while long work runs, and closing them with the collocation list
// windows when the index goes.
#pragma once

#include <memory>
#include <vector>

#include "desktop/ResultCommands.h"

class QMdiArea;

namespace quenterra {

class TMainForm;
class TResultTableForm;
class TcollocListForm;

class TResultWindows {
 public:
  // form must outlive this object (the main window owns it).
  explicit TResultWindows(TMainForm& form);

  TResultCommands& Commands() { return commands_; }
  std::vector<TResultTableForm*> Windows() const;

  // Opens a window that takes the table over, sorted in order (one of its SortNames).
  void Show(std::unique_ptr<TResultTable> table, int order = 0);
  // Gives a collocation list window's rows the "Concordance" command of their context menu.
  void AddItemConcordance(TcollocListForm* list);
  void SetBusy(bool busy);
  // Destroys every result window, the last first.
  void CloseAll();

 private:
  void AddWordConcordance(TResultTableForm* window);

  TMainForm& form_;
  TResultCommands commands_;
};

}  // namespace quenterra
