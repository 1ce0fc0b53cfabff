// The commands that open a concordance, a collocate list or a word list window: the pattern from
// the extract dialog (or from a list item the user points at), the run on a worker while the
// extracting flag is held, and the table handed to the window that shows it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "desktop/DesktopSession.h"
#include "engine/ResultTables.h"
#include "engine/collocList.h"

namespace quenterra {

class TResultCommands {
 public:
  // Opens the window of a table, sorted in order (one of its SortNames).
  using TShow = std::function<void(std::unique_ptr<TResultTable> table, int order)>;

  // The session and the front must outlive the commands; show opens the window.
  TResultCommands(TDesktopSession& session, TDesktopFront& front, TShow show)
      : session_(session), front_(front), show_(std::move(show)) {}

  // Extract > Concordance and Collocates: the extract dialog's pattern (Word/Phrase); for
  // collocates then the collocates dialog.
  void Concordance();
  void Collocates();
  // Extract > Word List.
  void WordList();
  // The concordance of a request made here (a list item's).
  void ConcordanceOf(std::unique_ptr<TExtractRecords> records);

  // The request that finds item i of a collocation list: its words as a phrase, each with its
  // word tag (Word/Tag syntax) when the item has tags; captioned by the item's text.
  std::unique_ptr<TExtractRecords> ItemRequest(const TCollocationList& list, int item) const;
  // The request that finds one word, with its tag when tag is not empty.
  std::unique_ptr<TExtractRecords> WordRequest(const std::string& word,
                                               const std::string& tag) const;

 private:
  // Runs make on a worker with the extracting flag held and shows what it made, sorted in order.
  void Run(const std::function<std::unique_ptr<TResultTable>()>& make, int order = 0);

  TDesktopSession& session_;
  TDesktopFront& front_;
  TShow show_;
  TCollocateOptions collocateOptions_;  // the last choice of the collocates dialog
};

}  // namespace quenterra
